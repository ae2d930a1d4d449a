#include "executor_fixture.h"
#include "log/run_history.h"
#include "platform/files.h"

namespace tarvex::exec {
namespace {

using testkit::ScriptedOperator;

TEST_F(ExecutorTest, RowsOutsideTheTableChangeNothing) {
    addTask("A", "10 - Mensagem");
    for (int row : {0, -1, 2}) runRow(row);
    EXPECT_EQ(host.saves, 0);
    EXPECT_EQ(schedule.status, "inicial");
    EXPECT_TRUE(oper.boxes.empty());
    EXPECT_EQ(oper.pumps, 0);
    EXPECT_FALSE(dir.exists("LOG_TIMER.TXT"));
}

class FrameOnlyTest : public ExecutorTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(FrameOnlyTest, TypesWithoutWorkGoThroughTheFrameOnly) {
    addTask("OUTRA", "00 - XCOPY - Copia Arq.");
    addTask("NOTAS", "");
    const int row = addTask("BACKUP DIARIO", GetParam(), {{col::MENSAGEM, "Confirma?"}});
    std::string labelDuring, hintDuring;
    int iconDuring = -1;
    bool flagDuring = false;
    oper.onPump = [&] {
        labelDuring = schedule.status;
        hintDuring = schedule.trayHint;
        iconDuring = schedule.trayImage;
        flagDuring = schedule.running;
    };
    runRow(row);
    EXPECT_EQ(labelDuring, "Executando: 03 - BACKUP DIARIO");
    EXPECT_EQ(hintDuring, "Executando: BACKUP DIARIO (01 - Todos os Dias)");   // never the row the editor shows
    EXPECT_EQ(iconDuring, 1);
    EXPECT_TRUE(flagDuring);
    expectIdle();
    EXPECT_EQ(host.saves, 1);
    EXPECT_TRUE(oper.boxes.empty());
    EXPECT_EQ(stampOf(row), "");
    EXPECT_FALSE(dir.exists("LOG_TIMER.TXT"));
    EXPECT_EQ(ctx.NOME_TAREFA, "BACKUP DIARIO");
}

INSTANTIATE_TEST_SUITE_P(Codes, FrameOnlyTest, ::testing::Values("08 - ", "09 - Observações", "11 - X", "0"));

TEST_F(ExecutorTest, RunContextIsFilledFromTheRow) {
    const int row = addTask("T", "09 - Observações",
                            {{col::MENSAGEM, "  oi  "}, {col::PAUSE, "S"}, {col::PEN, " E "},
                             {col::EXTENSAO, " _[DIA]"}, {col::MEMO, "L1||L2"}});
    runRow(row);
    EXPECT_EQ(ctx.HORA_INICIO, "08:00:00");
    EXPECT_EQ(ctx.ARQ_BAT, windowsStyle(dir.path().string()) + "\\TIMER_xx.BAT");
    EXPECT_EQ(ctx.DATA_HOJE, "'06.12.2026'");
    EXPECT_EQ(ctx.DIA_SEMANA, "Domingo");
    EXPECT_EQ(ctx.COD_TIPO, "09");
    EXPECT_EQ(ctx.MENSAGEM_TAREFA, "oi");
    EXPECT_EQ(ctx.PAUSA_TAREFA, "S");
    EXPECT_EQ(ctx.PEN_TAREFA, "E");
    EXPECT_EQ(ctx.EXTENSAO_TAREFA, " _[DIA]");
    EXPECT_EQ(ctx.MEMO_TAREFA, "L1\r\nL2");
}

TEST_F(ExecutorTest, BatchPathHasOneSeparatorWhenTheFolderEndsWithOne) {
    schedule.batchFolder = "C:\\TARVEX\\";
    runRow(addTask("T", "09 - Observações"));
    EXPECT_EQ(ctx.ARQ_BAT, "C:\\TARVEX\\TIMER_xx.BAT");
}

class CancelTest : public ExecutorTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(CancelTest, CancelledConfirmationLogsAndStampsNothing) {
    const int row = addTask("T", GetParam(),
                            {{col::MENSAGEM, "Confirma?"}, {col::EXECUTAVEL, "X"}, {col::FUNCOES, "0"}});
    oper.answers = {false};
    runRow(row);
    ASSERT_EQ(oper.boxes.size(), 1u);
    EXPECT_EQ(oper.boxes[0].kind, ScriptedOperator::Kind::Question);
    EXPECT_EQ(oper.boxes[0].caption, "Mensagem do Sistema");
    EXPECT_EQ(oper.boxes[0].text, "Confirma?");
    EXPECT_EQ(stampOf(row), "");
    EXPECT_FALSE(dir.exists("LOG_TIMER.TXT"));
    EXPECT_TRUE(fake.processes.calls.empty());
    EXPECT_TRUE(fake.shell.opens.empty());
    EXPECT_TRUE(fake.power.calls.empty());
    EXPECT_EQ(host.quits, 0);
    EXPECT_EQ(host.saves, 1);
    expectIdle();
}

INSTANTIATE_TEST_SUITE_P(Types, CancelTest,
                         ::testing::Values("00 - XCOPY - Copia Arq.", "01 - Copiar Diretório",
                                           "02 - Copiar Arquivo", "03 - Executar Programa",
                                           "04 - Fechar Programa", "05 - FUNÇÕES", "07 - GBAK - Firebird"));

TEST_F(ExecutorTest, ConfirmationWaitIsNotCountedInTheElapsedTime) {
    const int row = addTask("T", "04 - Fechar Programa",
                            {{col::MENSAGEM, "Fechar?"}, {col::EXECUTAVEL, "Titulo[Calc]"}});
    oper.onBox = [&] { clock.setTime(8, 5, 0); };
    runRow(row);
    ASSERT_EQ(logLines().size(), 1u);
    EXPECT_EQ(logLines()[0], "06/12/26#01#EXE#T#08:05:00#08:05:00#00:00:00#04 - Fechar Programa#01 - Todos os Dias#");
}

// ---- "00" and "07": batch runs ---------------------------------------------------

class BatchTest : public ExecutorTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(BatchTest, WritesTheExpandedBatchRunsItAndStamps) {
    const int row = addTask("COPIA", GetParam(),
                            {{col::PEN, "E"}, {col::EXTENSAO, "_[DIA]"}, {col::PAUSE, "S"},
                             {col::MEMO, "CHCP 1252 >NUL||XCOPY  \"C:\\Diretório\\\\A\"  ===>>  \"[PEN]:\\A[EXT]\"      /E /D"}});
    std::string batchWhileRunning;
    bool flagWhileRunning = false;
    fake.processes.onRun = [&](const std::string&, int) {
        batchWhileRunning = dir.read("TIMER_xx.BAT");
        flagWhileRunning = schedule.running;
        clock.setTime(8, 2, 15);
        return 0;
    };
    size_t loggedBeforePause = 0;
    fake.processes.onPause = [&] { loggedBeforePause = logLines().size(); };
    runRow(row);
    // The batch: the operator's lines without the CHCP (it is written in the console's
    // own code page), started by its quoted path. The pause is no line of it: the
    // console for the operator comes once the run is logged.
    const std::string xcopy = "XCOPY \"C:\\Diret\xF3rio\\A\" \"E:\\A_06\" /E /D";
    EXPECT_EQ(schedule.batchText, "CHCP 1252 >NUL\r\n" + xcopy);
    EXPECT_EQ(batchWhileRunning.find("CHCP"), std::string::npos);
    EXPECT_NE(batchWhileRunning.find("\r\n" + xcopy), std::string::npos);
    EXPECT_EQ(batchWhileRunning.find("PAUSE"), std::string::npos);
    ASSERT_EQ(fake.processes.paused.size(), 1u);
    EXPECT_EQ(fake.processes.paused[0].first, "COPIA");
    EXPECT_EQ(loggedBeforePause, 1u);
    EXPECT_TRUE(flagWhileRunning);
    ASSERT_EQ(fake.processes.calls.size(), 1u);
    EXPECT_EQ(fake.processes.calls[0].commandLine, "\"" + ctx.ARQ_BAT + "\"");
    EXPECT_EQ(fake.processes.calls[0].show, 1);
    EXPECT_EQ(stampOf(row), "06/12/26 08:02:15");
    EXPECT_EQ(host.lastStamp, "06/12/26 08:02:15");
    ASSERT_EQ(logLines().size(), 1u);
    EXPECT_EQ(logLines()[0], "06/12/26#01#EXE#COPIA#08:00:00#08:02:15#00:02:15#" + std::string(GetParam()) +
                                 "#01 - Todos os Dias#");
    expectIdle();
}

INSTANTIATE_TEST_SUITE_P(Types, BatchTest, ::testing::Values("00 - XCOPY - Copia Arq.", "07 - GBAK - Firebird"));

TEST_F(ExecutorTest, BatchWithoutPauseIsTheMemoAlone) {
    const int row = addTask("C", "00 - XCOPY - Copia Arq.", {{col::PAUSE, "N"}, {col::MEMO, "ECHO A||ECHO B"}});
    runRow(row);
    EXPECT_EQ(dir.read("TIMER_xx.BAT"), "@SETLOCAL DISABLEDELAYEDEXPANSION\r\nECHO A\r\nECHO B");
    EXPECT_TRUE(fake.processes.paused.empty());
}

// A batch file held by a command left from a killed TARVEX (a folder here: no
// write can replace it) takes the next name; once free, the usual name is back.
TEST_F(ExecutorTest, AHeldBatchFileNeverFailsTheRun) {
    const int row = addTask("C", "00 - XCOPY - Copia Arq.", {{col::MEMO, "ECHO A"}});
    std::filesystem::create_directory(dir.path() / "TIMER_xx.BAT");
    runRow(row);
    EXPECT_EQ(logged(), std::vector<std::string>{"EXE#C"});
    EXPECT_EQ(dir.read("TIMER_xx-2.BAT"), "@SETLOCAL DISABLEDELAYEDEXPANSION\r\nECHO A");
    ASSERT_EQ(fake.processes.calls.size(), 1u);
    EXPECT_NE(fake.processes.calls[0].commandLine.find("TIMER_xx-2.BAT"), std::string::npos);

    std::filesystem::remove(dir.path() / "TIMER_xx.BAT");
    runRow(row);
    EXPECT_EQ(dir.read("TIMER_xx.BAT"), "@SETLOCAL DISABLEDELAYEDEXPANSION\r\nECHO A");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "TIMER_xx-2.BAT"));
}

