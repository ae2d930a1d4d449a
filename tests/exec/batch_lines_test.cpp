// Which batch lines are judged by their exit code, and which copies are read back.
#include <gtest/gtest.h>

#include "exec/batch_copies.h"
#include "exec/batch_lines.h"
#include "exec/batch_text.h"

namespace tarvex::exec {
namespace {

TEST(BatchLines, EachCommandFailsFromItsOwnCode) {
    const std::pair<const char*, int> cases[] = {
        {"COPY C:\\A\\*.* D:\\B\\", 1}, {"@xcopy \"C:\\A\" \"D:\\B\\\" /E /I", 2}, {"ROBOCOPY C:\\A D:\\B /MIR", 8},
        {"MOVE a b", 1}, {"DEL /Q C:\\T\\*.TMP", 1}, {"\"C:\\FB\\GBAK.EXE\" -B x y", 1}, {"CALL limpa.bat", 1},
        {"rotina.cmd", 1}, {"ping -n 1 servidor", 1}, {"REM set isc_password=x", 0}, {"// set isc_user=SYSDBA", 0},
        {":: nota", 0}, {":FIM", 0}, {"ECHO.", 0}, {"echo feito > log.txt", 0}, {"SET X=1", 0}, {"CD\\", 0},
        {"IF EXIST a COPY a b", 0}, {"FOR %%f IN (*.x) DO COPY %%f D:\\", 0}, {"GOTO FIM", 0}, {"PAUSE", 0},
        {"@ECHO OFF", 0}, {"MD \"D:\\B\"", 0}, {"EXIT /B 0", 0}, {"CHCP 1252 >NUL", 0}, {"", 0},
    };
    for (const auto& [line, failsFrom] : cases) EXPECT_EQ(failsFromOf(line), failsFrom) << line;
}

TEST(BatchLines, ChecksFollowCommandsOutsideBlocksAndCommentsAreLeftOut) {
    const BatchScript s = batchScript({"// set isc_password=x", "COPY a b", "IF EXIST c (", "  COPY c d", ")",
                                       "XCOPY e ^", "  f /I", "FIND x y", "IF ERRORLEVEL 1 GOTO N",
                                       "COPY h i || GOTO N", "DEL g"},
                                      "C:\\T\\M.ERR");
    EXPECT_EQ(s.checkedLines, (std::vector<int>{2, 6, 11}));
    for (const std::string& line : s.lines) EXPECT_EQ(line.find("password"), std::string::npos);
    EXPECT_EQ(s.lines.at(s.lines.size() - 3), "(CALL )");   // DEL starts from 0
    EXPECT_EQ(overlongLine({"ECHO a", std::string(8192, 'x')}).value_or("").rfind("A linha 2 do comando tem 8192", 0), 0u);
    EXPECT_FALSE(overlongLine({std::string(8191, 'x')}));
}

TEST(BatchCopies, OnlyPlainCopiesAreReadBack) {
    const auto copy = plainCopyOf("XCOPY  \"C:\\Vendas 50%% Cia\"  \"D:\\B[1]\\\"      /E /D /Y /R /C /V /I");
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->from, "C:\\Vendas 50% Cia");
    EXPECT_EQ(copy->to, "D:\\B[1]\\");
    EXPECT_TRUE(copy->wholeTree);
    for (const char* line : {"XCOPY C:\\%PASTA% D:\\B", "COPY C:\\a+C:\\b D:\\", "XCOPY C:\\A D:\\B /U",
                             "COPY a.txt D:\\", "XCOPY C:\\A D:\\B >NUL", "XCOPY C:\\A", "ECHO C:\\A D:\\B"})
        EXPECT_FALSE(plainCopyOf(line)) << line;
}

}  // namespace
}  // namespace tarvex::exec
