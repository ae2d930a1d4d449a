#include "history/history_chart.h"

#include <gtest/gtest.h>

#include "testkit/clock.h"
#include "testkit/tempdir.h"

namespace tarvex::history {
namespace {

const Date kToday{2026, 12, 8};   // a Tuesday
constexpr std::int64_t MB = 1024 * 1024;

log::RunRecord run(int daysAgo, const std::string& name, bool ok, std::int64_t bytes = -1) {
    return {addDays(kToday, -daysAgo), 4 * 3600, 1, name, ok, 600, bytes};
}

// A daily ZIP that ran for ten days at about 480 MB, failed once, skipped a day
// and then made 12 MB; a Sunday-only task that ran on the last Sunday only.
std::vector<log::RunRecord> sample() {
    std::vector<log::RunRecord> runs;
    for (int ago = 14; ago >= 4; --ago)
        if (ago != 6 && ago != 5) runs.push_back(run(ago, "ZIP DOCS", true, (470 + ago) * MB));
    runs.push_back(run(6, "ZIP DOCS", false));                       // ERRO, and nothing more that day
    runs.push_back(run(2, "DOMINGO", true));                         // Sunday 06/12
    for (int ago = 3; ago >= 1; --ago) runs.push_back(run(ago, "ZIP DOCS", true, 481 * MB));
    runs.push_back(run(0, "ZIP DOCS", true, 12 * MB));
    return runs;
}

const std::vector<TaskTiming> kTasks = {
    {"ZIP DOCS", "06 - WINZIP", "01 - Todos os Dias", "04:00", "08/12/26 04:10:00"},
    {"DOMINGO", "00 - XCOPY", "02 - Domingo", "05:00", "06/12/26 05:00:00"},
    {"NOTA", "09 - Observações", "01 - Todos os Dias", "04:00", ""},
};

TEST(HistoryChart, ResultsMissedDaysAndSizeJumpsPerChoice) {
    struct Case {
        std::string only;
        int days, ok, errors, missed;
        std::vector<std::string> jumps;
    } cases[] = {
        // Day 5 ago has no run of the daily task: "não rodou"; day 6 has its error only.
        {"ZIP DOCS", 30, 13, 1, 1, {"ZIP DOCS: 12 MB hoje, mediana 481 MB"}},
        // Known from its first run on: no Sunday before it counts against it.
        {"DOMINGO", 30, 1, 0, 0, {}},
        {"", 30, 14, 1, 1, {"ZIP DOCS: 12 MB hoje, mediana 481 MB"}},
        // Three days show three runs; today's is still weighed against the runs before them.
        {"ZIP DOCS", 3, 3, 0, 0, {"ZIP DOCS: 12 MB hoje, mediana 481 MB"}},
        {"ZIP DOCS", 1, 1, 0, 0, {"ZIP DOCS: 12 MB hoje, mediana 481 MB"}},
    };
    // The same from the history file, of which only what those days need is read.
    testkit::TempDir dir;
    std::string file;
    for (const log::RunRecord& r : sample()) file += log::runLine(r) + "\r\n";
    dir.write(log::kHistoryFile, file);
    for (const Case& c : cases)
        for (const bool fromFile : {false, true}) {
            SCOPED_TRACE(c.only + " " + std::to_string(c.days) + (fromFile ? " from the file" : ""));
            const Chart chart = buildChart(
                fromFile ? log::recentRuns(dir.folder(), kToday, addDays(kToday, 1 - c.days)) : sample(), kTasks,
                c.only, kToday, c.days);
            ASSERT_EQ(chart.days.size(), static_cast<std::size_t>(c.days));
            EXPECT_EQ(chart.days.back().day, kToday);
            EXPECT_EQ(chart.ok, c.ok);
            EXPECT_EQ(chart.errors, c.errors);
            EXPECT_EQ(chart.missed, c.missed);
            EXPECT_EQ(chart.jumps, c.jumps);
        }
    const Chart zip = buildChart(sample(), kTasks, "ZIP DOCS", kToday, 30);
    const Day& fifth = zip.days[zip.days.size() - 6];
    ASSERT_EQ(fifth.bars.size(), 1u);
    EXPECT_EQ(fifth.bars[0].result, Result::Missed);
    EXPECT_TRUE(zip.days.back().bars[0].sizeJump);
    EXPECT_EQ(zip.largest, 484 * MB);
}

TEST(HistoryChart, AWeeklyTaskIsMissedOnlyOnItsWeekdayAfterItsFirstRun) {
    std::vector<log::RunRecord> runs = {run(16, "DOMINGO", true)};   // Sunday 22/11
    const Chart chart = buildChart(runs, kTasks, "DOMINGO", kToday, 30);
    EXPECT_EQ(chart.missed, 2);   // 29/11 and 06/12
    for (const Day& day : chart.days)
        for (const Bar& bar : day.bars)
            if (bar.result == Result::Missed) {
                EXPECT_EQ(dayOfWeek(day.day), 1);
            }
}

TEST(RunHistory, FilledOnceFromTheLogThenAppendedAndRoundTripped) {
    testkit::TempDir dir;
    testkit::ClockScope clock{testkit::at(2026, 12, 8, 9, 0, 0)};
    dir.write("LOG_TIMER.TXT",
              "07/12/26#00#INI#Start TARVEX#08:00:00#08:00:00#00:00:00###\r\n"
              "07/12/26#03#EXE#ZIP DOCS >> 12 arquivos conferidos#04:00:00#04:02:15#00:02:15#06 - WINZIP#01#\r\n"
              "07/12/26#03#ERR#***   ERRO   ***   ZIP DOCS (linha 2, código 4)#05:00:00#05:00:09#00:00:09###Disco cheio#\r\n"
              "01/01/20#03#EXE#ANTIGA#04:00:00#04:00:01#00:00:01###\r\n");
    // A month the log already moved out is part of the history too.
    dir.write("LOG_TIMER_2026-11.TXT", "20/11/26#03#EXE#ZIP DOCS#04:00:00#04:01:00#00:01:00#06 - WINZIP#01#\r\n");
    log::appendRun(dir.folder(), {kToday, 3600, 3, "ZIP#DOCS", true, 42, 7 * MB});
    const std::vector<log::RunRecord> runs = log::loadRuns(dir.folder(), kToday);
    ASSERT_EQ(runs.size(), 4u);   // older than 400 days left out
    EXPECT_EQ(formatDate(runs[0].day), "20/11/26");
    EXPECT_EQ(runs[1].name, "ZIP DOCS");
    EXPECT_EQ(runs[1].seconds, 135);
    EXPECT_FALSE(runs[2].ok);
    EXPECT_EQ(runs[2].name, "ZIP DOCS");
    EXPECT_EQ(runs[3].bytes, 7 * MB);
    EXPECT_EQ(log::runLine(runs[3]), "08/12/26#01:00:00#03#ZIP DOCS#OK#42#7340032#");
}

// Trimmed by age when its first run is well past 400 days: the old runs go, the
// lines that are not runs are copied aside first and the log says where.
TEST(RunHistory, TrimmingKeepsTheLinesItCannotReadAside) {
    testkit::TempDir dir;
    testkit::ClockScope clock{testkit::at(2026, 12, 8, 9, 0, 0)};
    const std::string unreadable = "08/12/25;04:00:00;01;ZIP DOCS;OK;60;1000;\r\n07/12/26#04:00#01#\r\n";
    dir.write("HISTORICO_TIMER.TXT", "01/01/25#04:00:00#01#ZIP DOCS#OK#60#1000#\r\n" + unreadable + "\r\n" +
                                         "07/12/26#04:00:00#01#ZIP DOCS#OK#60#2000#\r\n");
    const std::vector<log::RunRecord> runs = log::loadRuns(dir.folder(), kToday);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].bytes, 2000);
    EXPECT_EQ(dir.read("HISTORICO_TIMER.TXT"), "07/12/26#04:00:00#01#ZIP DOCS#OK#60#2000#\r\n");
    const std::string copy = "HISTORICO_TIMER.TXT.ilegivel-20261208-090000";
    EXPECT_EQ(dir.read(copy), unreadable);
    const std::string log = dir.read("LOG_TIMER.TXT");
    EXPECT_EQ(log.rfind("08/12/26#00#ERR#", 0), 0u) << log;
    EXPECT_NE(log.find("2 linha(s) que não puderam ser lidas foram guardadas em " + dir.folder() + copy),
              std::string::npos) << log;
}

}  // namespace
}  // namespace tarvex::history