TEST_F(ExecutorTest, BatchThatCannotStartIsAFailureWithoutStamp) {
    const int row = addTask("C", "00 - XCOPY - Copia Arq.", {{col::MEMO, "ECHO"}});
    fake.processes.result = -1;
    runRow(row);
    EXPECT_EQ(logged(), std::vector<std::string>{"ERR#***   ERRO   ***   C"});
    EXPECT_EQ(stampOf(row), "");
    expectIdle();
}

TEST_F(ExecutorTest, BatchFileThatCannotBeWrittenEndsTheRunCleanly) {
    schedule.batchFolder = dir.path().string() + "/no/such/folder";
    const int row = addTask("C", "00 - XCOPY - Copia Arq.", {{col::MEMO, "ECHO"}});
    runRow(row);
    EXPECT_TRUE(fake.processes.calls.empty());
    EXPECT_EQ(host.failures.size(), 1u);
    EXPECT_EQ(logged(), std::vector<std::string>{"ERR#***   ERRO   ***   C"});
    EXPECT_EQ(stampOf(row), "");
    EXPECT_EQ(host.saves, 1);
    expectIdle();
}

TEST_F(ExecutorTest, TaskFileThatCannotBeSavedIsShownAndLogged) {
    host.failSave = true;
    const int row = addTask("M", "10 - Mensagem", {{col::MENSAGEM, "Oi"}});
    runRow(row);
    ASSERT_EQ(host.failures.size(), 1u);   // told without a box: nobody may be at the PC
    EXPECT_NE(host.failures[0].find("TARVEX_TAREFAS.TXT"), std::string::npos);
    EXPECT_EQ(logged(), (std::vector<std::string>{"EXE#M >> Oi", "ERR#***   ERRO   ***   M"}));
    expectIdle();
}

