// A field file's bytes, whatever they hold, are read in memory the way readFieldFile
// reads them from disk: exactly the slots asked for, never beyond 400, and never
// a separator or a line break inside a field.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "lib/routines.h"
#include "fuzz_check.h"

using namespace tarvex;

using fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int count = (data[0] | (data[1] << 8)) % 450;
    const std::string bytes(reinterpret_cast<const char*>(data) + 2, size - 2);

    fieldTable[FieldTable::kSlots] = "sentinel";
    readFieldText(bytes, count);
    const int filled = count > FieldTable::kSlots ? FieldTable::kSlots : count;
    for (int k = 1; k <= filled; ++k) {
        const std::string& field = fieldTable[k];
        check(field.find('#') == std::string::npos);
        check(field.find('\n') == std::string::npos && field.find('\r') == std::string::npos);
    }
    if (filled < FieldTable::kSlots) check(fieldTable[FieldTable::kSlots] == "sentinel");
    return 0;
}
