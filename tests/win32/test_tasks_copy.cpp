// Copy tasks run for real by the main window on Wednesday 09/12/26: an XCOPY batch
// through the command interpreter, folder pairs and a mask through the shell.
#include <filesystem>

#include "support/tasks_fixture.h"

namespace tarvex::win32test {
namespace {

class CopyTasks : public TasksTest {
protected:
    void SetUp() override {
        TasksTest::SetUp();
        dir.write("origem\\a.txt", "alfa");
        dir.write("origem\\Relatório.TXT", "beta");
        dir.write("origem\\c.dat", "gama");
        dir.write("origem\\sub\\d.txt", "delta");
        dir.write("origem\\sub\\fundo\\e.dat", "epsilon");
    }
    // The folder tree as copied below `rel`: every file it should hold.
    void expectTree(const std::string& rel) {
        EXPECT_EQ(dir.read(rel + "\\a.txt"), "alfa");
        EXPECT_EQ(dir.read(rel + "\\Relatório.TXT"), "beta");
        EXPECT_EQ(dir.read(rel + "\\c.dat"), "gama");
        EXPECT_EQ(dir.read(rel + "\\sub\\d.txt"), "delta");
        EXPECT_EQ(dir.read(rel + "\\sub\\fundo\\e.dat"), "epsilon");
    }
};

TEST_F(CopyTasks, XcopyBatchCopiesTheTreeIntoADestinationNamedByTheDay) {
    // As the XCOPY builder writes it: quoted paths, the pen letter and the suffix.
    ASSERT_EQ(dir.folder().substr(1, 2), ":\\");
    const std::string pen = dir.folder().substr(0, 1);
    const std::string destination = "[PEN]" + dir.folder().substr(1) + "destino_[DIA]-[MES]-[ANO][EXT]\\";
    runOne({{col::NOME, "COPIA PEN"}, {col::TIPO, "00 - XCOPY - Copia Arq."}, {col::PEN, pen},
            {col::EXTENSAO, "_[SEMANA]"}, {col::PAUSE, "N"},
            {col::MEMO, memo({"CHCP 1252 >NUL", "XCOPY  \"" + dir.path("origem") + "\"  ===>>  \"" + destination +
                                                    "\"      /E /D /Y /R /C /V"})}});

    expectTree("destino_09-12-2026_Quarta");
    EXPECT_EQ(dir.read("TIMER_xx.BAT"), "@SETLOCAL DISABLEDELAYEDEXPANSION\r\nXCOPY \"" + dir.path("origem") + "\" \"" +
                                            dir.path("destino_09-12-2026_Quarta\\") + "\" /E /D /Y /R /C /V\r\n" +
                                            "IF ERRORLEVEL 2 (>\"" + dir.path("TIMER_xx.ERR") +
                                            "\" ECHO 2& EXIT /B %ERRORLEVEL%) ELSE (CALL )");
    EXPECT_EQ(runEvents(), std::vector<std::string>{"EXE COPIA PEN >> 5 arquivos conferidos"});
    EXPECT_EQ(stamps(1), std::vector<std::string>{"09/12/26 08:00:00"});
    EXPECT_TRUE(op.errors().empty());
}

// As the folder-pair builder writes them: origin with "\", destination with the suffix.
std::string pair(const TempFolder& dir, const std::string& from, const std::string& to) {
    return dir.path(from) + "\\  ===>>  " + dir.path(to) + "[EXT]\\";
}

TEST_F(CopyTasks, FolderPairsAreCopiedWholeOneAfterTheOther) {
    dir.write("outra\\x.txt", "xis");
    runOne({{col::NOME, "COPIA DIRS"}, {col::TIPO, "01 - Copiar Diretório"}, {col::EXTENSAO, "_[ANO]_[MES]"},
            {col::MEMO, memo({pair(dir, "origem", "copia1"), "", pair(dir, "outra", "copia2")})}});

    expectTree("copia1_2026_12");
    EXPECT_EQ(dir.read("copia2_2026_12\\x.txt"), "xis");
    EXPECT_EQ(runEvents(), std::vector<std::string>{"EXE COPIA DIRS >> 6 arquivos conferidos"});
    EXPECT_EQ(stamps(1), std::vector<std::string>{"09/12/26 08:00:00"});
}

TEST_F(CopyTasks, AMissingSourceFolderStopsThePairsAndLeavesTheTaskDue) {
    dir.write("outra\\x.txt", "xis");
    runOne({{col::NOME, "COPIA DIRS"}, {col::TIPO, "01 - Copiar Diretório"},
            {col::MEMO, memo({pair(dir, "origem", "copia1"), pair(dir, "sumiu", "copia2"),
                              pair(dir, "outra", "copia3")})}});

    expectTree("copia1");
    EXPECT_FALSE(dir.exists("copia2"));
    EXPECT_FALSE(dir.exists("copia3"));   // later pairs are not copied
    EXPECT_EQ(runEvents(), std::vector<std::string>{"ERR ***   ERRO   ***   COPIA DIRS"});
    EXPECT_EQ(stamps(1), std::vector<std::string>{""});
    EXPECT_FALSE(form->CB_EXECUTANDO.checked());
}

TEST_F(CopyTasks, MaskCopyCreatesTheDestinationFolders) {
    runOne({{col::NOME, "COPIA TXT"}, {col::TIPO, "02 - Copiar Arquivo"}, {col::EXTENSAO, "_[DIA]"},
            {col::DIR_ORIGEM, dir.path("origem\\")}, {col::ARQUIVO, "*.txt"},
            {col::DIR_DESTINO, dir.path("novo\\[ANO][EXT]\\")}});

    EXPECT_EQ(dir.read("novo\\2026_09\\a.txt"), "alfa");
    EXPECT_EQ(dir.read("novo\\2026_09\\Relatório.TXT"), "beta");   // the mask ignores case
    EXPECT_FALSE(dir.exists("novo\\2026_09\\c.dat"));
    EXPECT_FALSE(dir.exists("novo\\2026_09\\d.txt"));
    EXPECT_EQ(runEvents(), std::vector<std::string>{"EXE COPIA TXT >> 2 arquivos conferidos"});
    EXPECT_EQ(stamps(1), std::vector<std::string>{"09/12/26 08:00:00"});
}

TEST_F(CopyTasks, ADestinationThatCannotBeMadeIsAFailureWithoutAStamp) {
    dir.write("bloqueio", "um arquivo onde a pasta deveria estar");
    runOne({{col::NOME, "COPIA TXT"}, {col::TIPO, "02 - Copiar Arquivo"}, {col::DIR_ORIGEM, dir.path("origem\\")},
            {col::ARQUIVO, "a.txt"}, {col::DIR_DESTINO, dir.path("bloqueio\\destino\\")}});

    EXPECT_EQ(runEvents(), std::vector<std::string>{"ERR ***   ERRO   ***   COPIA TXT"});
    EXPECT_EQ(stamps(1), std::vector<std::string>{""});
    EXPECT_EQ(dir.read("bloqueio"), "um arquivo onde a pasta deveria estar");
}

// The settings folder beside an executable installed under "Program Files".
class CopyTasksFromAFolderWithABlank : public CopyTasks {
protected:
    void SetUp() override {
        CopyTasks::SetUp();
        param = dir.path("Arquivos de Programas\\TARVEX\\");
        ASSERT_TRUE(std::filesystem::create_directories(platform::fsPath(param)));
    }
};

// A network share: Wine serves "\\SERVER\share" from its prefix's dosdevices\unc
// folder, so the copies, the file copy and the ZIP go through a real UNC path and
// are looked for where the share keeps them.
class CopyTasksToAShare : public CopyTasks {
protected:
    void SetUp() override {
        CopyTasks::SetUp();
        wchar_t prefix[1024];
        const DWORD n = GetEnvironmentVariableW(L"WINEPREFIX", prefix, 1024);
        if (n == 0 || n >= 1024) GTEST_SKIP() << "no Wine prefix to serve a share from";
        std::wstring unix = L"Z:" + std::wstring(prefix, n);
        for (wchar_t& c : unix)
            if (c == L'/') c = L'\\';
        share = "s" + std::to_string(GetCurrentProcessId());
        served = unix + L"\\dosdevices\\unc\\TARVEXSRV\\" + win32::widen(share);
        std::filesystem::create_directories(served);
        unc = "\\\\TARVEXSRV\\" + share + "\\";
    }
    void TearDown() override {
        CopyTasks::TearDown();
        std::error_code ec;
        if (!served.empty()) std::filesystem::remove_all(served, ec);
        for (const char* stray : {"C:\\TARVEXSRV", "Z:\\TARVEXSRV"}) std::filesystem::remove_all(stray, ec);
    }
    // A file as the share's own folder holds it.
    std::optional<std::string> onShare(const std::string& rel) const {
        return platform::readFile(win32::narrow(served) + "\\" + rel);
    }

