#pragma once
// Calendar arithmetic and the system's reading and writing of date and time texts.
#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"

namespace tarvex {

struct Date {
    int year = 2000, month = 1, day = 1;
    friend bool operator==(const Date&, const Date&) = default;
    friend auto operator<=>(const Date&, const Date&) = default;
};

bool isLeapYear(int year);
int daysInMonth(int year, int month);
bool isValidDate(int year, int month, int day);
long daysFromCivil(const Date& d);        // days since 1970-01-01
Date civilFromDays(long days);
Date addDays(const Date& d, long days);
Date addMonths(const Date& d, int months); // day lowered to the month's end
int dayOfWeek(const Date& d);             // 1 = Sunday .. 7 = Saturday

// Reads a day-first date text ("d/m/y", separators "/"); one- and two-digit years
// fall in the hundred years that begin 50 years before the clock's current year.
std::optional<Date> readDate(std::string_view text);
std::string formatDate(const Date& d);    // dd/mm/yy
Date today();                              // from platform::clock()

// Time of day "hh:mm:ss" or "hh:mm"; nullopt when not a valid time of day.
std::optional<int> readTime(std::string_view text);     // seconds since midnight
std::string formatTime(int secondsOfDay);                   // hh:mm:ss
int secondsOfDay(const LocalTime& t);                       // seconds since midnight
int nowSeconds();                                           // time of day from the clock

}  // namespace tarvex
