#pragma once
// File-system access for the core. Paths are Windows-1252 texts as the system keeps
// them; the conversion to the platform's own form happens only in here.
// On Linux a backslash is taken as a folder separator so Windows-style paths work,
// and fromFsPath gives "/" back as "\\", so the core always sees Windows-style paths.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/io_error.h"

namespace tarvex::platform {

// On Windows a path of kLongFrom characters or more comes in the form of longPath.
std::filesystem::path fsPath(const std::string& cp1252Path);
constexpr std::size_t kLongFrom = 248;
// The path as the operator typed it: without the "\\?\" of longPath.
std::string fromFsPath(const std::filesystem::path& p);
// fsPath in the form Windows takes beyond 260 characters ("\\?\C:\..." and
// "\\?\UNC\server\share\..."): made absolute, "/" as "\", no "." or "..".
// A walk that starts from it reaches every depth. Elsewhere the same as fsPath.
std::filesystem::path longPath(const std::string& cp1252Path);

// The path made full by the system's own rule (on Windows GetFullPathNameW,
// installed by the Windows layer): a network path keeps its share, where the
// standard library's absolute() under mingw puts the current drive in its place.
std::filesystem::path fullPath(const std::string& cp1252Path);
using FullPathRule = std::wstring (*)(const std::wstring& path);
void setFullPathRule(FullPathRule rule);   // nullptr: the standard library's absolute() again

// One name found in a folder.
struct FolderEntry {
    std::string name;   // Windows-1252
    bool folder = false;
    std::uint64_t size = 0;
    std::int64_t modified = 0;   // seconds since 1970, UTC
};
// The files and folders directly inside `folder` (no "." or ".."); the reason
// when it cannot be read. Works on a longPath at any depth.
IoResult listFolder(const std::filesystem::path& folder, std::vector<FolderEntry>& entries);

bool fileExists(const std::string& path);      // a file (not a folder)
bool dirExists(const std::string& path);
bool createDir(const std::string& path);       // one level
bool removeFile(const std::string& path);

// Whole-file read into `bytes`; the reason when it cannot be opened or read.
IoResult readFile(const std::string& path, std::string& bytes);
// The same where only whether it was read matters.
std::optional<std::string> readFile(const std::string& path);
// Up to `count` bytes from `offset` on (fewer at the end of the file), the file
// open only for this read; the reason when it cannot be opened or read.
IoResult readFileAt(const std::string& path, std::uint64_t offset, std::size_t count, std::string& bytes);
// The size of a file; nothing when there is no such file.
std::optional<std::uint64_t> fileSize(const std::string& path);

// Writes the bytes through a temporary file in the same folder, flushed, then
// replaces `path` in one step, keeping its permissions. On failure the old file
// is untouched. A read-only file refuses, as it refuses a plain overwrite; a
// temporary left over by an interrupted save never stands in the way.
IoResult replaceFile(const std::string& path, const std::string& bytes);
// The same with the bytes given a piece at a time, for a file too large to hold:
// `pieces` fills its argument with the next piece, leaves it empty at the end, or
// gives a reason, which leaves the old file untouched and is returned.
using Pieces = std::function<IoResult(std::string& piece)>;
IoResult replaceFileFrom(const std::string& path, const Pieces& pieces);
// Plain create-or-truncate write (no temporary).
IoResult overwriteFile(const std::string& path, const std::string& bytes);
// Appends bytes in one write, creating the file. A write the disk cuts short is
// cut off again, so the file is as before; after a torn last line (no line end)
// the bytes start on a new line.
IoResult appendWhole(const std::string& path, const std::string& bytes);
// Removes the temporaries interrupted saves left in `folder`; how many went.
int removeLeftoverTemps(const std::string& folder);

// The folder of the running executable, with a trailing backslash.
std::string exeFolder();
// The running executable's full path, as the program was started; empty when unknown.
std::string exePath();

// Faults of a disk that cannot be brought about on demand: a file another program
// holds, a full disk, an archive damaged between its writing and its reading back.
// The routines above (and the ZIP writer) go through the installed DiskFaults; the
// system's own disk has none of these, and tests install one that does.
class DiskFaults {
public:
    virtual ~DiskFaults() = default;
    // False makes opening `path` fail the way it fails for a file held locked.
    virtual bool opens(const std::string& path) { (void)path; return true; }
    // How many of `bytes` one write puts down; fewer makes it fail as on a full disk.
    virtual std::size_t room(std::size_t bytes) { return bytes; }
    // Told of a file just written whole, before it is read back to be checked.
    virtual void written(const std::string& path) { (void)path; }
};
// The installed disk faults; none unless setDiskFaults gave some. They are asked
// from the ZIP writer's threads too, so install them before any work starts.
DiskFaults& diskFaults();
void setDiskFaults(DiskFaults* faults);   // nullptr: none again

}  // namespace tarvex::platform
