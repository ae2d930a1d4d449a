#pragma once
// The log file as the log page shows it: nine columns and a failure's reason, start and close entries
// filtered out on request, and the raw tail of the file.
#include <string>
#include <string_view>
#include <vector>

#include "log/log_lines.h"

namespace tarvex::log {

constexpr int kLogColumns = 10;
// The width a column is shown with, in pixels at 96 DPI.
int logColumnWidth(int col);

// The log as the grid shows it, from its text in memory: title row, one row per
// shown entry and a final empty row. The text is kept once with where each shown
// entry starts; a row's cells are cut from its line when the grid asks for them.
class LogRows {
public:
    LogRows(std::string text, const LogFilter& filter);
    LogRows(std::string text, bool showStart, bool showClose)
        : LogRows(std::move(text), LogFilter{showStart, showClose, {}, LogResult::All}) {}
    int rows() const { return static_cast<int>(starts_.size()) + 2; }
    void row(int r, std::vector<std::string>& cells) const;

private:
    std::string text_;
    std::vector<std::size_t> starts_;
};

// The same rows as cells, row-major, for whoever wants them all.
struct LogTable {
    int rows = 0;
    std::vector<std::string> cells;
};
LogTable buildLogTable(std::string_view logText, bool showStart, bool showClose);

// The raw-lines box holds this many of the last lines, read from at most this
// many of the file's last bytes; the grid holds them all.
constexpr int kMemoLogLines = 2000;
constexpr std::size_t kMemoLogBytes = 512 * 1024;
// Where the last `lines` whole lines of `end` begin; `cut`: `end` is the back of
// a longer text, so its first line may be only the back of one.
std::size_t tailStart(std::string_view end, bool cut, int lines);
// The note before them saying how many more lines the grid holds; the count is
// left out while not known (negative).
std::string tailNote(long long linesBefore);
// The end of the whole log `text` for the raw-lines box: its last `lines` lines,
// after the note when there are more.
std::string logTail(std::string_view text, int lines);

// The grid's title row.
void titleCells(std::vector<std::string>& cells);

// "Início", "Término", ... for an event code; empty for any other code.
std::string operText(std::string_view code);

}  // namespace tarvex::log