    std::string share, unc;
    std::wstring served;
};

TEST_F(CopyTasksToAShare, EveryTaskWritesOnTheShare) {
    const auto hour = [](const char* h) { return Row::value_type{col::HORA, h}; };
    writeTasks({{{col::NOME, "DIRS"}, {col::TIPO, "01 - Copiar Diretório"}, {col::PERIODO, DAILY}, hour("08:00"),
                 {col::MEMO, memo({dir.path("origem") + "\\  ===>>  " + unc + "cp"})}},
                {{col::NOME, "ARQ"}, {col::TIPO, "02 - Copiar Arquivo"}, {col::PERIODO, DAILY}, hour("08:01"),
                 {col::DIR_ORIGEM, dir.path("origem\\")}, {col::ARQUIVO, "*.dat"}, {col::DIR_DESTINO, unc + "arq\\"}},
                {{col::NOME, "ZIP"}, {col::TIPO, "06 - WINZIP"}, {col::PERIODO, DAILY}, hour("08:02"),
                 {col::DIR_ORIGEM, dir.path("origem")}, {col::DIR_DESTINO, unc + "zip\\novo\\"},
                 {col::ARQDEST, "BKP"}}});
    start();
    host.runUntil(at(2026, 12, 9, 8, 2, 30));

    EXPECT_EQ(onShare("cp\\sub\\fundo\\e.dat"), "epsilon");
    EXPECT_EQ(onShare("arq\\c.dat"), "gama");
    EXPECT_TRUE(onShare("zip\\novo\\BKP.ZIP").has_value());
    // Never on a local folder named after the server.
    EXPECT_FALSE(std::filesystem::exists("C:\\TARVEXSRV"));
    EXPECT_FALSE(std::filesystem::exists("Z:\\TARVEXSRV"));
    EXPECT_EQ(runEvents(), (std::vector<std::string>{"EXE DIRS >> 5 arquivos conferidos", "EXE ARQ >> 1 arquivo conferido",
                                                     "EXE ZIP"}));
}

// (Accented names under the console's code page: tests/win32/ptbr.)
TEST_F(CopyTasksFromAFolderWithABlank, TheBatchStillRuns) {
    const std::string xcopy = "XCOPY  \"" + dir.path("origem") + "\"  ===>>  \"" + dir.path("Copia de Seguranca\\") +
                              "\"      /E /D /Y /R /C /V";
    runOne({{col::NOME, "COPIA PEN"}, {col::TIPO, "00 - XCOPY - Copia Arq."},
            {col::MEMO, memo({"CHCP 1252 >NUL", xcopy})}});

    expectTree("Copia de Seguranca");
    EXPECT_EQ(runEvents(), std::vector<std::string>{"EXE COPIA PEN >> 5 arquivos conferidos"});
}

}  // namespace
}  // namespace tarvex::win32test
