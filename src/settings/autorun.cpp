#include "settings/autorun.h"

#include <exception>

#include "lib/text1252.h"

namespace tarvex::settings {

AutorunFault autorunSet(platform::Registry& registry, const std::string& name, const std::string& data) {
    try {
        if (registry.setRun(name, data)) return std::nullopt;
        return "o Windows recusou a gravação do valor " + name;
    } catch (const std::exception& e) {
        return e.what();
    }
}

// Both keys are tried; the first reason is kept.
AutorunFault autorunRemove(platform::Registry& registry, const std::string& name) {
    AutorunFault fault;
    for (bool machineWide : {false, true}) {
        try {
            registry.deleteRun(machineWide, name);
        } catch (const std::exception& e) {
            if (!fault) fault = e.what();
        }
    }
    return fault;
}

bool autorunExists(platform::Registry& registry, const std::string& name) {
    std::string value;
    return registry.getRun(false, name, value);
}

std::string autorunCommand(const std::string& exePath) {
    const std::string path = upper1252(exePath);
    if (path.find(' ') != std::string::npos) return '"' + path + '"';
    return path;
}

AutorunFault autorunApply(platform::Registry& registry, bool wanted, const std::string& exePath) {
    if (wanted) return autorunSet(registry, kAutorunName, autorunCommand(exePath));
    return autorunRemove(registry, kAutorunName);
}

bool autorunEnabled(platform::Registry& registry, const std::string& exePath) {
    return autorunExists(registry, exePath) || autorunExists(registry, kAutorunName);
}

}  // namespace tarvex::settings
