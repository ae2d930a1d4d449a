// tarvex.exe started in a prepared folder: start-up with a task due later today,
// stop and resume, saving the settings, closing; and the start page each option
// of the settings file gives.
#include <sstream>
#include <tuple>
#include <vector>

#include "app/main_form.h"
#include "tasks/columns.h"
#include "test_app_process.h"
#include "win32/main_window.h"
#include "testkit/task_file.h"

namespace tarvex::testui {
namespace {

// A message task every day at 23:59: due later today for any test run before then.
// An inactive ZIP task whose run was cut short by a power cut left its temporary.
void writeDueTask(const AppFolder& dir) {
    testkit::TaskFile writer(dir.folder());
    writer.taskStore().load();
    writer.table().setRowCount(4);
    writer.table().setCell(col::NOME, 2, "ZIP");
    writer.table().setCell(col::TIPO, 2, "06 - WINZIP");
    writer.table().setCell(col::PERIODO, 2, "00 - Inativo");
    writer.table().setCell(col::DIR_ORIGEM, 2, dir.path("dados"));
    writer.table().setCell(col::DIR_DESTINO, 2, dir.path("bkp"));
    writer.table().setCell(col::ARQDEST, 2, "BKP_[DIA]");
    dir.write("bkp\\BKP_07.ZIP.tmp~.004fbfa0", std::string(30000, 'Z'));
    dir.write("bkp\\OUTRO_07.ZIP.tmp~.004fbfa0", "another program's");
    writer.table().setCell(col::NOME, 1, "AVISO");
    writer.table().setCell(col::TIPO, 1, "10 - Mensagem");
    writer.table().setCell(col::PERIODO, 1, "01 - Todos os Dias");
    writer.table().setCell(col::HORA, 1, "23:59");
    writer.table().setCell(col::MENSAGEM, 1, "Ola");
    writer.taskStore().save();
}

bool tooLateToday() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now.wHour == 23 && now.wMinute >= 50;
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out;
    std::istringstream in(line);
    for (std::string f; std::getline(in, f, '#');) out.push_back(f);
    return out;
}

// One program for the whole suite, in the order written: start-up, stop and
// resume, settings, closing.
class AppRun : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = std::make_unique<AppFolder>();
        dir->write("TARVEX_SISTEMA.TXT", settingsLine(0, 0));
        writeDueTask(*dir);
        app = std::make_unique<AppProcess>(*dir);
        if (HWND main = app->window()) waitFor([&] { return IsWindowVisible(main) != FALSE; }, 30000);
    }
    static void TearDownTestSuite() {
        app.reset();
        dir.reset();
    }
    void SetUp() override {
        if (tooLateToday()) GTEST_SKIP() << "the task is no longer due later today";
        ASSERT_NE(app->window(), nullptr) << "tarvex.exe did not open its window";
    }
    static std::unique_ptr<AppFolder> dir;
    static std::unique_ptr<AppProcess> app;
};
std::unique_ptr<AppFolder> AppRun::dir;
std::unique_ptr<AppProcess> AppRun::app;

TEST_F(AppRun, StartUpLogsAndShowsTheNextTask) {
    EXPECT_TRUE(waitFor([] { return logCount(*dir, "INI") == 1; }));
    EXPECT_TRUE(app->textBecomes("E_PROX_NOME", "01 - AVISO"));
    const std::string interval = readText(app->find("E_PROX_INTERVALO"));
    ASSERT_FALSE(interval.empty());
    EXPECT_GT(std::stol(interval), 0);
    DWORD_PTR rows = 0;
    SendMessageTimeoutW(app->find("GRID_C"), RegisterWindowMessageW(L"TARVEX.GridRows"), 0, 0, SMTO_ABORTIFHUNG,
                        5000, &rows);
    EXPECT_EQ(rows, 3u);   // titles, the active task, the empty last row
    EXPECT_TRUE(waitFor([] { return !dir->exists("bkp\\BKP_07.ZIP.tmp~.004fbfa0"); }));
    EXPECT_TRUE(dir->exists("bkp\\OUTRO_07.ZIP.tmp~.004fbfa0"));
    EXPECT_EQ(readText(app->find("LA_MSG")), "Tarvex Ativo");
}

TEST_F(AppRun, StopEmptiesTheDisplaysAndResumeComputesAgain) {
    click(app->find("CB_PARAR"));
    EXPECT_TRUE(app->textBecomes("LA_MSG", "Tarvex PARADO"));
    for (const char* name : {"E_PROX_NOME", "E_PROX_HORA", "E_PROX_INTERVALO"})
        EXPECT_EQ(readText(app->find(name)), "") << name;
    click(app->find("CB_PARAR"));
    EXPECT_TRUE(app->textBecomes("LA_MSG", "Tarvex Ativo"));
    EXPECT_TRUE(app->textBecomes("E_PROX_NOME", "01 - AVISO"));
    EXPECT_NE(readText(app->find("E_PROX_INTERVALO")), "");
}

