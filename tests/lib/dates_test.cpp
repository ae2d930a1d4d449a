#include <gtest/gtest.h>

#include "lib/datetime.h"
#include "lib/mrqr.h"
#include "lib_fixture.h"

namespace tarvex {
namespace {

class Dates : public LibTest {};

struct SomaCase {
    const char* in;
    int months;
    const char* out;
};

TEST_F(Dates, SomaMesNormalisesClampsAndAddsMonths) {
    const SomaCase cases[] = {
        {"31/04/25", 0, "30/04/25"},   {"31/04/2025", 0, "30/04/25"}, {"30/02/24", 0, "29/02/24"},
        {"30/02/25", 0, "28/02/25"},   {"32/01/25", 0, "31/01/25"},   {"00/05/25", 0, "31/05/25"},
        {"010525", 0, "01/05/25"},     {"01052025", 0, "01/05/25"},   {"15/13/25", 0, ""},
        {"31/01/25", 1, "28/02/25"},   {"15/03/25", -3, "15/12/24"},  {" 1 5 / 0 3 / 2 5 ", 0, "15/03/25"},
        {"/05/25", 0, "/05/25"},       {"", 0, ""},                   {"00/00/00", 0, "00/00/00"},
        {"//", 0, ""},                 {"abc", 0, ""},                {"6/1/26", 0, "06/01/26"},
        {"31/12/25", 2, "28/02/26"},   {"99/02/2024", 0, "29/02/24"}, {"5", 0, ""},
        {"45/00/25", 0, ""},           
        {"1/5/2025", 0, "01/05/25"},
    };
    for (const auto& c : cases) EXPECT_EQ(MRQ_SOMA_MES(c.in, c.months), c.out) << c.in << " + " << c.months;
}

TEST_F(Dates, SomaMesNeverLeavesTheCalendar) {
    for (const auto& [in, months] : {std::pair{"15/03/0001", -3}, {"15/11/9999", 2}, {"01/01/0001", -1}}) {
        const std::string out = MRQ_SOMA_MES(in, months);
        EXPECT_TRUE(out.empty() || readDate(out).has_value()) << in << " -> " << out;
    }
}

TEST_F(Dates, HojeAndFimMesFollowTheClock) {
    EXPECT_EQ(MRQ_HOJE(), "06/12/26");
    setToday(2024, 2, 3);
    EXPECT_EQ(MRQ_HOJE(), "03/02/24");
    EXPECT_EQ(MRQ_FIM_MES(""), "29/02/24");
    EXPECT_EQ(MRQ_FIM_MES("15/02/24"), "29/02/24");
    EXPECT_EQ(MRQ_FIM_MES("15/02/25"), "28/02/25");
    EXPECT_EQ(MRQ_FIM_MES("10/12/26"), "31/12/26");
    EXPECT_EQ(MRQ_FIM_MES("31/04/25"), "");
    EXPECT_EQ(MRQ_FIM_MES("xx"), "");
}

TEST_F(Dates, DataVaziaCountsZerosAndSeparatorsAsBlank) {
    for (const char* t : {"", "0", "  /  /  ", "/  /", "00/00/00", "00:00", "  :  ", "--", "\t0\r\n", "#_\\"})
        EXPECT_TRUE(MRQ_DATA_VAZIA(t)) << '[' << t << ']';
    for (const char* t : {"01/01/00", "00:01", "a", "00/00/01"}) EXPECT_FALSE(MRQ_DATA_VAZIA(t)) << t;
}

TEST_F(Dates, RetiraAndApenas) {
    EXPECT_EQ(MRQ_RETIRA("a1b2c3", "123"), "abc");
    EXPECT_EQ(MRQ_RETIRA("abc", ""), "abc");
    EXPECT_TRUE(MRQ_APENAS("  12/3 ", "0123456789/"));
    EXPECT_FALSE(MRQ_APENAS("1 2", "0123456789"));
    EXPECT_FALSE(MRQ_APENAS("   ", " "));
    EXPECT_FALSE(MRQ_APENAS("", "abc"));
}

TEST_F(Dates, DataValidaNeedsSeparatorsARealDayAndMonth) {
    for (const char* t : {"06/12/26", "6/12/2026", "06-12-26", "06.12.26", " 29/02/24 "})
        EXPECT_TRUE(MRQ_DATA_VALIDA(t)) << t;
    for (const char* t : {"061226", "31/04/25", "00/12/26", "06/13/26", "6/12", "a6/12/26", "/12/26/",
                          "06//12/26", "06/12/", "  /  /  ", "29/02/25", "06 /12/26", "99999999999/05/25",
                          "06/99999999999/25"})
        EXPECT_FALSE(MRQ_DATA_VALIDA(t)) << t;
}

TEST_F(Dates, DiaSemanaNamesTheWeekdayOfAFullDate) {
    EXPECT_EQ(MRQ_DIA_SEMANA("06/12/26"), "Domingo");
    EXPECT_EQ(MRQ_DIA_SEMANA("07/12/26"), "Segunda");
    EXPECT_EQ(MRQ_DIA_SEMANA("12/12/2026"), "Sabado");
    EXPECT_EQ(MRQ_DIA_SEMANA("08-12-26"), "Terca");
    EXPECT_EQ(MRQ_DIA_SEMANA("6/1/26"), "");
    EXPECT_EQ(MRQ_DIA_SEMANA("31/04/25"), "");
    EXPECT_EQ(MRQ_DIAS[4], "Quarta");
    EXPECT_EQ(MRQ_DIAS[7], "Sabado");
}

TEST_F(Dates, DataSqlQuotesAFourDigitYear) {
    EXPECT_EQ(MRQ_DATA_SQL("06/12/26"), "'06.12.2026'");
    EXPECT_EQ(MRQ_DATA_SQL("  1/2/80 "), "'01.02.1980'");
    EXPECT_EQ(MRQ_DATA_SQL(""), "'06.12.2026'");
    EXPECT_EQ(MRQ_DATA_SQL("xx"), "");
    EXPECT_EQ(MRQ_DATA_SQL("31/04/25"), "");
}

TEST_F(Dates, AspasDoublesQuotesAndCuts) {
    EXPECT_EQ(MRQ_ASPAS("it's", 0), "'it''s'");
    EXPECT_EQ(MRQ_ASPAS("it's", 2), "'it'");
    EXPECT_EQ(MRQ_ASPAS("it's", 3), "'it'''");
    EXPECT_EQ(MRQ_ASPAS("ab", 10), "'ab'");
    EXPECT_EQ(MRQ_ASPAS("", -1), "''");
}

}  // namespace
}  // namespace tarvex
