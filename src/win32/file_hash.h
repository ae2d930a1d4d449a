#pragma once
// A file's SHA-256, by Windows' CNG, as lowercase hex; empty when it cannot be read.
#include <string>

namespace tarvex::win32 {

std::string sha256Hex(const std::string& cp1252Path);

}  // namespace tarvex::win32