// ---- "01": folder copies ---------------------------------------------------------

TEST_F(ExecutorTest, FolderCopiesEveryLineThenStamps) {
    dir.write("A_06/f", "x");
    dir.write("B/f", "x");
    const std::string a = dir.file("A_[DIA]"), b = dir.file("B");
    const int row = addTask("PASTAS", "01 - Copiar Diretório",
                            {{col::PAUSE, "S"}, {col::MEMO, a + "  ===>>  E:\\X||  ||" + b + "  ===>>  F:\\[SEMANA]\\||" + b}});
    runRow(row);
    ASSERT_EQ(fake.shell.copies.size(), 3u);
    EXPECT_EQ(fake.shell.copies[0].from, dir.file("A_06"));
    EXPECT_EQ(fake.shell.copies[0].to, "E:\\X");
    EXPECT_EQ(fake.shell.copies[1].to, "F:\\Domingo");
    // A line without an arrow names the same folder twice: an existing destination is refreshed.
    EXPECT_EQ(fake.shell.copies[2].from, b + "\\*");
    EXPECT_EQ(fake.shell.copies[2].to, b);
    EXPECT_EQ(tarvex::textLines(schedule.batchText).at(0), dir.file("A_06") + " ===>> E:\\X");
    EXPECT_EQ(stampOf(row), "06/12/26 08:00:00");
    EXPECT_EQ(logged(), std::vector<std::string>{"EXE#PASTAS"});
    EXPECT_EQ(oper.messages(), std::vector<std::string>{"PASTAS - Concluído"});
    expectIdle();
}

