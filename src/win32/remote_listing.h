#pragma once
// A server folder's listing read into plain files: FTP's MLSD lines, or the
// "ls -l" lines of FTP's LIST and of curl's SFTP listing, or DOS-style LIST
// lines (IIS). Folders, links and lines not understood are left out.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/uploader.h"

namespace tarvex::win32 {

// `now` (seconds since 1970, UTC) places a Unix line's date that carries no year.
std::vector<platform::RemoteFile> readMlsd(const std::string& text);
std::vector<platform::RemoteFile> readList(const std::string& text, std::int64_t now);

}  // namespace tarvex::win32
