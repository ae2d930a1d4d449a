// tarvex.exe started over a file it has to mend or set aside: nothing waits for
// OK. No box opens, the reason is in the log after the start's entry, the tray's
// tip names the file, and a task already late runs on its own. "Zerar Log"
// answered with Enter keeps the log.
#include <gtest/gtest.h>

#include <optional>
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
    for (const auto& [c, text] : std::initializer_list<std::pair<int, const char*>>{
             {col::NOME, "FECHA A\xC7\xC3O"}, {col::TIPO, "04 - Fechar Programa"}, {col::PERIODO, "01 - Todos os Dias"},
             {col::HORA, "00:01"}, {col::EXECUTAVEL, "Titulo[NENHUMA]"}})
        g.setCell(c, 1, text);
    return taskfile::encode(g);
}

// The text of this process's top-level window of class `cls` (a box: a shown one).
std::optional<std::string> ownWindow(const wchar_t* cls, DWORD pid) {
    for (HWND h = FindWindowW(cls, nullptr); h; h = FindWindowExW(nullptr, h, cls, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        if (owner == pid && (IsWindowVisible(h) || cls[0] != L'#')) return readText(h);
    }
    return std::nullopt;
}

struct StartFiles {
    const char* name;
    std::string tasks, settings;
    std::string file, says;   // the file the log and the tray name; in the log's line
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
    ASSERT_TRUE(waitFor([&] { return logCount(dir, "EXE") == 1; }, 120000)) << dir.read("LOG_TIMER.TXT").value_or("");
    EXPECT_FALSE(ownWindow(L"#32770", app.pid()).has_value());
    const std::string log = dir.read("LOG_TIMER.TXT").value_or("");
    const size_t err = log.find("#00#ERR#");
    ASSERT_NE(err, std::string::npos) << log;
    EXPECT_LT(log.find("#00#INI#"), err);
    const std::string line = log.substr(err, log.find('\n', err) - err);
    EXPECT_NE(line.find(f.says), std::string::npos) << line;
    EXPECT_NE(line.find(f.file + ".ilegivel-"), std::string::npos) << line;
    EXPECT_NE(ownWindow(L"TarvexTray", app.pid()).value_or("").find("falhou: " + f.file), std::string::npos);
}

const std::string kSettings = settingsLine(0, 0);

INSTANTIATE_TEST_SUITE_P(
    Window, StartsOver,
    ::testing::Values(
        StartFiles{"Utf8TaskFile", platform::cp1252ToUtf8(lateTaskFile()), kSettings, "TARVEX_TAREFAS.TXT", "UTF-8"},
        StartFiles{"TwentyColumnHeader", "20" + lateTaskFile().substr(2), kSettings, "TARVEX_TAREFAS.TXT",
                   "declara 20 colunas"},
        StartFiles{"DamagedSettings", lateTaskFile(), std::string(20, ';'), "TARVEX_SISTEMA.TXT", "cortado"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ClearLog, EnterKeepsTheLog) {
    AppFolder dir;
    dir.write("TARVEX_SISTEMA.TXT", kSettings);
    AppProcess app(dir);
    ASSERT_TRUE(waitFor([&] { return app.window() && IsWindowVisible(app.window()); }, 30000));
    click(app.find("BU_LOG"));
    ASSERT_TRUE(app.showing("TS_LOG"));
    click(app.find("BU_ZERA_LOG"));
    HWND box = nullptr;
    ASSERT_TRUE(waitFor([&] { return (box = FindWindowW(L"#32770", L"Mensagem do Sistema")) != nullptr; }, 30000));
    pressKey(box, VK_RETURN);
    ASSERT_TRUE(waitFor([&] { return !IsWindow(box); }, 10000));
    EXPECT_EQ(logCount(dir, "ZER"), 0);
    EXPECT_EQ(logCount(dir, "INI"), 1);
}

}  // namespace
}  // namespace tarvex::testui