TEST_F(ExecutorTest, FolderCopyFailureStopsAtThatLine) {
    dir.write("B/f", "x");
    const int row = addTask("PASTAS", "01 - Copiar Diretório",
                            {{col::PAUSE, "S"}, {col::MEMO, dir.file("B") + " ===>> E:\\X||" + dir.file("B") + " ===>> F:\\Y"}});
    fake.shell.copyResult = 5;
    runRow(row);
    EXPECT_EQ(fake.shell.copies.size(), 1u);
    EXPECT_EQ(logged(), std::vector<std::string>{"ERR#***   ERRO   ***   PASTAS"});
    EXPECT_EQ(stampOf(row), "");
    EXPECT_TRUE(oper.messages().empty());
    expectIdle();
}

// ---- "02": file copy ---------------------------------------------------------------

TEST_F(ExecutorTest, FileCopyExpandsFoldersAndCreatesTheDestination) {
    const int row = addTask("ARQ", "02 - Copiar Arquivo",
                            {{col::DIR_ORIGEM, " C:\\DADOS\\[ANO]\\ "}, {col::DIR_DESTINO, windowsStyle(dir.file("D_[MES]"))},
                             {col::ARQUIVO, "*[DIA].TXT"}});
    runRow(row);
    EXPECT_TRUE(dir.exists("D_12"));
    ASSERT_EQ(fake.shell.copies.size(), 1u);
    EXPECT_EQ(fake.shell.copies[0].from, "C:\\DADOS\\2026\\*[DIA].TXT");   // the name is not expanded
    EXPECT_EQ(fake.shell.copies[0].to, windowsStyle(dir.file("D_12")));
    EXPECT_EQ(fake.shell.copies[0].flags, 0x150u);
    EXPECT_EQ(logged(), std::vector<std::string>{"EXE#ARQ"});
    EXPECT_NE(stampOf(row), "");
}

TEST_F(ExecutorTest, FileCopyFailureLogsWithoutStamp) {
    const int row = addTask("ARQ", "02 - Copiar Arquivo", {{col::DIR_DESTINO, dir.folder()}});
    fake.shell.copyResult = 1;
    runRow(row);
    EXPECT_EQ(logged(), std::vector<std::string>{"ERR#***   ERRO   ***   ARQ"});
    EXPECT_EQ(stampOf(row), "");
}

// ---- "03": start a program -----------------------------------------------------------

struct ProgramCase { std::string line, program, params; };
class ProgramTest : public ExecutorTest, public ::testing::WithParamInterface<ProgramCase> {};

TEST_P(ProgramTest, StartsTheProgramWithItsParametersWithoutWaiting) {
    dir.write("APP/X.EXE", "");
    const std::string base = dir.file("APP/X.EXE");
    if (base.find(' ') != std::string::npos) GTEST_SKIP() << "the program line is cut at its first blank";
    const int row = addTask("PROG", "03 - Executar Programa", {{col::EXECUTAVEL, " " + base + GetParam().line}});
    runRow(row);
    ASSERT_EQ(fake.shell.opens.size(), 1u);
    EXPECT_EQ(fake.shell.opens[0].file, base);
    EXPECT_EQ(fake.shell.opens[0].params, GetParam().params);
    EXPECT_EQ(fake.shell.opens[0].folder, "");
    EXPECT_EQ(fake.shell.opens[0].show, 1);
    EXPECT_EQ(logged(), std::vector<std::string>{"EXE#PROG"});
    EXPECT_NE(stampOf(row), "");
}

