// Whole days on the virtual clock: the table, the timers, the supervisor and the
// operator's buttons together, checked by the time and order of every run.
#include "form_fixture.h"
#include "testkit/task_file.h"

namespace tarvex::testing {
namespace {

const std::string DAILY = "01 - Todos os Dias";

// Wednesday 09/12/26, started at 09:00 with three tasks whose hour has passed.
class WeekSimulation : public FormTest {
protected:
    WeekSimulation() : FormTest(at(2026, 12, 9, 9, 0, 0)) {}
    void SetUp() override {
        FormTest::SetUp();
        start({{1, "COPIA PEN", "00 - XCOPY - Copia Arq.", DAILY, "08:00", "08/12/26 08:02:00"},
               {2, "BACKUP SEMANAL", "07 - GBAK - Firebird", "11 - 1 vez por Semana", "12:30", "02/12/26 12:32:00"},
               {3, "ZIP MENSAL", "06 - WINZIP", "12 - 1 vez por Mes", "07:00", "15/11/26 07:02:00"},
               {4, "AVISO", "10 - Mensagem", "09 - De Segunda a Sexta", "17:45"},
               {5, "NOTA", "09 - Observações", DAILY, "09:00"},
               {6, "INATIVA", "03 - Executar Programa", "00 - Inativo", "10:00"},
               {7, "DOMINGO", "01 - Copiar Diretório", "02 - Domingo", "11:00"},
               {8, "MANUAL", "03 - Executar Programa", "20 - Chamada Manual", "10:00"},
               {9, "FECHA", "04 - Fechar Programa", DAILY, "23:50"},
               {10, "UMA VEZ", "03 - Executar Programa", "10 - Apenas 1 vez", "06:00"},
               {11, "SEM HORA", "03 - Executar Programa", DAILY, "  :  "},
               {12, "ANUAL", "02 - Copiar Arquivo", "13 - 1 vez ao Ano", "07:00", "10/01/26 07:02:00"}},
              14);
    }
};

TEST_F(WeekSimulation, EveryRunAtItsTimeForAWeek) {
    std::vector<std::string> expected = {
        // Start-up catch-up: oldest hour first, 30 s after start, then 10 s after each.
        "09/12/26 09:00:30 UMA VEZ", "09/12/26 09:02:40 ZIP MENSAL", "09/12/26 09:04:50 COPIA PEN",
        "09/12/26 12:30:00 BACKUP SEMANAL", "09/12/26 17:45:00 AVISO", "09/12/26 23:50:00 FECHA",
        "10/12/26 08:00:00 COPIA PEN", "10/12/26 17:45:00 AVISO", "10/12/26 23:50:00 FECHA",
        "11/12/26 08:00:00 COPIA PEN", "11/12/26 17:45:00 AVISO", "11/12/26 23:50:00 FECHA",
        "12/12/26 08:00:00 COPIA PEN", "12/12/26 23:50:00 FECHA",
        "13/12/26 08:00:00 COPIA PEN", "13/12/26 11:00:00 DOMINGO", "13/12/26 12:30:00 BACKUP SEMANAL",
        "13/12/26 23:50:00 FECHA",
        "14/12/26 08:00:00 COPIA PEN", "14/12/26 17:45:00 AVISO", "14/12/26 23:50:00 FECHA",
        "15/12/26 08:00:00 COPIA PEN", "15/12/26 17:45:00 AVISO", "15/12/26 23:50:00 FECHA",
        "16/12/26 08:00:00 COPIA PEN"};
    host.runUntil(at(2026, 12, 16, 9, 0, 0));
    EXPECT_EQ(runner->log(), expected);
    EXPECT_TRUE(op.boxes.empty());
    EXPECT_EQ(runner->maxDepth, 1);
    // The stamps reached the task file.
    testkit::TaskFile reloaded(dir.folder());
    reloaded.taskStore().load();
    EXPECT_EQ(reloaded.table().cell(col::ULTIMA_EXEC, 1), "16/12/26 08:02:00");
    EXPECT_EQ(reloaded.table().cell(col::ULTIMA_EXEC, 10), "09/12/26 09:02:30");
}

TEST_F(WeekSimulation, SupervisorPicksUpTheNewDayWithinTenMinutes) {
    host.runUntil(at(2026, 12, 9, 23, 59, 59));
    EXPECT_EQ(form->E_PROX_NOME.text(), "Sem tarefas para o dia");
    EXPECT_EQ(due(form->TIMER1), "off");
    host.runUntil(at(2026, 12, 10, 0, 10, 0));
    EXPECT_EQ(form->E_PROX_NOME.text(), "01 - COPIA PEN");
    EXPECT_EQ(due(form->TIMER1), "10/12/26 08:00:00");
    EXPECT_EQ(form->GRID_C.cell(2, 1), "COPIA PEN");
    EXPECT_EQ(form->GRID_C.cell(2, 2), "AVISO");
    EXPECT_EQ(form->GRID_C.cell(2, 3), "FECHA");
    EXPECT_EQ(form->GRID_C.rowCount(), 5);
}

// Wednesday 09/12/26 from 07:00: the operator stops, resumes, re-arms and hides.
class OperatorDay : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        start({{1, "COPIA", "00 - XCOPY - Copia Arq.", DAILY, "08:00"},
               {2, "BACKUP", "07 - GBAK - Firebird", "11 - 1 vez por Semana", "12:30", "01/12/26 12:32:00"},
               {3, "ZIP", "06 - WINZIP", "12 - 1 vez por Mes", "06:30", "15/11/26 06:32:00"}});
    }
};

