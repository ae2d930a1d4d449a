// Moving a log's older months out, a block at a time: the lines of each month
// gather in a part file beside the log (a temporary, named so that a start-up
// after a kill removes it), each month file is then replaced by itself plus its
// part, and last the log by what stays in it.
#include <algorithm>
#include <map>
#include <optional>

#include "log/log_months.h"
#include "platform/files.h"

namespace tarvex::log {

namespace {

constexpr std::size_t kBlock = 1 << 20;
constexpr std::size_t kFlushAt = 256 * 1024;   // per month, so memory stays small over many months
constexpr std::size_t kHeadCheck = 4096;       // enough to tell a log reset meanwhile

std::string partPath(const std::string& path) { return path + ".parte.tmp~"; }

// The pieces of bytes [from, to) of the file at `path`.
platform::Pieces fileRange(const std::string& path, std::uint64_t from, std::uint64_t to) {
    return [=, at = from](std::string& piece) mutable -> platform::IoResult {
        if (at >= to) return std::nullopt;
        if (platform::IoResult fault = platform::readFileAt(path, at, std::min<std::uint64_t>(kBlock, to - at), piece))
            return fault;
        at = piece.empty() ? to : at + piece.size();
        return std::nullopt;
    };
}

// One after the other.
platform::Pieces chained(std::vector<platform::Pieces> parts) {
    return [parts = std::move(parts), i = std::size_t{0}](std::string& piece) mutable -> platform::IoResult {
        for (; i < parts.size(); ++i) {
            if (platform::IoResult fault = parts[i](piece)) return fault;
            if (!piece.empty()) return std::nullopt;
        }
        return std::nullopt;
    };
}

platform::Pieces text(std::string bytes) {
    return [bytes = std::move(bytes), given = false](std::string& piece) mutable -> platform::IoResult {
        if (!given) piece = bytes;
        given = true;
        return std::nullopt;
    };
}

// Whether the file at `path` ends with the `size` bytes of the file at `part`.
bool endsWithFile(const std::string& path, const std::string& part, std::uint64_t size) {
    const std::uint64_t had = platform::fileSize(path).value_or(0);
    if (had < size) return false;
    std::string a, b;
    for (std::uint64_t at = 0; at < size; at += kBlock) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, size - at));
        if (platform::readFileAt(path, had - size + at, n, a) || platform::readFileAt(part, at, n, b) || a != b)
            return false;
    }
    return true;
}

// The month of the log's first dated line. The log is written in time order, so
// when its oldest line is of this month there is nothing to move, and a log of any
// size is not read for that: only its head, past any zeros before it.
std::string firstMonth(const std::string& logPath) {
    std::string month, block;
    bool found = false;
    MonthLines lines([&](const std::string& m, std::string_view) {
        if (!found && !m.empty()) month = m;
        found = found || !m.empty();
    });
    std::uint64_t at = 0, seen = 0;
    while (!found && seen < 64 * 1024) {
        if (platform::readFileAt(logPath, at, 64 * 1024, block) || block.empty()) break;
        at += block.size();
        seen += block.size() - static_cast<std::size_t>(std::count(block.begin(), block.end(), '\0'));
        lines.feed(block);
    }
    return month;
}

// The log's older lines into part files, the rest into the log's own part; the
// months found with their part's size.
struct Parted {
    std::map<std::string, std::uint64_t> months;
    std::string fault;
    bool stopped = false;
};