INSTANTIATE_TEST_SUITE_P(Lines, ProgramTest,
                         ::testing::Values(ProgramCase{"", "", ""}, ProgramCase{" /S", "", "/S"},
                                           ProgramCase{"  /A   [DIA] ", "", "/A 06"}));

// A program in a folder with blanks: quoted, whole, or program and parameters.
TEST_F(ExecutorTest, ProgramInAFolderWithBlanksStarts) {
    dir.write("Meu App/bloco.exe", "");
    const std::string exe = dir.file("Meu App/bloco.exe");
    for (const std::string& line : {exe, "\"" + exe + "\" /S", exe + " /S"}) {
        const int row = addTask("PROG", "03 - Executar Programa", {{col::EXECUTAVEL, line}});
        runRow(row);
    }
    ASSERT_EQ(fake.shell.opens.size(), 2u);   // the third line is read as "...Meu" and "App/bloco.exe /S"
    EXPECT_EQ(fake.shell.opens[0].file, exe);
    EXPECT_EQ(fake.shell.opens[1].file, exe);
    EXPECT_EQ(fake.shell.opens[1].params, "/S");
    EXPECT_EQ(logged().back(), "ERR#***   ERRO   ***   Programa não localizado PROG");
}

// A 23:50 task ending after midnight still runs at 23:50 that night.
TEST_F(ExecutorTest, RunAcrossMidnightIsStampedWithTheDayItStarted) {
    clock.set(testkit::at(2026, 12, 6, 23, 50, 0));
    const int row = addTask("NOITE", "00 - XCOPY", {{col::MEMO, "XCOPY A B"}});
    fake.processes.onRun = [&](const std::string&, int) {
        clock.set(testkit::at(2026, 12, 7, 0, 10, 0));
        return 0;
    };
    runRow(row);
    EXPECT_EQ(stampOf(row), "06/12/26 23:50:00");
    EXPECT_NE(logLines().back().find("#23:50:00#00:10:00#"), std::string::npos) << logLines().back();
}

// ---- failures are failures ----------------------------------------------------------------

struct StatusCase {
    std::string type;
    int status;
    bool done;
};

class BatchStatus : public ExecutorTest, public ::testing::WithParamInterface<StatusCase> {};

// XCOPY's 1 is "nothing to copy"; the backup tool fails with anything but 0.
TEST_P(BatchStatus, DecidesTheRun) {
    fake.processes.result = GetParam().status;
    const int row = addTask("T", GetParam().type, {{col::MEMO, "ECHO"}});
    runRow(row);
    EXPECT_EQ(stampOf(row).empty(), !GetParam().done);
    EXPECT_EQ(logged().back().substr(0, 3), GetParam().done ? "EXE" : "ERR");
    EXPECT_EQ(GRID.cell(col::ULTIMO_ERRO, row).empty(), GetParam().done);
}

INSTANTIATE_TEST_SUITE_P(Codes, BatchStatus,
                         ::testing::Values(StatusCase{"00 - XCOPY", 0, true}, StatusCase{"00 - XCOPY", 1, true},
                                           StatusCase{"00 - XCOPY", 2, false}, StatusCase{"00 - XCOPY", 4, false},
                                           StatusCase{"00 - XCOPY", 5, false}, StatusCase{"07 - GBAK", 0, true},
                                           StatusCase{"07 - GBAK", 1, false}));

struct DriveCase {
    std::string type;
    std::map<int, std::string> cells;
    std::string why = "Unidade X: não encontrada";
};

class MissingDrive : public ExecutorTest, public ::testing::WithParamInterface<DriveCase> {};

// Checked before anything runs: a copy to a pen drive that is not plugged in.
TEST_P(MissingDrive, FailsBeforeAnythingRuns) {
    fake.shell.missingDrives = "X";
    const int row = addTask("DESTINO", GetParam().type, GetParam().cells);
    runRow(row);
    EXPECT_TRUE(fake.processes.calls.empty());
    EXPECT_TRUE(fake.shell.copies.empty());
    EXPECT_EQ(stampOf(row), "");
    EXPECT_EQ(host.failures, std::vector<std::string>{GetParam().why});
    EXPECT_EQ(GRID.cell(col::ULTIMO_ERRO, row), "06/12 08:00: " + GetParam().why);
}

