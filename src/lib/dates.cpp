// Date texts as the system stores and shows them: dd/mm/yy, read day first.
#include <algorithm>
#include <cstdio>
#include <string_view>

#include "lib/datetime.h"
#include "lib/routines.h"

namespace tarvex {

const std::array<std::string, 8> kWeekdayNames = {"",       "Domingo", "Segunda", "Terca",
                                             "Quarta", "Quinta",  "Sexta",   "Sabado"};

namespace {

std::string withDay(const std::string& text, const char* day) {
    return day + (text.size() > 2 ? text.substr(2) : std::string());
}

// Lowers an impossible day number in place, judging the month by its position.
std::string clampDay(std::string t) {
    if (t.find('/') == std::string::npos) {
        t.insert(2, "/");
        t.insert(5, "/");
    }
    const int day = toInt(t.substr(0, 2));
    const int month = toInt(t.substr(3, 2));
    const int year = toInt(t.size() == 10 ? t.substr(6, 4) : t.substr(6, 2));
    const bool shortMonth = month == 2 || month == 4 || month == 6 || month == 9 || month == 11;
    if (shortMonth && day > 30) t = withDay(t, "30");
    if (month == 2 && day > 28) t = withDay(t, year % 4 == 0 ? "29" : "28");
    if (!shortMonth && day > 31) t = withDay(t, "31");
    return t;
}

std::optional<std::string> shifted(const std::string& text, int months) {
    const auto d = readDate(text);
    if (!d) return std::nullopt;
    const Date r = addMonths(*d, months);
    if (!isValidDate(r.year, r.month, r.day)) return std::nullopt;  // before year 1 or after 9999
    return formatDate(r);
}

// Digits only, small enough for an int; anything else is not a day or month.
std::optional<int> smallNumber(const std::string& s) {
    if (s.empty() || s.size() > 9 || keepOnly(s, "0123456789") != s) return std::nullopt;
    return std::stoi(s);
}

std::string dashesAndDotsAsSlashes(std::string t) {
    for (char& c : t)
        if (c == '-' || c == '.') c = '/';
    return t;
}

}  // namespace

std::string addMonthsText(const std::string& date, int months) {
    std::string t = keepOnly(date, "0123456789/");
    if (t == "//") t.clear();
    if (isBlankText(t) || t[0] == '/') return t;
    if (t.size() >= 6) t = clampDay(t);
    if (auto r = shifted(t, months)) return *r;
    if (auto r = shifted(monthEnd(withDay(t, "01")), months)) return *r;
    return {};
}

std::string todayText() { return addMonthsText(formatDate(today()), 0); }

std::string monthEnd(const std::string& date) {
    const std::string text = date.empty() ? todayText() : date;
    if (!isValidDate(text)) return {};
    const std::string first = withDay(addMonthsText(text, 0), "01");
    const auto d = readDate(first);
    if (!d) return {};
    return formatDate(addDays(addMonths(*d, 1), -1));
}

// Nothing but blanks, separators and zeros: an empty date or hour mask.
bool isBlankText(std::string_view text) {
    constexpr std::string_view kFiller = ",.;: -_#/\\0";
    return std::all_of(text.begin(), text.end(), [&](char c) {
        return static_cast<unsigned char>(c) <= ' ' || kFiller.find(c) != std::string_view::npos;
    });
}

std::string removeChars(const std::string& text, const std::string& set) {
    std::string out;
    for (char c : text)
        if (set.find(c) == std::string::npos) out += c;
    return out;
}

bool consistsOf(const std::string& text, const std::string& set) {
    const std::string t = trim(text);
    return !t.empty() && t == keepOnly(t, set);
}

// A day or month of more digits than an integer holds makes the text "not a date"
// here rather than an error that escapes a validity test.
bool isValidDate(const std::string& text) {
    if (text.size() < 6) return false;
    const std::string t = dashesAndDotsAsSlashes(text);
    if (trim(t).empty() || trim(t) == "/  /") return false;
    if (!consistsOf(t, "0123456789.-/")) return false;
    const std::string copy = removeChars(t, " ");
    const size_t first = copy.find('/');
    if (first == std::string::npos || first == 0) return false;
    const std::string rest = copy.substr(first + 1);
    const size_t second = rest.find('/');
    if (second == std::string::npos || second == 0) return false;
    const auto day = smallNumber(copy.substr(0, first));
    const auto month = smallNumber(rest.substr(0, second));
    if (!day || !month || *day < 1 || *day > 31 || *month < 1 || *month > 12) return false;
    return readDate(t).has_value();
}

std::string weekdayName(const std::string& date) {
    if (trim(date).size() < 8 || !isValidDate(date)) return {};
    const auto d = readDate(dashesAndDotsAsSlashes(date));
    return d ? kWeekdayNames[dayOfWeek(*d)] : std::string();
}

std::string sqlDate(const std::string& date) {
    std::string t = trim(date);
    if (t.empty()) t = addMonthsText(formatDate(today()), 0);
    const auto d = readDate(t);
    if (!d) return {};
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", d->day, d->month, d->year);
    return sqlQuoted(buf, 0);
}

std::string sqlQuoted(const std::string& text, int length) {
    const std::string part = length < 1 ? text : text.substr(0, static_cast<size_t>(length));
    std::string out = "'";
    for (char c : part) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out + "'";
}

}  // namespace tarvex
