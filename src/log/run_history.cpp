#include "log/run_history.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

#include "lib/keep_aside.h"
#include "lib/routines.h"
#include "log/log.h"
#include "log/log_months.h"
#include "platform/clock.h"
#include "platform/files.h"

namespace tarvex::log {

namespace {

// Splits at '#', as the log and this file end every field with one; at most N
// fields, the number found returned (no allocation: a log has a million lines).
template <std::size_t N>
std::size_t fields(std::string_view line, std::array<std::string_view, N>& out) {
    std::size_t n = 0;
    while (n < N) {
        const std::size_t hash = line.find('#');
        if (hash == std::string_view::npos) {
            if (!line.empty()) out[n++] = line;
            break;
        }
        out[n++] = line.substr(0, hash);
        line.remove_prefix(hash + 1);
    }
    return n;
}

std::optional<int> digits(std::string_view s) {
    if (s.empty() || s.size() > 18) return std::nullopt;
    long long v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v > 2000000000 ? std::nullopt : std::optional<int>(static_cast<int>(v));
}

std::int64_t number(std::string_view s) {
    if (s.empty() || s.size() > 18) return -1;
    std::int64_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return -1;
        v = v * 10 + (c - '0');
    }
    return v;
}

// "dd/mm/yy" as this program writes it (years 2000 to 2099).
std::optional<Date> dayOf(std::string_view s) {
    if (s.size() != 8 || s[2] != '/' || s[5] != '/') return std::nullopt;
    const auto d = digits(s.substr(0, 2)), m = digits(s.substr(3, 2)), y = digits(s.substr(6, 2));
    if (!d || !m || !y || !isValidDate(2000 + *y, *m, *d)) return std::nullopt;
    return Date{2000 + *y, *m, *d};
}

// The task's name in an entry's text: after a "***   ERRO   ***" mark, before
// what the run added (" >> 12 arquivos conferidos", " (linha 3, código 1)").
std::string_view nameInText(std::string_view text) {
    if (const std::size_t mark = text.rfind("***"); mark != std::string_view::npos) text.remove_prefix(mark + 3);
    constexpr std::string_view notFound = "Programa não localizado ";
    if (const std::size_t at = text.find(notFound); at != std::string_view::npos)
        text.remove_prefix(at + notFound.size());
    if (const std::size_t at = text.find(" >> "); at != std::string_view::npos) text = text.substr(0, at);
    if (const std::size_t at = text.rfind(" ("); at != std::string_view::npos && text.back() == ')')
        text = text.substr(0, at);
    return trimmed(text);
}

std::string path(const std::string& folder) { return folder + kHistoryFile; }

std::string linesOf(const std::vector<RunRecord>& runs) {
    std::string bytes;
    bytes.reserve(runs.size() * 48);
    for (const RunRecord& run : runs) {
        bytes += runLine(run);
        bytes += "\r\n";
    }
    return bytes;
}

constexpr std::size_t kBlock = 1 << 20;
constexpr std::size_t kLongestLine = 64 * 1024;   // beyond it, only a line's end can be an entry

// The history lines of the runs in the files at `paths`, in order, a block at a
// time: a log of any size is gone through with little memory.
platform::Pieces runLinesOf(std::vector<std::string> paths, Date oldest) {
    struct Reading {
        std::vector<std::string> paths;
        Date oldest;
        std::size_t file = 0;
        std::uint64_t at = 0;
        std::string carry, block;
    };
    auto r = std::make_shared<Reading>(Reading{std::move(paths), oldest, 0, 0, {}, {}});
    return [r](std::string& piece) -> platform::IoResult {
        const auto add = [&](std::string_view lines) {
            for (const RunRecord& run : runsFromLog(lines, r->oldest)) (piece += runLine(run)) += "\r\n";
        };
        while (piece.empty() && r->file < r->paths.size()) {
            // A file that cannot be read (or no longer) ends there: its runs so far count.
            if (platform::readFileAt(r->paths[r->file], r->at, kBlock, r->block) || r->block.empty()) {
                add(r->carry);
                r->carry.clear();
                ++r->file;
                r->at = 0;
                continue;
            }
            r->at += r->block.size();
            const std::size_t lf = r->block.rfind('\n');
            if (lf == std::string::npos) {
                r->carry += r->block;
                if (r->carry.size() > 2 * kLongestLine) r->carry.erase(0, r->carry.size() - kLongestLine);
                continue;
            }
            r->carry.append(r->block, 0, lf + 1);
            add(r->carry);
            r->carry.assign(r->block, lf + 1);
        }
        return std::nullopt;
    };
}

// The runs of the log and of the months already moved out of it, kept to the
// last kKeptDays, written as the history file.
// A stop asked for leaves no file: the next need fills it again.
void fillFromLog(const std::string& folder, const Date& today, const std::stop_token& stop = {}) {
    const std::string logPath = folder + "LOG_TIMER.TXT";
    std::vector<std::string> paths;
    std::vector<std::string> months = monthsBeside(logPath);
    std::reverse(months.begin(), months.end());   // oldest first, as the runs are kept
    for (const std::string& month : months) paths.push_back(monthFilePath(logPath, month));
    paths.push_back(logPath);
    platform::Pieces lines = runLinesOf(std::move(paths), addDays(today, -kKeptDays));
    platform::replaceFileFrom(path(folder), [&](std::string& piece) -> platform::IoResult {
        if (stop.stop_requested()) return platform::ioError("Interrompido", path(folder), {});
        return lines(piece);
    });
}

// One fill at a time: a run recorded while the fill goes on behind the window
// waits for it rather than filling the file a second time.
std::mutex& fillLock() {
    static std::mutex m;
    return m;
}

void fillIfMissing(const std::string& folder, const Date& today, const std::stop_token& stop = {}) {
    std::lock_guard lock(fillLock());
    if (!platform::fileExists(path(folder))) fillFromLog(folder, today, stop);
}

// The end of the log from the first line of `day` on (a little before it), read
// back a block at a time: a day is a small part of a log of years. A block with no
// line break (a hole of zeros) ends the reading, as no entry stands there.
std::string logTailOf(const std::string& logPath, const Date& day) {
    const auto size = platform::fileSize(logPath);
    std::vector<std::string> blocks;
    std::string block;
    for (std::uint64_t at = size.value_or(0); at > 0;) {
        const std::uint64_t n = std::min<std::uint64_t>(kBlock, at);
        if (platform::readFileAt(logPath, at - n, static_cast<std::size_t>(n), block) || block.size() != n) break;
        at -= n;
        const std::size_t lf = block.find('\n');
        blocks.push_back(std::move(block));
        if (lf == std::string::npos) break;
        const std::optional<Date> first = dayOf(std::string_view(blocks.back()).substr(lf + 1, 8));
        if (first && *first < day) break;
    }
    std::string tail;
    for (auto it = blocks.rbegin(); it != blocks.rend(); ++it) tail += *it;
    return tail;
}

// Each line of the file at `path` that ends in a line break, or ends the file.
template <class Line>
void eachLine(const std::string& filePath, Line&& line) {
    std::string block, carry;
    for (std::uint64_t at = 0;; at += block.size()) {
        if (platform::readFileAt(filePath, at, kBlock, block) || block.empty()) break;
        std::string_view rest = block;
        for (std::size_t lf; (lf = rest.find('\n')) != std::string_view::npos; rest.remove_prefix(lf + 1)) {
            if (carry.empty()) {
                line(rest.substr(0, lf));
            } else {
                carry.append(rest.substr(0, lf));
                line(std::string_view(carry));
                carry.clear();
            }
        }
        if (carry.size() < kLongestLine) carry.append(rest.substr(0, kLongestLine));
    }
    if (!carry.empty()) line(std::string_view(carry));
}

}  // namespace

