#include "log/log.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "testkit/clock.h"
#include "testkit/disk_faults.h"
#include "testkit/tempdir.h"

namespace tarvex::log {
namespace {

using testkit::ClockScope;

class LogTest : public ::testing::Test {
protected:
    testkit::TempDir dir;
    ClockScope clock{testkit::at(2026, 12, 6, 8, 0, 5)};
    std::string folder = dir.folder();
    RunContext ctx;
    Log log{folder, ctx};
};

TEST_F(LogTest, StartEntryIsWrittenByteForByte) {
    ctx.HORA_INICIO = "08:00:05";
    log.addEntry(0, "INI", "Start TARVEX");
    EXPECT_EQ(dir.read("LOG_TIMER.TXT"), "06/12/26#00#INI#Start TARVEX#08:00:05#08:00:05#00:00:00###\r\n");
}

TEST_F(LogTest, EntriesAppendWithElapsedTimeTypeAndPeriod) {
    ctx.HORA_INICIO = "07:57:50";
    ctx.TIPO_TAREFA = "00 - XCOPY - Copia Arq.";
    ctx.PERIODO_TAREFA = "01 - Todos os Dias";
    log.addEntry(7, "EXE", "BACKUP DIARIO");
    log.addEntry(123, "ERR", "***   ERRO   ***   BACKUP");
    EXPECT_EQ(dir.read("LOG_TIMER.TXT"),
              "06/12/26#07#EXE#BACKUP DIARIO#07:57:50#08:00:05#00:02:15#00 - XCOPY - Copia Arq.#01 - Todos os Dias#\r\n"
              "06/12/26#23#ERR#***   ERRO   ***   BACKUP#07:57:50#08:00:05#00:02:15#00 - XCOPY - Copia Arq.#01 - Todos os Dias#\r\n");
}

TEST_F(LogTest, OperationOverMidnightShowsTheTrueElapsedTime) {
    clock.set(testkit::at(2026, 12, 7, 0, 1, 0));
    ctx.HORA_INICIO = "23:59:30";
    log.addEntry(1, "EXE", "X");
    EXPECT_EQ(dir.read("LOG_TIMER.TXT"), "07/12/26#01#EXE#X#23:59:30#00:01:00#00:01:30###\r\n");
}

TEST_F(LogTest, FailuresLoseTheEntrySilently) {
    ctx.HORA_INICIO = "nao e hora";
    log.addEntry(0, "INI", "Start TARVEX");
    EXPECT_FALSE(dir.exists("LOG_TIMER.TXT"));

    std::string missing = dir.folder() + "no/such/";
    Log nowhere{missing, ctx};
    ctx.HORA_INICIO = "08:00:00";
    EXPECT_NO_THROW(nowhere.addEntry(0, "INI", "Start TARVEX"));
}

// What the file held before an entry, how much the disk takes, what it holds after.
struct Torn {
    const char* name;
    std::string before;
    long long room;
    std::string after;
};
const std::string kEntry = "06/12/26#00#INI#Start TARVEX#08:00:05#08:00:05#00:00:00###\r\n";

class LogEntryWhole : public LogTest, public ::testing::WithParamInterface<Torn> {
protected:
    void TearDown() override { testkit::setWriteRoom(-1); }
};

TEST_P(LogEntryWhole, OrNotAtAll) {
    dir.write("LOG_TIMER.TXT", GetParam().before);
    testkit::setWriteRoom(GetParam().room);
    ctx.HORA_INICIO = "08:00:05";
    log.addEntry(0, "INI", "Start TARVEX");
    EXPECT_EQ(dir.read("LOG_TIMER.TXT"), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    LogTest, LogEntryWhole,
    ::testing::Values(Torn{"whole", "X#\r\n", -1, "X#\r\n" + kEntry},
                      Torn{"torn", "06/12/26#07#EX", -1, "06/12/26#07#EX\r\n" + kEntry},
                      Torn{"half_line_end", "X#\r", -1, "X#\r\n" + kEntry},
                      Torn{"disk_full", "X#\r\n", 20, "X#\r\n"},
                      Torn{"disk_full_after_torn", "X#", 20, "X#"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LogTest, AFaultIsLoggedAsBegunNowLeavingTheRunsStartTime) {
    ctx.HORA_INICIO = "07:00:00";   // a task running since seven
    ctx.TIPO_TAREFA = "T";
    log.logNow(0, "ERR", "sem disco");
    // Not the running task's entry: its type is not written into it.
    EXPECT_EQ(dir.read("LOG_TIMER.TXT"), "06/12/26#00#ERR#sem disco#08:00:05#08:00:05#00:00:00###\r\n");
    EXPECT_EQ(ctx.HORA_INICIO, "07:00:00");
}

TEST_F(LogTest, NoFieldBreaksTheLineAndNoPasswordIsWritten) {
    ctx.HORA_INICIO = "08:00:05";
    ctx.TIPO_TAREFA = "00 - XCOPY\x01";
    log.addEntry(3, "ERR", "NOTAS\rFISCAIS\t#1", "gbak -user SYSDBA -password chave\r\nsaiu com 1");
    EXPECT_EQ(dir.read("LOG_TIMER.TXT"), "06/12/26#03#ERR#NOTAS FISCAIS  1#08:00:05#08:00:05#00:00:00#00 - XCOPY #"
                                         "#gbak -user **** -password ****  saiu com 1#\r\n");
}

TEST_F(LogTest, ReadsTheFolderAtEveryEntry) {
    ctx.HORA_INICIO = "08:00:05";
    folder = dir.folder() + "later/";
    dir.write("later/keep", "");
    log.addEntry(0, "TER", "Close TARVEX");
    EXPECT_TRUE(dir.exists("later/LOG_TIMER.TXT"));
}

}  // namespace
}  // namespace tarvex::log
