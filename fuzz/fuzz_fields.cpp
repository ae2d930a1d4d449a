// toInt and fieldOf read every stored field: toInt either gives a number or
// its conversion error, and fieldOf cuts exactly the fields a plain split gives
// without ever leaving the 400 slots.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "lib/routines.h"

using namespace tarvex;

namespace {
void check(bool condition) {
    if (!condition) std::abort();
}

std::vector<std::string> split(const std::string& text, char sep) {
    std::vector<std::string> out(1);
    for (char c : text) {
        if (c == sep) out.emplace_back();
        else out.back() += c;
    }
    return out;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const int n = static_cast<int16_t>(data[0] | (data[1] << 8)) % 600;
    const char sep = static_cast<char>(data[2]);
    const std::string text(reinterpret_cast<const char*>(data) + 3, size - 3);

    try {
        const int32_t v = toInt(text);
        check(v > -100000000 && v < 1000000000);
    } catch (const IntegerConvertError&) {
    }

    const std::string field = fieldOf(text, n, sep);
    if (trim(text).empty()) {
        check(field.empty());
    } else if (n >= 1) {
        const auto parts = split(text, sep);
        const size_t k = static_cast<size_t>(n > FieldTable::kSlots ? FieldTable::kSlots : n);
        check(field == (k <= parts.size() ? parts[k - 1] : std::string()));
    } else {
        const auto parts = split(text, sep);
        for (size_t k = 1; k <= parts.size() && k <= FieldTable::kSlots; ++k) check(fieldTable[k] == parts[k - 1]);
    }
    zeroPad(text, n % 20);
    return 0;
}
