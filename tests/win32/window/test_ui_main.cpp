// tarvex.exe itself, started in an empty folder of its own and driven by control
// names: the cover after start-up, moving between pages, the menu, hiding to the
// notification area and back, and closing with Cancel and with OK.
#include <gtest/gtest.h>

#include <string>

#include "win32/main_window.h"
#include "win32/support/test_ui_driver.h"
#include "win32/window/test_app_process.h"
#include "win32/ui_tray.h"

namespace tarvex::testui {
namespace {

// A fresh folder holding a copy of the program: its files are written beside it.
std::wstring preparedFolder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"tarvex_ui_main_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    CopyFileW(productPath().c_str(), (folder + L"tarvex.exe").c_str(), FALSE);
    return folder;
}

class MainWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::wstring folder = preparedFolder();
        std::wstring line = L"\"" + folder + L"tarvex.exe\"";
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &child))
            return;
        waitFor([] { return (main = findTopByName("F_TARVEX", child.dwProcessId)) != nullptr; }, 60000);
        waitFor([] { return IsWindowVisible(main) != FALSE; }, 30000);
    }
    static void TearDownTestSuite() {
        if (!child.hProcess) return;
        if (WaitForSingleObject(child.hProcess, 0) != WAIT_OBJECT_0) TerminateProcess(child.hProcess, 1);
        WaitForSingleObject(child.hProcess, 10000);
        CloseHandle(child.hProcess);
        CloseHandle(child.hThread);
    }
    void SetUp() override { ASSERT_NE(main, nullptr) << "tarvex.exe did not open its window"; }
    HWND find(const std::string& name) {
        HWND h = findByName(main, name);
        EXPECT_NE(h, nullptr) << name;
        return h;
    }
    bool showing(const std::string& page) {
        return waitFor([&] { return IsWindowVisible(find(page)) != FALSE; });
    }
    // The close question's box, and its button with `id` clicked.
    static bool answerClose(int id) {
        HWND box = nullptr;
        const std::wstring title = win32::widen("Saindo do programa, não serão executadas as tarefas");
        // Only this test's program: others may be asking the same question.
        auto ours = [&] {
            for (HWND h = FindWindowW(L"#32770", title.c_str()); h; h = FindWindowExW(nullptr, h, L"#32770", title.c_str())) {
                DWORD pid = 0;
                GetWindowThreadProcessId(h, &pid);
                if (pid == child.dwProcessId) return h;
            }
            return static_cast<HWND>(nullptr);
        };
        waitFor([&] { return (box = ours()) != nullptr; }, 10000);
        if (!box) return false;
        PostMessageW(GetDlgItem(box, id), BM_CLICK, 0, 0);
        return waitFor([&] { return !IsWindow(box); }, 10000);
    }
    static PROCESS_INFORMATION child;
    static HWND main;
};
PROCESS_INFORMATION MainWindowTest::child{};
HWND MainWindowTest::main = nullptr;

TEST_F(MainWindowTest, StartsOnTheCoverWithTheAgendaComputed) {
    // A busy machine may still hold the program in its start: each waits for its value.
    EXPECT_TRUE(waitFor([&] { return readText(main) == "TARVEX - V: 08/05/2025"; }, 30000)) << readText(main);
    EXPECT_TRUE(showing("TS_CAPA"));
    EXPECT_TRUE(waitFor([&] { return readText(find("LA_PROXIMO")) == "1"; })) << readText(find("LA_PROXIMO"));
    EXPECT_TRUE(waitFor([&] { return readText(find("LA_MSG")) == "Tarvex Ativo"; })) << readText(find("LA_MSG"));
    DWORD_PTR rows = 0;
    EXPECT_TRUE(waitFor([&] {
        SendMessageTimeoutW(find("GRID_C"), RegisterWindowMessageW(L"TARVEX.GridRows"), 0, 0, SMTO_ABORTIFHUNG,
                            5000, &rows);
        return rows >= 2;   // the title row and the empty last row at least
    }));
    for (const char* name : {"BU_LOG", "BU_CALEND", "BU_TAREFAS", "BU_PROXIMO", "BU_HELP", "CB_PARAR",
                             "CB_EXECUTANDO", "E_PROX_NOME", "E_PROX_HORA", "E_PROX_INTERVALO", "BU_ICONIZAR",
                             "LA_LOG", "LA_CALEND", "LA_TAREFAS", "LA_HOJE", "LA_HELP", "LA_PARAM", "CALEND",
                             "E_NOME", "E_TIPO1", "BU_TAREFAS_SALVA", "E00_ORIGEM", "T05_FUNCOES", "CB_FONTE",
                             "RG_INICIAR", "BU_PARAM_SALVA", "GRID_LOG", "BU_MONTA_LOG", "E_MEMO_LOG"})
        find(name);
}