INSTANTIATE_TEST_SUITE_P(
    Types, MissingDrive,
    ::testing::Values(DriveCase{"00 - XCOPY", {{col::MEMO, "XCOPY C:\\A  ===>>  X:\\A /E"}}},
                      DriveCase{"01 - Copiar Pastas", {{col::MEMO, "C:\\A ===>> \"x:\\B\""}}},
                      DriveCase{"02 - Copiar Arquivo", {{col::DIR_DESTINO, "X:\\COPIAS"}, {col::ARQUIVO, "*.*"}}},
                      DriveCase{"06 - WINZIP", {{col::DIR_ORIGEM, "C:\\A"}, {col::DIR_DESTINO, "X:\\Z"}}},
                      DriveCase{"07 - GBAK", {{col::MEMO, "GBAK"}, {col::DIR_DESTINO, "X:\\BKP"}}},
                      DriveCase{"00 - XCOPY",
                                {{col::MEMO, "XCOPY C:\\A  ===>>  \"\\\\NAOHA\\BKP\\A\" /E"}},
                                "\\\\NAOHA\\BKP não encontrado"},
                      DriveCase{"06 - WINZIP", {{col::DIR_ORIGEM, "C:\\A"}, {col::DIR_DESTINO, "\\\\NAOHA\\Z\\X"}},
                                "\\\\NAOHA\\Z não encontrado"}));

// A pen drive named by its label is found by it; one that is not there makes the
// task wait, which is not a run: nothing is logged, ticked or stamped.
TEST_F(ExecutorTest, APenDriveByLabelIsFoundOrWaitedFor) {
    fake.shell.labels["BACKUP"] = 'E';
    const int byLabel = addTask("PEN", "00 - XCOPY", {{col::MEMO, "XCOPY A [PEN]:\\A"}, {col::PEN, "backup"}});
    runRow(byLabel);
    EXPECT_EQ(schedule.batchText, "XCOPY A E:\\A");
    fake.shell.missingDrives = "X";
    for (const char* pen : {"X", "OUTRO"}) {
        const int row = addTask("ESPERA", "02 - Copiar Arquivo", {{col::PEN, pen}});
        bool ticked = false;
        schedule.onChange = [&] { ticked = ticked || schedule.running; };
        runRow(row);
        schedule.onChange = nullptr;
        EXPECT_FALSE(ticked);
        EXPECT_EQ(stampOf(row), "");
        EXPECT_EQ(host.waits.back(), pen);
    }
    EXPECT_EQ(logged().size(), 1u);   // the run by label only
}

TEST_F(ExecutorTest, ALaterSuccessClearsTheLastFailure) {
    const int row = addTask("T", "00 - XCOPY", {{col::MEMO, "ECHO"}});
    fake.processes.result = -1;
    runRow(row);
    EXPECT_EQ(GRID.cell(col::ULTIMO_ERRO, row).rfind("06/12 08:00: O comando não pôde ser iniciado: ", 0), 0u);
    fake.processes.result = 0;
    runRow(row);
    EXPECT_EQ(GRID.cell(col::ULTIMO_ERRO, row), "");
    EXPECT_NE(stampOf(row), "");
}

TEST_F(ExecutorTest, AProgramTheShellCannotStartIsAFailure) {
    dir.write("p.exe", "");
    fake.shell.openResult = false;
    const int row = addTask("P", "03 - Executar Programa", {{col::EXECUTAVEL, dir.file("p.exe")}});
    runRow(row);
    EXPECT_EQ(stampOf(row), "");
    ASSERT_EQ(host.failures.size(), 1u);
    EXPECT_EQ(host.failures[0], "O programa não pôde ser iniciado: " + dir.file("p.exe"));
}

// ---- "04": close a program ------------------------------------------------------------

TEST_F(ExecutorTest, CloseProgramAsksTheNamedWindowToClose) {
    fake.windows.windows = {{11, "Calculadora", "CalcFrame", true}};
    const int row = addTask("FECHA", "04 - Fechar Programa", {{col::EXECUTAVEL, " Titulo[Calculadora] "}});
    runRow(row);
    EXPECT_EQ(fake.windows.closed, std::vector<std::uintptr_t>{11});
    EXPECT_EQ(logged(), std::vector<std::string>{"EXE#FECHA"});
    EXPECT_NE(stampOf(row), "");
}

TEST_F(ExecutorTest, CloseProgramWithoutAWindowStillCounts) {
    const int row = addTask("FECHA", "04 - Fechar Programa", {{col::EXECUTAVEL, "Titulo[Nada]"}});
    runRow(row);
    EXPECT_EQ(logged(), std::vector<std::string>{"EXE#FECHA"});
}

