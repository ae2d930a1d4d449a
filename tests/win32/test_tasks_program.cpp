// Program tasks run for real by the main window: a batch file started by the shell
// with its parameters, and programs that are not where the task says.
#include <chrono>

#include "support/tasks_fixture.h"

namespace tarvex::win32test {
namespace {

class ProgramTask : public TasksTest {
protected:
    void SetUp() override {
        TasksTest::SetUp();
        // The program is cut at its first blank, so the test folder must have none.
        ASSERT_EQ(dir.folder().find(' '), std::string::npos) << dir.folder();
        dir.write("grava.bat", "@echo %1-%2> \"" + dir.path("saida.txt") + "\"\r\n");
    }
};

TEST_F(ProgramTask, StartsTheProgramWithItsExpandedParameters) {
    runOne({{col::NOME, "PROGRAMA"}, {col::TIPO, "03 - Executar Programa"},
            {col::EXECUTAVEL, "  " + dir.path("grava.bat") + " alfa [DIA][MES]  "}});

    // Started, not waited for: the file appears when the command interpreter gets to it.
    EXPECT_EQ(dir.readWithin("saida.txt", std::chrono::seconds(30)), "alfa-0912\r\n");
    EXPECT_EQ(runEvents(), std::vector<std::string>{"EXE PROGRAMA"});
    EXPECT_EQ(stamps(1), std::vector<std::string>{"09/12/26 08:00:00"});
}

// A program in a folder with blanks: the whole line, quoted, quoted with parameters.
struct BlankCase {
    bool quoted;
    std::string params, written;
};
class ProgramWithBlanks : public ProgramTask, public ::testing::WithParamInterface<BlankCase> {};

TEST_P(ProgramWithBlanks, Starts) {
    dir.write("Meu App\\grava.bat", "@echo x%1> \"" + dir.path("saida.txt") + "\"\r\n");
    const std::string program = dir.path("Meu App\\grava.bat");
    const std::string line = (GetParam().quoted ? "\"" + program + "\" " : program) + GetParam().params;
    runOne({{col::NOME, "PROGRAMA"}, {col::TIPO, "03 - Executar Programa"}, {col::EXECUTAVEL, line}});
    EXPECT_EQ(dir.readWithin("saida.txt", std::chrono::seconds(30)), GetParam().written);
    EXPECT_EQ(runEvents(), std::vector<std::string>{"EXE PROGRAMA"});
}

INSTANTIATE_TEST_SUITE_P(Lines, ProgramWithBlanks,
                         ::testing::Values(BlankCase{false, "", "x\r\n"}, BlankCase{true, "", "x\r\n"},
                                           BlankCase{true, "beta", "xbeta\r\n"}));

// A value put into the line of a batch file the shell hands to cmd stands as one
// argument or the run is refused, nothing started: as in a batch task's line.
struct RefusedCase {
    std::string extension, reason;
};
class RefusedValue : public ProgramTask, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedValue, FailsWithItsReasonAndStartsNothing) {
    runOne({{col::NOME, "PROGRAMA"}, {col::TIPO, "03 - Executar Programa"},
            {col::EXECUTAVEL, "\"" + dir.path("grava.bat") + "\" [EXT]"}, {col::EXTENSAO, GetParam().extension}});

    EXPECT_EQ(runEvents(), std::vector<std::string>{"ERR ***   ERRO   ***   PROGRAMA"});
    std::string log;
    for (const std::string& line : logLines()) log += line + "\n";
    EXPECT_NE(log.find(GetParam().reason), std::string::npos) << log;
    EXPECT_EQ(stamps(1), std::vector<std::string>{""});
}

INSTANTIATE_TEST_SUITE_P(
    Values, RefusedValue,
    ::testing::Values(RefusedCase{"&type nul>INJ&", "A Extensão não pode ter o caractere \"&\""},
                      RefusedCase{"50%", "não pode ter o caractere \"%\""},
                      RefusedCase{std::string(9000, 'x'), "caracteres, além dos 8.191 que o Windows aceita"}));

class MissingProgram : public ProgramTask, public ::testing::WithParamInterface<std::string> {};

TEST_P(MissingProgram, IsLoggedAsNotFoundAndStaysDue) {
    dir.write("Pasta X\\grava.bat", "@echo errado> \"" + dir.path("saida.txt") + "\"\r\n");
    runOne({{col::NOME, "PROGRAMA"}, {col::TIPO, "03 - Executar Programa"},
            {col::EXECUTAVEL, dir.path(GetParam())}});

    EXPECT_EQ(runEvents(), std::vector<std::string>{"ERR ***   ERRO   ***   Programa não localizado PROGRAMA"});
    EXPECT_EQ(stamps(1), std::vector<std::string>{""});
    EXPECT_FALSE(dir.exists("saida.txt"));
    EXPECT_TRUE(op.errors().empty());
}

INSTANTIATE_TEST_SUITE_P(Lines, MissingProgram,
                         ::testing::Values("nao_existe.exe /S",
                                           "Pasta X\\grava.bat alfa",   // cut at the blank
                                           "Pasta X"));                 // a folder is not a program

}  // namespace
}  // namespace tarvex::win32test
