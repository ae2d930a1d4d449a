#include "log/log_months.h"

#include <gtest/gtest.h>

#include "testkit/tempdir.h"

namespace tarvex::log {
namespace {

std::string line(const std::string& date, const std::string& text) {
    return date + "#01#EXE#" + text + "#08:00:00#08:00:01#00:00:01#T#P#\r\n";
}

struct SplitCase {
    const char* name;
    std::string text;
    std::string kept;
    std::vector<std::pair<std::string, std::string>> older;
};

class SplitByMonth : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitByMonth, OlderMonthsLeaveLineForLine) {
    const MonthSplit split = splitByMonth(GetParam().text, "2026-12");
    EXPECT_EQ(split.kept, GetParam().kept);
    EXPECT_EQ(split.older, GetParam().older);
}

const std::string nov1 = line("03/11/26", "A"), nov2 = line("30/11/26", "B"), oct = line("31/10/26", "C"),
                  dec = line("01/12/26", "D"), jan = line("02/01/27", "E"), lastYear = line("15/12/25", "F");

INSTANTIATE_TEST_SUITE_P(Logs, SplitByMonth, ::testing::Values(
    // The clock set back for a while: each month still gets all of its lines, in order.
    SplitCase{"months_interleaved", nov1 + oct + nov2 + dec, dec, {{"2026-10", oct}, {"2026-11", nov1 + nov2}}},
    // A later month (the clock ahead) is not older: it stays.
    SplitCase{"later_month_stays", nov1 + jan + dec, jan + dec, {{"2026-11", nov1}}},
    SplitCase{"year_before", lastYear + dec, dec, {{"2025-12", lastYear}}},
    // A line without a date is never lost: it stays in the log.
    SplitCase{"undated_stays", nov1 + "garbage#line\r\n" + "32/13/26#x\r\n" + dec,
              "garbage#line\r\n32/13/26#x\r\n" + dec, {{"2026-11", nov1}}},
    SplitCase{"blank_lines_dropped", "\r\n" + nov1 + "   \r\n\n" + dec, dec, {{"2026-11", nov1}}},
    // LF alone and a last line cut short both come out as whole CR LF lines.
    SplitCase{"line_ends", "03/11/26#01#EXE#A\n01/12/26#01#EXE#D", "01/12/26#01#EXE#D\r\n",
              {{"2026-11", "03/11/26#01#EXE#A\r\n"}}}),
    [](const auto& info) { return std::string(info.param.name); });

// The log, a month file that already held lines, and a month file that a run
// killed before replacing the log had already written in full.
TEST(RotateLog, MovesEachLineOnceEvenAfterAnInterruptedRun) {
    testkit::TempDir dir;
    const std::string logPath = dir.folder() + "LOG_TIMER.TXT";
    dir.write("LOG_TIMER_2026-10.TXT", line("01/10/26", "Z"));
    dir.write("LOG_TIMER_2026-11.TXT", nov1 + nov2);   // written by the run that was killed
    dir.write("LOG_TIMER.TXT", nov1 + nov2 + oct + dec);

    EXPECT_FALSE(rotateLog(logPath, 1 << 20, "2026-12").moved) << "under the bound: left alone";
    EXPECT_TRUE(rotateLog(logPath, 10, "2026-12").moved);
    EXPECT_EQ(dir.read("LOG_TIMER.TXT"), dec);
    EXPECT_EQ(dir.read("LOG_TIMER_2026-11.TXT"), nov1 + nov2);
    EXPECT_EQ(dir.read("LOG_TIMER_2026-10.TXT"), line("01/10/26", "Z") + oct);   // an earlier move, and this one

    const Rotation again = rotateLog(logPath, 10, "2026-12");
    EXPECT_FALSE(again.moved);
    EXPECT_TRUE(again.nothingOlder);
    EXPECT_EQ(dir.read("LOG_TIMER.TXT"), dec);
}

}  // namespace
}  // namespace tarvex::log