TEST_F(ExecutorTest, CloseProgramWithoutANameOnlyTellsTheOperator) {
    const int row = addTask("FECHA", "04 - Fechar Programa", {{col::EXECUTAVEL, "   "}});
    runRow(row);
    EXPECT_EQ(oper.messages(), std::vector<std::string>{"O nome do PROGRAMA deve ser informado"});
    EXPECT_FALSE(dir.exists("LOG_TIMER.TXT"));
    EXPECT_EQ(stampOf(row), "");
    expectIdle();
}

// ---- "05": power functions ---------------------------------------------------------------

struct PowerCase { const char* value; const char* expectedCall; };
class PowerTest : public ExecutorTest, public ::testing::WithParamInterface<PowerCase> {};

TEST_P(PowerTest, SavesLogsActsAndEndsTheProgram) {
    const int row = addTask("DESLIGA", "05 - FUNÇÕES", {{col::FUNCOES, GetParam().value}});
    fake.power.exitResult = false;   // refused: the program ends all the same
    runRow(row);
    EXPECT_EQ(host.saves, 2);   // once before acting, once at the end of the run
    EXPECT_EQ(logged(), std::vector<std::string>{"EXE#DESLIGA"});
    EXPECT_NE(stampOf(row), "");
    EXPECT_EQ(host.quits, 1);
    const auto& calls = fake.power.calls;
    if (*GetParam().expectedCall)
        EXPECT_NE(std::find(calls.begin(), calls.end(), GetParam().expectedCall), calls.end());
    else
        EXPECT_TRUE(calls.empty());
}

INSTANTIATE_TEST_SUITE_P(Functions, PowerTest,
                         ::testing::Values(PowerCase{"0", ""}, PowerCase{"1", "run shutdown -s -f -t 00"},
                                           PowerCase{"2", "exit 13 0"}, PowerCase{"3", "exit 6 0"}));

TEST_F(ExecutorTest, PowerStateIsOnDiskBeforeTheComputerGoesDown) {
    const int row = addTask("DESLIGA", "05 - FUNÇÕES", {{col::FUNCOES, "2"}});
    int savesAtAction = -1;
    bool loggedAtAction = false;
    fake.power.exitResult = true;
    struct Probe : testkit::RecordingPower {
        std::function<void()> at;
        bool exitWindows(unsigned f, unsigned r) override { at(); return RecordingPower::exitWindows(f, r); }
    };
    Probe probe;
    probe.at = [&] { savesAtAction = host.saves; loggedAtAction = dir.exists("LOG_TIMER.TXT"); };
    platform::Services services{fake.processes, fake.shell, fake.windows, probe, fake.registry};
    Executor ex{GRID, ctx, schedule, host, log, runner, services};
    ex.run(GRID.idAt(row));
    EXPECT_EQ(savesAtAction, 1);
    EXPECT_TRUE(loggedAtAction);
}

TEST_F(ExecutorTest, UnknownPowerFunctionOnlyStamps) {
    for (const char* value : {"4", "-1"}) {
        const int row = addTask("F", "05 - FUNÇÕES", {{col::FUNCOES, value}});
        runRow(row);
        EXPECT_NE(stampOf(row), "");
    }
    EXPECT_FALSE(dir.exists("LOG_TIMER.TXT"));
    EXPECT_TRUE(fake.power.calls.empty());
    EXPECT_EQ(host.quits, 0);
}

// ---- "06": ZIP archive -------------------------------------------------------------------

