#pragma once
// Passwords protected with DPAPI for the Windows user, with a per-user random
// entropy kept in the registry. WinMain installs it with platform::setSecrets.
#include "platform/secrets.h"

namespace tarvex::win32 {

platform::Secrets& dpapiSecrets();

}  // namespace tarvex::win32