std::string runLine(const RunRecord& run) {
    std::string line;
    line.reserve(48 + run.name.size());
    line += formatDate(run.day);
    line += '#';
    line += formatTime(run.hour);
    line += '#';
    line += zeroPad(run.item, 2);
    line += '#';
    for (char c : run.name) line += c == '#' ? ' ' : c;
    line += run.ok ? "#OK#" : "#ERRO#";
    if (run.seconds >= 0) line += std::to_string(run.seconds);
    line += '#';
    if (run.bytes >= 0) line += std::to_string(run.bytes);
    line += '#';
    return line;
}

namespace {

// Into `run`, whose strings keep their room: a file of a million lines is read
// without a million allocations.
bool readRunInto(std::string_view line, RunRecord& run) {
    std::array<std::string_view, 7> f;
    const std::size_t n = fields(trimmed(line), f);
    if (n < 5) return false;
    const auto day = dayOf(f[0]);
    const auto hour = readTime(f[1]);
    if (!day || !hour || (f[4] != "OK" && f[4] != "ERRO")) return false;
    run.day = *day;
    run.hour = *hour;
    run.item = digits(f[2]).value_or(0);
    run.name.assign(f[3]);
    run.ok = f[4] == "OK";
    run.seconds = n > 5 ? number(f[5]) : -1;
    run.bytes = n > 6 ? number(f[6]) : -1;
    return true;
}

}  // namespace

