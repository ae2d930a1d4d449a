#include "lib/keep_aside.h"

#include <cstdio>

#include "platform/files.h"

namespace tarvex {

std::string asideName(const std::string& path, const LocalTime& when) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", when.year, when.month, when.day,
                  when.hour, when.minute, when.second);
    return path + ".ilegivel-" + stamp;
}

std::string keepAside(const std::string& path, const LocalTime& when) {
    const std::optional<std::string> bytes = platform::readFile(path);
    return bytes ? keepAside(path, *bytes, when) : std::string();
}

std::string keepAside(const std::string& path, const std::string& bytes, const LocalTime& when) {
    const std::string base = asideName(path, when);
    std::string copy = base;
    for (int n = 2; platform::fileExists(copy); ++n) copy = base + "-" + std::to_string(n);
    return platform::replaceFile(copy, bytes) ? std::string() : copy;
}

std::string asideNote(const std::string& copy) {
    if (copy.empty()) return "Não foi possível guardar uma cópia do arquivo como estava.";
    return "Uma cópia do arquivo como estava foi guardada em " + copy;
}

}  // namespace tarvex
