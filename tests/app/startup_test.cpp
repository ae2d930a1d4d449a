// Start-up of the scheduler and errors that reach the message loop.
#include <stdexcept>

#include "form_fixture.h"
#include "testkit/task_file.h"

namespace tarvex::testing {
namespace {

class Startup : public FormTest {};

TEST_F(Startup, FreshFolderStartsWaitingWithTheSupervisorOn) {
    EXPECT_EQ(form->LA_MSG.caption(), "___");
    EXPECT_EQ(form->LA_PROXIMO.caption(), "000");
    EXPECT_EQ(due(form->T_SUPERVISOR), "off");
    start({});
    EXPECT_TRUE(form->tasksLoaded());
    EXPECT_EQ(form->editorRow(), 1);
    EXPECT_EQ(form->GRID.row(), 1);
    EXPECT_EQ(form->table().rowCount(), 12);
    EXPECT_EQ(form->T_SUPERVISOR.interval(), 600'000);
    EXPECT_EQ(due(form->T_SUPERVISOR), "09/12/26 07:10:00");
    EXPECT_TRUE(op.boxes.empty());
}

TEST_F(Startup, RemovesWhatInterruptedSavesLeftBehind) {
    for (const char* name : {"TARVEX_TAREFAS.TXT.tmp~", "TARVEX_SISTEMA.TXT.tmp~2", "TIMER_01.BAT.tmp~"})
        dir.write(name, "half");
    form->startUp();
    for (const char* name : {"TARVEX_TAREFAS.TXT.tmp~", "TARVEX_SISTEMA.TXT.tmp~2", "TIMER_01.BAT.tmp~"})
        EXPECT_FALSE(dir.exists(name)) << name;
}

TEST_F(Startup, ControlsAreFoundByTheirNames) {
    std::set<std::string> names;
    for (ui::Control* c : form->controls()) EXPECT_TRUE(names.insert(c->name()).second) << c->name();
    for (const char* n : {"TIMER1", "T_SUPERVISOR", "CB_PARAR", "CB_EXECUTANDO", "LA_MSG", "LA_PROXIMO",
                          "E_PROX_NOME", "E_PROX_HORA", "E_PROX_INTERVALO", "GRID", "GRID_C", "TrayIcon1"})
        EXPECT_EQ(names.count(n), 1u) << n;
    EXPECT_EQ(form->PC_GERAL.pages(), (std::vector<std::string>{"TS_CALEND", "TS_TAREFAS", "TS_PARAM",
                                                               "TS_SISTEMA", "TS_HELP", "TS_CAPA", "TS_LOG"}));
    EXPECT_FALSE(form->CB_EXECUTANDO.enabled());
    EXPECT_EQ(form->CB_PARAR.caption(), "Parar Timer");
    EXPECT_EQ(form->TrayIcon1.hint(), "Tarvex em Espera");
}

TEST_F(Startup, UnreadableTaskFileIsToldAndTriedAgainBySupervisor) {
    const std::string bad = "abc\r\n3\r\n";
    dir.write("TARVEX_TAREFAS.TXT", bad);
    form->startUp();
    EXPECT_TRUE(op.boxes.empty());   // told by the red icon and a balloon
    EXPECT_EQ(form->TrayIcon1.imageIndex(), 2);
    ASSERT_EQ(form->TrayIcon1.balloonCount(), 1);
    EXPECT_NE(form->TrayIcon1.balloon().text.find("TARVEX_TAREFAS.TXT"), std::string::npos);
    EXPECT_FALSE(form->tasksLoaded());
    EXPECT_EQ(form->E_PROX_NOME.text(), "Sem tarefas para o dia");
    EXPECT_THROW(form->saveTasks(), FileError);   // never overwrites the operator's file
    EXPECT_EQ(dir.read("TARVEX_TAREFAS.TXT"), bad);

    host.runUntil(at(2026, 12, 9, 7, 10, 0));        // still bad: quiet retry
    EXPECT_EQ(form->TrayIcon1.balloonCount(), 1);
    {
        testkit::TaskFile writer(dir.folder() + "fixed/");
        writer.taskStore().load();
        writer.table().setCell(col::NOME, 1, "A");
        writer.table().setCell(col::TIPO, 1, "03 - Executar Programa");
        writer.table().setCell(col::PERIODO, 1, "01 - Todos os Dias");
        writer.table().setCell(col::HORA, 1, "08:00");
        std::filesystem::create_directories(dir.path() / "fixed");
        writer.taskStore().save();
        dir.write("TARVEX_TAREFAS.TXT", dir.read("fixed/TARVEX_TAREFAS.TXT"));
    }
    host.runUntil(at(2026, 12, 9, 7, 20, 0));
    EXPECT_TRUE(form->tasksLoaded());
    EXPECT_EQ(due(form->TIMER1), "09/12/26 08:00:00");
    host.runUntil(at(2026, 12, 9, 8, 5, 0));
    EXPECT_EQ(runner->log(), std::vector<std::string>{"09/12/26 08:00:00 A"});
}

// An executor failing with an error nobody caught: the error box shows it, the
// timer's handler ends there, and the supervisor picks the task up again.
class ThrowingRunner : public tasks::TaskRunner {
public:
    explicit ThrowingRunner(tasks::TaskRunner& next) : next_(next) {}
    void run(tasks::TaskId task) override {
        if (throws-- > 0) throw std::runtime_error("'x' is not a valid integer value");
        next_.run(task);
    }
    int throws = 1;
private:
    tasks::TaskRunner& next_;
};

TEST_F(Startup, ErrorInATimerHandlerIsShownAndTheSchedulerGoesOn) {
    ThrowingRunner throwing(*runner);
    form->setRunner(&throwing);
    start({{1, "A", "03 - Executar Programa", "01 - Todos os Dias", "08:05"}});
    host.runUntil(at(2026, 12, 9, 8, 15, 0));
    EXPECT_EQ(op.errors(), std::vector<std::string>{"'x' is not a valid integer value"});
    EXPECT_EQ(runner->log(), std::vector<std::string>{"09/12/26 08:10:10 A"});
}

}  // namespace
}  // namespace tarvex::testing
