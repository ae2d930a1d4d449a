#include <gtest/gtest.h>

#include "lib/datetime.h"
#include "lib_fixture.h"

namespace tarvex {
namespace {

TEST(Calendar, DayCountsRoundTripAcrossCenturiesAndLeapDays) {
    for (long z = -800000; z <= 800000; z += 997) EXPECT_EQ(daysFromCivil(civilFromDays(z)), z);
    EXPECT_EQ(addDays({2024, 2, 28}, 1), (Date{2024, 2, 29}));
    EXPECT_EQ(addDays({2100, 2, 28}, 1), (Date{2100, 3, 1}));
    EXPECT_EQ(addDays({2026, 1, 1}, -1), (Date{2025, 12, 31}));
    EXPECT_EQ(addMonths({2025, 3, 31}, -13), (Date{2024, 2, 29}));
    EXPECT_EQ(dayOfWeek({1969, 12, 31}), 4);
}

class ReadDate : public LibTest {};

TEST_F(ReadDate, ShortYearsFallInTheHundredYearsFromFiftyBack) {
    EXPECT_EQ(readDate("01/01/76"), (Date{1976, 1, 1}));
    EXPECT_EQ(readDate("01/01/75"), (Date{2075, 1, 1}));
    EXPECT_EQ(readDate(" 1/2/0 "), (Date{2000, 2, 1}));
    EXPECT_EQ(readDate("06/12/126"), (Date{126, 12, 6}));
    setToday(2061, 5, 1);
    EXPECT_EQ(readDate("01/01/10"), (Date{2110, 1, 1}));
    EXPECT_EQ(readDate("01/01/11"), (Date{2011, 1, 1}));
}

TEST_F(ReadDate, ImpossibleOrMalformedTextsFail) {
    for (const char* t : {"31/04/25", "29/02/25", "15/13/25", "00/12/26", "06/00/26", "", "6/12", "06/12/",
                          "/12/26", "06-12-26", "6/12/26/1", "a6/12/26", "06/12/20261", "29/02/2100", "1 /2/26"})
        EXPECT_FALSE(readDate(t).has_value()) << t;
}

TEST_F(ReadDate, TimesAndNowFromTheClock) {
    EXPECT_EQ(readTime("08:30"), 8 * 3600 + 30 * 60);
    EXPECT_EQ(readTime("23:59:59"), 86399);
    for (const char* t : {"25:00", "12:75", "12:00:60", "12", "", "  :  ", "12:00:00:00", "1a:00"})
        EXPECT_FALSE(readTime(t).has_value()) << t;
    clock.set(testkit::at(2026, 12, 6, 7, 8, 9));
    EXPECT_EQ(formatTime(nowSeconds()), "07:08:09");
    EXPECT_EQ(formatDate(today()), "06/12/26");
}

}  // namespace
}  // namespace tarvex