std::optional<RunRecord> readRunLine(std::string_view line) {
    RunRecord run;
    if (!readRunInto(line, run)) return std::nullopt;
    return run;
}

std::vector<RunRecord> runsFromLog(std::string_view bytes, const Date& oldest) {
    std::vector<RunRecord> runs;
    while (!bytes.empty()) {
        const std::size_t end = std::min(bytes.find('\n'), bytes.size());
        const std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(std::min(end + 1, bytes.size()));
        std::array<std::string_view, 7> f;
        const std::size_t n = fields(trimmed(line), f);
        if (n < 5 || (f[2] != "EXE" && f[2] != "ERR")) continue;
        const auto day = dayOf(f[0]);
        if (!day || *day < oldest) continue;
        const auto hour = readTime(f[4]);
        if (!hour) continue;
        RunRecord run{*day, *hour, digits(f[1]).value_or(0), std::string(nameInText(f[3])), f[2] == "EXE"};
        if (n > 6)
            if (const auto took = readTime(f[6])) run.seconds = *took;
        runs.push_back(std::move(run));
    }
    return runs;
}

std::vector<RunRecord> recentRuns(const std::string& folder, const Date& today, const Date& from) {
    fillIfMissing(folder, today);
    using Numbered = std::pair<std::size_t, RunRecord>;   // the line's number keeps the file's order
    struct Earlier {
        Numbered last, lastOk{SIZE_MAX, {}};
        std::array<Numbered, kMedianRuns> sized;
        std::size_t sizedCount = 0;
    };
    std::map<std::string, Earlier, std::less<>> earlier;
    std::vector<Numbered> kept;
    RunRecord run;
    std::size_t number = 0;
    eachLine(path(folder), [&](std::string_view line) {
        if (!readRunInto(line, run)) return;
        ++number;
        if (!(run.day < from)) return void(kept.emplace_back(number, run));
        auto it = earlier.find(std::string_view(run.name));
        if (it == earlier.end()) it = earlier.emplace(run.name, Earlier{}).first;
        Earlier& e = it->second;
        e.last.first = number;
        e.last.second = run;
        if (!run.ok) return;
        e.lastOk.first = number;
        e.lastOk.second = run;
        if (run.bytes < 0) return;
        Numbered& slot = e.sized[e.sizedCount++ % kMedianRuns];
        slot.first = number;
        slot.second = run;
    });
    for (auto& [name, e] : earlier) {
        kept.push_back(std::move(e.last));
        if (e.lastOk.first != SIZE_MAX) kept.push_back(std::move(e.lastOk));
        for (std::size_t i = 0; i < std::min(e.sizedCount, kMedianRuns); ++i) kept.push_back(std::move(e.sized[i]));
    }
    std::sort(kept.begin(), kept.end(), [](const Numbered& a, const Numbered& b) { return a.first < b.first; });
    kept.erase(std::unique(kept.begin(), kept.end(), [](const Numbered& a, const Numbered& b) { return a.first == b.first; }),
               kept.end());
    std::vector<RunRecord> runs;
    runs.reserve(kept.size());
    for (Numbered& k : kept) runs.push_back(std::move(k.second));
    return runs;
}

void fillMissingHistory(const std::string& folder, const Date& today, std::stop_token stop) noexcept {
    try {
        fillIfMissing(folder, today, stop);
    } catch (...) {
        // Filled when it is next needed.
    }
}

std::vector<RunRecord> runsOfDay(const std::string& folder, const Date& day) {
    std::vector<RunRecord> runs = platform::fileExists(path(folder))
                                      ? recentRuns(folder, day, day)
                                      : runsFromLog(logTailOf(folder + "LOG_TIMER.TXT", day), day);
    std::erase_if(runs, [&](const RunRecord& r) { return !(r.day == day); });
    return runs;
}

void appendRun(const std::string& folder, const RunRecord& run) noexcept {
    try {
        fillIfMissing(folder, run.day);
        platform::appendWhole(path(folder), runLine(run) + "\r\n");
    } catch (...) {
        // The picture misses this run; the log has it.
    }
}

