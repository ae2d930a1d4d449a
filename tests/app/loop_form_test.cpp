// The scheduler's three states and the actions that move between them.
#include "form_fixture.h"

namespace tarvex::testing {
namespace {

const std::string DAILY = "01 - Todos os Dias";
const std::string COPY = "00 - XCOPY - Copia Arq.";
const std::string REFUSED = "Times executando.   Não pode parar agora.";

// Wednesday 09/12/26, 07:00; "A" at 08:00, "B" at 09:00.
class Loop : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        start({{1, "A", COPY, DAILY, "08:00"}, {2, "B", COPY, DAILY, "09:00"}});
    }
    void expectWaiting(const std::string& timer) {
        EXPECT_FALSE(form->CB_EXECUTANDO.checked());
        EXPECT_FALSE(form->CB_PARAR.checked());
        EXPECT_EQ(due(form->TIMER1), timer);
        EXPECT_EQ(form->TrayIcon1.hint(), "Tarvex em Espera");
        EXPECT_EQ(form->LA_MSG.caption(), "Tarvex Ativo");
    }
    void expectStopped() {
        EXPECT_FALSE(form->CB_EXECUTANDO.checked());
        EXPECT_TRUE(form->CB_PARAR.checked());
        EXPECT_EQ(due(form->TIMER1), "off");
        EXPECT_EQ(form->TrayIcon1.hint(), "Tarvex Parado");
        EXPECT_EQ(form->LA_MSG.caption(), "Tarvex PARADO");
    }
};

// The armed task is a task, not a row: rows moved, emptied or given another hour
// under it never make another task run at its hour.
struct Change {
    const char* name;
    std::function<void(tasks::TaskTable&)> apply;
    std::vector<std::string> ran;
};

TEST_F(Loop, TheArmedTaskRunsWhereverItsRowWent) {
    const std::vector<Change> changes{
        {"B moved above A", [](tasks::TaskTable& t) { t.swapRows(1, 2); }, {"09/12/26 08:00:00 A"}},
        {"A emptied", [](tasks::TaskTable& t) { t.clearRow(1); }, {}},
        {"A given a later hour", [](tasks::TaskTable& t) { t.setCell(col::HORA, 1, "08:30"); },
         {"09/12/26 08:30:00 A"}},
        {"rows added", [](tasks::TaskTable& t) { t.setRowCount(t.rowCount() + 3); }, {"09/12/26 08:00:00 A"}},
    };
    for (const Change& c : changes) {
        SCOPED_TRACE(c.name);
        TearDown();
        clock.set(at(2026, 12, 9, 7, 0, 0));
        SetUp();
        c.apply(form->table());
        host.runUntil(at(2026, 12, 9, 8, 35, 0));
        EXPECT_EQ(runner->log(), c.ran);
    }
}

TEST_F(Loop, WaitingRunningWaiting) {
    expectWaiting("09/12/26 08:00:00");
    bool checked = false;
    runner->during = [&](int) {
        checked = true;
        EXPECT_TRUE(form->CB_EXECUTANDO.checked());
        EXPECT_FALSE(form->CB_PARAR.checked());
        EXPECT_EQ(due(form->TIMER1), "off");
        EXPECT_EQ(form->TrayIcon1.hint(), "01 - A) A");
        EXPECT_EQ(form->TrayIcon1.imageIndex(), 1);
        EXPECT_EQ(form->LA_MSG.caption(), "Executando: 01 - A");
    };
    host.runUntil(at(2026, 12, 9, 8, 1, 0));
    EXPECT_TRUE(checked);
    expectWaiting("09/12/26 09:00:00");
    EXPECT_EQ(form->E_PROX_NOME.text(), "02 - B");
    EXPECT_EQ(form->TrayIcon1.imageIndex(), 0);
}

TEST_F(Loop, StopHoldsEverythingUntilResumed) {
    form->CB_PARAR.setChecked(true);
    expectStopped();
    EXPECT_EQ(form->E_PROX_NOME.text(), "");
    EXPECT_EQ(form->E_PROX_HORA.text(), "");
    EXPECT_EQ(form->E_PROX_INTERVALO.text(), "");
    const std::string counter = form->LA_PROXIMO.caption();
    host.runUntil(at(2026, 12, 9, 8, 30, 0));   // 08:00 passes, the supervisor ticks
    EXPECT_TRUE(runner->runs.empty());
    EXPECT_EQ(form->LA_PROXIMO.caption(), counter);
    expectStopped();

    form->CB_PARAR.setChecked(false);
    expectWaiting("09/12/26 08:30:10");
    host.runUntil(at(2026, 12, 9, 8, 31, 0));
    EXPECT_EQ(runner->log(), std::vector<std::string>{"09/12/26 08:30:10 A"});
}

