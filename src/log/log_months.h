#pragma once
// Keeping the log small: the months before the current one move out of
// "LOG_TIMER.TXT" into "LOG_TIMER_AAAA-MM.TXT" beside it, line for line.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarvex::log {

// The default bound on the log's size before older months move out.
inline constexpr int kDefaultLogMegabytes = 5;

// "2026-11" for a line that starts (after blanks) with the date "dd/mm/26";
// empty for a line without one.
std::string monthOfLine(std::string_view line);

// A log's lines parted by month: those of months before `currentMonth`
// ("AAAA-MM") by month, oldest first, each line with its CR LF; the others
// (this month, later ones and lines without a date) kept in their order.
// Blank lines are dropped.
struct MonthSplit {
    std::string kept;
    std::vector<std::pair<std::string, std::string>> older;
};
MonthSplit splitByMonth(std::string_view text, const std::string& currentMonth);

// "LOG_TIMER_2026-11.TXT" beside the log at `logPath`.
std::string monthFilePath(const std::string& logPath, const std::string& month);
// The months that have a file beside the log at `logPath`, newest first.
std::vector<std::string> monthsBeside(const std::string& logPath);

// Moves the older months out when the log is larger than `maxBytes` and its first
// dated line is of an older month (lines of a clock set back meanwhile wait for
// the next month to move). Every month
// file is written whole before the log is replaced, so a kill at any moment loses
// no line; a month whose lines already end its file (moved by a run killed before
// the log was replaced) is not written twice. What went wrong, or empty.
struct Rotation {
    bool moved = false;       // the log was replaced
    bool nothingOlder = false; // it holds only this month (or later): nothing can move
    std::string fault;
};
Rotation rotateLog(const std::string& logPath, std::uint64_t maxBytes, const std::string& currentMonth);

}  // namespace tarvex::log
