#include "settings/autorun.h"

#include <exception>

namespace tarvex::settings {
namespace {

// Windows-1252 upper case: ASCII and the accented Latin letters.
char upper(char c) {
    auto u = static_cast<unsigned char>(c);
    if (u >= 'a' && u <= 'z') return static_cast<char>(u - 0x20);
    if (u >= 0xE0 && u <= 0xFE && u != 0xF7) return static_cast<char>(u - 0x20);
    if (u == 0x9A || u == 0x9C || u == 0x9E) return static_cast<char>(u - 0x10);
    if (u == 0xFF) return static_cast<char>(0x9F);
    return c;
}

}  // namespace

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
    std::string path;
    for (char c : exePath) path += upper(c);
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
