#include "log/log_months.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>

#include "log/log_lines.h"
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

namespace {

constexpr std::size_t kHeadBytes = 8;                 // "dd/mm/yy"
constexpr std::size_t kMostLeadingBlanks = 64 * 1024;  // kept before a line's text

std::size_t zerosAt(std::string_view bytes) {
    std::size_t i = 0;
    while (i + 8 <= bytes.size()) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + i, 8);
        if (word != 0) break;
        i += 8;
    }
    while (i < bytes.size() && bytes[i] == '\0') ++i;
    return i;
}

}  // namespace

void MonthLines::feed(std::string_view bytes) {
    while (!bytes.empty()) {
        const char* d = bytes.data();
        const void* lf = std::memchr(d, '\n', bytes.size());
        const std::size_t to = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - d) : bytes.size();
        const void* nul = std::memchr(d, '\0', to);
        const std::size_t stop = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - d) : to;
        piece(bytes.substr(0, stop));
        if (stop == bytes.size()) return;
        endLine();
        bytes.remove_prefix(stop);
        bytes.remove_prefix(bytes.front() == '\n' ? 1 : zerosAt(bytes));
    }
}

void MonthLines::piece(std::string_view bytes) {
    while (!decided_ && !bytes.empty()) {
        const char c = bytes.front();
        bytes.remove_prefix(1);
        if (text_ == 0 && blankByte(c)) {
            // Only a line of blanks (dropped) is made of more than this.
            if (head_.size() >= 2 * kMostLeadingBlanks) head_.erase(0, kMostLeadingBlanks);
            head_ += c;
            continue;
        }
        head_ += c;
        if (++text_ == kHeadBytes) decide();
    }
    if (decided_) emit(bytes);
}

void MonthLines::decide() {
    decided_ = true;
    month_ = monthOfLine(head_);
    const std::string head = std::move(head_);
    head_.clear();
    emit(head);
}

// CRs at the end of what came so far are held: they are the line's end when
// nothing but its line break follows.
void MonthLines::emit(std::string_view bytes) {
    if (bytes.empty()) return;
    std::size_t crs = 0;
    while (crs < bytes.size() && bytes[bytes.size() - 1 - crs] == '\r') ++crs;
    if (crs == bytes.size()) {
        heldCr_ += crs;
        return;
    }
    if (heldCr_ > 0) out_(month_, std::string(heldCr_, '\r'));
    heldCr_ = crs;
    out_(month_, bytes.substr(0, bytes.size() - crs));
}

void MonthLines::endLine() {
    if (!decided_ && text_ > 0) {
        while (!head_.empty() && head_.back() == '\r') head_.pop_back();
        decide();
    }
    if (decided_) out_(month_, "\r\n");
    head_.clear();
    text_ = 0;
    decided_ = false;
    month_.clear();
    heldCr_ = 0;
}

MonthSplit splitByMonth(std::string_view text, const std::string& currentMonth) {
    MonthSplit split;
    std::map<std::string, std::string> older;
    MonthLines lines([&](const std::string& month, std::string_view bytes) {
        (!month.empty() && month < currentMonth ? older[month] : split.kept).append(bytes);
    });
    lines.feed(text);
    lines.finish();
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

}  // namespace tarvex::log
