#pragma once
// What the file routines share with each other and with the ZIP writer.
#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <string>

namespace tarvex::platform::detail {

// False when the disk faults make opening `path` fail as for a file held locked.
bool openAllowed(const std::string& path);
// How many of `bytes` the disk takes in one write (all, unless the disk faults fill it).
size_t roomFor(size_t bytes);
// fopen for a path in the platform's own form.
std::FILE* openPath(const std::filesystem::path& p, const char* mode);

}  // namespace tarvex::platform::detail
