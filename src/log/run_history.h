#pragma once
// HISTORICO_TIMER.TXT beside the log: one short line per task run (day, hour,
// row, name, result, seconds, bytes), so the history picture opens without going
// through the whole log. Filled once from LOG_TIMER.TXT when it is missing; kept
// to the last 400 days.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <stop_token>
#include <vector>

#include "lib/datetime.h"

namespace tarvex::log {

struct RunRecord {
    Date day;
    int hour = 0;              // seconds since midnight when the run began
    int item = 0;              // the task's row at the time
    std::string name;          // the task's name, trimmed: what ties runs to a task
    bool ok = true;
    std::int64_t seconds = -1; // how long it took; -1 unknown
    std::int64_t bytes = -1;   // archive size or bytes copied; -1 unknown
};

constexpr int kKeptDays = 400;
constexpr const char* kHistoryFile = "HISTORICO_TIMER.TXT";

std::string runLine(const RunRecord& run);   // no line end
std::optional<RunRecord> readRunLine(std::string_view line);
// The runs a LOG_TIMER.TXT's bytes tell of (its "EXE" and "ERR" entries) from
// the day `oldest` on.
std::vector<RunRecord> runsFromLog(std::string_view logBytes, const Date& oldest = Date{});

// Fills the history file of `folder` from the log when it is missing: a long read
// over a big log, done behind the window; a stop asked for leaves the file to the
// next need.
void fillMissingHistory(const std::string& folder, const Date& today, std::stop_token stop) noexcept;
// The runs of `day` alone, oldest first: from the history file, or when it is
// missing from the end of the log, never the whole log (start-up waits on this).
std::vector<RunRecord> runsOfDay(const std::string& folder, const Date& day);

// Appends one run to the history file of `folder`, first filling the file from
// the log when it does not exist yet. Never fails the caller: a run that cannot
// be written is left out of the picture (the log still has it).
void appendRun(const std::string& folder, const RunRecord& run) noexcept;
// Every run of the history file of `folder`, oldest first; fills the file from
// the log when it is missing, and drops runs older than kKeptDays before `today`
// when some are well past that. Lines of the file that are not runs are then
// copied aside (HISTORICO_TIMER.TXT.ilegivel-...) and the log says where; a file
// whose copy cannot be made is not rewritten.
std::vector<RunRecord> loadRuns(const std::string& folder, const Date& today);

// A run whose size is under half or over double the median of the same task's
// runs before it (the last kMedianRuns of them that have a size).
struct SizeJump {
    std::string name;
    Date day;
    std::int64_t bytes = 0;
    std::int64_t median = 0;
};
constexpr std::size_t kMedianRuns = 10;
// The median of these sizes; nothing for fewer than three.
std::optional<std::int64_t> medianOf(std::vector<std::int64_t> sizes);
// Under half or over double.
inline bool farFrom(std::int64_t bytes, std::int64_t median) { return bytes * 2 < median || bytes > median * 2; }
// The median of the sizes of `name`'s good runs before runs[end]; nothing with
// fewer than three of them.
std::optional<std::int64_t> medianBefore(const std::vector<RunRecord>& runs, std::size_t end);
std::optional<SizeJump> sizeJumpAt(const std::vector<RunRecord>& runs, std::size_t i);
// "NOME: 12 MB hoje, mediana 480 MB" ("em dd/mm/yy" for another day than `today`).
std::string sizeJumpText(const SizeJump& jump, const Date& today);
std::string sizeText(std::int64_t bytes);   // "12 MB", "640 KB", "1,5 GB"
// The size jumps of the runs of `day` in the history file of `folder`, as told
// to the operator (for the day's report).
std::vector<std::string> sizeJumpsOn(const std::string& folder, const Date& day);
// The runs a picture of the days from `from` to `today` needs, oldest first,
// read from the history file of `folder` a block at a time (filled from the log
// first when missing): every run from `from` on, and of each task's earlier runs
// only what judges those days (its last run, its last good one, its last
// kMedianRuns sized ones). Memory follows the days asked for, not the file.
std::vector<RunRecord> recentRuns(const std::string& folder, const Date& today, const Date& from);

// The size jump of the last run of `name`, if it made one (told after the run).
std::optional<SizeJump> lastRunJump(const std::string& folder, const std::string& name, const Date& today);

}  // namespace tarvex::log