TEST_F(ExecutorTest, ZipWritesTheArchiveWithoutConfirmation) {
    dir.write("SRC/a.FDB", "dados");
    clock.setTime(8, 0, 0);
    const int row = addTask("ZIP", "06 - WINZIP",
                            {{col::MENSAGEM, "Nao perguntar"}, {col::DIR_ORIGEM, dir.file("SRC")},
                             {col::DIR_DESTINO, " " + windowsStyle(dir.file("OUT")) + "\\ "}, {col::ARQDEST, "DADOS"},
                             {col::EXTENSAO, "_[DIA]"}});
    // What a run killed on another day left, and another task's file that stays.
    for (const char* left : {"OUT/DADOS_05.ZIP.tmp~", "OUT/dados_05.zip.tmp~.004fbfa0", "OUT/OUTRO.ZIP.tmp~"})
        dir.write(left, "meio");
    runRow(row);
    EXPECT_FALSE(dir.exists("OUT/DADOS_05.ZIP.tmp~"));
    EXPECT_FALSE(dir.exists("OUT/dados_05.zip.tmp~.004fbfa0"));
    EXPECT_TRUE(dir.exists("OUT/OUTRO.ZIP.tmp~"));
    EXPECT_TRUE(oper.questions().empty());
    EXPECT_TRUE(dir.exists("OUT/DADOS_06.ZIP"));   // the destination folder is made first
    EXPECT_NE(stampOf(row), "");
    EXPECT_EQ(logged(), std::vector<std::string>{"EXE#ZIP"});
    EXPECT_EQ(host.saves, 2);
    EXPECT_EQ(host.agendas, 0);
    expectIdle();
}

TEST_F(ExecutorTest, ZipFailureLogsKeepsTheTaskDueAndRecomputesTheAgenda) {
    const int row = addTask("ZIP", "06 - WINZIP",
                            {{col::DIR_ORIGEM, dir.file("NAO_EXISTE")}, {col::DIR_DESTINO, windowsStyle(dir.file("OUT"))},
                             {col::ARQDEST, "DADOS"}});
    dir.write("OUT/DADOS.ZIP", "anterior");
    bool flagAtAgenda = true;
    std::string labelAtAgenda;
    host.onAgenda = [&] {
        flagAtAgenda = schedule.running;
        labelAtAgenda = schedule.status;
    };
    runRow(row);
    EXPECT_EQ(logged(), std::vector<std::string>{"ERR#ZIP"});
    EXPECT_EQ(stampOf(row), "");
    ASSERT_EQ(host.failures.size(), 1u);
    EXPECT_NE(host.failures[0].find("NAO_EXISTE"), std::string::npos);   // the reason reaches the operator
    EXPECT_EQ(host.agendas, 1);
    EXPECT_FALSE(flagAtAgenda);
    EXPECT_EQ(labelAtAgenda, "Erro - ZIP");
    EXPECT_EQ(dir.read("OUT/DADOS.ZIP"), "anterior");   // a failed run keeps the last good archive
    EXPECT_TRUE(oper.errors().empty());
    expectIdle();
}

// Kept for the history with its archive's size; far under the usual size, told.
TEST_F(ExecutorTest, ZipRunIsKeptWithItsSizeAndASizeJumpIsTold) {
    dir.write("SRC/a.FDB", "dados");
    std::string earlier;
    for (const char* day : {"03", "04", "05"}) earlier += std::string(day) + "/12/26#04:00:00#01#ZIP#OK#60#503316480#\r\n";
    dir.write("HISTORICO_TIMER.TXT", earlier);
    const int row = addTask("ZIP", "06 - WINZIP",
                            {{col::DIR_ORIGEM, dir.file("SRC")}, {col::DIR_DESTINO, windowsStyle(dir.file("OUT"))},
                             {col::ARQDEST, "DADOS"}});
    runRow(row);
    const auto runs = log::loadRuns(folder, Date{2026, 12, 6});
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_TRUE(runs.back().ok);
    EXPECT_EQ(runs.back().bytes, static_cast<std::int64_t>(platform::fileSize(dir.file("OUT/DADOS.ZIP")).value_or(0)));
    EXPECT_EQ(host.sizeJumps, std::vector<std::string>{"ZIP: 1 KB hoje, mediana 480 MB"});
}

// ---- "10": message -------------------------------------------------------------------------

// Shown without a question: nobody has to be at the PC for the day to go on.
TEST_F(ExecutorTest, MessageIsShownLoggedAndStampedAtOnce) {
    const int row = addTask("AVISO", "10 - Mensagem", {{col::MENSAGEM, " Trocar fita "}});
    runRow(row);
    EXPECT_TRUE(oper.questions().empty());
    EXPECT_EQ(oper.messages(), std::vector<std::string>{"Trocar fita"});
    EXPECT_EQ(logLines().at(0), "06/12/26#01#EXE#AVISO >> Trocar fita#08:00:00#08:00:00#00:00:00#10 - Mensagem#01 - Todos os Dias#");
    EXPECT_EQ(stampOf(row), "06/12/26 08:00:00");
}

}  // namespace
}  // namespace tarvex::exec
