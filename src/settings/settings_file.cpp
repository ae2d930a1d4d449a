#include "settings/settings_file.h"

#include <exception>

#include "lib/routines.h"
#include "platform/files.h"
#include "settings/autorun.h"

namespace tarvex::settings {

std::string settingsFolder() { return platform::exeFolder(); }

Settings readSettingsFile(const std::string& folder) {
    readFieldFile(folder + kFileName, kFieldCount);
    Fields fields;
    for (int slot = 1; slot <= kFieldCount; ++slot) fields[slot - 1] = fieldTable[slot];
    return fromFields(fields);
}

void writeSettingsFile(const std::string& folder, const Settings& s) {
    const Fields fields = toFields(s);
    for (int slot = 1; slot <= kFieldCount; ++slot) fieldTable[slot] = fields[slot - 1];
    writeFieldFile(folder + kFileName, kFieldCount);
}

Settings readSettings(const std::string& folder, platform::Registry& registry,
                 const std::string& exePath) {
    Settings s = readSettingsFile(folder);
    try {
        s.autorun = autorunEnabled(registry, exePath);
    } catch (const std::exception& e) {
        showMessageBox(std::string("Erro na leitura do AUTORUN - ") + e.what());
    }
    return s;
}

void storeSettings(const std::string& folder, const Settings& s, platform::Registry& registry,
               const std::string& exePath) {
    // The settings are saved all the same; the check box shows the value as read back.
    if (const AutorunFault fault = autorunApply(registry, s.autorun, exePath))
        showMessageBox("Erro na gravação do AUTORUN - " + *fault);
    writeSettingsFile(folder, s);
}

}  // namespace tarvex::settings
