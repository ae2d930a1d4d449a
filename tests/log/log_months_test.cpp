#include "log/log_months.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <csignal>
#include <map>
#include <random>
#include <thread>

#include "log/log.h"
#include "platform/clock.h"
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
              {{"2026-11", "03/11/26#01#EXE#A\r\n"}}},
    // Zeros a crash left (or a sparse file) are no part of an entry: they end the
    // line before them and the next entry starts after them.
    SplitCase{"zero_runs", "\r\n03/11/26#01#EXE#A\r" + std::string(70000, '\0') + "01/12/26#01#EXE#D\r\n" +
                               std::string(9, '\0') + "\r\n", "01/12/26#01#EXE#D\r\n", {{"2026-11", "03/11/26#01#EXE#A\r\n"}}},
    // A date cut by a CR, and CRs inside an entry, stay as they were.
    SplitCase{"carriage_returns", "03/1\r\r\n03/11/26#a\rb\r\r\n", "03/1\r\n", {{"2026-11", "03/11/26#a\rb\r\n"}}}),
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

// Six months of a log before `year`-`month`, 60,000 lines, and a few of that
// month: as rotation finds them and as it must leave them.
struct Months {
    std::string log, kept;
    std::map<std::string, std::string> older;
    Months(int year, int month) {
        for (int back = 6; back >= 0; --back) {
            const int y = year - (back >= month ? 1 : 0), m = (month - back + 11) % 12 + 1;
            const std::string mm = (m < 10 ? "0" : "") + std::to_string(m);
            for (int i = 0; i < (back > 0 ? 10000 : 50); ++i) {
                const std::string entry =
                    line(std::to_string(10 + i % 18) + "/" + mm + "/" + std::to_string(y % 100), "T" + std::to_string(i));
                log += entry;
                (back > 0 ? older[std::to_string(y) + "-" + mm] : kept) += entry;
            }
        }
    }
    void expectMoved(const testkit::TempDir& dir) const {
        EXPECT_EQ(dir.read("LOG_TIMER.TXT").substr(0, kept.size()), kept);
        for (const auto& [month, lines] : older) EXPECT_EQ(dir.read("LOG_TIMER_" + month + ".TXT"), lines) << month;
    }
};

#ifndef _WIN32   // a kill mid-write needs a process of its own: fork
// Killed at random moments, then run again: every line ends up once, where it belongs.
TEST(RotateLog, KilledAnywhereThenRunAgainLosesAndDoublesNothing) {
    const Months months(2026, 12);
    std::mt19937 random(std::random_device{}());
    for (int kill = 0; kill < 12; ++kill) {
        testkit::TempDir dir;
        const std::string logPath = dir.folder() + "LOG_TIMER.TXT";
        dir.write("LOG_TIMER.TXT", months.log);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            rotateLog(logPath, 10, "2026-12");
            _exit(0);
        }
        const auto after = std::chrono::microseconds(random() % 60000);
        SCOPED_TRACE("killed after " + std::to_string(after.count()) + " us");
        std::this_thread::sleep_for(after);
        ::kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        rotateLog(logPath, 10, "2026-12");
        months.expectMoved(dir);
        EXPECT_EQ(dir.read("LOG_TIMER.TXT"), months.kept);
    }
}
#endif

// The program's log splits behind its window: entries written meanwhile all stay.
TEST(LogSplit, EntriesWrittenWhileItRunsAreKept) {
    testkit::TempDir dir;
    const LocalTime now = platform::clock().now();
    const Months months(now.year, now.month);
    dir.write("LOG_TIMER.TXT", months.log);
    const RunContext context{.HORA_INICIO = "08:00:00"};
    const std::string folder = dir.folder();
    Log writer(folder, context);
    writer.setMaxBytes(10);
    writer.addEntry(1, "EXE", "ANTES");
    EXPECT_FALSE(writer.splitting()) << "no split before the window is up";
    writer.keepSmall();
    for (int i = 0; i < 200; ++i) writer.addEntry(1, "EXE", "DURANTE");
    while (writer.splitting()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    months.expectMoved(dir);
    const std::string after = dir.read("LOG_TIMER.TXT");
    EXPECT_EQ(std::count(after.begin(), after.end(), '\n'), 50 + 201) << "this month's, then every entry once";
}

}  // namespace
}  // namespace tarvex::log
