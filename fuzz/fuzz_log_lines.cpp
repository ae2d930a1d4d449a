// The log page's parser takes any log text: a title row, at most one row per
// line, nine cells a row, and always one empty row at the end.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "log/log_rows.h"
#include "fuzz_check.h"

using namespace tarvex;

using fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    const log::LogTable t = log::buildLogTable(text, data[0] & 1, data[0] & 2);
    const auto lines = std::count(text.begin(), text.end(), '\n') + std::count(text.begin(), text.end(), '\r') + 1;
    check(t.rows >= 2 && t.rows <= lines + 2);
    check(t.cells.size() == static_cast<size_t>(t.rows) * log::kLogColumns);
    check(t.cells[0] == "Data");
    for (int col = 0; col < log::kLogColumns; ++col) check(t.cells[t.cells.size() - 1 - col].empty());
    for (const std::string& cell : t.cells) check(cell.find('#') == std::string::npos && cell.find('\n') == std::string::npos);
    return 0;
}
