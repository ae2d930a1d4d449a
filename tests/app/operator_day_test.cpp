// An operator editing tasks while the scheduler works: runs stamp only their own
// row, timers leave the page and the typing alone, changes reach the file at once,
// unsaved edits are asked about.
#include "app/wired_fixture.h"
#include "testkit/task_file.h"

namespace tarvex::testing {
namespace {

const char* const CLOSE = "04 - Fechar Programa";
const char* const DAILY = "01 - Todos os Dias";

class EditingDay : public WiredTest {
protected:
    void SetUp() override {
        WiredTest::SetUp();
        writeTasks({{{col::NOME, "RODA"}, {col::TIPO, CLOSE}, {col::PERIODO, DAILY}, {col::HORA, "08:00"},
                     {col::EXECUTAVEL, "[JANELA]"}},
                    {{col::NOME, "EDITADA"}, {col::TIPO, CLOSE}, {col::PERIODO, DAILY}, {col::HORA, "09:00"},
                     {col::EXECUTAVEL, "[OUTRA]"}}});
        start();
        form->BU_TAREFAS.click();
    }
    bool select(int row) {
        bool can = true;
        form->GRID.onSelectCell(1, row, can);
        return can;
    }
    std::string cell(int c, int row) const { return std::string(form->table().cell(c, row)); }
    // The table as a fresh start reads it from the task file.
    std::vector<std::string> onDisk(int row) {
        testkit::TaskFile reader(dir.folder());
        reader.taskStore().load();
        return reader.table().rowCells(row);
    }
    app::TaskEditor& ed() { return form->editor(); }
};

TEST_F(EditingDay, ARunWhileAnotherTaskIsEditedLeavesTypingPageAndStampsAlone) {
    select(2);
    ed().E_NOME.setText("NOME NOVO");
    host.runUntil(at(2026, 12, 9, 8, 20, 0));   // task 1 runs, the supervisor fires

    EXPECT_EQ(cell(col::ULTIMA_EXEC, 1), "09/12/26 08:00:00");
    EXPECT_EQ(form->E_ULTEXEC.text(), "");
    EXPECT_EQ(form->PC_GERAL.active(), "TS_TAREFAS");
    EXPECT_EQ(ed().E_NOME.text(), "NOME NOVO");
    ed().BU_TAREFAS_SALVA.click();
    EXPECT_EQ(onDisk(2)[col::ULTIMA_EXEC], "");        // task 2 still runs at 09:00
    EXPECT_EQ(onDisk(2)[col::NOME], "NOME NOVO");
    EXPECT_EQ(onDisk(1)[col::ULTIMA_EXEC], "09/12/26 08:00:00");
}

TEST_F(EditingDay, TheBoxFollowsARunOfTheRowShownUnlessTheOperatorTypedInIt) {
    select(1);
    host.runUntil(at(2026, 12, 9, 8, 1, 0));
    EXPECT_EQ(form->E_ULTEXEC.text(), "09/12/26 08:00:00");
    form->E_ULTEXEC.setText("01/01/26 00:00:00");   // typed: kept, and saved as typed
    form->BU_REAGENDAR.click();
    EXPECT_EQ(form->E_ULTEXEC.text(), "");
    EXPECT_EQ(onDisk(1)[col::ULTIMA_EXEC], "");      // "Reagendar" is on disk at once
}

TEST_F(EditingDay, DeletedAndAddedRowsSurviveARestart) {
    select(1);
    op.answers = {true};
    ed().BU_EXCLUI.click();
    EXPECT_EQ(ed().E_NOME.text(), "");
    EXPECT_EQ(onDisk(1)[col::NOME], "");
    ed().BU_ANOTA_MAIS.click();
    testkit::TaskFile reader(dir.folder());
    reader.taskStore().load();
    EXPECT_EQ(reader.table().rowCount(), form->table().rowCount());
}

struct LeaveCase {
    platform::Choice answer;
    bool moved;
    std::string savedName;
};

class UnsavedEdits : public EditingDay, public ::testing::WithParamInterface<LeaveCase> {};

TEST_P(UnsavedEdits, AreAskedAboutBeforeAnotherRowIsShown) {
    select(2);
    ed().E_NOME.setText("MUDOU");
    op.choices = {GetParam().answer};
    EXPECT_EQ(select(1), GetParam().moved);
    EXPECT_EQ(op.questions().back(), "Salvar as alterações da tarefa 02?");
    EXPECT_EQ(form->editorRow(), GetParam().moved ? 1 : 2);
    EXPECT_EQ(onDisk(2)[col::NOME], GetParam().savedName);
}

INSTANTIATE_TEST_SUITE_P(Answers, UnsavedEdits,
                         ::testing::Values(LeaveCase{platform::Choice::Yes, true, "MUDOU"},
                                           LeaveCase{platform::Choice::No, true, "EDITADA"},
                                           LeaveCase{platform::Choice::Cancel, false, "EDITADA"}));

TEST_F(EditingDay, UnsavedEditsAreAskedAboutOnLeavingThePageAndClosing) {
    select(2);
    ed().E_HORA.setText("10:00");
    op.choices = {platform::Choice::Cancel, platform::Choice::Cancel};
    form->BU_TAREFAS.click();
    EXPECT_EQ(form->PC_GERAL.active(), "TS_TAREFAS");
    EXPECT_FALSE(form->closeRequested());
    EXPECT_EQ(op.questions().size(), 2u);
    select(2);   // another cell of the same row keeps the typing
    EXPECT_EQ(ed().E_HORA.text(), "10:00");
}

TEST_F(EditingDay, ImpossibleHoursAreRefusedAndASaveShowsTheNextTaskAtOnce) {
    select(2);
    for (const char* bad : {"25:99", "12:75", "1 :30"}) {
        ed().E_HORA.setText(bad);
        ed().BU_TAREFAS_SALVA.click();
        EXPECT_EQ(op.messages().back(), "A HORA \"" + std::string(bad) + "\" não é válida: informe hh:mm entre 00:00 e 23:59");
    }
    EXPECT_EQ(onDisk(2)[col::HORA], "09:00");
    ed().E_HORA.setText("07:04");   // four minutes from now
    ed().BU_TAREFAS_SALVA.click();
    EXPECT_EQ(form->E_PROX_NOME.text(), "02 - EDITADA");
    EXPECT_EQ(form->PC_GERAL.active(), "TS_TAREFAS");
}

TEST_F(EditingDay, ZerarLogAsksFirst) {
    const std::string before = dir.read("LOG_TIMER.TXT");
    op.answers = {false};
    form->BU_ZERA_LOG.click();
    EXPECT_EQ(op.questions().back(), "Apagar todo o histórico do log?");
    EXPECT_EQ(dir.read("LOG_TIMER.TXT"), before);
}

}  // namespace
}  // namespace tarvex::testing
