#pragma once
// Services for a window built without the operating system: nothing is started,
// copied, closed or stored, and every request reports that it failed.
#include "platform/services.h"

namespace tarvex::testkit {

platform::Services& inertServices();

}  // namespace tarvex::testkit
