// A second process drives the kit's window by control names only, as a test of
// the real program does: find, type, click, read. The same program, started
// with --host, is the window being driven.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "win32/support/test_ui_driver.h"
#include "test_ui_host.h"

namespace tarvex::testui {
namespace {

int runHost() {
    KitHost host;
    setControlName(host.frame.hwnd(), "F_KIT_HOST");
    host.timer.setInterval(50);
    host.timer.setTimerEnabled(true);
    MSG msg;
    while (!host.frame.closed && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(host.frame.hwnd(), &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

class Remote : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        wchar_t exe[MAX_PATH];
        GetModuleFileNameW(nullptr, exe, MAX_PATH);
        std::wstring line = L"\"" + std::wstring(exe) + L"\" --host";
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &child);
        waitFor([] { return findTopByName("F_KIT_HOST") != nullptr; }, 30000);
        top = findTopByName("F_KIT_HOST");
    }
    static void TearDownTestSuite() {
        if (top) PostMessageW(top, WM_CLOSE, 0, 0);
        if (child.hProcess) {
            if (WaitForSingleObject(child.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(child.hProcess, 1);
            CloseHandle(child.hProcess);
            CloseHandle(child.hThread);
        }
    }
    HWND find(const std::string& name) { return findByName(top, name); }
    static PROCESS_INFORMATION child;
    static HWND top;
};
PROCESS_INFORMATION Remote::child{};
HWND Remote::top = nullptr;

TEST_F(Remote, TypeClickAndReadByName) {
    ASSERT_NE(top, nullptr);
    HWND edit = find("E_NOME");
    ASSERT_NE(edit, nullptr);
    typeText(edit, "Backup diário");
    ASSERT_TRUE(waitFor([&] { return readText(edit) == "Backup diário"; }));
    click(find("BU_OK"));
    ASSERT_TRUE(waitFor([&] { return readText(find("LA_ECO")) == "Backup diário"; }));
}

TEST_F(Remote, TimerFiresInTheOtherProcess) {
    ASSERT_NE(top, nullptr);
    HWND ticks = find("LA_TICKS");
    ASSERT_TRUE(waitFor([&] { return std::stoi("0" + readText(ticks)) >= 2; }));
}

TEST_F(Remote, MillionRowGridReadsAnyCell) {
    ASSERT_NE(top, nullptr);
    HWND grid = find("GRID_BIG");
    ASSERT_NE(grid, nullptr);
    DWORD_PTR rows = 0;
    SendMessageTimeoutW(grid, RegisterWindowMessageW(L"TARVEX.GridRows"), 0, 0, SMTO_ABORTIFHUNG, 5000, &rows);
    EXPECT_EQ(rows, static_cast<DWORD_PTR>(kBigRows));
    DWORD_PTR selected = 0;
    SendMessageTimeoutW(grid, RegisterWindowMessageW(L"TARVEX.GridSelect"), 1, kBigRows - 2, SMTO_ABORTIFHUNG, 5000,
                        &selected);
    EXPECT_EQ(selected, 1u);
    EXPECT_EQ(readText(grid), "linha 999998");
}

TEST_F(Remote, CheckBoxClickedAndRead) {
    ASSERT_NE(top, nullptr);
    HWND box = find("CB_PARAR");
    EXPECT_EQ(readText(box), "Parar Timer");
    click(box);
    ASSERT_TRUE(waitFor([&] {
        DWORD_PTR state = 0;
        SendMessageTimeoutW(box, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state);
        return state == BST_CHECKED;
    }));
}

}  // namespace
}  // namespace tarvex::testui

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--host") == 0) return tarvex::testui::runHost();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
