// The log page of tarvex.exe on a log of a million lines: the grid holds every
// entry, the raw-lines box only the last ones after a note, and the window keeps
// answering. How long the page took is printed, never asserted.
#include <gtest/gtest.h>

#include <string>

#include "win32/window/test_app_process.h"

namespace tarvex::testui {
namespace {

constexpr int kLines = 1000000;

TEST(LogPageWindow, AMillionLineLogShowsWholeInTheGrid) {
    AppFolder dir;
    dir.write("TARVEX_SISTEMA.TXT", settingsLine(0, 0));
    std::string log;
    log.reserve(static_cast<size_t>(kLines) * 90);
    for (int i = 0; i < kLines; ++i)
        log += "06/12/26#03#EXE#COPIA " + std::to_string(i) +
               "#08:10:00#08:12:15#00:02:15#00 - XCOPY - Copia Arq.#01 - Todos os Dias#\r\n";
    dir.write("LOG_TIMER.TXT", log);
    log = std::string();

    AppProcess app(dir);
    ASSERT_NE(app.window(), nullptr);
    ASSERT_TRUE(waitFor([&] { return IsWindowVisible(app.window()) != FALSE; }, 30000));
    const UINT rowsMsg = RegisterWindowMessageW(L"TARVEX.GridRows");
    const auto rows = [&] {
        DWORD_PTR n = 0;
        SendMessageTimeoutW(app.find("GRID_LOG"), rowsMsg, 0, 0, SMTO_ABORTIFHUNG, 30000, &n);
        return static_cast<int>(n);
    };
    const DWORD start = GetTickCount();
    click(app.find("BU_LOG"));
    ASSERT_TRUE(waitFor([&] { return rows() >= kLines + 2; }, 120000)) << rows();
    std::printf("log page of %d lines ready in %lu ms\n", kLines, GetTickCount() - start);

    EXPECT_EQ(readText(app.find("E_MEMO_LOG")).rfind("(... ", 0), 0u);
    DWORD_PTR r = 0;
    EXPECT_NE(SendMessageTimeoutW(app.window(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &r), 0);
}

}  // namespace
}  // namespace tarvex::testui
