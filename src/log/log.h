#pragma once
// The execution log "LOG_TIMER.TXT": one line of nine "#"-ended fields per
// program start, close, reset, task run and task failure. Append only.
#include <cstdint>
#include <deque>
#include <functional>
#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "lib/run_context.h"
#include "platform/clock.h"

namespace tarvex::log {

class Log {
public:
    // Both are the main window's own fields, read at every entry: the settings
    // folder may be fixed after the log is made, and the run context changes
    // with every task.
    Log(const std::string& programFolder, const RunContext& context)
        : folder_(programFolder), context_(context) {}
    Log(std::string&&, const RunContext&) = delete;   // would dangle

    // Appends one entry. Never fails the caller: an entry that cannot be written
    // (a full disk) is kept, with those after it, and written before the next
    // entry that can be; the operator is told once, through `onUnwritten`.
    // A failure's `reason`, when given, follows as a tenth field: readers of the
    // nine fields see the line as before.
    void addEntry(int item, const std::string& code, const std::string& text,
                  const std::string& reason = "") const noexcept;
    // An entry for something that began as it is logged (a fault): Start is the
    // moment of writing, whatever the run context holds, which stays as it is.
    void logNow(int item, const std::string& code, const std::string& text) const noexcept;

    std::string path() const { return folder_ + "LOG_TIMER.TXT"; }
    const std::string& folder() const { return folder_; }

    // The line for an entry written at `now` (no line end); nothing when the
    // run context's start time is not a time of day.
    static std::optional<std::string> entry(const LocalTime& now, int item, const std::string& code,
                                            const std::string& text, const RunContext& context,
                                            const std::string& reason = "");

    // Told once when entries start waiting, and once more when they are written.
    std::function<void(const std::string&)> onUnwritten;
    // Entries kept in memory at most; beyond that the oldest are given up.
    static constexpr std::size_t kMaxWaiting = 10000;
    std::size_t waiting() const;

    // The log's bound: past it, the months before the current one move to their
    // own files beside it (log_months.h). 0: the log is never split.
    void setMaxBytes(std::uint64_t bytes);
    // Splits the log when it is past its bound, on a thread of its own: a log of
    // gigabytes takes a while, and entries go on being written meanwhile. Until
    // this is first called (once the window is up) entries never start a split.
    // The first time, the same thread then fills a missing run history from the
    // log, once the months have moved (run_history.h).
    void keepSmall() const noexcept;
    // Whether a split is under way (tests wait on it).
    bool splitting() const { return rotating_; }

private:
    void append(const std::string& line) const;
    void keepSmallLocked() const;
    void behindTheWindow(std::stop_token stop, const std::string& month, bool fillHistory) const noexcept;
    void rotate(std::stop_token stop, const std::string& month) const noexcept;

    const std::string& folder_;
    const RunContext& context_;
    mutable std::mutex m_;
    mutable std::deque<std::string> waiting_;
    mutable bool told_ = false;
    std::uint64_t maxBytes_ = 0;
    // The month in which the log was found to hold nothing older: looked at
    // again only in another month, not at every entry.
    mutable std::string nothingOlderIn_;
    mutable bool splitsAllowed_ = false;
    mutable bool historyLookedAt_ = false;
    mutable std::atomic<bool> rotating_{false};
    mutable std::jthread rotation_;   // last: stopped and joined before the rest goes
};

}  // namespace tarvex::log
