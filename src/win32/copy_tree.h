#pragma once
// The copy of types 01 and 02, walked file by file on "\\?\" paths. The shell's
// copy takes no such path and leaves a tree deeper than 260 characters half
// copied; it cannot be stopped either, short of leaving its thread hanging.
#include <atomic>
#include <string>

#include "platform/io_error.h"

namespace tarvex::win32 {

// As the shell copies: a folder into `to` (made when missing, else into
// `to\name`), a file or a mask ("*" names folders too) into the folder `to`,
// made when missing. Existing files are replaced, read-only ones too. A file
// that cannot be copied does not stop the rest; the first one is the failure.
// `stop` is looked at between files and while a file is copied.
platform::IoResult copyTree(const std::string& from, const std::string& to, const std::atomic<bool>& stop);

}  // namespace tarvex::win32
