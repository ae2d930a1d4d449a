#include <gtest/gtest.h>

#include "lib/datetime.h"
#include "lib/routines.h"
#include "lib_fixture.h"

namespace tarvex {
namespace {

class Dates : public LibTest {};

TEST_F(Dates, SomaMesNormalisesClampsAndAddsMonths) {
    const struct { const char* in; int months; const char* out; } cases[] = {
        {"31/04/25", 0, "30/04/25"}, {"31/04/2025", 0, "30/04/25"}, {"30/02/24", 0, "29/02/24"},
        {"30/02/25", 0, "28/02/25"}, {"32/01/25", 0, "31/01/25"},   {"00/05/25", 0, "31/05/25"},
        {"010525", 0, "01/05/25"},   {"01052025", 0, "01/05/25"},   {"15/13/25", 0, ""},
        {"31/01/25", 1, "28/02/25"}, {"15/03/25", -3, "15/12/24"},  {" 1 5 / 0 3 / 2 5 ", 0, "15/03/25"},
        {"/05/25", 0, "/05/25"},     {"", 0, ""},                   {"00/00/00", 0, "00/00/00"},
        {"//", 0, ""},               {"abc", 0, ""},                {"6/1/26", 0, "06/01/26"},
        {"99/02/2024", 0, "29/02/24"}, {"5", 0, ""},                {"45/00/25", 0, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(addMonthsText(c.in, c.months), c.out) << c.in << " + " << c.months;
    for (const auto& [in, months] : {std::pair{"15/03/0001", -3}, {"15/11/9999", 2}}) {
        const std::string out = addMonthsText(in, months);  // never a year outside the calendar
        EXPECT_TRUE(out.empty() || readDate(out).has_value()) << in << " -> " << out;
    }
}

TEST_F(Dates, HojeAndFimMesFollowTheClock) {
    EXPECT_EQ(todayText(), "06/12/26");
    setToday(2024, 2, 3);
    EXPECT_EQ(todayText(), "03/02/24");
    EXPECT_EQ(monthEnd(""), "29/02/24");
    const std::pair<const char*, const char*> ends[] = {
        {"15/02/24", "29/02/24"}, {"15/02/25", "28/02/25"}, {"10/12/26", "31/12/26"}, {"31/04/25", ""}, {"xx", ""}};
    for (const auto& [in, out] : ends) EXPECT_EQ(monthEnd(in), out) << in;
}

TEST_F(Dates, DataVaziaCountsZerosAndSeparatorsAsBlank) {
    for (const char* t : {"", "0", "  /  /  ", "/  /", "00/00/00", "00:00", "  :  ", "--", "\t0\r\n", "#_\\"})
        EXPECT_TRUE(isBlankText(t)) << '[' << t << ']';
    for (const char* t : {"01/01/00", "00:01", "a", "00/00/01"}) EXPECT_FALSE(isBlankText(t)) << t;
}

TEST_F(Dates, RetiraAndApenas) {
    EXPECT_EQ(removeChars("a1b2c3", "123"), "abc");
    EXPECT_EQ(removeChars("abc", ""), "abc");
    EXPECT_TRUE(consistsOf("  12/3 ", "0123456789/"));
    EXPECT_FALSE(consistsOf("1 2", "0123456789"));
    EXPECT_FALSE(consistsOf("   ", " "));
}

TEST_F(Dates, DataValidaNeedsSeparatorsARealDayAndMonth) {
    for (const char* t : {"06/12/26", "6/12/2026", "06-12-26", "06.12.26", " 29/02/24 "})
        EXPECT_TRUE(isValidDate(t)) << t;
    // An over-long day or month is simply not a date: the test itself never fails.
    for (const char* t : {"061226", "31/04/25", "00/12/26", "06/13/26", "6/12", "a6/12/26", "/12/26/", "06//12/26",
                          "06/12/", "  /  /  ", "06 /12/26", "99999999999/05/25", "06/99999999999/25"})
        EXPECT_FALSE(isValidDate(t)) << t;
}

TEST_F(Dates, DiaSemanaNamesTheWeekdayOfAFullDate) {
    const std::pair<const char*, const char*> days[] = {{"06/12/26", "Domingo"}, {"07/12/26", "Segunda"},
                                                        {"08-12-26", "Terca"},   {"12/12/2026", "Sabado"},
                                                        {"6/1/26", ""},          {"31/04/25", ""}};
    for (const auto& [in, out] : days) EXPECT_EQ(weekdayName(in), out) << in;
    EXPECT_EQ(kWeekdayNames[4], "Quarta");
}

TEST_F(Dates, DataSqlAndAspasQuoteForTheDatabaseTool) {
    EXPECT_EQ(sqlDate("06/12/26"), "'06.12.2026'");
    EXPECT_EQ(sqlDate("  1/2/80 "), "'01.02.1980'");
    EXPECT_EQ(sqlDate(""), "'06.12.2026'");
    EXPECT_EQ(sqlDate("xx"), "");
    EXPECT_EQ(sqlQuoted("it's", 0), "'it''s'");
    EXPECT_EQ(sqlQuoted("it's", 2), "'it'");
    EXPECT_EQ(sqlQuoted("it's", 3), "'it'''");
    EXPECT_EQ(sqlQuoted("ab", 10), "'ab'");
}

}  // namespace
}  // namespace tarvex
