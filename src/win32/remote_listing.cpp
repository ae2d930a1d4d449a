#include "win32/remote_listing.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "platform/cp1252.h"

namespace tarvex::win32 {

using platform::RemoteFile;

namespace {

// Days from 1970-01-01 to a civil date (proleptic Gregorian).
std::int64_t daysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return static_cast<std::int64_t>(era) * 146097 + doe - 719468;
}

std::int64_t utc(int y, int mo, int d, int h, int mi, int s) {
    return daysFromCivil(y, mo, d) * 86400 + h * 3600 + mi * 60 + s;
}

int yearOf(std::int64_t t) {
    int y = 1970 + static_cast<int>(t / 31556952);
    while (utc(y, 1, 1, 0, 0, 0) > t) --y;
    while (utc(y + 1, 1, 1, 0, 0, 0) <= t) ++y;
    return y;
}

bool allDigits(const std::string& s) {
    return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
}

int monthOf(const std::string& s) {
    static const char* const names[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                        "jul", "aug", "sep", "oct", "nov", "dec"};
    if (s.size() != 3) return 0;
    for (int i = 0; i < 12; ++i)
        if (strncasecmp(s.c_str(), names[i], 3) == 0) return i + 1;
    return 0;
}

struct Token {
    std::string text;
    size_t end;
};

// "2025" or "19:20"; a time without a year is this year's, unless that lies ahead (then last year's).
bool stamp(const std::string& when, int month, int day, std::int64_t now, std::int64_t& at) {
    if (allDigits(when) && when.size() == 4) {
        at = utc(std::atoi(when.c_str()), month, day, 0, 0, 0);
        return true;
    }
    if (when.size() != 5 || when[2] != ':') return false;
    const int y = yearOf(now), h = std::atoi(when.c_str()), m = std::atoi(when.c_str() + 3);
    at = utc(y, month, day, h, m, 0);
    if (at > now + 86400) at = utc(y - 1, month, day, h, m, 0);
    return true;
}

std::vector<Token> tokens(const std::string& line) {
    std::vector<Token> out;
    size_t at = 0;
    while (true) {
        at = line.find_first_not_of(" \t", at);
        if (at == std::string::npos) break;
        const size_t end = std::min(line.find_first_of(" \t", at), line.size());
        out.push_back({line.substr(at, end - at), end});
        at = end;
    }
    return out;
}

std::string nameAfter(const std::string& line, size_t end) {
    const size_t at = line.find_first_not_of(" \t", end);
    return at == std::string::npos ? "" : platform::utf8ToCp1252(line.substr(at));
}

// "-rw-r--r-- 1 owner group 300000 Dec  8 19:20 name", or the day before the month
// ("300000 08 Dec 19:20 name", as some SFTP servers write it): found by the month.
bool readUnix(const std::string& line, std::int64_t now, RemoteFile& f) {
    if (line.empty() || line[0] != '-') return false;
    const auto t = tokens(line);
    for (size_t i = 3; i + 2 < t.size(); ++i) {
        const int month = monthOf(t[i].text);
        if (!month) continue;
        const bool dayAfter = allDigits(t[i + 1].text) && t[i + 1].text.size() <= 2 && allDigits(t[i - 1].text);
        const size_t day = dayAfter ? i + 1 : i - 1, size = dayAfter ? i - 1 : i - 2, when = dayAfter ? i + 2 : i + 1;
        if (when >= t.size() || !allDigits(t[day].text) || !allDigits(t[size].text)) continue;
        if (!stamp(t[when].text, month, std::atoi(t[day].text.c_str()), now, f.modified)) continue;
        f.size = std::strtoull(t[size].text.c_str(), nullptr, 10);
        f.name = nameAfter(line, t[when].end);
        return !f.name.empty();
    }
    return false;
}

// "12-08-26  07:21PM       300000 name" (folders say <DIR> where the size goes).
bool readDos(const std::string& line, RemoteFile& f) {
    const auto t = tokens(line);
    if (t.size() < 4 || t[0].text.size() < 8 || t[0].text[2] != '-' || !allDigits(t[2].text)) return false;
    int mo = 0, d = 0, y = 0, h = 0, mi = 0;
    char half[3] = "";
    if (std::sscanf(t[0].text.c_str(), "%d-%d-%d", &mo, &d, &y) != 3) return false;
    if (std::sscanf(t[1].text.c_str(), "%d:%d%2s", &h, &mi, half) < 2) return false;
    if (y < 100) y += y < 70 ? 2000 : 1900;
    if (half[0] == 'P' || half[0] == 'p') h = h % 12 + 12;
    else if (half[0] == 'A' || half[0] == 'a') h %= 12;
    f.modified = utc(y, mo, d, h, mi, 0);
    f.size = std::strtoull(t[2].text.c_str(), nullptr, 10);
    f.name = nameAfter(line, t[2].end);
    return !f.name.empty();
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) out.push_back(line);
    }
    return out;
}

}  // namespace

std::vector<RemoteFile> readMlsd(const std::string& text) {
    std::vector<RemoteFile> files;
    for (const std::string& line : linesOf(text)) {
        const size_t space = line.find(' ');
        if (space == std::string::npos) continue;
        RemoteFile f;
        bool plain = false;
        std::istringstream facts(line.substr(0, space));
        for (std::string fact; std::getline(facts, fact, ';');) {
            const size_t eq = fact.find('=');
            if (eq == std::string::npos) continue;
            std::string key = fact.substr(0, eq), value = fact.substr(eq + 1);
            for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (key == "type") plain = strcasecmp(value.c_str(), "file") == 0;
            else if (key == "size") f.size = std::strtoull(value.c_str(), nullptr, 10);
            else if (key == "modify" && value.size() >= 14 && allDigits(value.substr(0, 14)))
                f.modified = utc(std::atoi(value.substr(0, 4).c_str()), std::atoi(value.substr(4, 2).c_str()),
                                 std::atoi(value.substr(6, 2).c_str()), std::atoi(value.substr(8, 2).c_str()),
                                 std::atoi(value.substr(10, 2).c_str()), std::atoi(value.substr(12, 2).c_str()));
        }
        f.name = platform::utf8ToCp1252(line.substr(space + 1));
        if (plain && !f.name.empty()) files.push_back(f);
    }
    return files;
}

std::vector<RemoteFile> readList(const std::string& text, std::int64_t now) {
    std::vector<RemoteFile> files;
    for (const std::string& line : linesOf(text)) {
        RemoteFile f;
        if (readUnix(line, now, f) || readDos(line, f)) files.push_back(f);
    }
    return files;
}

}  // namespace tarvex::win32