TEST_F(Loop, RefusedStopChangesNothingAndTheRunGoesOn) {
    std::string counterDuringRun;
    runner->during = [&](int) {
        counterDuringRun = form->LA_PROXIMO.caption();
        form->CB_PARAR.setChecked(true);
        EXPECT_FALSE(form->CB_PARAR.checked());
        EXPECT_TRUE(form->CB_EXECUTANDO.checked());
        EXPECT_EQ(due(form->TIMER1), "off");
        form->BU_PROXIMO.click();   // "Hoje" during the run: nothing
        EXPECT_EQ(form->LA_PROXIMO.caption(), counterDuringRun);
        EXPECT_EQ(form->LA_MSG.caption(), "Executando: 01 - A");
    };
    host.runUntil(at(2026, 12, 9, 8, 1, 0));
    EXPECT_EQ(op.messages(), std::vector<std::string>{REFUSED});
    EXPECT_EQ(op.boxes[0].caption, platform::appTitle());
    EXPECT_EQ(runner->maxDepth, 1);
    expectWaiting("09/12/26 09:00:00");
    EXPECT_EQ(form->LA_PROXIMO.caption(), std::to_string(std::stoi(counterDuringRun) + 1));
}

TEST_F(Loop, SupervisorIdlesDuringARunAndRecomputesAfter) {
    runner->minutes = 25;   // 08:00 .. 08:25: ticks at 08:10 and 08:20 fall inside
    host.runUntil(at(2026, 12, 9, 7, 59, 59));
    const std::string before = form->LA_PROXIMO.caption();
    host.runUntil(at(2026, 12, 9, 8, 24, 0));
    // One computation after the run; none from the ticks during it.
    EXPECT_EQ(form->LA_PROXIMO.caption(), std::to_string(std::stoi(before) + 1));
    EXPECT_EQ(due(form->T_SUPERVISOR), "09/12/26 08:35:00");
    host.runUntil(at(2026, 12, 9, 8, 35, 0));
    EXPECT_EQ(form->LA_PROXIMO.caption(), std::to_string(std::stoi(before) + 2));
}

TEST_F(Loop, ExecutarAgoraRunsTheEditedTaskAndLeavesTheAgendaAlone) {
    form->setEditorRow(2);
    const std::string counter = form->LA_PROXIMO.caption();
    form->runNowButton.click();
    EXPECT_EQ(editor.saves, 1);
    EXPECT_EQ(runner->log(), std::vector<std::string>{"09/12/26 07:00:00 B"});
    EXPECT_EQ(form->table().rowOf(form->schedule().armed), 1);
    EXPECT_EQ(form->LA_PROXIMO.caption(), counter);
    EXPECT_EQ(due(form->TIMER1), "09/12/26 08:00:00");
    host.runUntil(at(2026, 12, 9, 10, 0, 0));
    EXPECT_EQ(runner->log(), (std::vector<std::string>{"09/12/26 07:00:00 B", "09/12/26 08:00:00 A"}));
}

TEST_F(Loop, ExecutarAgoraIsRefusedWhileATaskRuns) {
    runner->during = [&](int) { form->runNowButton.click(); };
    host.runUntil(at(2026, 12, 9, 8, 1, 0));
    EXPECT_EQ(runner->runs.size(), 1u);
    EXPECT_EQ(runner->maxDepth, 1);
    EXPECT_EQ(editor.saves, 0);
    ASSERT_EQ(op.messages().size(), 1u);
    EXPECT_NE(op.messages()[0].find("execução"), std::string::npos);
}

TEST_F(Loop, TaskRunByHandIsNotRunAgainByTheTimer) {
    host.runUntil(at(2026, 12, 9, 7, 55, 0));
    form->setEditorRow(1);
    form->runNowButton.click();   // 07:55..07:57, while TIMER1 is armed for it at 08:00
    host.runUntil(at(2026, 12, 9, 9, 5, 0));
    EXPECT_EQ(runner->log(), (std::vector<std::string>{"09/12/26 07:55:00 A", "09/12/26 09:00:00 B"}));
}

