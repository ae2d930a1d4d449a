#include "lib/datetime.h"

#include <algorithm>
#include <string>

namespace tarvex {

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

bool isValidDate(int year, int month, int day) {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= daysInMonth(year, month);
}

// Proleptic Gregorian day counts (H. Hinnant's civil calendar algorithms).
long daysFromCivil(const Date& d) {
    const long y = d.year - (d.month <= 2 ? 1 : 0);
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long mp = (d.month + 9) % 12;
    const long doy = (153 * mp + 2) / 5 + d.day - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

Date civilFromDays(long z) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    Date d;
    d.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    d.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    d.year = static_cast<int>(yoe + era * 400 + (d.month <= 2 ? 1 : 0));
    return d;
}

Date addDays(const Date& d, long days) { return civilFromDays(daysFromCivil(d) + days); }

Date addMonths(const Date& d, int months) {
    long total = static_cast<long>(d.year) * 12 + (d.month - 1) + months;
    Date r;
    r.year = static_cast<int>(total >= 0 ? total / 12 : (total - 11) / 12);
    r.month = static_cast<int>(total - static_cast<long>(r.year) * 12 + 1);
    r.day = std::min(d.day, daysInMonth(r.year, r.month));
    return r;
}

int dayOfWeek(const Date& d) {
    const long z = daysFromCivil(d);  // 1970-01-01 was a Thursday (5)
    return static_cast<int>(((z % 7) + 7 + 4) % 7) + 1;
}

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Up to four numbers separated by `sep`, with blanks allowed around the whole
// text. Each has 1..maxDigits digits; the digit counts are kept too. Fixed
// room: the agenda reads a date and an hour of every task on each pass.
struct Numbers {
    int value[4];
    size_t width[4];
    size_t count = 0;
};

bool readNumbers(std::string_view text, char sep, size_t maxDigits, Numbers& out) {
    size_t b = 0, e = text.size();
    while (b < e && isBlank(text[b])) ++b;
    while (e > b && isBlank(text[e - 1])) --e;
    size_t i = b;
    while (true) {
        size_t start = i;
        int v = 0;
        while (i < e && isDigit(text[i]) && i - start < maxDigits) v = v * 10 + (text[i++] - '0');
        if (i == start || (i < e && isDigit(text[i])) || out.count == 4) return false;
        out.value[out.count] = v;
        out.width[out.count++] = i - start;
        if (i == e) return true;
        if (text[i] != sep) return false;
        ++i;
    }
}

// Two digits of `n` (0..99) at `at`.
char* twoDigits(char* at, int n) {
    at[0] = static_cast<char>('0' + n / 10 % 10);
    at[1] = static_cast<char>('0' + n % 10);
    return at + 2;
}

std::string threeFields(int a, int b, int c, char sep) {
    std::string out(8, sep);
    twoDigits(out.data(), a);
    twoDigits(out.data() + 3, b);
    twoDigits(out.data() + 6, c);
    return out;
}

}  // namespace

std::optional<Date> readDate(std::string_view text) {
    Numbers n;
    if (!readNumbers(text, '/', 4, n) || n.count != 3) return std::nullopt;
    const int* v = n.value;
    int year = v[2];
    if (n.width[2] <= 2) {
        const int start = platform::clock().now().year - 50;
        year += start - start % 100;
        if (year < start) year += 100;
    }
    if (!isValidDate(year, v[1], v[0])) return std::nullopt;
    return Date{year, v[1], v[0]};
}

std::string formatDate(const Date& d) {
    return threeFields(d.day % 100, d.month % 100, d.year % 100, '/');
}

Date today() {
    const LocalTime t = platform::clock().now();
    return Date{t.year, t.month, t.day};
}

std::optional<int> readTime(std::string_view text) {
    Numbers n;
    if (!readNumbers(text, ':', 2, n) || n.count < 2 || n.count > 3) return std::nullopt;
    const int* v = n.value;
    const int s = n.count == 3 ? v[2] : 0;
    if (v[0] > 23 || v[1] > 59 || s > 59) return std::nullopt;
    return v[0] * 3600 + v[1] * 60 + s;
}

std::string formatTime(int secondsOfDay) {
    const int s = ((secondsOfDay % 86400) + 86400) % 86400;
    return threeFields(s / 3600, s / 60 % 60, s % 60, ':');
}

int secondsOfDay(const LocalTime& t) { return t.hour * 3600 + t.minute * 60 + t.second; }

int nowSeconds() { return secondsOfDay(platform::clock().now()); }

}  // namespace tarvex
