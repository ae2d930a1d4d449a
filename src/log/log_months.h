#pragma once
// Keeping the log small: the months before the current one move out of
// "LOG_TIMER.TXT" into "LOG_TIMER_AAAA-MM.TXT" beside it, line for line.
#include <cstdint>
#include <functional>
#include <stop_token>
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

// The log's bytes, fed in pieces of any size, cut into lines and each line told
// with its month (empty: no date) as it goes, so no line needs to be held whole:
// `out(month, bytes)` gets the line's bytes in one or more pieces, then its
// "\r\n". CR at a line's end and lines of blanks are dropped. A NUL ends a line
// and is dropped with the zeros after it: a run of zeros (a file cut by a crash,
// or a sparse one) is damage, never part of an entry, and is skipped in blocks.
class MonthLines {
public:
    using Out = std::function<void(const std::string& month, std::string_view bytes)>;
    explicit MonthLines(Out out) : out_(std::move(out)) {}
    void feed(std::string_view bytes);
    void finish() { endLine(); }

private:
    Out out_;
    std::string head_;          // the line until its date can be judged
    std::size_t text_ = 0;      // bytes of head_ from its first non-blank one
    bool decided_ = false;
    std::string month_;
    std::size_t heldCr_ = 0;    // CRs that end the line unless more follows

    void piece(std::string_view bytes);
    void emit(std::string_view bytes);
    void decide();
    void endLine();
};

// A log's lines parted by month: those of months before `currentMonth`
// ("AAAA-MM") by month, oldest first, each line with its CR LF; the others
// (this month, later ones and lines without a date) kept in their order.
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
// the next month to move). The log is read a block at a time, so its size does
// not matter to memory. Every month file is written whole before the log is
// replaced, so a kill at any moment loses no line; a month whose lines already
// end its file (moved by a run killed before the log was replaced) is not written
// twice. Entries appended while it runs are kept: `underLock` runs a step while
// no entry is being written (the log's own lock), and a log reset meanwhile is
// left as it is. A stop request leaves everything as it was.
struct Rotation {
    bool moved = false;       // the log was replaced
    bool nothingOlder = false; // it holds only this month (or later): nothing can move
    std::string fault;        // what went wrong, or empty
};
struct RotationHooks {
    std::function<void(const std::function<void()>&)> underLock;
    std::stop_token stop;
};
Rotation rotateLog(const std::string& logPath, std::uint64_t maxBytes, const std::string& currentMonth,
                   const RotationHooks& hooks = {});

}  // namespace tarvex::log
