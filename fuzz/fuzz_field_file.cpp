// A field file is read back from disk whatever it holds: MRQ_READ fills exactly
// the slots asked for, never beyond 400, and never leaves a separator or a line
// break inside a field.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "lib/mrqr.h"
#include "platform/files.h"

using namespace tarvex;

namespace {
void check(bool condition) {
    if (!condition) std::abort();
}

const std::string& scratchPath() {
    static const std::string path = [] {
        auto p = std::filesystem::temp_directory_path() /
                 ("tarvex-fuzz-field-" + std::to_string(::getpid()) + ".txt");
        return platform::fromFsPath(p);
    }();
    return path;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int count = (data[0] | (data[1] << 8)) % 450;
    const std::string bytes(reinterpret_cast<const char*>(data) + 2, size - 2);
    if (!platform::writeFile(scratchPath(), bytes).empty()) return 0;

    MRQ_TABELA[FieldTable::kSlots] = "sentinel";
    MRQ_READ(scratchPath(), count);
    const int filled = count > FieldTable::kSlots ? FieldTable::kSlots : count;
    for (int k = 1; k <= filled; ++k) {
        const std::string& field = MRQ_TABELA[k];
        check(field.find('#') == std::string::npos);
        check(field.find('\n') == std::string::npos);
    }
    if (filled < FieldTable::kSlots) check(MRQ_TABELA[FieldTable::kSlots] == "sentinel");
    return 0;
}
