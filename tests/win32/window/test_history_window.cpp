// The "Histórico" window of tarvex.exe over 90 days of runs made here: opened
// from the task editor for its task and from the cover for all, switched to 90
// days and to one task; the chart's state read from its window text, the hovered
// run from the status line. With TARVEX_SHOT_MARK set, the test writes that file
// at each view and waits for it to be removed (a screenshot is taken meanwhile).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lib/datetime.h"
#include "win32/ui_base.h"
#include "win32/window/test_app_process.h"

namespace tarvex::testui {
namespace {

std::string taskLine(std::vector<std::string> cells) {
    cells.resize(35);
    std::string line;
    for (const auto& c : cells) line += c + "\xA6";
    return line + "\r\n";
}

std::string runLine(const Date& day, const char* name, const char* result, const std::string& bytes) {
    return formatDate(day) + "#04:00:00#01#" + name + "#" + result + "#615#" + bytes + "#\r\n";
}

// 90 days of a daily ZIP (a day without a run 10 days ago, an error 20 days ago,
// 12 MB today against 480 MB) and three runs of a manual copy.
void prepare(AppFolder& dir, const Date& today) {
    dir.write("TARVEX_SISTEMA.TXT", settingsLine(0, 0));
    dir.write("TARVEX_TAREFAS.TXT",
              "35\r\n3\r\n" + taskLine({}) +
                  taskLine({"01", "ZIP DOCS", "06 - WINZIP", "01 - Todos os Dias", formatDate(today) + " 04:10:15",
                            "04:00"}) +
                  taskLine({"02", "COPIA MANUAL", "00 - XCOPY - Copia Arq.", "20 - Chamada Manual", "", ""}));
    std::string runs;
    for (int ago = 89; ago >= 0; --ago) {
        const Date day = addDays(today, -ago);
        if (ago == 10) continue;
        runs += ago == 20   ? runLine(day, "ZIP DOCS", "ERRO", "")
                : ago == 0 ? runLine(day, "ZIP DOCS", "OK", std::to_string(12LL << 20))
                           : runLine(day, "ZIP DOCS", "OK", std::to_string(480LL << 20));
        if (ago >= 1 && ago <= 3) runs += runLine(day, "COPIA MANUAL", "OK", "");
    }
    dir.write("HISTORICO_TIMER.TXT", runs);
}

void pauseForPicture() {
    const char* mark = std::getenv("TARVEX_SHOT_MARK");
    if (!mark) return;
    const std::wstring path = win32::widen(mark);
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(f);
    waitFor([&] { return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES; }, 60000);
}

TEST(HistoryWindow, ShowsOneTaskAndAllOver30And90Days) {
    win32::setDpi(win32::dpiOf(nullptr));
    AppFolder dir;
    prepare(dir, today());
    AppProcess app(dir);
    ASSERT_NE(app.window(), nullptr);
    ASSERT_TRUE(waitFor([&] { return IsWindowVisible(app.window()) != FALSE; }, 30000));

    // The editor shows the first task at start-up: its button opens that task's history.
    PostMessageW(app.find("BU_HISTORICO_TAREFA"), BM_CLICK, 0, 0);
    HWND history = nullptr, chart = nullptr;
    ASSERT_TRUE(waitFor([&] {
        history = findTopByName("F_HISTORICO", app.pid());
        return history && (chart = findByName(history, "GR_HISTORICO")) != nullptr;
    }, 20000));
    const auto shows = [&](const std::string& text) { return waitFor([&] { return readText(chart) == text; }, 20000); };
    EXPECT_TRUE(shows("ZIP DOCS | 30 dias | OK 28 | ERRO 1 | não rodou 1 | saltos de tamanho 1")) << readText(chart);
    EXPECT_NE(readText(findByName(history, "LA_HIST_SALTOS")).find("ZIP DOCS: 12 MB hoje, mediana 480 MB"),
              std::string::npos);

    // Today is the last day: the mouse over it tells its run.
    RECT rc;
    GetClientRect(chart, &rc);
    DWORD_PTR done = 0;
    SendMessageTimeoutW(chart, WM_MOUSEMOVE, 0, MAKELPARAM(rc.right - win32::scaled(72) - 4, rc.bottom / 2),
                        SMTO_ABORTIFHUNG, 5000, &done);
    EXPECT_TRUE(waitFor([&] {
        return readText(findByName(history, "LA_HIST_STATUS")).find("04:00  ZIP DOCS  OK  10 min 15 s  12 MB") !=
               std::string::npos;
    })) << readText(findByName(history, "LA_HIST_STATUS"));
    pauseForPicture();

    // The cover's button: every task.
    PostMessageW(app.find("BU_HISTORICO"), BM_CLICK, 0, 0);
    EXPECT_TRUE(shows("Todas as tarefas | 30 dias | OK 31 | ERRO 1 | não rodou 1 | saltos de tamanho 1"))
        << readText(chart);
    PostMessageW(findByName(history, "BU_HIST_90"), BM_CLICK, 0, 0);
    EXPECT_TRUE(shows("Todas as tarefas | 90 dias | OK 91 | ERRO 1 | não rodou 1 | saltos de tamanho 1"))
        << readText(chart);
    pauseForPicture();

    // One task chosen in the list.
    HWND tasks = findByName(history, "CB_HIST_TAREFA");
    SendMessageW(tasks, CB_SETCURSEL, 1, 0);
    PostMessageW(history, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(tasks), CBN_SELCHANGE), reinterpret_cast<LPARAM>(tasks));
    EXPECT_TRUE(shows("ZIP DOCS | 90 dias | OK 88 | ERRO 1 | não rodou 1 | saltos de tamanho 1")) << readText(chart);
    pauseForPicture();
}

}  // namespace
}  // namespace tarvex::testui