TEST_F(AppRun, SavingWritesThePageToTheSettingsFile) {
    PostMessageW(app->window(), WM_COMMAND, win32::ID_PARAMETROS, 0);
    ASSERT_TRUE(app->showing("TS_PARAM"));
    click(app->find("CB_VER_TERMINO"));   // "Ver Término" was set
    click(app->find("BU_PARAM_SALVA"));
    EXPECT_TRUE(app->showing("TS_TAREFAS"));
    std::vector<std::string> saved;
    waitFor([&] { return (saved = fields(dir->read("TARVEX_SISTEMA.TXT").value_or(""))).size() > 12 &&
                         saved[12] == "N"; });
    ASSERT_GE(saved.size(), 13u);
    EXPECT_EQ(saved[4], "CALENDARIO");
    EXPECT_EQ(saved[9], "0");
    EXPECT_EQ(saved[11], "S");
    EXPECT_EQ(saved[12], "N");
}

TEST_F(AppRun, ClosingWithCancelKeepsRunningAndWithOkLogsTheEnd) {
    PostMessageW(app->window(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(app->answerClose(IDCANCEL));
    EXPECT_FALSE(app->ended(1000));
    EXPECT_EQ(logCount(*dir, "TER"), 0);
    PostMessageW(app->window(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(app->answerClose(IDOK));
    ASSERT_TRUE(app->ended(20000));
    const std::string log = dir->read("LOG_TIMER.TXT").value_or("");
    EXPECT_EQ(logCount(*dir, "TER"), 1);
    EXPECT_LT(log.find("#INI#"), log.find("#TER#"));
}

// startPageList as stored -> the page shown once the window is up.
class StartPage : public ::testing::TestWithParam<std::tuple<int, const char*>> {};

TEST_P(StartPage, OpensOnItsPage) {
    const auto [option, page] = GetParam();
    AppFolder dir;
    dir.write("TARVEX_SISTEMA.TXT", settingsLine(0, option));
    AppProcess app(dir);
    HWND main = app.window();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(waitFor([&] { return IsWindowVisible(main) != FALSE; }, 30000));
    EXPECT_TRUE(app.showing(page));
    for (const char* other : {"TS_CAPA", "TS_TAREFAS", "TS_CALEND"}) {
        if (std::string(other) != page) EXPECT_FALSE(IsWindowVisible(app.find(other))) << other;
    }
}

INSTANTIATE_TEST_SUITE_P(Options, StartPage,
                         ::testing::Values(std::make_tuple(0, "TS_CAPA"), std::make_tuple(1, "TS_TAREFAS"),
                                           std::make_tuple(2, "TS_CALEND")));

}  // namespace
}  // namespace tarvex::testui

namespace tarvex::testui {
namespace {

// Start-up makes the cover; another page's controls come when it first shows,
// named, in their Tab order (the editor's history button last on its panel).
TEST(PagesMadeWhenShown, TarefasComesWhenShownAndTabKeepsItsOrder) {
    AppFolder dir;
    dir.write("TARVEX_SISTEMA.TXT", settingsLine(0, 0));
    AppProcess app(dir);
    HWND main = app.window();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(waitFor([&] { return IsWindowVisible(main) != FALSE; }, 30000));
    EXPECT_NE(win32::findControl(main, "GRID_C"), nullptr);
    EXPECT_EQ(win32::findControl(main, "E_NOME"), nullptr) << "made before the page showed";
    click(app.find("LA_TAREFAS"));
    ASSERT_TRUE(app.showing("TS_TAREFAS"));
    EXPECT_EQ(win32::findControl(main, "E_LOG_MES"), nullptr) << "the log page made unasked";
    std::vector<std::string> order;
    for (HWND h = win32::findControl(main, "E_NOME"); h && order.size() < 12; h = GetNextDlgTabItem(main, h, FALSE))
        order.push_back(win32::controlName(h));
    const std::vector<std::string> designed{"E_NOME", "E_TIPO", "E_TIPO1", "E_HORA", "E_PERIODO", "E_PERIODO1",
                                            "E_MSG", "E_ULTEXEC", "CB_PAUSE", "T_EXEC", "BU_REAGENDAR",
                                            "BU_HISTORICO_TAREFA"};
    EXPECT_EQ(order, designed);
}

}  // namespace
}  // namespace tarvex::testui