Parted partLog(const std::string& logPath, std::uint64_t size, const std::string& currentMonth, std::stop_token stop) {
    Parted parted;
    std::map<std::string, std::string> waiting;   // "" the log's own
    std::map<std::string, bool> started;          // part files are begun afresh
    const auto flush = [&](const std::string& month, std::string& bytes) {
        if (bytes.empty() || !parted.fault.empty()) return;
        const std::string path = partPath(month.empty() ? logPath : monthFilePath(logPath, month));
        const bool first = !started[month];
        started[month] = true;
        if (platform::IoResult fault = first ? platform::overwriteFile(path, bytes) : platform::appendWhole(path, bytes))
            parted.fault = fault->text;
        if (!month.empty()) parted.months[month] += bytes.size();
        bytes.clear();
    };
    MonthLines lines([&](const std::string& month, std::string_view bytes) {
        const std::string& key = !month.empty() && month < currentMonth ? month : std::string();
        std::string& to = waiting[key];
        to.append(bytes);
        // Part files take whole lines: a line break ends the piece.
        if (bytes == "\r\n" && to.size() >= kFlushAt) flush(key, to);
    });
    std::string block;
    for (std::uint64_t at = 0; at < size && parted.fault.empty(); at += block.size()) {
        if (stop.stop_requested()) return parted.stopped = true, parted;
        if (platform::IoResult fault = platform::readFileAt(logPath, at, std::min<std::uint64_t>(kBlock, size - at), block))
            return parted.fault = fault->text, parted;
        if (block.empty()) break;
        lines.feed(block);
    }
    lines.finish();
    for (auto& [month, bytes] : waiting) flush(month, bytes);
    return parted;
}

void removeParts(const std::string& logPath, const Parted& parted) {
    platform::removeFile(partPath(logPath));
    for (const auto& [month, size] : parted.months) platform::removeFile(partPath(monthFilePath(logPath, month)));
}

// The month file followed by its part, unless it already ends with it.
platform::IoResult addPart(const std::string& logPath, const std::string& month, std::uint64_t size) {
    const std::string path = monthFilePath(logPath, month), part = partPath(path);
    // Already there: a rotation was cut short after writing this file.
    if (endsWithFile(path, part, size)) return std::nullopt;
    const std::uint64_t had = platform::fileSize(path).value_or(0);
    std::string last;
    if (had > 0 && platform::readFileAt(path, had - 1, 1, last)) last.clear();
    return platform::replaceFileFrom(
        path, chained({fileRange(path, 0, had), text(had > 0 && last != "\n" ? "\r\n" : ""), fileRange(part, 0, size)}));
}

}  // namespace

Rotation rotateLog(const std::string& logPath, std::uint64_t maxBytes, const std::string& currentMonth,
                   const RotationHooks& hooks) {
    const auto underLock = [&](const std::function<void()>& step) { hooks.underLock ? hooks.underLock(step) : step(); };
    std::optional<std::uint64_t> size;
    std::string head;
    // Where the log ends now: entries are whole lines under the lock.
    underLock([&] {
        size = platform::fileSize(logPath);
        if (size && *size > maxBytes) platform::readFileAt(logPath, 0, kHeadCheck, head);
    });
    if (!size || *size <= maxBytes) return {};
    if (const std::string first = firstMonth(logPath); first.empty() || first >= currentMonth) return {false, true, {}};

    const Parted parted = partLog(logPath, *size, currentMonth, hooks.stop);
    Rotation result;
    if (parted.stopped || !parted.fault.empty()) {
        removeParts(logPath, parted);
        return {false, false, parted.fault};
    }
    if (parted.months.empty()) {
        removeParts(logPath, parted);
        return {false, true, {}};
    }
    for (const auto& [month, monthSize] : parted.months) {
        if (hooks.stop.stop_requested()) return removeParts(logPath, parted), result;
        if (platform::IoResult fault = addPart(logPath, month, monthSize)) {
            removeParts(logPath, parted);
            return {false, false, fault->text};
        }
    }
    // The lines kept, then the entries written since the log was read.
    underLock([&] {
        const std::uint64_t now = platform::fileSize(logPath).value_or(0);
        std::string headNow;
        if (now < *size || platform::readFileAt(logPath, 0, kHeadCheck, headNow) || headNow != head) return;   // reset meanwhile
        const std::string part = partPath(logPath);
        const platform::IoResult fault = platform::replaceFileFrom(
            logPath, chained({fileRange(part, 0, platform::fileSize(part).value_or(0)), fileRange(logPath, *size, now)}));
        if (fault) result.fault = fault->text;
        else result.moved = true;
    });
    removeParts(logPath, parted);
    return result;
}

}  // namespace tarvex::log
