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

void autorunSet(platform::Registry& registry, const std::string& name, const std::string& data) {
    try {
        registry.setRun(name, data);
    } catch (const std::exception&) {
    }
}

void autorunRemove(platform::Registry& registry, const std::string& name) {
    for (bool machineWide : {false, true}) {
        try {
            registry.deleteRun(machineWide, name);
        } catch (const std::exception&) {
        }
    }
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

void autorunApply(platform::Registry& registry, bool wanted, const std::string& exePath) {
    if (wanted)
        autorunSet(registry, kAutorunName, autorunCommand(exePath));
    else
        autorunRemove(registry, kAutorunName);
}

bool autorunEnabled(platform::Registry& registry, const std::string& exePath) {
    return autorunExists(registry, exePath) || autorunExists(registry, kAutorunName);
}

}  // namespace tarvex::settings
