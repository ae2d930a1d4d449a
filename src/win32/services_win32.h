#pragma once
// The operating-system services and the operator, for real, on Windows.
#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "platform/console_text.h"
#include "platform/files.h"
#include "platform/operator.h"
#include "platform/services.h"

namespace tarvex::win32 {

class Win32Processes : public platform::Processes {
public:
    platform::ProcessEnd runAndWait(const std::string& commandLine, int show, int limitSeconds = 0) override;
    void showAndWaitForKey(const std::string& title, const std::vector<std::string>& lines) override;
};

class Win32Shell : public platform::Shell {
public:
    platform::IoResult copy(const std::string& from, const std::string& to, unsigned flags,
                            int limitSeconds = 0) override;
    platform::CopyCheck checkCopy(const std::string& from, const std::string& to, bool withHidden = true) override;
    bool open(const std::string& file, const std::string& params, const std::string& folder,
              int show) override;
    bool driveExists(char letter) override;
    char driveOfLabel(const std::string& label) override;
};

class Win32Windows : public platform::Windows {
public:
    std::vector<platform::TopWindow> topLevel() override;
    std::uintptr_t find(const std::string& className, const std::string& title) override;
    bool postClose(std::uintptr_t handle) override;
    bool exists(std::uintptr_t handle) override;
};

class Win32Power : public platform::Power {
public:
    bool enableShutdownPrivilege() override;
    bool exitWindows(unsigned flags, unsigned reason) override;
    bool runCommand(const std::string& line) override;
};

class Win32Registry : public platform::Registry {
public:
    bool getRun(bool machineWide, const std::string& name, std::string& value) override;
    bool setRun(const std::string& name, const std::string& value) override;
    bool deleteRun(bool machineWide, const std::string& name) override;
    std::string readGbDir5() override;
};

// Message boxes in front of every window; owned by the main window once it exists.
class Win32Operator : public platform::Operator {
public:
    void setOwner(std::uintptr_t hwnd) { owner_ = hwnd; }
    void message(const std::string& caption, const std::string& text) override;
    bool question(const std::string& caption, const std::string& text) override;
    platform::Choice choose(const std::string& caption, const std::string& text) override;
    void error(const std::string& text) override;
    void processMessages() override;
    void waitUntil(const std::function<bool()>& done, const std::function<void()>& tick) override;
    bool carefulQuestion(const std::string& caption, const std::string& text) override;
    // The boxes that do not hold the caller run on threads of their own.
    void notice(const std::string& caption, const std::string& text) override;
    int askLater(const std::string& caption, const std::string& text,
                 std::function<void(bool ok)> answered) override;
    void withdraw(int question) override;
    // An answer posted back by a box's thread.
    void answered(int question, bool ok);

private:
    int openBox(const std::string& caption, const std::string& text, unsigned style);

    std::uintptr_t owner_ = 0;
    std::uintptr_t replies_ = 0;   // the message-only window the answers come to
    int lastQuestion_ = 0;
    struct Waiting {
        unsigned long thread;
        std::function<void(bool)> answered;
    };
    std::map<int, Waiting> waiting_;
};

// The system's console code page (GetOEMCP): what cmd reads a batch file in.
class OemCodePage : public platform::ConsoleCodePage {
public:
    unsigned number() const override;
    std::optional<std::string> fromCp1252(const std::string& text, char& missing) const override;
};

// GetFullPathNameW: the full path as Windows itself makes it ("\\SERVIDOR\x"
// stays on its share); empty when it cannot.
std::wstring systemFullPath(const std::wstring& path);

// Everything the core may ask of the system, as one bundle; while it lives, the
// batch files are written in the system's console code page and paths are made
// full by the system's own rule.
struct Win32Services {
    Win32Processes processes;
    Win32Shell shell;
    Win32Windows windows;
    Win32Power power;
    Win32Registry registry;
    OemCodePage console;
    platform::Services services{processes, shell, windows, power, registry};

    Win32Services() {
        platform::setConsoleCodePage(&console);
        platform::setFullPathRule(&systemFullPath);
    }
    ~Win32Services() {
        platform::setConsoleCodePage(nullptr);
        platform::setFullPathRule(nullptr);
    }
    Win32Services(const Win32Services&) = delete;
    Win32Services& operator=(const Win32Services&) = delete;
};

}  // namespace tarvex::win32
