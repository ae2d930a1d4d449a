#pragma once
// U_MRQ_TIMER: starting the program at logon, through a string value in the
// current user's logon auto-start key.
#include <optional>
#include <string>

#include "platform/services.h"

namespace tarvex::settings {

inline constexpr const char* kAutorunName = "TARVEX";

// Why the logon value could not be set or removed; nothing when it was done.
using AutorunFault = std::optional<std::string>;

// Writes the value in the current user's key.
AutorunFault autorunSet(platform::Registry& registry, const std::string& name, const std::string& data);
// Deletes the value from the current user's key, then from the machine's; a
// value that is not there is no failure.
AutorunFault autorunRemove(platform::Registry& registry, const std::string& name);
// True when the current user's key holds the value; a refused read counts as
// false (an error the registry raises reaches the caller).
bool autorunExists(platform::Registry& registry, const std::string& name);

// The value's data for the executable: its path in upper case, in double quotes
// when it holds a blank, so Windows cannot start a program on a shorter path.
std::string autorunCommand(const std::string& exePath);

// The save's part: the value "TARVEX" set when `wanted`, removed otherwise.
AutorunFault autorunApply(platform::Registry& registry, bool wanted, const std::string& exePath);
// The load's part: set when a value is named after the executable or "TARVEX".
bool autorunEnabled(platform::Registry& registry, const std::string& exePath);

}  // namespace tarvex::settings
