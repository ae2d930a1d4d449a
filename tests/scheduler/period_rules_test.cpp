// Which tasks fall due on which days.
#include <gtest/gtest.h>

#include <string>

#include "lib/datetime.h"
#include "scheduler/period_rules.h"
#include "testkit/memory_kit.h"

namespace tarvex::scheduler {
namespace {

// The date readings take their century from the clock.
struct ClockAt2026 : ::testing::Test {
    testkit::VirtualClock clock{LocalTime{2026, 12, 9, 12, 0, 0, 0}};
    void SetUp() override { clock.install(); }
};

Date d(const std::string& ddmmyy) { return *readDate(ddmmyy); }

struct Case {
    const char* periodo;
    const char* ultimaExec;
    const char* today;
    bool due;
    const char* why;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.periodo << " / " << c.why; }

class PeriodRule : public ClockAt2026, public ::testing::WithParamInterface<Case> {};

TEST_P(PeriodRule, DecidesTheDay) {
    const Case& c = GetParam();
    TaskTiming t{"00 - XCOPY - Copia Arq.", c.periodo, c.ultimaExec, "08:00"};
    EXPECT_EQ(dueToday(t, d(c.today)), c.due) << c.why;
}

// 06/12/26 is a Sunday; 09/12/26 a Wednesday; 12/12/26 a Saturday.
INSTANTIATE_TEST_SUITE_P(Rules, PeriodRule, ::testing::Values(
    Case{"00 - Inativo", "", "09/12/26", false, "inactive"},
    Case{"20 - Chamada Manual", "", "09/12/26", false, "manual only"},
    Case{"01 - Todos os Dias", "08/12/26 08:00:01", "09/12/26", true, "ran yesterday"},
    Case{"01 - Todos os Dias", "09/12/26 08:00:01", "09/12/26", false, "ran today"},
    Case{"01 - Todos os Dias", "09/12/26", "09/12/26", false, "date only, today"},
    Case{"09 - De Segunda a Sexta", "", "12/12/26", false, "Saturday"},
    Case{"09 - De Segunda a Sexta", "", "06/12/26", false, "Sunday"},
    Case{"09 - De Segunda a Sexta", "", "09/12/26", true, "Wednesday"},
    Case{"10 - Apenas 1 vez", "", "09/12/26", true, "never ran"},
    Case{"10 - Apenas 1 vez", "00/00/00 00:00:00", "09/12/26", true, "blank stamp"},
    Case{"10 - Apenas 1 vez", "01/01/20 10:00:00", "09/12/26", false, "ran once, long ago"},
    // Weekly: the week runs Sunday 06/12 to Saturday 12/12.
    Case{"11 - 1 vez por Semana", "", "09/12/26", true, "never ran"},
    Case{"11 - 1 vez por Semana", "07/12/26 12:00:00", "09/12/26", false, "Monday of this week"},
    Case{"11 - 1 vez por Semana", "05/12/26 12:00:00", "09/12/26", true, "Saturday before"},
    Case{"11 - 1 vez por Semana", "06/12/26 12:00:00", "09/12/26", false, "the Sunday that begins the week"},
    Case{"11 - 1 vez por Semana", "06/12/26 12:00:00", "12/12/26", false, "Saturday, ran Sunday"},
    Case{"11 - 1 vez por Semana", "12/12/26 12:00:00", "13/12/26", true, "new week begins Sunday"},
    Case{"11 - 1 vez por Semana", "26/12/26 12:00:00", "01/01/27", true, "week over the year end, ran the Saturday before"},
    Case{"11 - 1 vez por Semana", "28/12/26 12:00:00", "01/01/27", false, "week over the year end, ran Monday"},
    Case{"11 - 1 vez por Semana", "29/02/28 12:00:00", "02/03/28", false, "leap day in the same week"},
    Case{"11 - 1 vez por Semana", "26/02/28 12:00:00", "02/03/28", true, "Saturday before the leap week"},
    Case{"11 - 1 vez por Semana", "31/02/26 12:00:00", "09/12/26", true, "unreadable date"},
    Case{"11 - 1 vez por Semana", "xx/yy/zz", "09/12/26", true, "not a date at all"},
    Case{"12 - 1 vez por Mes", "15/03/25 10:00:00", "10/03/26", false, "same month number, other year"},
    Case{"12 - 1 vez por Mes", "28/02/26 10:00:00", "01/03/26", true, "month changed"},
    Case{"12 - 1 vez por Mes", "", "01/03/26", true, "never ran"},
    Case{"14 -", "15/03/25 10:00:00", "10/03/26", true, "month and year"},
    Case{"14 -", "01/03/26 10:00:00", "31/03/26", false, "same month and year"},
    Case{"13 - 1 vez ao Ano", "31/12/25 23:59:00", "01/01/26", true, "year changed"},
    Case{"13 - 1 vez ao Ano", "01/01/26 00:00:00", "31/12/26", false, "same year"},
    Case{"15 - ", "", "09/12/26", true, "no rule of its own"},
    Case{"19 -  ", "08/12/26 08:00:00", "09/12/26", true, "no rule of its own"},
    Case{"99 - Inventado", "08/12/26 08:00:00", "09/12/26", true, "unknown code"},
    Case{"", "", "09/12/26", true, "no period at all"}));

TEST_F(ClockAt2026, SingleDayCodesMatchOnlyTheirWeekday) {
    // 06/12/26 (Sunday) .. 12/12/26 (Saturday); codes 02 (Sunday) .. 08 (Saturday).
    for (int code = 2; code <= 8; ++code)
        for (int day = 6; day <= 12; ++day) {
            std::string periodo = "0" + std::to_string(code) + " - x";
            std::string today = (day < 10 ? "0" : "") + std::to_string(day) + "/12/26";
            EXPECT_EQ(dueToday({"01 - Copiar Diretório", periodo, "", "10:00"}, d(today)), code - 2 == day - 6)
                << periodo << " on " << today;
        }
}

TEST_F(ClockAt2026, TypeAndHourKeepATaskOffTheDay) {
    const Date wed = d("09/12/26");
    EXPECT_FALSE(dueToday({"09 - Observações", "01 - Todos os Dias", "", "08:00"}, wed));
    EXPECT_FALSE(dueToday({"", "01 - Todos os Dias", "", "08:00"}, wed));
    EXPECT_FALSE(dueToday({"  ", "01 - Todos os Dias", "", "08:00"}, wed));
    EXPECT_FALSE(dueToday({"03 - Executar Programa", "01 - Todos os Dias", "", "00:00"}, wed));
    EXPECT_FALSE(dueToday({"03 - Executar Programa", "01 - Todos os Dias", "", "  :  "}, wed));
    EXPECT_FALSE(dueToday({"03 - Executar Programa", "01 - Todos os Dias", "", ""}, wed));
    EXPECT_TRUE(dueToday({"03 - Executar Programa", "01 - Todos os Dias", "", "00:01"}, wed));
    EXPECT_TRUE(dueToday({"08 - ", "01 - Todos os Dias", "", "23:59"}, wed));
}

struct LateCase {
    const char* periodo;
    const char* ultimaExec;
    const char* today;
    int days;   // 0: not late
};

class LateTask : public ClockAt2026, public ::testing::WithParamInterface<LateCase> {};

TEST_P(LateTask, IsLateOnlyBeyondWhatItsPeriodAllows) {
    const LateCase& c = GetParam();
    TaskTiming t{"06 - WINZIP", c.periodo, c.ultimaExec, "08:00"};
    EXPECT_EQ(staleDays(t, d(c.today)), c.days) << c.periodo << " " << c.ultimaExec << " " << c.today;
}

// 04/12/26 is a Friday, 07/12/26 the Monday after it.
INSTANTIATE_TEST_SUITE_P(Periods, LateTask, ::testing::Values(
    LateCase{"01 - Todos os Dias", "30/11/26 08:00:00", "02/12/26", 0},
    LateCase{"01 - Todos os Dias", "30/11/26 08:00:00", "03/12/26", 3},
    LateCase{"01 - Todos os Dias", "30/12/26 08:00:00", "02/01/27", 3},        // across the year's end
    LateCase{"09 - De Segunda a Sexta", "04/12/26 08:00:00", "07/12/26", 0},   // the weekend is no gap
    LateCase{"09 - De Segunda a Sexta", "02/12/26 08:00:00", "07/12/26", 5},
    LateCase{"03 - Segunda", "30/11/26 08:00:00", "08/12/26", 0},
    LateCase{"11 - 1 vez por Semana", "25/11/26 08:00:00", "04/12/26", 9},
    LateCase{"12 - 1 vez por Mes", "31/01/26 08:00:00", "04/03/26", 0},        // across February
    LateCase{"12 - 1 vez por Mes", "31/01/26 08:00:00", "05/03/26", 33},
    LateCase{"12 - 1 vez por Mes", "15/11/26 08:00:00", "16/12/26", 0},
    LateCase{"13 - 1 vez ao Ano", "01/01/25 08:00:00", "01/01/26", 0},
    LateCase{"13 - 1 vez ao Ano", "28/02/24 08:00:00", "01/03/25", 367},       // a leap year between
    LateCase{"10 - Apenas 1 vez", "01/01/20 08:00:00", "09/12/26", 0},
    LateCase{"00 - Inativo", "01/01/20 08:00:00", "09/12/26", 0},
    LateCase{"20 - Chamada Manual", "01/01/20 08:00:00", "09/12/26", 0},
    LateCase{"01 - Todos os Dias", "", "09/12/26", 0}));                        // never run: nothing to count

}  // namespace
}  // namespace tarvex::scheduler