TEST_F(Loop, TaskMadeInactiveAfterTheAgendaChoseItIsNotRun) {
    host.runUntil(at(2026, 12, 9, 7, 59, 59));   // no supervisor tick before the timer
    form->table().setCell(col::PERIODO, 1, "00 - Inativo");
    host.runUntil(at(2026, 12, 9, 9, 5, 0));
    EXPECT_EQ(runner->log(), std::vector<std::string>{"09/12/26 09:00:00 B"});
}

TEST_F(Loop, TimerDueDuringAHandRunWaitsForItToEnd) {
    host.runUntil(at(2026, 12, 9, 7, 59, 0));
    form->setEditorRow(2);
    form->runNowButton.click();   // B runs 07:59..08:01; A's timer falls due inside
    host.runUntil(at(2026, 12, 9, 8, 30, 0));
    EXPECT_EQ(runner->maxDepth, 1);
    // The timer found B running and tried again 10 s later.
    EXPECT_EQ(runner->log(), (std::vector<std::string>{"09/12/26 07:59:00 B", "09/12/26 08:01:10 A"}));
}

TEST_F(Loop, ExecutarAgoraWhileStoppedStaysStoppedUnlessResumedDuringTheRun) {
    form->CB_PARAR.setChecked(true);
    form->setEditorRow(2);
    form->runNowButton.click();
    EXPECT_EQ(runner->runs.size(), 1u);
    expectStopped();

    runner->during = [&](int) { form->CB_PARAR.setChecked(false); };
    form->runNowButton.click();
    EXPECT_TRUE(op.messages().empty());
    expectWaiting("09/12/26 08:00:00");
}

TEST_F(Loop, TimerFiringWhileStoppedRunsNothingAndKeepsItsInterval) {
    form->CB_PARAR.setChecked(true);
    form->TIMER1.setInterval(5000);
    form->TIMER1.setTimerEnabled(true);
    host.advance(12'000);
    EXPECT_TRUE(runner->runs.empty());
    EXPECT_EQ(due(form->TIMER1), "09/12/26 07:00:15");
}

TEST_F(Loop, ReagendarMakesAOnceOnlyTaskDueAgain) {
    form->table().setCell(col::PERIODO, 1, "10 - Apenas 1 vez");
    host.runUntil(at(2026, 12, 9, 8, 5, 0));
    form->table().setCell(col::ULTIMA_EXEC, 1, "01/12/26 08:00:00");   // a day that has passed
    form->BU_PROXIMO.click();
    EXPECT_EQ(sn(1), "N");
    form->CB_PARAR.setChecked(true);
    form->setEditorRow(1);
    form->BU_REAGENDAR.click();
    EXPECT_EQ(form->E_ULTEXEC.text(), "");
    EXPECT_EQ(form->table().cell(col::ULTIMA_EXEC, 1), "");
    EXPECT_EQ(sn(1), "S");
    expectWaiting("09/12/26 08:05:10");
    host.runUntil(at(2026, 12, 9, 8, 6, 0));
    EXPECT_EQ(runner->runs.back().started, "09/12/26 08:05:10");
}

TEST_F(Loop, IconizarResumesHidesAndRecomputes) {
    form->CB_PARAR.setChecked(true);
    const int counter = std::stoi(form->LA_PROXIMO.caption());
    form->BU_ICONIZAR.click();
    EXPECT_FALSE(form->F_TARVEX.visible());
    EXPECT_GE(std::stoi(form->LA_PROXIMO.caption()), counter + 1);
    expectWaiting("09/12/26 08:00:00");
    form->F_TARVEX.setState(ui::Window::State::Minimized);
    form->TrayIcon1.onClick();
    EXPECT_TRUE(form->F_TARVEX.visible());
    EXPECT_EQ(form->F_TARVEX.state(), ui::Window::State::Normal);
}

TEST_F(Loop, ARunThatLeavesNoStampIsRetriedTenSecondsAfterIt) {
    runner->failures[1] = 2;
    host.runUntil(at(2026, 12, 9, 8, 10, 0));
    EXPECT_EQ(runner->log(), (std::vector<std::string>{"09/12/26 08:00:00 A", "09/12/26 08:02:10 A",
                                                      "09/12/26 08:04:20 A"}));
}

}  // namespace
}  // namespace tarvex::testing
