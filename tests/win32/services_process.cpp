// The command runner's process service, for real: batch files run by the
// command interpreter, with Wine's own XCOPY.
#include <gtest/gtest.h>

#include "win32/services_win32.h"
#include "win32_test_util.h"

namespace tarvex {
namespace {

class Processes : public ::testing::Test {
protected:
    win32test::TempFolder dir;
    win32::Win32Processes processes;
};

// The exit status of a command that ran; -1 when it did not start.
int exitOf(const platform::ProcessEnd& end) { return end.error ? -1 : end.status; }

TEST_F(Processes, BatchCopiesAFolderTreeWithXcopyAndIsWaitedFor) {
    dir.write("origem\\a.txt", "alfa");
    dir.write("origem\\sub\\Relatório.txt", "beta");
    dir.write("origem\\sub\\fundo\\c.dat", "gama");
    dir.write("copia.BAT", "CHCP 1252 >NUL\r\nXCOPY \"" + dir.path("origem") + "\" \"" + dir.path("destino\\") +
                               "\" /E /D /Y /R /C /I\r\n");

    EXPECT_EQ(exitOf(processes.runAndWait(dir.path("copia.BAT"), 1)), 0);

    // Read right after the return: the run waited for the copy.
    EXPECT_EQ(dir.read("destino\\a.txt"), "alfa");
    EXPECT_EQ(dir.read("destino\\sub\\Relatório.txt"), "beta");
    EXPECT_EQ(dir.read("destino\\sub\\fundo\\c.dat"), "gama");
}

TEST_F(Processes, TheBatchsExitStatusIsReturned) {
    dir.write("sai.BAT", "@echo fim> \"" + dir.path("fim.txt") + "\"\r\n@exit /b 3\r\n");
    EXPECT_EQ(exitOf(processes.runAndWait(dir.path("sai.BAT"), 0)), 3);
    EXPECT_TRUE(dir.exists("fim.txt"));
}

TEST_F(Processes, ACommandLineLongerThan512CharactersIsPassedWhole) {
    dir.write("eco.BAT", "@echo %1> \"" + dir.path("eco.txt") + "\"\r\n");
    const std::string arg = std::string(1500, 'x') + "FIM";
    EXPECT_EQ(exitOf(processes.runAndWait(dir.path("eco.BAT") + " " + arg, 0)), 0);
    EXPECT_EQ(dir.read("eco.txt"), arg + "\r\n");
}

TEST_F(Processes, WhatCannotStartSaysWhyWithTheCommand) {
    for (const std::string& line : {dir.path("nao_existe.BAT"), dir.path("nao_existe.exe") + " /S",
                                    std::string("C:\\pasta inexistente\\X.EXE")}) {
        const platform::ProcessEnd end = processes.runAndWait(line, 1);
        ASSERT_TRUE(end.error) << line;
        EXPECT_NE(end.error->code.value(), 0) << line;
        EXPECT_EQ(end.error->text.rfind("O comando não pôde ser iniciado: " + line + " - ", 0), 0u) << end.error->text;
    }
}

}  // namespace
}  // namespace tarvex
