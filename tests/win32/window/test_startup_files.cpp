// tarvex.exe started over files it has to mend or set aside, and over the short
// or empty files older versions wrote. Nothing waits for OK: no box opens, the
// reason is in the log, the tray's tip names the file, and a task already late
// runs on its own. "Zerar Log" answered with Enter keeps the log.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/cp1252.h"
#include "tasks/columns.h"
#include "tasks/task_file.h"
#include "tasks/task_store.h"
#include "win32/window/test_app_process.h"

namespace tarvex::testui {
namespace {

// One task, late since 00:01: it runs 30 s after start-up, closing a window that is not there.
std::string lateTaskFile() {
    tasks::TaskTable g;
    g.setColCount(col::COUNT);
    g.setRowCount(2);
    tasks::numberRows(g);
    g.setCell(col::NOME, 0, "Nome");
    g.setCell(col::NOME, 1, "FECHA A\xC7\xC3O");
    g.setCell(col::TIPO, 1, "04 - Fechar Programa");
    g.setCell(col::PERIODO, 1, "01 - Todos os Dias");
    g.setCell(col::HORA, 1, "00:01");
    g.setCell(col::EXECUTAVEL, 1, "Titulo[NENHUMA]");
    return taskfile::encode(g);
}

bool boxOpen(DWORD pid) {
    for (HWND h = FindWindowW(L"#32770", nullptr); h; h = FindWindowExW(nullptr, h, L"#32770", nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        if (owner == pid && IsWindowVisible(h)) return true;
    }
    return false;
}

std::string trayTip(DWORD pid) {
    for (HWND h = FindWindowW(L"TarvexTray", nullptr); h; h = FindWindowExW(nullptr, h, L"TarvexTray", nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        if (owner == pid) return readText(h);
    }
    return "";
}

int copiesOf(const AppFolder& dir, const std::string& file) {
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator(platform::fsPath(dir.folder())))
        n += win32::narrow(e.path().filename().wstring()).rfind(file + ".ilegivel-", 0) == 0;
    return n;
}

struct StartFiles {
    const char* name;
    std::string tasks, settings;
    const char* trouble;   // the file the log and the tray name; empty: none
    const char* says;      // in the log's line
};

void PrintTo(const StartFiles& f, std::ostream* os) { *os << f.name; }

class StartsOver : public ::testing::TestWithParam<StartFiles> {};

TEST_P(StartsOver, NothingWaitsForOk) {
    const StartFiles& f = GetParam();
    AppFolder dir;
    dir.write("TARVEX_SISTEMA.TXT", f.settings);
    dir.write(tasks::TASK_FILE_NAME, f.tasks);
    AppProcess app(dir);
    ASSERT_NE(app.window(), nullptr);
    const auto log = [&] { return dir.read("LOG_TIMER.TXT").value_or(""); };
    ASSERT_TRUE(waitFor([&] { return logCount(dir, "INI") == 1; }, 30000));

    if (!*f.trouble) {
        // Read as they are: nothing set aside, nothing said.
        EXPECT_EQ(copiesOf(dir, "TARVEX_SISTEMA.TXT") + copiesOf(dir, tasks::TASK_FILE_NAME), 0);
        EXPECT_EQ(logCount(dir, "ERR"), 0) << log();
        EXPECT_TRUE(app.showing("TS_TAREFAS"));   // the short settings file's start page
        DWORD_PTR r = 0;
        ASSERT_TRUE(SendMessageTimeoutW(app.window(), WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 10000, &r) && r);
        SendMessageTimeoutW(app.window(), WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 10000, &r);
        tasks::TaskTable saved;
        const taskfile::Verdict v = taskfile::read(dir.read(tasks::TASK_FILE_NAME).value_or(""), "T", saved);
        EXPECT_TRUE(v.sound()) << v.refused;
        EXPECT_EQ(saved.rowCount(), 3);
        return;
    }
    // The late task runs with nobody at the PC, and no box was ever opened.
    ASSERT_TRUE(waitFor([&] { return logCount(dir, "EXE") == 1; }, 120000)) << log();
    EXPECT_FALSE(boxOpen(app.pid()));
    EXPECT_TRUE(IsWindowVisible(app.window()));
    const std::string text = log();
    const size_t err = text.find("#00#ERR#"), ini = text.find("#00#INI#");
    ASSERT_NE(err, std::string::npos) << text;
    EXPECT_LT(ini, err);
    const std::string line = text.substr(err, text.find('\n', err) - err);
    EXPECT_NE(line.find(f.says), std::string::npos) << line;
    EXPECT_NE(line.find(std::string(f.trouble) + ".ilegivel-"), std::string::npos) << line;
    EXPECT_EQ(copiesOf(dir, f.trouble), 1);
    // The failure picture's tip says which file.
    EXPECT_NE(trayTip(app.pid()).find(std::string("falhou: ") + f.trouble), std::string::npos) << trayTip(app.pid());
}

const std::string kSettings = settingsLine(0, 0);

INSTANTIATE_TEST_SUITE_P(
    Window, StartsOver,
    ::testing::Values(
        StartFiles{"Utf8TaskFile", platform::cp1252ToUtf8(lateTaskFile()), kSettings, "TARVEX_TAREFAS.TXT", "UTF-8"},
        StartFiles{"TwentyColumnHeader", "20" + lateTaskFile().substr(2), kSettings, "TARVEX_TAREFAS.TXT",
                   "declara 20 colunas"},
        StartFiles{"DamagedSettings", lateTaskFile(), std::string(20, ';'), "TARVEX_SISTEMA.TXT", "cortado"},
        // As older versions wrote them: thirteen fields; a list of no rows.
        StartFiles{"ShortSettingsAndNoTasks", "35\r\n0\r\n", "10#10#900#670#CALENDARIO#8#8#MS Sans Serif#N#0#1#S#S#",
                   "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ClearLog, EnterKeepsTheLog) {
    AppFolder dir;
    dir.write("TARVEX_SISTEMA.TXT", kSettings);
    AppProcess app(dir);
    ASSERT_NE(app.window(), nullptr);
    ASSERT_TRUE(waitFor([&] { return logCount(dir, "INI") == 1; }, 30000));
    ASSERT_TRUE(waitFor([&] { return IsWindowVisible(app.window()) != FALSE; }, 30000));
    click(app.find("BU_LOG"));
    ASSERT_TRUE(app.showing("TS_LOG"));
    click(app.find("BU_ZERA_LOG"));
    HWND box = nullptr;
    ASSERT_TRUE(waitFor([&] {
        box = FindWindowW(L"#32770", L"Mensagem do Sistema");
        return box != nullptr;
    }, 30000));
    pressKey(box, VK_RETURN);
    ASSERT_TRUE(waitFor([&] { return !IsWindow(box); }, 10000));
    EXPECT_EQ(logCount(dir, "ZER"), 0);
    EXPECT_EQ(logCount(dir, "INI"), 1);
}

}  // namespace
}  // namespace tarvex::testui