struct Toggle {
    const char* control;
    const char* first;
    const char* second;
};

class PageToggle : public MainWindowTest, public ::testing::WithParamInterface<Toggle> {};

TEST_P(PageToggle, ShowsItsPageThenTheOther) {
    click(find("LA_HOJE"));  // computes the agenda and shows the cover
    ASSERT_TRUE(showing("TS_CAPA"));
    click(find(GetParam().control));
    EXPECT_TRUE(showing(GetParam().first));
    click(find(GetParam().control));
    EXPECT_TRUE(showing(GetParam().second));
}

INSTANTIATE_TEST_SUITE_P(Buttons, PageToggle,
                         ::testing::Values(Toggle{"BU_TAREFAS", "TS_TAREFAS", "TS_CAPA"},
                                           Toggle{"BU_CALEND", "TS_CALEND", "TS_TAREFAS"},
                                           Toggle{"BU_HELP", "TS_HELP", "TS_TAREFAS"},
                                           Toggle{"BU_LOG", "TS_LOG", "TS_TAREFAS"},
                                           Toggle{"LA_TAREFAS", "TS_TAREFAS", "TS_CAPA"},
                                           Toggle{"LA_CALEND", "TS_CALEND", "TS_TAREFAS"}));

TEST_F(MainWindowTest, MenuAndLinkShowTheirPages) {
    PostMessageW(main, WM_COMMAND, win32::ID_SISTEMA, 0);
    EXPECT_TRUE(showing("TS_SISTEMA"));
    PostMessageW(main, WM_COMMAND, win32::ID_PARAMETROS, 0);
    EXPECT_TRUE(showing("TS_PARAM"));
    click(find("LA_HOJE"));
    ASSERT_TRUE(showing("TS_CAPA"));
    click(find("LA_PARAM"));
    EXPECT_TRUE(showing("TS_PARAM"));
}

TEST_F(MainWindowTest, MinimisingLeavesOnlyTheIconAndItsClickBringsTheWindowBack) {
    HWND tray = findTopByName("TrayIcon1", child.dwProcessId);
    ASSERT_NE(tray, nullptr);
    EXPECT_EQ(readText(tray), "Tarvex em Espera");
    PostMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(waitFor([] { return !IsWindowVisible(main); }));
    PostMessageW(tray, win32::TrayView::kCallback, 0, MAKELPARAM(WM_LBUTTONUP, win32::TrayView::kIconId));
    ASSERT_TRUE(waitFor([] { return IsWindowVisible(main) && !IsIconic(main); }));
}

TEST_F(MainWindowTest, IconizarHidesTheWindow) {
    click(find("BU_ICONIZAR"));
    ASSERT_TRUE(waitFor([] { return !IsWindowVisible(main); }));
    HWND tray = findTopByName("TrayIcon1", child.dwProcessId);
    PostMessageW(tray, win32::TrayView::kCallback, 0, MAKELPARAM(WM_LBUTTONUP, win32::TrayView::kIconId));
    ASSERT_TRUE(waitFor([] { return IsWindowVisible(main) != FALSE; }));
}

// Last: Cancel keeps the program, OK ends it.
TEST_F(MainWindowTest, ZClosingAsksAndCancelKeepsTheProgram) {
    PostMessageW(main, WM_COMMAND, win32::ID_SAIR, 0);
    ASSERT_TRUE(answerClose(IDCANCEL));
    pump();
    EXPECT_TRUE(IsWindow(main));
    EXPECT_NE(WaitForSingleObject(child.hProcess, 500), WAIT_OBJECT_0);
    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(answerClose(IDOK));
    EXPECT_EQ(WaitForSingleObject(child.hProcess, 20000), WAIT_OBJECT_0);
}

}  // namespace
}  // namespace tarvex::testui