TEST_F(OperatorDay, StopResumeReagendarIconizar) {
    host.runUntil(at(2026, 12, 9, 10, 0, 0));
    form->CB_PARAR.setChecked(true);
    host.runUntil(at(2026, 12, 9, 13, 0, 0));      // 12:30 passes while stopped
    form->CB_PARAR.setChecked(false);
    host.runUntil(at(2026, 12, 9, 14, 0, 0));
    form->setEditorRow(3);
    form->BU_REAGENDAR.click();                     // the zip once more today
    host.runUntil(at(2026, 12, 9, 15, 0, 0));
    form->BU_ICONIZAR.click();
    EXPECT_FALSE(form->F_TARVEX.visible());
    host.runUntil(at(2026, 12, 9, 23, 0, 0));
    EXPECT_EQ(runner->log(), (std::vector<std::string>{"09/12/26 07:00:30 ZIP", "09/12/26 08:00:00 COPIA",
                                                      "09/12/26 13:00:10 BACKUP", "09/12/26 14:00:10 ZIP"}));
}

// Monday 28/12/26 to Monday 04/01/27: month, year and week change together.
class YearEnd : public FormTest {
protected:
    YearEnd() : FormTest(at(2026, 12, 28, 9, 0, 0)) {}
    void SetUp() override {
        FormTest::SetUp();
        start({{1, "ANUAL", "02 - Copiar Arquivo", "13 - 1 vez ao Ano", "07:00", "02/01/26 07:02:00"},
               {2, "MENSAL", "06 - WINZIP", "12 - 1 vez por Mes", "07:00", "01/12/26 07:02:00"},
               {3, "SEMANAL", "07 - GBAK - Firebird", "11 - 1 vez por Semana", "12:30", "27/12/26 12:32:00"},
               {4, "DIAS UTEIS", "03 - Executar Programa", "09 - De Segunda a Sexta", "06:00"}});
    }
};

TEST_F(YearEnd, RulesFollowTheCalendar) {
    host.runUntil(at(2027, 1, 4, 13, 0, 0));
    EXPECT_EQ(runner->log(), (std::vector<std::string>{
                                 "28/12/26 09:00:30 DIAS UTEIS", "29/12/26 06:00:00 DIAS UTEIS",
                                 "30/12/26 06:00:00 DIAS UTEIS", "31/12/26 06:00:00 DIAS UTEIS",
                                 "01/01/27 06:00:00 DIAS UTEIS", "01/01/27 07:00:00 ANUAL",
                                 "01/01/27 07:02:10 MENSAL", "03/01/27 12:30:00 SEMANAL",
                                 "04/01/27 06:00:00 DIAS UTEIS"}));
}

}  // namespace
}  // namespace tarvex::testing