std::vector<RunRecord> loadRuns(const std::string& folder, const Date& today) {
    fillIfMissing(folder, today);
    std::string bytes;
    if (platform::readFile(path(folder), bytes)) return {};   // held by another program: nothing lost
    std::vector<RunRecord> runs;
    runs.reserve(bytes.size() / 40);
    std::string unreadable;
    int unreadableLines = 0;
    for (std::string_view rest = bytes; !rest.empty();) {
        const std::size_t end = std::min(rest.find('\n'), rest.size());
        const std::string_view line = rest.substr(0, end);
        if (auto run = readRunLine(line)) {
            runs.push_back(std::move(*run));
        } else if (!trimmed(line).empty()) {
            unreadable.append(line.substr(0, line.find('\r')));
            unreadable += "\r\n";
            ++unreadableLines;
        }
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    // Rewritten only when a month's worth is past the bound, not at every opening.
    if (!runs.empty() && runs.front().day < addDays(today, -kKeptDays - 30)) {
        // Runs past the bound go; lines that are not runs are the operator's to
        // judge: kept aside first, and without that copy nothing is rewritten.
        std::string copy;
        if (!unreadable.empty() && (copy = keepAside(path(folder), unreadable, platform::clock().now())).empty())
            return runs;
        const Date oldest = addDays(today, -kKeptDays);
        std::erase_if(runs, [&](const RunRecord& r) { return r.day < oldest; });
        if (!platform::replaceFile(path(folder), linesOf(runs)) && !copy.empty()) {
            const RunContext none{};
            Log(folder, none).logNow(0, "ERR", "O histórico " + path(folder) + " foi reescrito sem as execuções de mais de " +
                                                  std::to_string(kKeptDays) + " dias; " + std::to_string(unreadableLines) +
                                                  " linha(s) que não puderam ser lidas foram guardadas em " + copy);
        }
    }
    return runs;
}

std::optional<std::int64_t> medianBefore(const std::vector<RunRecord>& runs, std::size_t end) {
    if (end > runs.size()) return std::nullopt;
    const std::string& name = end < runs.size() ? runs[end].name : std::string();
    std::vector<std::int64_t> sizes;
    for (std::size_t i = end; i-- > 0 && sizes.size() < kMedianRuns;)
        if (runs[i].ok && runs[i].bytes >= 0 && runs[i].name == name) sizes.push_back(runs[i].bytes);
    return medianOf(std::move(sizes));
}

std::optional<std::int64_t> medianOf(std::vector<std::int64_t> sizes) {
    if (sizes.size() < 3) return std::nullopt;
    std::sort(sizes.begin(), sizes.end());
    const std::size_t half = sizes.size() / 2;
    return sizes.size() % 2 ? sizes[half] : (sizes[half - 1] + sizes[half]) / 2;
}

std::optional<SizeJump> sizeJumpAt(const std::vector<RunRecord>& runs, std::size_t i) {
    if (i >= runs.size() || !runs[i].ok || runs[i].bytes < 0) return std::nullopt;
    const auto median = medianBefore(runs, i);
    if (!median || *median <= 0) return std::nullopt;
    const std::int64_t bytes = runs[i].bytes;
    if (!farFrom(bytes, *median)) return std::nullopt;
    return SizeJump{runs[i].name, runs[i].day, bytes, *median};
}

std::string sizeText(std::int64_t bytes) {
    constexpr std::int64_t kb = 1024, mb = kb * 1024, gb = mb * 1024;
    if (bytes < mb) return std::to_string((bytes + kb - 1) / kb) + " KB";
    if (bytes < 10 * gb) return std::to_string((bytes + mb / 2) / mb) + " MB";
    const std::int64_t tenths = (bytes * 10 + gb / 2) / gb;
    return std::to_string(tenths / 10) + "," + std::to_string(tenths % 10) + " GB";
}

std::string sizeJumpText(const SizeJump& jump, const Date& today) {
    return jump.name + ": " + sizeText(jump.bytes) + (jump.day == today ? " hoje" : " em " + formatDate(jump.day)) +
           ", mediana " + sizeText(jump.median);
}

std::vector<std::string> sizeJumpsOn(const std::string& folder, const Date& day) {
    const std::vector<RunRecord> runs = loadRuns(folder, day);
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < runs.size(); ++i)
        if (runs[i].day == day)
            if (auto jump = sizeJumpAt(runs, i)) texts.push_back(sizeJumpText(*jump, day));
    return texts;
}

std::optional<SizeJump> lastRunJump(const std::string& folder, const std::string& name, const Date& today) {
    const std::vector<RunRecord> runs = loadRuns(folder, today);
    for (std::size_t i = runs.size(); i-- > 0;)
        if (runs[i].name == name) return sizeJumpAt(runs, i);
    return std::nullopt;
}

}  // namespace tarvex::log
