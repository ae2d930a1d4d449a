// A failed run stays due and is tried again once the cause is gone, without
// retrying every ten seconds meanwhile; a hand-started run shows its reason.
#include "app/wired_fixture.h"
#include "lib/routines.h"

namespace tarvex::testing {
namespace {

class FailedRun : public WiredTest {
protected:
    void SetUp() override {
        WiredTest::SetUp();
        dir.write("dados/a.txt", "a");
        writeTasks({{{col::NOME, "PEN"}, {col::TIPO, "02 - Copiar Arquivo"}, {col::PERIODO, "01 - Todos os Dias"},
                     {col::HORA, "08:00"}, {col::DIR_ORIGEM, "C:\\DADOS\\"}, {col::ARQUIVO, "*.*"},
                     {col::DIR_DESTINO, "X:\\COPIA"}}});
        fake.shell.missingDrives = "X";
        start();
    }
};

TEST_F(FailedRun, RunsAtTheNextAgendaOnceTheDriveIsThere) {
    host.runUntil(at(2026, 12, 9, 8, 5, 0));
    EXPECT_EQ(logEvents(), (std::vector<std::string>{"INI Start TARVEX", "ERR ***   ERRO   ***   PEN"}));
    EXPECT_EQ(form->GRID_C.cell(3, 1), "ERRO 09/12 08:00: Unidade X: não encontrada");
    EXPECT_TRUE(op.errors().empty());   // a scheduled run never stops on a box
    fake.shell.missingDrives = "";
    host.runUntil(at(2026, 12, 9, 8, 30, 0));
    EXPECT_EQ(logEvents().back(), "EXE PEN");
    EXPECT_EQ(form->table().cell(col::ULTIMO_ERRO, 1), "");
}

TEST_F(FailedRun, TheWarningPictureStaysUntilTheBalloonOpensTheLog) {
    host.runUntil(at(2026, 12, 9, 8, 5, 0));
    EXPECT_EQ(form->TrayIcon1.imageIndex(), 2);
    form->TrayIcon1.onBalloonClick();
    EXPECT_EQ(form->TrayIcon1.imageIndex(), 0);
    EXPECT_EQ(form->PC_GERAL.active(), "TS_LOG");
}

TEST_F(FailedRun, ByHandShowsTheReason) {
    form->runNowButton.click();
    ASSERT_EQ(op.errors().size(), 1u);
    EXPECT_EQ(op.errors()[0], "Falha na tarefa PEN: Unidade X: não encontrada");
}

}  // namespace
}  // namespace tarvex::testing

namespace tarvex::testing {
namespace {

class PenWait : public WiredTest {
protected:
    void SetUp() override {
        WiredTest::SetUp();
        writeTasks({{{col::NOME, "PEN"}, {col::TIPO, "02 - Copiar Arquivo"}, {col::PERIODO, "01 - Todos os Dias"},
                     {col::HORA, "08:00"}, {col::DIR_ORIGEM, "C:\\DADOS\\"}, {col::ARQUIVO, "*.*"},
                     {col::PEN, "BACKUP"}, {col::DIR_DESTINO, "[PEN]:\\COPIA"}},
                    {{col::NOME, "OUTRA"}, {col::TIPO, "04 - Fechar Programa"}, {col::PERIODO, "01 - Todos os Dias"},
                     {col::HORA, "08:10"}, {col::EXECUTAVEL, "[X]"}}});
        start();
    }
};

TEST_F(PenWait, ATaskWaitsForItsDriveAndRunsWhenItArrives) {
    host.runUntil(at(2026, 12, 9, 8, 30, 0));
    EXPECT_EQ(form->TrayIcon1.balloon().text, "Insira o pen drive BACKUP para a tarefa PEN");
    EXPECT_EQ(form->GRID_C.cell(3, 1), "AGUARDANDO o pen drive BACKUP");
    EXPECT_EQ(logEvents(), (std::vector<std::string>{"INI Start TARVEX", "EXE OUTRA"}));   // not held up

    fake.shell.labels["BACKUP"] = 'F';
    form->devicesChanged();
    host.runUntil(at(2026, 12, 9, 8, 31, 0));
    EXPECT_EQ(logEvents().back(), "EXE PEN");
    EXPECT_EQ(fake.shell.copies.back().to, "F:\\COPIA");
}

// The operator moves the waiting task: the wait goes with it, not with its old row.
TEST_F(PenWait, AMovedTaskKeepsItsWait) {
    host.runUntil(at(2026, 12, 9, 8, 30, 0));
    const int balloons = form->TrayIcon1.balloonCount();
    form->editor().BU_TAREFA_DESCE.click();   // the editor shows row 1, the waiting task
    ASSERT_EQ(tarvex::trim(form->table().cell(col::NOME, 2)), "PEN");
    host.runUntil(at(2026, 12, 9, 8, 45, 0));
    EXPECT_EQ(form->TrayIcon1.balloonCount(), balloons);   // asked once a day, not again after the move
    std::vector<std::string> waiting;   // the cover's rows that show a wait: the task's new number
    for (int r = 1; r < form->GRID_C.rowCount(); ++r)
        if (form->GRID_C.cell(3, r).starts_with("AGUARDANDO")) waiting.emplace_back(form->GRID_C.cell(0, r));
    EXPECT_EQ(waiting, std::vector<std::string>{"02"});
    fake.shell.labels["BACKUP"] = 'F';
    form->devicesChanged();
    host.runUntil(at(2026, 12, 9, 8, 46, 0));
    EXPECT_EQ(logEvents().back(), "EXE PEN");
}

TEST_F(PenWait, ADayWithoutTheDriveEndsInAFailure) {
    host.runUntil(at(2026, 12, 10, 0, 15, 0));
    EXPECT_EQ(logEvents().back(), "ERR ***   ERRO   ***   PEN");
    EXPECT_NE(form->table().cell(col::ULTIMO_ERRO, 1).find("Pen drive BACKUP não conectado"), std::string::npos);
}

}  // namespace
}  // namespace tarvex::testing
