#pragma once
// The log's bytes cut into the entries the log page shows, fed in pieces of any
// size, so a file of any size can be gone through with a small buffer.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace tarvex::log {

// Only this much of a line, from its first non-blank byte, is looked at: a longer
// line (none that TARVEX writes) is shown cut, and whatever follows is skipped.
constexpr std::size_t kRowBytes = 65536;

inline bool blankByte(char c) { return static_cast<unsigned char>(c) <= ' '; }

// The text of an entry for its cells: from its start to the end of its line,
// at most kRowBytes, without the blanks at its end.
std::string_view entryText(std::string_view fromStart);
// Its nine cells, as the grid shows them.
void entryCells(std::string_view fromStart, std::vector<std::string>& cells);
// Which entries the page shows: start and close entries (the two check boxes),
// one task's entries, runs that went well or failures.
enum class LogResult { All, Ok, Failed };
struct LogFilter {
    bool showStart = true, showClose = true;
    std::string task;   // the task's name; empty: every entry
    LogResult result = LogResult::All;
    bool filters() const { return !showStart || !showClose || !task.empty() || result != LogResult::All; }
};
// Whether an entry with this text is shown.
bool entryShown(std::string_view text, const LogFilter& filter);
inline bool entryShown(std::string_view text, bool showStart, bool showClose) {
    return entryShown(text, LogFilter{showStart, showClose, {}, LogResult::All});
}

// A line ends at CR or LF; blanks around it do not count; a line of blanks is no
// entry. Each shown entry is told by the offset of its first non-blank byte.
class LineScanner {
public:
    explicit LineScanner(LogFilter filter) : filter_(std::move(filter)), filtering_(filter_.filters()) {}
    LineScanner(bool showStart, bool showClose) : LineScanner(LogFilter{showStart, showClose, {}, LogResult::All}) {}

    // `n` bytes found at `offset` in the file; `shown(start)` for each entry they decide.
    template <class Shown>
    void feed(const char* d, std::size_t n, std::uint64_t offset, Shown&& shown) {
        for (std::size_t at = 0; at < n;) {
            const auto* lf = static_cast<const char*>(std::memchr(d + at, '\n', n - at));
            const std::size_t stop = lf ? static_cast<std::size_t>(lf - d) : n;
            const auto* cr = static_cast<const char*>(std::memchr(d + at, '\r', stop - at));
            const std::size_t end = cr ? static_cast<std::size_t>(cr - d) : stop;
            if (piece(d + at, end - at, offset + at)) decide(shown);
            if (end == n) break;
            if (d[end] == '\n') ++breaks_;
            decide(shown);
            newLine();
            at = end + 1;
        }
    }
    // The end of the file ends its last line.
    template <class Shown>
    void finish(Shown&& shown) {
        decide(shown);
        newLine();
    }
    std::uint64_t lineBreaks() const { return breaks_; }

private:
    static constexpr std::size_t kHeadBytes = 512;   // enough for date, item, code and a task's name
    LogFilter filter_;
    bool filtering_;
    bool started_ = false, decided_ = false;
    std::uint64_t start_ = 0;      // the line's first non-blank byte
    std::size_t seen_ = 0;         // bytes seen from there, at most kRowBytes
    std::size_t text_ = 0;         // of which up to the last non-blank one
    std::string head_;             // the first of them, when entries are filtered
    std::uint64_t breaks_ = 0;

    // Takes in part of a line; true once kRowBytes of it are in.
    bool piece(const char* p, std::size_t n, std::uint64_t offset) {
        if (decided_) return false;
        std::size_t i = 0;
        if (!started_) {
            while (i < n && blankByte(p[i])) ++i;
            if (i == n) return false;
            started_ = true;
            start_ = offset + i;
        }
        const std::size_t take = std::min(n - i, kRowBytes - seen_);
        for (std::size_t j = i + take; j > i; --j)
            if (!blankByte(p[j - 1])) {
                text_ = seen_ + (j - i);
                break;
            }
        if (filtering_ && head_.size() < kHeadBytes) head_.append(p + i, std::min(take, kHeadBytes - head_.size()));
        seen_ += take;
        return seen_ >= kRowBytes;
    }

    template <class Shown>
    void decide(Shown&& shown) {
        if (!started_ || decided_) return;
        decided_ = true;
        if (filtering_ && !entryShown(std::string_view(head_).substr(0, text_), filter_)) return;
        shown(start_);
    }

    void newLine() {
        started_ = decided_ = false;
        seen_ = text_ = 0;
        head_.clear();
    }
};

}  // namespace tarvex::log
