// Failures the operator cannot miss, run for real: a copy to a drive that is not
// there, a backup batch that ends with a failure status, a ZIP that does not read
// back; and dated archives kept to the newest few over several days.
#include <filesystem>
#include <fstream>
#include <set>

#include "exec/builder_lines.h"
#include "exec/zip_task.h"
#include "lib/routines.h"
#include "support/tasks_fixture.h"
#include "testkit/disk_faults.h"

namespace tarvex::win32test {
namespace {

// The first drive letter Wine does not have.
char missingLetter() {
    const DWORD drives = GetLogicalDrives();
    for (char c = 'Q'; c <= 'Y'; ++c)
        if (!((drives >> (c - 'A')) & 1u)) return c;
    return 0;
}

class Failures : public TasksTest {};

TEST_F(Failures, ACopyToAMissingDriveIsAnErrorWithABalloon) {
    const char drive = missingLetter();
    ASSERT_NE(drive, 0);
    dir.write("dados\\a.txt", "a");
    const std::string line = "XCOPY  \"" + dir.path("dados") + "\"  ===>>  \"" + std::string(1, drive) +
                             ":\\COPIA\\\"      /E /D /Y /R /C /V";
    runOne({{col::NOME, "PEN"}, {col::TIPO, "00 - XCOPY - Copia Arq."}, {col::MEMO, memo({"CHCP 1252 >NUL", line})}});

    EXPECT_EQ(runEvents(), std::vector<std::string>{"ERR ***   ERRO   ***   PEN"});
    EXPECT_EQ(stamps(1), std::vector<std::string>{""});
    EXPECT_EQ(form->TrayIcon1.balloon().text, std::string("Unidade ") + drive + ": não encontrada");
    EXPECT_TRUE(form->TrayIcon1.balloon().error);
    EXPECT_EQ(form->TrayIcon1.imageIndex(), 2);   // until the operator opens the window
    EXPECT_FALSE(dir.exists("TIMER_xx.BAT"));      // checked before anything ran
}

TEST_F(Failures, ABackupBatchEndingWithStatusOneIsAnError) {
    runOne({{col::NOME, "GBAK"}, {col::TIPO, "07 - GBAK - Firebird"}, {col::MEMO, memo({"@CMD /C EXIT 1"})}});
    EXPECT_EQ(runEvents(), std::vector<std::string>{"ERR ***   ERRO   ***   GBAK (linha 1, código 1)"});
    EXPECT_EQ(stamps(1), std::vector<std::string>{""});
    EXPECT_EQ(form->TrayIcon1.balloon().text, "CMD terminou com o código 1 na linha 1: @CMD /C EXIT 1");
}

// Batches judged line by line, with the real interpreter.
struct BatchCase {
    const char* name;
    std::vector<std::string> memo;   // "@" stands for the test's folder
    std::string event, reason;
};
const BatchCase kBatches[] = {
    {"AFailingCopyFirstFailsNamingIt", {"COPY \"@sumiu\\a.txt\" \"@\"", "ECHO ok"},
     "ERR ***   ERRO   ***   B (linha 1, código 1)", "COPY terminou com o código 1 na linha 1: COPY \"@sumiu\\a.txt\" \"@\""},
    {"OnlyCommentsIsEmpty", {"REM nada", "// set isc_password=segredo"}, "ERR ***   ERRO   ***   B",
     "Os comandos da tarefa estão vazios: nada foi executado"},
    {"OnlyBlanksAndTheCodePageIsEmpty", {"", "   ", "CHCP 1252 >NUL"}, "ERR ***   ERRO   ***   B",
     "Os comandos da tarefa estão vazios: nada foi executado"},
    {"ALineTooLongRunsNothing", {"ECHO " + std::string(9000, 'x')}, "ERR ***   ERRO   ***   B",
     "A linha 1 do comando tem 9005 caracteres; o interpretador de comandos aceita no máximo 8191: nada foi executado"},
    {"SlashCommentsDoNotRun", {"// set isc_password=segredo", "ECHO ok"}, "EXE B", ""},
};

class Batches : public TasksTest, public ::testing::WithParamInterface<BatchCase> {};

TEST_P(Batches, AreJudgedLineByLine) {
    std::vector<std::string> lines;
    for (std::string line : GetParam().memo) lines.push_back(replaceText(line, "@", dir.folder()));
    runOne({{col::NOME, "B"}, {col::TIPO, "00 - XCOPY - Copia Arq."}, {col::MEMO, memo(lines)}});
    EXPECT_EQ(runEvents(), std::vector<std::string>{GetParam().event});
    if (!GetParam().reason.empty())
        EXPECT_EQ(form->TrayIcon1.balloon().text, replaceText(GetParam().reason, "@", dir.folder()));
    EXPECT_EQ(dir.read("TIMER_xx.BAT").value_or("").find("segredo"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Rows, Batches, ::testing::ValuesIn(kBatches),
                         [](const auto& info) { return std::string(info.param.name); });

// Built as the page builds them: a file into a folder that is not there yet (XCOPY
// would ask whether it is a file or a folder), and a folder into one named with "%".
TEST_F(Failures, BuiltCopiesNeverAskAndAreProvenFileByFile) {
    dir.write("dados\\a.txt", "a");
    dir.write("dados\\sub\\b.txt", "bb");
    const std::vector<std::string> lines = {exec::xcopyLine(dir.path("dados\\a.txt"), dir.path("novo")),
                                            exec::xcopyLine(dir.path("dados"), dir.path("Vendas 50% Cia\\"))};
    runOne({{col::NOME, "X"}, {col::TIPO, "00 - XCOPY - Copia Arq."}, {col::MEMO, memo(lines)}});
    EXPECT_EQ(runEvents(), std::vector<std::string>{"EXE X >> 3 arquivos conferidos"});
    EXPECT_EQ(dir.read("novo\\a.txt"), "a");
    EXPECT_EQ(dir.read("Vendas 50% Cia\\sub\\b.txt"), "bb");
}

TEST_F(Failures, AZipThatDoesNotReadBackKeepsYesterdaysArchive) {
    dir.write("dados\\a.txt", std::string(4000, 'a'));
    dir.write("zips\\BACKUP.ZIP", "ontem");
    testkit::setWrittenHook([](const std::string& temp) {
        std::fstream f(platform::fsPath(temp), std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(40);
        f.write("\xFF\xFF\xFF\xFF", 4);
    });
    runOne({{col::NOME, "ZIP"}, {col::TIPO, "06 - WINZIP"}, {col::DIR_ORIGEM, dir.path("dados")},
            {col::DIR_DESTINO, dir.path("zips")}, {col::ARQDEST, "BACKUP"}});
    testkit::setWrittenHook(nullptr);

    EXPECT_EQ(runEvents(), std::vector<std::string>{"ERR ZIP"});
    EXPECT_EQ(dir.read("zips\\BACKUP.ZIP"), "ontem");
    EXPECT_FALSE(dir.exists("zips\\BACKUP.ZIP.tmp~"));
    EXPECT_NE(form->TrayIcon1.balloon().text.find("verificação"), std::string::npos);
}

class KeepLast : public TasksTest {
protected:
    KeepLast() : TasksTest(at(2026, 12, 7, 7, 59, 0)) {}
};

// Five days of a daily archive named by the day, three kept; the operator's own
// files beside them are not touched.
TEST_F(KeepLast, TheThreeNewestArchivesStayAndNothingElseIsTouched) {
    dir.write("dados\\a.txt", "a");
    for (const char* own : {"BACKUP_FINAL.ZIP", "OUTRO_05.ZIP", "BACKUP_05.TXT"}) dir.write(std::string("zips\\") + own, "meu");
    writeTasks({{{col::NOME, "ZIP"}, {col::TIPO, "06 - WINZIP"}, {col::PERIODO, DAILY}, {col::HORA, "08:00"},
                 {col::DIR_ORIGEM, dir.path("dados")}, {col::DIR_DESTINO, dir.path("zips")},
                 {col::ARQDEST, "BACKUP"}, {col::EXTENSAO, "_[DIA]"}, {col::MANTER, "3"}}});
    start();
    host.runUntil(at(2026, 12, 11, 9, 0, 0));

    std::set<std::string> left;
    for (const auto& e : std::filesystem::directory_iterator(platform::fsPath(dir.path("zips"))))
        left.insert(platform::fromFsPath(e.path().filename()));
    EXPECT_EQ(left, (std::set<std::string>{"BACKUP_09.ZIP", "BACKUP_10.ZIP", "BACKUP_11.ZIP", "BACKUP_FINAL.ZIP",
                                           "OUTRO_05.ZIP", "BACKUP_05.TXT"}));
}

}  // namespace
}  // namespace tarvex::win32test
