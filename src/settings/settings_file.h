#pragma once
// Reading and saving the settings: the settings file in the settings folder
// (programFolder) and the logon auto-start value.
#include <functional>
#include <string>

#include "platform/services.h"
#include "settings/settings.h"

namespace tarvex::settings {

// programFolder: the executable's folder with a trailing backslash. Every file of
// the system lives there; it is not configurable.
std::string settingsFolder();

// Gives the operator a text; nothing waits on the answer.
using Tell = std::function<void(const std::string&)>;

// The settings file of `folder`, read through readFieldFile. A missing file gives the
// defaults. A file that is not one line of at most 20 fields as the program
// writes them (older versions wrote fewer; the missing ones default) is copied aside, the operator told what was wrong and where the copy is, and
// the defaults are used.
Settings readSettingsFile(const std::string& folder, const Tell& tell = {});
// What is wrong with a settings file's bytes; empty when they read as one.
std::string settingsFault(const std::string& bytes);
// Writes the record through writeFieldFile as one line of 20 fields; values are
// stored as they stand and checked only when read back.
void writeSettingsFile(const std::string& folder, const Settings& s, const Tell& tell = {});

// readSettings: the settings file, then the logon test, which decides `autorun`. When
// the test itself fails, the operator is told and the file's flag stays.
Settings readSettings(const std::string& folder, platform::Registry& registry,
                      const std::string& exePath, const Tell& tell = {});

// What saveSettingsClicked saves: the logon value as `s.autorun` says (a value
// that cannot be set or removed is told with its reason), then the file. The
// window then runs readSettings and shows the task page.
void storeSettings(const std::string& folder, const Settings& s, platform::Registry& registry,
                   const std::string& exePath, const Tell& tell = {});

}  // namespace tarvex::settings
