#pragma once
// File-system access for the core. Paths are Windows-1252 texts as the system keeps
// them; the conversion to the platform's own form happens only in here.
// On Linux a backslash is taken as a folder separator so Windows-style paths work,
// and fromFsPath gives "/" back as "\\", so the core always sees Windows-style paths.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "platform/io_error.h"

namespace tarvex::platform {

std::filesystem::path fsPath(const std::string& cp1252Path);
std::string fromFsPath(const std::filesystem::path& p);

bool fileExists(const std::string& path);      // a file (not a folder)
bool dirExists(const std::string& path);
bool createDir(const std::string& path);       // one level
bool removeFile(const std::string& path);

// Whole-file read into `bytes`; the reason when it cannot be opened or read.
IoResult readFile(const std::string& path, std::string& bytes);
// The same where only whether it was read matters.
std::optional<std::string> readFile(const std::string& path);

// Writes the bytes through a temporary file in the same folder, flushed, then
// replaces `path` in one step, keeping its permissions. On failure the old file
// is untouched. A read-only file refuses, as it refuses a plain overwrite; a
// temporary left over by an interrupted save never stands in the way.
IoResult replaceFile(const std::string& path, const std::string& bytes);
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

// Test seam: when set, it is asked before every open made by the read, write and
// append routines above; false makes that open fail the way it fails for a file
// another program holds locked. An empty function restores plain opening.
using OpenHook = std::function<bool(const std::string& path)>;
void setOpenHookForTests(OpenHook hook);
// Test seam: a disk with room for `bytes` in each write, as a full one has;
// a write beyond it puts down what fits and fails. Negative: no limit.
void setWriteRoomForTests(long long bytes);

}  // namespace tarvex::platform
