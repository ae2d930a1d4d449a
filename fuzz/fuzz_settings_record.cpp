// The settings file, whatever it holds, gives a record within its limits, and
// the record saved and read back is the same record.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "lib/routines.h"
#include "settings/settings.h"

using namespace tarvex;

namespace {
void check(bool condition) {
    if (!condition) std::abort();
}

settings::Settings fromText(const std::string& bytes) {
    readFieldText(bytes, settings::kFieldCount);
    settings::Fields fields;
    for (int slot = 1; slot <= settings::kFieldCount; ++slot) fields[slot - 1] = fieldTable[slot];
    return settings::fromFields(fields);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const settings::Settings s = fromText(std::string(reinterpret_cast<const char*>(data), size));
    check(s.startMode >= -1 && s.startMode <= 2);
    check(s.startPage >= -1 && s.startPage <= 2);
    check(s.width > 0 && s.height > 0);
    check(settings::textFontPoints(s) > 0);

    std::string line;
    for (const std::string& field : settings::toFields(s)) line += field + "#";
    check(fromText(line) == s);
    return 0;
}
