#include "exec/runner.h"

#include <cerrno>

#include <gtest/gtest.h>

#include "lib/routines.h"
#include "testkit/operator.h"
#include "testkit/services.h"
#include "testkit/tempdir.h"

namespace tarvex::exec {
namespace {

using testkit::FakeServices;

// -1 stands for "not started", to keep the tables short.
int status(const platform::ProcessEnd& end) { return end.error ? -1 : end.status; }

TEST(LimpaPath, KeepsTheOpeningTwoCharacters) {
    EXPECT_EQ(cleanPath("\\\\SERVIDOR\\PASTA\\\\ARQ.BAT"), "\\\\SERVIDOR\\PASTA\\ARQ.BAT");
    EXPECT_EQ(cleanPath("C:\\DADOS\\\\TIMER_xx.BAT"), "C:\\DADOS\\TIMER_xx.BAT");
    EXPECT_EQ(cleanPath("C:\\A\\\\\\B"), "C:\\A\\\\B");      // one pass: three become two
    EXPECT_EQ(cleanPath("C://A//B"), "C:/A/B");
    EXPECT_EQ(cleanPath("\\\\"), "\\\\");
}

struct EntreCase { const char* text; const char* start; const char* end; const char* result; };
class EntreTest : public ::testing::TestWithParam<EntreCase> {};

TEST_P(EntreTest, CutsBetweenMarkers) {
    const auto& c = GetParam();
    EXPECT_EQ(textBetween(c.text, c.start, c.end), c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Markers, EntreTest,
    ::testing::Values(EntreCase{"Titulo[Calculadora]", "[", "]", "Calculadora"},
                      EntreCase{"C:\\A ===>> D:\\B", "", " ===>> ", "C:\\A"},
                      EntreCase{"C:\\A ===>> D:\\B", " ===>> ", "", "D:\\B"},
                      EntreCase{"ABC", "", "", "ABC"}, EntreCase{"ABC", "X", "", "ABC"},
                      EntreCase{"ABC", "", "X", "ABC"}, EntreCase{"ABC", "X", "Y", ""},
                      EntreCase{"ABC", "A", "C", "B"}, EntreCase{"A[B", "[", "]", ""},
                      EntreCase{"Titulo[Doc [1]]", "[", "]", "Doc [1"}));

class RunnerTest : public ::testing::Test {
protected:
    testkit::TempDir dir;
    FakeServices fake;
    testkit::ScriptedOperator oper;
    testkit::OperatorScope scope{oper};
    CommandRunner runner{fake.services, dir.folder()};
};

TEST_F(RunnerTest, ExecutaCleansAndPumpsAroundTheRun) {
    int pumpsBefore = -1;
    fake.processes.onRun = [&](const std::string&, int) {
        pumpsBefore = oper.pumps;
        return 0;
    };
    EXPECT_EQ(status(runner.runCommandLine("C:\\DADOS\\\\X.BAT", 1)), 0);
    ASSERT_EQ(fake.processes.calls.size(), 1u);
    EXPECT_EQ(fake.processes.calls[0].commandLine, "C:\\DADOS\\X.BAT");
    EXPECT_EQ(fake.processes.calls[0].show, 1);
    EXPECT_EQ(pumpsBefore, 1);
    EXPECT_EQ(oper.pumps, 2);
}

TEST_F(RunnerTest, ExecutaKeepsTheReasonItDidNotRun) {
    fake.processes.result = -1;
    const platform::ProcessEnd end = runner.runCommandLine("NADA.EXE", 1);
    ASSERT_TRUE(end.error);
    EXPECT_EQ(end.error->text.rfind("O comando não pôde ser iniciado: NADA.EXE - ", 0), 0u) << end.error->text;
    fake.processes.onRun = [](const std::string&, int) -> int { throw std::runtime_error("sem memória"); };
    EXPECT_THROW(runner.runCommandLine("NADA.EXE", 1), std::runtime_error);   // reaches the run's own failure
}

TEST_F(RunnerTest, ExecutaPassesALongCommandLineWhole) {
    const std::string longLine = "C:\\X.EXE " + std::string(600, 'a') + " FIM";
    EXPECT_EQ(status(runner.runCommandLine(longLine, 1)), 0);
    EXPECT_EQ(fake.processes.calls.at(0).commandLine, longLine);
}

TEST_F(RunnerTest, ExecutaBatRunsABatPathAsItIs) {
    EXPECT_EQ(status(runner.runBatchCommand("C:\\DADOS\\\\TIMER_xx.BAT", 1)), 0);
    EXPECT_EQ(fake.processes.calls.at(0).commandLine, "C:\\DADOS\\TIMER_xx.BAT");
    EXPECT_FALSE(dir.exists("ArqBat.Bat"));
}

TEST_F(RunnerTest, ExecutaBatWritesOtherCommandsToArqBat) {
    // ".bat" in lower case is not recognised, and every "/" goes, switches included.
    EXPECT_EQ(status(runner.runBatchCommand("XCOPY C:\\A\\x.bat D:\\B /E /Y", 1)), 0);
    EXPECT_EQ(dir.read("ArqBat.Bat"), "XCOPY C:\\A\\x.bat D:\\B E Y\r\n");
    EXPECT_EQ(fake.processes.calls.at(0).commandLine, dir.folder() + "ArqBat.Bat");
}

TEST_F(RunnerTest, ExecutaBatGivesMinusOneWhenArqBatCannotBeWritten) {
    CommandRunner nowhere{fake.services, dir.folder() + "missing/folder/"};
    const platform::ProcessEnd end = nowhere.runBatchCommand("ECHO X", 1);
    ASSERT_TRUE(end.error);
    EXPECT_NE(end.error->text.find("ArqBat.Bat - "), std::string::npos) << end.error->text;
    EXPECT_TRUE(fake.processes.calls.empty());
}

TEST_F(RunnerTest, CopiaPastaChecksBeforeCopying) {
    dir.write("SRC/a.txt", "a");
    const auto reason = [&](const std::string& from, const std::string& to) {
        return runner.copyFolder(from, to).value_or(platform::IoError{}).text;
    };
    EXPECT_EQ(reason("  ", "  "), "Diretório fonte não pode ficar em branco");
    EXPECT_EQ(reason(dir.file("SRC"), " "), "Diretório destino não pode ficar em branco");
    EXPECT_EQ(reason(dir.file("NONE"), "D:\\X"), "Diretório fonte inexistente: " + dir.file("NONE"));
    EXPECT_TRUE(fake.shell.copies.empty());
}

TEST_F(RunnerTest, CopiaPastaCopiesTheFolderWithoutTrailingSeparators) {
    dir.write("SRC/a.txt", "a");
    EXPECT_FALSE(runner.copyFolder(" " + dir.file("SRC") + "/ ", " D:\\DEST\\ "));
    ASSERT_EQ(fake.shell.copies.size(), 1u);
    EXPECT_EQ(fake.shell.copies[0].from, dir.file("SRC"));
    EXPECT_EQ(fake.shell.copies[0].to, "D:\\DEST");
    EXPECT_EQ(fake.shell.copies[0].flags, 0x214u);

    fake.shell.copyResult = ENOSPC;
    const platform::IoResult error = runner.copyFolder(dir.file("SRC"), "D:\\DEST");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code.value(), ENOSPC);
    EXPECT_NE(error->text.find(dir.file("SRC") + " => D:\\DEST - "), std::string::npos) << error->text;
}

TEST_F(RunnerTest, CopiaArquivoFlagsByModeAndResult) {
    EXPECT_FALSE(runner.copyFiles(" C:\\A\\*.TXT ", " D:\\B ", "1"));
    EXPECT_EQ(fake.shell.copies.at(0).from, "C:\\A\\*.TXT");
    EXPECT_EQ(fake.shell.copies.at(0).to, "D:\\B");
    EXPECT_EQ(fake.shell.copies.at(0).flags, 0x150u);
    EXPECT_EQ(oper.pumps, 2);

    fake.shell.copyResult = 2;
    EXPECT_TRUE(runner.copyFiles("C:\\A\\X", "D:\\B", "0"));
    EXPECT_EQ(fake.shell.copies.at(1).flags, 0u);
}

}  // namespace
}  // namespace tarvex::exec
