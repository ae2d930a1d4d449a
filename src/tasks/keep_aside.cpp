#include "app/keep_aside.h"

#include <cstdio>

#include "platform/files.h"

namespace tarvex::app {

std::string asideName(const std::string& path, const LocalTime& when) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", when.year, when.month, when.day,
                  when.hour, when.minute, when.second);
    return path + ".ilegivel-" + stamp;
}

std::string keepAside(const std::string& path, const LocalTime& when) {
    const std::optional<std::string> bytes = platform::readFile(path);
    if (!bytes) return {};
    const std::string base = asideName(path, when);
    std::string copy = base;
    for (int n = 2; platform::fileExists(copy); ++n) copy = base + "-" + std::to_string(n);
    return platform::writeFileAtomic(copy, *bytes).empty() ? copy : std::string();
}

}  // namespace tarvex::app
