// The main window as the product builds it: start-up, start pages and modes,
// page switching, closing and the end of the program.
#include <tuple>

#include "wired_fixture.h"

namespace tarvex::testing {
namespace {

const std::string DAILY = "01 - Todos os Dias";
const Row COPY_AT_8 = {{col::NOME, "COPIA"}, {col::TIPO, "00 - XCOPY - Copia Arq."}, {col::PERIODO, DAILY},
                       {col::HORA, "08:00"}, {col::MEMO, "XCOPY A B"}};
const Row NOTE_AT_930 = {{col::NOME, "AVISO"}, {col::TIPO, "10 - Mensagem"}, {col::PERIODO, DAILY},
                         {col::HORA, "09:30"}, {col::MENSAGEM, "Ola"}};

std::string settingsLine(int mode, int page) {
    return "10#10#900#670#CALENDARIO#8#8#MS Sans Serif#N#" + std::to_string(mode) + "#" +
           std::to_string(page) + "#S#S########";
}

class MainWindow : public WiredTest {};

TEST_F(MainWindow, StartUpLoadsLogsComputesAndStartsTheSupervisor) {
    writeTasks({COPY_AT_8, NOTE_AT_930});
    start();
    EXPECT_EQ(dir.read("LOG_TIMER.TXT"), "09/12/26#00#INI#Start TARVEX#07:00:00#07:00:00#00:00:00###\r\n");
    EXPECT_TRUE(form->tasksLoaded());
    EXPECT_EQ(form->editorRow(), 1);
    EXPECT_EQ(form->GRID.row(), 1);
    EXPECT_EQ(form->editor().E_NOME.text(), "COPIA");
    EXPECT_EQ(form->E_PROX_NOME.text(), "01 - COPIA");
    EXPECT_EQ(form->E_PROX_INTERVALO.text(), "3600");
    EXPECT_EQ(form->GRID_C.rowCount(), 4);
    EXPECT_EQ(form->GRID_C.cell(0, 1), "01");
    EXPECT_EQ(form->GRID_C.cell(0, 2), "02");
    EXPECT_EQ(due(form->TIMER1), "09/12/26 08:00:00");
    EXPECT_EQ(due(form->T_SUPERVISOR), "09/12/26 07:10:00");
    EXPECT_EQ(form->PC_GERAL.active(), "TS_CAPA");
    EXPECT_FALSE(form->PC_GERAL.tabsVisible());
    EXPECT_FALSE(form->editor().pages.PC_TIPO.tabsVisible());
    EXPECT_EQ(std::make_tuple(form->CALEND.year(), form->CALEND.month(), form->CALEND.day()),
              std::make_tuple(2026, 12, 9));
    // The settings' defaults reached the window.
    EXPECT_EQ(form->CALEND.fontSize(), 8);
    EXPECT_EQ(form->CB_FONTE.text(), "8");
    EXPECT_EQ(form->E_DIR_PARAM.text(), dir.folder());
    EXPECT_TRUE(form->CB_VER_INICIO.checked());
    EXPECT_EQ(form->F_TARVEX.normalBounds(), (ui::Window::Rect{10, 10, 900, 670}));
    EXPECT_TRUE(form->F_TARVEX.visible());
    EXPECT_TRUE(op.boxes.empty());
}

TEST_F(MainWindow, TitleIsTheLongOneUntilTheWindowIsShown) {
    app::programEntry();
    EXPECT_EQ(platform::appTitle(), "TARVEX VALDRIN");
    start();
    form->windowShown();
    EXPECT_EQ(platform::appTitle(), "TARVEX");
}

// startPageList as stored -> the page after start-up; the agenda is computed whatever it shows.
class StartPage : public WiredTest, public ::testing::WithParamInterface<std::tuple<int, const char*>> {};

TEST_P(StartPage, ShowsItsPageWithTheAgendaComputed) {
    const auto [stored, page] = GetParam();
    dir.write("TARVEX_SISTEMA.TXT", settingsLine(0, stored));
    writeTasks({COPY_AT_8});
    start();
    EXPECT_EQ(form->PC_GERAL.active(), page);
    EXPECT_EQ(form->E_PROX_NOME.text(), "01 - COPIA");
    EXPECT_EQ(due(form->TIMER1), "09/12/26 08:00:00");
    EXPECT_TRUE(op.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Options, StartPage,
                         ::testing::Values(std::make_tuple(0, "TS_CAPA"), std::make_tuple(1, "TS_TAREFAS"),
                                           std::make_tuple(2, "TS_CALEND"), std::make_tuple(-1, "TS_CAPA"),
                                           std::make_tuple(7, "TS_CALEND")));

// startModeList as stored -> visible, state.
class StartMode : public WiredTest,
                  public ::testing::WithParamInterface<std::tuple<int, bool, ui::Window::State>> {};

TEST_P(StartMode, OpensTheWindowAsTheSettingsSay) {
    const auto [stored, visible, state] = GetParam();
    dir.write("TARVEX_SISTEMA.TXT", settingsLine(stored, 0));
    start();
    EXPECT_EQ(form->F_TARVEX.visible(), visible);
    EXPECT_EQ(form->F_TARVEX.state(), state);
    EXPECT_EQ(form->TrayIcon1.hint(), "Tarvex em Espera");
    form->TrayIcon1.onClick();
    EXPECT_TRUE(form->F_TARVEX.visible());
    EXPECT_EQ(form->F_TARVEX.state(), ui::Window::State::Normal);
}

using S = ui::Window::State;
INSTANTIATE_TEST_SUITE_P(Options, StartMode,
                         ::testing::Values(std::make_tuple(0, true, S::Normal), std::make_tuple(1, true, S::Maximized),
                                           std::make_tuple(2, false, S::Minimized),
                                           std::make_tuple(-1, false, S::Minimized)));

TEST_F(MainWindow, EachWayToAPageShowsItThenItsOther) {
    start();
    struct Case {
        std::function<void()> act;
        const char* first;
        const char* second;
    };
    const Case cases[] = {
        {[&] { form->BU_TAREFAS.click(); }, "TS_TAREFAS", "TS_CAPA"},
        {[&] { form->LA_TAREFAS.click(); }, "TS_TAREFAS", "TS_CAPA"},
        {[&] { form->GRID_C.onDblClick(); }, "TS_TAREFAS", "TS_CAPA"},
        {[&] { form->BU_CALEND.click(); }, "TS_CALEND", "TS_TAREFAS"},
        {[&] { form->LA_CALEND.click(); }, "TS_CALEND", "TS_TAREFAS"},
        {[&] { form->BU_HELP.click(); }, "TS_HELP", "TS_TAREFAS"},
        {[&] { form->LA_HELP.click(); }, "TS_HELP", "TS_TAREFAS"},
        {[&] { form->BU_LOG.click(); }, "TS_LOG", "TS_TAREFAS"},
        {[&] { form->LA_LOG.click(); }, "TS_LOG", "TS_TAREFAS"},
        {[&] { form->LA_PARAM.click(); }, "TS_PARAM", "TS_PARAM"},
        {[&] { form->settingsMenuClicked(); }, "TS_PARAM", "TS_PARAM"},
        {[&] { form->systemMenuClicked(); }, "TS_SISTEMA", "TS_SISTEMA"},
    };
    for (const Case& c : cases) {
        form->PC_GERAL.show("TS_CAPA");
        c.act();
        EXPECT_EQ(form->PC_GERAL.active(), c.first);
        c.act();
        EXPECT_EQ(form->PC_GERAL.active(), c.second) << c.first;
    }
    EXPECT_TRUE(op.boxes.empty());
}

TEST_F(MainWindow, TheLogPageRebuildsItsGridWhenShown) {
    start();
    form->CB_VER_INICIO.setChecked(false);
    form->BU_LOG.click();
    EXPECT_EQ(form->GRID_LOG.rowCount(), 2);   // the start entry filtered out
    form->CB_VER_INICIO.setChecked(true);
    form->BU_TAREFAS.click();
    form->LA_LOG.click();
    ASSERT_EQ(form->GRID_LOG.rowCount(), 3);
    EXPECT_EQ(form->GRID_LOG.cell(2, 1), "Início");
    EXPECT_EQ(form->GRID_LOG.row(), 2);
    EXPECT_NE(form->E_MEMO_LOG.text().find("Start TARVEX"), std::string::npos);
    form->BU_ZERA_LOG.click();
    EXPECT_EQ(logEvents(), std::vector<std::string>{"ZER LOG ZERADO"});
}

// The menu's log entries and the maker's address reach the window's own shell.
TEST_F(MainWindow, MenuEntriesOpenThroughTheShell) {
    start();
    form->openLogFile();
    form->makerMenuClicked();
    ASSERT_EQ(fake.shell.opens.size(), 2u);
    EXPECT_EQ(fake.shell.opens[0].file, form->log().path());
    EXPECT_EQ(fake.shell.opens[1].file, app::kMakerAddress);
    EXPECT_EQ(fake.shell.opens[1].show, platform::SW_NORMAL_);
}

TEST_F(MainWindow, ShowingTheCalendarSavesTheSettingsAndStaysThere) {
    start();
    ASSERT_FALSE(dir.exists("TARVEX_SISTEMA.TXT"));
    form->CB_FONTE.pick(8);   // "14"
    EXPECT_EQ(form->CALEND.fontSize(), 14);
    form->BU_CALEND.click();
    EXPECT_EQ(form->PC_GERAL.active(), "TS_CALEND");
    EXPECT_EQ(dir.read("TARVEX_SISTEMA.TXT").substr(0, 28), "10#10#900#670#CALENDARIO#14#");
}

TEST_F(MainWindow, AFontSizeThatDoesNotConvertLeavesTheCalendar) {
    start();
    form->CB_FONTE.pick(6);   // "10"
    form->CB_FONTE.setText("1-");
    form->CB_FONTE.onClick();
    EXPECT_EQ(form->CALEND.fontSize(), 10);
    EXPECT_TRUE(op.boxes.empty());
}

TEST_F(MainWindow, CancelledCloseSavesKeepsRunningAndLogsNothing) {
    writeTasks({COPY_AT_8});
    start();
    form->F_TARVEX.moved({20, 30, 1000, 700}, true);
    op.answers = {false};
    EXPECT_FALSE(form->closeRequested());
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_EQ(op.boxes[0].caption, "Saindo do programa, não serão executadas as tarefas");
    EXPECT_EQ(op.boxes[0].text, "Saindo do programa, não serão executadas as tarefas.\r\n\r\n"
                                "A tarefa 01 - COPIA das 08:00 não será executada.\r\n\r\nSair assim mesmo ?");
    EXPECT_EQ(dir.read("TARVEX_SISTEMA.TXT").substr(0, 15), "20#30#1000#700#");
    EXPECT_EQ(form->PC_GERAL.active(), "TS_TAREFAS");
    EXPECT_EQ(due(form->T_SUPERVISOR), "09/12/26 07:10:00");
    host.runUntil(at(2026, 12, 9, 8, 0, 1));
    EXPECT_EQ(logEvents(), (std::vector<std::string>{"INI Start TARVEX", "EXE COPIA"}));
}

TEST_F(MainWindow, ConfirmedCloseStopsTheTimersAndLogsTheEndAfterTheStart) {
    writeTasks({COPY_AT_8});
    start();
    clock.elapse(65'000);
    EXPECT_TRUE(form->closeRequested());
    EXPECT_TRUE(dir.exists("TARVEX_SISTEMA.TXT"));
    EXPECT_EQ(due(form->TIMER1), "off");
    EXPECT_EQ(due(form->T_SUPERVISOR), "off");
    form->shutDown();
    form->shutDown();   // the end is logged once
    EXPECT_EQ(logLines(), (std::vector<std::string>{
                              "09/12/26#00#INI#Start TARVEX#07:00:00#07:00:00#00:00:00###",
                              "09/12/26#00#TER#Close TARVEX#07:01:05#07:01:05#00:00:00###"}));
}

// A close confirmed from a message box inside a run waits for the run to end.
TEST_F(MainWindow, CloseConfirmedDuringARunEndsTheProgramAfterIt) {
    writeTasks({COPY_AT_8});
    start();
    bool closed = true;
    bool quitAfterNo = true;
    op.answers = {false, true};
    fake.processes.onRun = [&](const std::string&, int) {
        closed = form->closeRequested();
        quitAfterNo = form->quitRequested();
        closed = closed || form->closeRequested();
        return 0;
    };
    host.runUntil(at(2026, 12, 9, 8, 0, 1));
    EXPECT_FALSE(closed);
    EXPECT_FALSE(quitAfterNo);
    EXPECT_EQ(op.questions(), std::vector<std::string>(2, "A tarefa COPIA está em execução.\r\n\r\nSair quando ela terminar ?"));
    EXPECT_TRUE(form->quitRequested());
    EXPECT_EQ(form->table().cell(col::ULTIMA_EXEC, 1), "09/12/26 08:00:00");
    form->shutDown();
    EXPECT_EQ(logEvents(), (std::vector<std::string>{"INI Start TARVEX", "EXE COPIA", "TER Close TARVEX"}));
}

TEST_F(MainWindow, APowerTaskEndsTheProgramWithoutTheQuestion) {
    writeTasks({{{col::NOME, "FIM"}, {col::TIPO, "05 - FUNÇÕES"}, {col::PERIODO, DAILY}, {col::HORA, "08:00"},
                 {col::FUNCOES, "0"}}});
    start();
    host.runUntil(at(2026, 12, 9, 8, 0, 1));
    EXPECT_TRUE(form->quitRequested());
    form->shutDown();
    EXPECT_TRUE(op.questions().empty());
    EXPECT_EQ(logEvents(), (std::vector<std::string>{"INI Start TARVEX", "EXE FIM", "TER Close TARVEX"}));
    EXPECT_EQ(due(form->TIMER1), "off");
}

}  // namespace
}  // namespace tarvex::testing
