// Failures the operator cannot miss, run for real: a copy to a drive that is not
// there, a backup batch that ends with a failure status, a ZIP that does not read
// back; and dated archives kept to the newest few over several days.
#include <filesystem>
#include <fstream>
#include <set>

#include "exec/zip_task.h"
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
    EXPECT_EQ(runEvents(), std::vector<std::string>{"ERR ***   ERRO   ***   GBAK"});
    EXPECT_EQ(stamps(1), std::vector<std::string>{""});
    EXPECT_EQ(form->TrayIcon1.balloon().text, "O backup terminou com o código 1");
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
