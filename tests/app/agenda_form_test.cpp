// The day agenda as the main window runs it: displays, cover grid, TIMER1.
#include "form_fixture.h"

namespace tarvex::testing {
namespace {

using Kind = testkit::ScriptedOperator::Kind;
const std::string DAILY = "01 - Todos os Dias";
const std::string COPY = "00 - XCOPY - Copia Arq.";

// 09/12/26 is a Wednesday; the program starts at 07:00.
class Agenda : public FormTest {};

TEST_F(Agenda, EmptyTableArmsNothingButStillCountsAndShowsTheCover) {
    form->PC_GERAL.show("TS_TAREFAS");
    start({});
    EXPECT_EQ(form->E_PROX_NOME.text(), "Sem tarefas para o dia");
    EXPECT_EQ(form->E_PROX_HORA.text(), "");
    EXPECT_EQ(form->E_PROX_INTERVALO.text(), "");
    EXPECT_EQ(due(form->TIMER1), "off");
    EXPECT_EQ(form->GRID_C.rowCount(), 2);
    EXPECT_EQ(form->GRID_C.cell(1, 0), "Hora");
    EXPECT_EQ(form->LA_PROXIMO.caption(), "1");
    EXPECT_EQ(form->PC_GERAL.active(), "TS_CAPA");
    EXPECT_EQ(form->LA_MSG.caption(), "Tarvex Ativo");
    EXPECT_EQ(due(form->T_SUPERVISOR), "09/12/26 07:10:00");
}

TEST_F(Agenda, SameHourGoesToTheLowestRowAndTheCoverListsByNumber) {
    start({{5, "QUINTA", COPY, DAILY, "08:00"}, {3, "TERCEIRA", COPY, DAILY, "08:00"}});
    EXPECT_EQ(form->table().rowOf(form->schedule().armed), 3);
    EXPECT_EQ(form->E_PROX_NOME.text(), "03 - TERCEIRA");
    EXPECT_EQ(form->E_PROX_HORA.text(), "08:00");
    EXPECT_EQ(form->E_PROX_INTERVALO.text(), "3600");
    EXPECT_EQ(due(form->TIMER1), "09/12/26 08:00:00");
    EXPECT_EQ(form->GRID_C.cell(0, 1), "03");
    EXPECT_EQ(form->GRID_C.cell(0, 2), "05");
    EXPECT_EQ(form->GRID_C.rowCount(), 4);
    EXPECT_EQ(sn(3), "S");
    EXPECT_EQ(sn(1), "N");
}

TEST_F(Agenda, OverdueTaskComesFirstAfter30sThen10s) {
    clock.set(at(2026, 12, 9, 9, 0, 0));
    start({{1, "LATER", COPY, DAILY, "08:30"},
           {2, "EARLY", COPY, DAILY, "08:00", "08/12/26 08:00:05"},
           {3, "DONE", COPY, DAILY, "07:00", "09/12/26 07:00:05"},
           {4, "FUTURE", COPY, DAILY, "10:00"}});
    EXPECT_EQ(form->E_PROX_NOME.text(), "02 - EARLY");
    EXPECT_EQ(form->E_PROX_INTERVALO.text(), "30");
    EXPECT_EQ(sn(3), "N");
    form->BU_PROXIMO.click();
    EXPECT_EQ(form->E_PROX_INTERVALO.text(), "10");
    EXPECT_EQ(form->LA_PROXIMO.caption(), "2");
}

TEST_F(Agenda, ShortWaitsHaveAFloor) {
    clock.set(at(2026, 12, 9, 7, 59, 40));
    start({{1, "SOON", COPY, DAILY, "08:00"}, {2, "LATER", COPY, DAILY, "08:01"}});
    EXPECT_EQ(form->E_PROX_INTERVALO.text(), "30");   // first arming
    form->BU_PROXIMO.click();
    EXPECT_EQ(form->E_PROX_INTERVALO.text(), "20");   // never before its minute
    clock.set(at(2026, 12, 9, 8, 0, 29));
    form->table().setCell(col::ULTIMA_EXEC, 1, "09/12/26 08:00:00");
    form->BU_PROXIMO.click();
    EXPECT_EQ(form->E_PROX_INTERVALO.text(), "31");
}

TEST_F(Agenda, RowsFromOneHundredShowTwoDigits) {
    start({{100, "CEM", COPY, DAILY, "08:00"}}, 101);
    EXPECT_EQ(form->E_PROX_NOME.text(), "00 - CEM");
    EXPECT_EQ(form->GRID_C.cell(0, 1), "00");
    EXPECT_EQ(form->table().rowOf(form->schedule().armed), 100);
}

TEST_F(Agenda, WhileATaskRunsNothingChanges) {
    start({{1, "A", COPY, DAILY, "08:00"}});
    form->PC_GERAL.show("TS_TAREFAS");
    form->schedule().running = true;
    form->table().setCell(col::HORA, 1, "09:00");
    form->BU_PROXIMO.click();
    form->LA_HOJE.click();
    EXPECT_EQ(form->LA_PROXIMO.caption(), "1");
    EXPECT_EQ(form->PC_GERAL.active(), "TS_TAREFAS");
    EXPECT_EQ(form->E_PROX_HORA.text(), "08:00");
}

TEST_F(Agenda, HojeResumesAStoppedScheduler) {
    start({{1, "A", COPY, DAILY, "08:00"}});
    form->CB_PARAR.setChecked(true);
    ASSERT_EQ(due(form->TIMER1), "off");
    form->BU_PROXIMO.click();
    EXPECT_FALSE(form->CB_PARAR.checked());
    EXPECT_EQ(form->TrayIcon1.hint(), "Tarvex em Espera");
    EXPECT_EQ(form->LA_MSG.caption(), "Tarvex Ativo");
    EXPECT_EQ(form->LA_PROXIMO.caption(), "2");
    EXPECT_EQ(due(form->TIMER1), "09/12/26 08:00:00");
}

TEST_F(Agenda, BadHoursAreSkippedAndToldInOneTextOncePerDayAfterTheWindowIsUp) {
    std::vector<Task> tasks;
    for (int row = 1; row <= 20; ++row) tasks.push_back({row, "T", COPY, DAILY, row % 2 ? "25:00" : "12:75"});
    tasks.push_back({21, "BOA", COPY, DAILY, "09:00"});
    start(tasks, 24, false);
    EXPECT_TRUE(op.boxes.empty());
    EXPECT_EQ(sn(1), "N");
    EXPECT_EQ(form->E_PROX_NOME.text(), "21 - BOA");
    form->windowUp();
    auto told = op.messages();
    ASSERT_EQ(told.size(), 1u);
    for (const char* item : {" 01 (25:00),", " 02 (12:75),", " 20 (12:75)."})
        EXPECT_NE(told[0].find(item), std::string::npos) << item << " in " << told[0];

    host.runUntil(at(2026, 12, 9, 23, 59, 0));   // dozens of supervisor ticks
    EXPECT_EQ(runner->log(), std::vector<std::string>{"09/12/26 09:00:00 BOA"});
    EXPECT_EQ(op.messages().size(), 1u);
    host.runUntil(at(2026, 12, 10, 0, 15, 0));
    EXPECT_EQ(op.messages().size(), 2u);
    form->table().setCell(col::HORA, 1, "26:00");     // a new bad hour is news
    form->BU_PROXIMO.click();
    EXPECT_EQ(op.messages().size(), 3u);
    EXPECT_EQ(op.messages().back(), "Tarefas com a hora inválida, que não serão executadas até que ela seja corrigida: 01 (26:00).");
}

TEST_F(Agenda, BadHoursAtAStartInTheNotificationAreaAreABalloon) {
    dir.write("TARVEX_SISTEMA.TXT", "10#10#900#670#CALENDARIO#8#8#MS Sans Serif#N#2#0#S#S########");
    start({{1, "HORA ALTA", COPY, DAILY, "25:00"}});
    EXPECT_FALSE(form->F_TARVEX.visible());
    EXPECT_TRUE(op.boxes.empty());
    EXPECT_EQ(form->TrayIcon1.balloonCount(), 1);
    EXPECT_NE(form->TrayIcon1.balloon().text.find("01 (25:00)"), std::string::npos);
}

TEST_F(Agenda, WeeklyTaskWithAnUnreadableStampRunsAndIsThenKeptForTheWeek) {
    start({{1, "SEMANAL", "07 - GBAK - Firebird", "11 - 1 vez por Semana", "08:00", "31/02/26 10:00:00"}});
    host.runUntil(at(2026, 12, 12, 23, 0, 0));
    EXPECT_EQ(runner->log(), std::vector<std::string>{"09/12/26 08:00:00 SEMANAL"});
    host.runUntil(at(2026, 12, 13, 9, 0, 0));
    EXPECT_EQ(runner->runs.size(), 2u);
    EXPECT_EQ(runner->runs[1].started, "13/12/26 08:00:00");
    EXPECT_TRUE(op.messages().empty());
}

}  // namespace
}  // namespace tarvex::testing
