#pragma once
// Building paths for the walks of platform/files.h.
#include <string>

namespace tarvex::platform {

// `name` in `folder`, one "\\" between them.
std::string inFolder(const std::string& folder, const std::string& name);

}  // namespace tarvex::platform
