#pragma once
// Operating-system services the task types need. src/win32 implements them for
// real; tests record calls or script results.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/io_error.h"

namespace tarvex::platform {

// How a command ended: its exit status, or why it could not be started.
struct ProcessEnd {
    int status = 0;   // meaningful only without an error
    IoResult error;
    bool timedOut = false;   // ended, with its process tree, at the time limit
    std::vector<std::string> output{};   // its last lines of output (Windows-1252), when they could be kept
    // Ended, with its process tree, for asking the same question over and over
    // with nobody to answer it; the question is its last line of output.
    bool unanswered = false;
};

class Processes {
public:
    virtual ~Processes() = default;
    // Starts `commandLine` in a new console with the given show-window value and
    // waits for it; past `limitSeconds` (0: no limit) it is ended with every
    // process it started.
    virtual ProcessEnd runAndWait(const std::string& commandLine, int show, int limitSeconds = 0) = 0;
    // A console of its own showing `lines` until the operator presses a key; not
    // waited for, and not part of any run. Nothing where no console can be shown.
    virtual void showAndWaitForKey(const std::string& title, const std::vector<std::string>& lines) {
        (void)title;
        (void)lines;
    }
};

// What a finished copy left at its destination, held against its source.
struct CopyCheck {
    bool checked = false;               // false: this shell cannot tell
    std::size_t files = 0;              // source files found at the destination with their size
    std::uint64_t bytes = 0;            // the size of those files together
    std::size_t missingCount = 0;       // files absent there, or of another size
    std::vector<std::string> missing;   // the first of them, relative to the source
    std::string failure;                // why the source itself could not be read
};

class Shell {
public:
    virtual ~Shell() = default;
    // The file copy (as the shell's FO_COPY) of one source (may hold a mask) to one
    // destination; why it failed, in Portuguese. `flags` are the FOF_ flags the
    // caller means; the Windows copy never asks nor shows progress, whatever they
    // say (it replaces without asking, as every caller asks). Past
    // `limitSeconds` (0: no limit) it gives up with the code std::errc::timed_out.
    virtual IoResult copy(const std::string& from, const std::string& to, unsigned flags,
                          int limitSeconds = 0) = 0;
    // After a copy: `from` as given to it (a folder, a file or a mask), `to` the
    // folder that must now hold it (for a folder, its copy); without `withHidden`
    // hidden and system files are not looked for (XCOPY leaves them without /H).
    // A stand-in checks nothing.
    virtual CopyCheck checkCopy(const std::string& from, const std::string& to, bool withHidden = true) {
        (void)from;
        (void)to;
        (void)withHidden;
        return {};
    }
    // The shell's "open" verb. True when the shell accepted it.
    virtual bool open(const std::string& file, const std::string& params,
                      const std::string& folder, int show) = 0;
    // Whether the drive letter names a mounted drive.
    virtual bool driveExists(char letter) = 0;
    // The letter of the mounted volume with this label (any case); 0 when none.
    virtual char driveOfLabel(const std::string& label) = 0;
};

// A pen-drive field: one letter, or a volume label ("BACKUP"). The letter it
// stands for now; 0 when that drive is not there.
char penDrive(Shell& shell, const std::string& pen);

struct TopWindow {
    std::uintptr_t handle = 0;
    std::string title;
    std::string className;
    bool visible = false;
};

class Windows {
public:
    virtual ~Windows() = default;
    virtual std::vector<TopWindow> topLevel() = 0;   // in the system's z-order
    // FindWindow by class and/or title (an empty text means "any"); 0 when none.
    virtual std::uintptr_t find(const std::string& className, const std::string& title) = 0;
    virtual bool postClose(std::uintptr_t handle) = 0;
    // The window is still there (its program has not closed it).
    virtual bool exists(std::uintptr_t handle) { (void)handle; return false; }
};

class Power {
public:
    virtual ~Power() = default;
    virtual bool enableShutdownPrivilege() = 0;
    virtual bool exitWindows(unsigned flags, unsigned reason) = 0;  // ExitWindowsEx
    virtual bool runCommand(const std::string& line) = 0; // WinExec, hidden
};

class Registry {
public:
    virtual ~Registry() = default;
    // Values of the current user's (machineWide=false) or the machine's logon
    // auto-start key.
    virtual bool getRun(bool machineWide, const std::string& name, std::string& value) = 0;
    virtual bool setRun(const std::string& name, const std::string& value) = 0;   // current user
    virtual bool deleteRun(bool machineWide, const std::string& name) = 0;
    // The database application's "GB_DIR5" value; empty when absent.
    virtual std::string readGbDir5() = 0;
};

// Show-window values as the Win32 API numbers them.
constexpr int SW_HIDE_ = 0;
constexpr int SW_NORMAL_ = 1;

// SHFileOperation flags used by the copy routines.
constexpr unsigned FOF_SILENT_ = 0x0004;
constexpr unsigned FOF_NOCONFIRMATION_ = 0x0010;
constexpr unsigned FOF_ALLOWUNDO_ = 0x0040;
constexpr unsigned FOF_SIMPLEPROGRESS_ = 0x0100;
constexpr unsigned FOF_NOCONFIRMMKDIR_ = 0x0200;

// Everything a task run may ask of the system.
struct Services {
    Processes& processes;
    Shell& shell;
    Windows& windows;
    Power& power;
    Registry& registry;
};

}  // namespace tarvex::platform
