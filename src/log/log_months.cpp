#include "log/log_months.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include "platform/files.h"

namespace fs = std::filesystem;

namespace tarvex::log {

namespace {

bool digits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

constexpr std::string_view kMonthPrefix = "LOG_TIMER_";
constexpr std::string_view kMonthSuffix = ".TXT";

// "2026-11" of "LOG_TIMER_2026-11.TXT"; empty for any other name.
std::string monthOfName(const std::string& name) {
    if (name.size() != kMonthPrefix.size() + 7 + kMonthSuffix.size() || name.rfind(kMonthPrefix, 0) != 0 ||
        name.substr(name.size() - kMonthSuffix.size()) != kMonthSuffix)
        return {};
    const std::string month = name.substr(kMonthPrefix.size(), 7);
    if (!digits(std::string_view(month).substr(0, 4)) || month[4] != '-' || !digits(std::string_view(month).substr(5)))
        return {};
    return month;
}

// The month of the log's first dated line, read from its first bytes only: the
// log is written in time order, so when its oldest line is of this month there is
// nothing to move, and a log of any size is not read for that.
std::string firstMonth(const std::string& logPath) {
    std::string head;
    if (platform::readFileAt(logPath, 0, 64 * 1024, head)) return {};
    std::string_view rest(head);
    while (!rest.empty()) {
        const size_t lf = rest.find('\n');
        if (lf == std::string_view::npos) break;   // a line cut by the read: not judged
        if (std::string month = monthOfLine(rest.substr(0, lf)); !month.empty()) return month;
        rest.remove_prefix(lf + 1);
    }
    return {};
}

bool endsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

}  // namespace

std::string monthOfLine(std::string_view line) {
    while (!line.empty() && static_cast<unsigned char>(line.front()) <= ' ') line.remove_prefix(1);
    if (line.size() < 8 || line[2] != '/' || line[5] != '/') return {};
    const std::string_view day = line.substr(0, 2), month = line.substr(3, 2), year = line.substr(6, 2);
    if (!digits(day) || !digits(month) || !digits(year)) return {};
    const int m = (month[0] - '0') * 10 + (month[1] - '0');
    if (m < 1 || m > 12) return {};
    // The log writes two-digit years; its lines are of this century.
    return "20" + std::string(year) + "-" + std::string(month);
}

MonthSplit splitByMonth(std::string_view text, const std::string& currentMonth) {
    MonthSplit split;
    std::map<std::string, std::string> older;
    while (!text.empty()) {
        const size_t lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        text.remove_prefix(lf == std::string_view::npos ? text.size() : lf + 1);
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
        if (std::all_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) <= ' '; }))
            continue;
        const std::string month = monthOfLine(line);
        std::string& to = !month.empty() && month < currentMonth ? older[month] : split.kept;
        to.append(line);
        to += "\r\n";
    }
    split.older.assign(older.begin(), older.end());
    return split;
}

std::string monthFilePath(const std::string& logPath, const std::string& month) {
    return folderOf(logPath) + std::string(kMonthPrefix) + month + std::string(kMonthSuffix);
}

std::vector<std::string> monthsBeside(const std::string& logPath) {
    std::vector<std::string> months;
    std::error_code ec;
    const std::string folder = folderOf(logPath);
    for (fs::directory_iterator it(platform::fsPath(folder.empty() ? "." : folder), ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code fileEc;
        if (!it->is_regular_file(fileEc)) continue;
        if (std::string month = monthOfName(platform::fromFsPath(it->path().filename())); !month.empty())
            months.push_back(month);
    }
    std::sort(months.rbegin(), months.rend());
    return months;
}

Rotation rotateLog(const std::string& logPath, std::uint64_t maxBytes, const std::string& currentMonth) {
    Rotation result;
    const auto size = platform::fileSize(logPath);
    if (!size || *size <= maxBytes) return result;
    if (const std::string first = firstMonth(logPath); first.empty() || first >= currentMonth) return {false, true, {}};
    std::string text;
    if (const platform::IoResult fault = platform::readFile(logPath, text)) return {false, false, fault->text};
    const MonthSplit split = splitByMonth(text, currentMonth);
    if (split.older.empty()) return {false, true, {}};
    for (const auto& [month, lines] : split.older) {
        const std::string path = monthFilePath(logPath, month);
        std::string had;
        if (platform::fileExists(path))
            if (const platform::IoResult fault = platform::readFile(path, had)) return {false, false, fault->text};
        // Already there: a rotation was cut short after writing this file.
        if (endsWith(had, lines)) continue;
        if (!had.empty() && had.back() != '\n') had += "\r\n";
        if (const platform::IoResult fault = platform::replaceFile(path, had + lines))
            return {false, false, fault->text};
    }
    if (const platform::IoResult fault = platform::replaceFile(logPath, split.kept)) return {false, false, fault->text};
    result.moved = true;
    return result;
}

}  // namespace tarvex::log
