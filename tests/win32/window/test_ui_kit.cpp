// The Win32 kit in this process: every control found by name, and the model and
// the window agree whichever side changes first.
#include <gtest/gtest.h>

#include "win32/support/test_ui_driver.h"
#include "test_ui_host.h"

namespace tarvex::testui {
namespace {

class Kit : public ::testing::Test {
protected:
    static void SetUpTestSuite() { host = new KitHost; pump(); }
    static void TearDownTestSuite() { delete host; host = nullptr; }
    HWND find(const std::string& name) {
        HWND h = findByName(host->frame.hwnd(), name);
        EXPECT_NE(h, nullptr) << name;
        return h;
    }
    static KitHost* host;
};
KitHost* Kit::host = nullptr;

class KitNames : public Kit, public ::testing::WithParamInterface<const char*> {};

TEST_P(KitNames, EveryControlCarriesItsName) {
    HWND h = find(GetParam());
    EXPECT_EQ(nameOf(h), GetParam());
}

INSTANTIATE_TEST_SUITE_P(All, KitNames,
                         ::testing::Values("E_NOME", "E_MEMO", "E_EXT", "LA_ECO", "LA_TICKS", "BU_OK", "CB_PARAR",
                                           "GRID_BIG", "PC_GERAL", "TS_CAPA", "TS_LOG", "LA_PAGINA", "RG_INICIAR",
                                           "CB_FONTE", "CB_FONTEXT", "CALEND"));

TEST_F(Kit, CodeAndTypingBothReachTheOtherSide) {
    HWND edit = find("E_NOME");
    int before = host->nameChanges;
    host->name.setText("Cópia diária");
    EXPECT_EQ(readText(edit), "Cópia diária");
    EXPECT_EQ(host->nameChanges, before + 1);  // the model's own change action, not an echo

    SetWindowTextW(edit, L"");
    pump();
    EXPECT_EQ(host->name.text(), "");
    before = host->nameChanges;
    typeText(edit, "Ação");
    ASSERT_TRUE(waitFor([&] { return host->name.text() == "Ação"; }));
    EXPECT_EQ(host->nameChanges, before + 4);  // one change per typed key
}

TEST_F(Kit, MemoKeepsLongTextAndLineBreaks) {
    std::string text;
    for (int i = 0; i < 5000; ++i) text += "XCOPY C:\\DADOS\\*.* E:\\COPIA\\ /E /D /Y\r\n";  // past the 32K default
    host->memo.setText(text);
    EXPECT_EQ(readText(find("E_MEMO")), text);
    EXPECT_EQ(host->memo.lines().size(), 5000u);
}

TEST_F(Kit, SuggestionChosenFromTheListSetsTheText) {
    HWND combo = find("E_EXT");
    SendMessageW(combo, CB_SETCURSEL, 1, 0);
    SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    EXPECT_EQ(host->ext.text(), "_[MES]");
}

TEST_F(Kit, ButtonClickRunsItsActionOnce) {
    host->name.setText("TAREFA 01");
    int before = host->okClicks;
    click(find("BU_OK"));
    ASSERT_TRUE(waitFor([&] { return host->okClicks == before + 1; }));
    pump();
    EXPECT_EQ(host->okClicks, before + 1);
    EXPECT_EQ(readText(find("LA_ECO")), "TAREFA 01");
}

TEST_F(Kit, CheckBoxFromOperatorAndFromCodeRunsClick) {
    HWND box = find("CB_PARAR");
    int before = host->stopClicks;
    click(box);
    ASSERT_TRUE(waitFor([&] { return host->stop.checked(); }));
    EXPECT_EQ(host->stopClicks, before + 1);
    host->stop.setChecked(false);
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(host->stopClicks, before + 2);
}

TEST_F(Kit, GridOfAMillionRowsScrollsToItsEnd) {
    HWND grid = find("GRID_BIG");
    EXPECT_EQ(SendMessageW(grid, RegisterWindowMessageW(L"TARVEX.GridRows"), 0, 0), kBigRows);
    host->big.setRow(kBigRows - 1);  // as "Vai para o Final" does
    pump();
    EXPECT_GE(host->bigView->topRow(), kBigRows - 20);
    EXPECT_EQ(readText(grid), "linha 999999");
}

TEST_F(Kit, GridSelectionCanBeRefused) {
    HWND grid = find("GRID_BIG");
    UINT select = RegisterWindowMessageW(L"TARVEX.GridSelect");
    host->big.onSelectCell = [](int, int row, bool& can) { can = row != 7; };
    EXPECT_EQ(SendMessageW(grid, select, 1, 5), 1);
    EXPECT_EQ(host->big.row(), 5);
    EXPECT_EQ(SendMessageW(grid, select, 1, 7), 0);
    EXPECT_EQ(host->big.row(), 5);
    EXPECT_EQ(SendMessageW(grid, select, 0, 0), 0);  // title row and fixed column
    host->big.onSelectCell = nullptr;
}

TEST_F(Kit, GridClickSelectsTheRowUnderTheMouse) {
    HWND grid = find("GRID_BIG");
    host->big.setRow(1);
    pump();
    int top = host->bigView->topRow();
    int y = host->big.rowHeight * 3 + 4;  // title row, then the third row on screen
    PostMessageW(grid, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, y));
    PostMessageW(grid, WM_LBUTTONUP, 0, MAKELPARAM(100, y));
    ASSERT_TRUE(waitFor([&] { return host->big.row() == top + 2; }));
}

TEST_F(Kit, GridCellTypedIntoWhenEditable) {
    HWND grid = find("GRID_BIG");
    UINT select = RegisterWindowMessageW(L"TARVEX.GridSelect");
    ASSERT_EQ(SendMessageW(grid, select, 1, 3), 1);
    MSG enter{grid, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
    // A dialog-style message loop must leave Enter to the grid.
    EXPECT_TRUE(SendMessageW(grid, WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter)) & DLGC_WANTMESSAGE);
    SetFocus(grid);
    typeText(grid, "novo");
    pump();
    HWND editor = GetFocus();
    ASSERT_NE(editor, grid);
    pressKey(editor, VK_RETURN);
    ASSERT_TRUE(waitFor([&] { return host->big.cell(1, 3) == "novo"; }));
}

TEST_F(Kit, TimerFiresWhileEnabledAndStopsWhenDisabled) {
    host->tickCount = 0;
    host->timer.setInterval(20);
    host->timer.setTimerEnabled(true);
    EXPECT_TRUE(host->timerView->running());
    ASSERT_TRUE(waitFor([&] { return host->tickCount >= 2; }));
    EXPECT_EQ(readText(find("LA_TICKS")), std::to_string(host->tickCount));
    host->timer.setTimerEnabled(false);
    EXPECT_FALSE(host->timerView->running());
    int seen = host->tickCount;
    waitFor([] { return false; }, 100);
    EXPECT_EQ(host->tickCount, seen);
}

TEST_F(Kit, TimerWithZeroIntervalDoesNotRun) {
    host->timer.setInterval(0);
    host->timer.setTimerEnabled(true);
    EXPECT_FALSE(host->timerView->running());
    host->timer.setTimerEnabled(false);
}

TEST_F(Kit, PagesShowOneAtATimeAndHideTabsAsAsked) {
    HWND tabs = FindWindowExW(find("PC_GERAL"), nullptr, WC_TABCONTROLW, nullptr);
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 2);  // "Help" has its tab hidden
    host->pages.show("TS_HELP");
    EXPECT_TRUE(IsWindowVisible(find("TS_HELP")));
    EXPECT_FALSE(IsWindowVisible(find("TS_CAPA")));
    EXPECT_FALSE(IsWindowVisible(find("LA_PAGINA")));

    // A tab chosen by the operator shows its page through the model.
    RECT r;
    SendMessageW(tabs, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PostMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(tabs, WM_LBUTTONUP, 0, at);
    ASSERT_TRUE(waitFor([&] { return host->pages.active() == "TS_LOG"; }));
    EXPECT_EQ(host->shownPage, "TS_LOG");
    EXPECT_TRUE(IsWindowVisible(find("TS_LOG")));
    host->pages.show("TS_CAPA");
    EXPECT_TRUE(IsWindowVisible(find("LA_PAGINA")));
}

TEST_F(Kit, RadioGroupAndDropDownFollowTheOperator) {
    HWND group = find("RG_INICIAR");
    HWND second = findByText(group, "1 - Iniciar Maximizado");
    ASSERT_NE(second, nullptr);
    int before = host->startChanges;
    click(second);
    ASSERT_TRUE(waitFor([&] { return host->start.itemIndex() == 1; }));
    EXPECT_EQ(host->startChanges, before + 1);
    host->start.setItemIndex(2);
    EXPECT_EQ(SendMessageW(second, BM_GETCHECK, 0, 0), BST_UNCHECKED);

    HWND combo = find("CB_FONTE");
    EXPECT_EQ(readText(combo), "8");
    SetFocus(combo);
    pressKey(combo, VK_DOWN);
    ASSERT_TRUE(waitFor([&] { return host->size.itemIndex() == 5; }));
    EXPECT_EQ(host->size.selectedText(), "9");
}

TEST_F(Kit, TrayHintClickAndShellRestart) {
    HWND tray = host->trayView->hwnd();
    EXPECT_EQ(nameOf(tray), "TrayIcon1");
    host->tray.setHint("Tarvex Parado");
    EXPECT_EQ(readText(tray), "Tarvex Parado");
    host->form.setState(ui::Window::State::Minimized);
    EXPECT_FALSE(IsWindowVisible(host->frame.hwnd()));  // minimised means: only the icon
    SendMessageW(tray, TrayView::kCallback, 0, MAKELPARAM(WM_LBUTTONUP, TrayView::kIconId));
    EXPECT_EQ(host->trayClicks, 1);
    EXPECT_TRUE(IsWindowVisible(host->frame.hwnd()));
    EXPECT_FALSE(IsIconic(host->frame.hwnd()));
    // After a shell restart the icon is added again, as it was at the start.
    bool wasAdded = host->trayView->added();
    SendMessageW(tray, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_EQ(host->trayView->added(), wasAdded);
}

TEST_F(Kit, OperatorMinimiseHidesAndMaximiseReachesTheModel) {
    HWND f = host->frame.hwnd();
    SendMessageW(f, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_EQ(host->form.state(), ui::Window::State::Maximized);
    EXPECT_TRUE(IsZoomed(f));
    SendMessageW(f, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_EQ(host->form.state(), ui::Window::State::Minimized);
    EXPECT_FALSE(IsWindowVisible(f));
    host->form.setState(ui::Window::State::Normal);
    EXPECT_TRUE(IsWindowVisible(f));
    EXPECT_FALSE(IsZoomed(f));
}

TEST_F(Kit, EditableListTakesTypedTextAndPickedItems) {
    HWND combo = find("CB_FONTEXT");
    EXPECT_EQ(readText(combo), "8");
    host->textSize.setText("11");
    EXPECT_EQ(readText(combo), "11");
    int changes = host->textSizeChanges, clicks = host->textSizeClicks;
    SendMessageW(combo, CB_SETCURSEL, 4, 0);
    SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    EXPECT_EQ(host->textSize.text(), "10");
    EXPECT_EQ(host->textSizeChanges, changes + 1);
    EXPECT_EQ(host->textSizeClicks, clicks + 1);
    pump();
    EXPECT_EQ(readText(combo), "10");
}

TEST_F(Kit, CalendarShowsTheModelsDayAndTakesThePickedOne) {
    HWND cal = find("CALEND");
    SYSTEMTIME shown{};
    SendMessageW(cal, MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&shown));
    EXPECT_EQ(shown.wYear, 2026);
    EXPECT_EQ(shown.wMonth, 12);
    EXPECT_EQ(shown.wDay, 7);
    NMSELCHANGE pick{};
    pick.nmhdr = {cal, 0, static_cast<UINT>(MCN_SELCHANGE)};
    pick.stSelStart = SYSTEMTIME{2027, 1, 0, 15, 0, 0, 0, 0};
    pick.stSelEnd = pick.stSelStart;
    SendMessageW(GetParent(cal), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&pick));
    EXPECT_EQ(host->calend.year(), 2027);
    EXPECT_EQ(host->calend.month(), 1);
    EXPECT_EQ(host->calend.day(), 15);
    host->calend.setFontSize(14);  // a new font must not lose the day
    SendMessageW(cal, MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&shown));
    EXPECT_EQ(shown.wDay, 15);
}

TEST_F(Kit, TabStripHiddenAsAWhole) {
    HWND tabs = FindWindowExW(find("PC_GERAL"), nullptr, WC_TABCONTROLW, nullptr);
    host->pages.setTabsVisible(false);
    EXPECT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_FALSE(IsWindowVisible(tabs));
    host->pages.show("TS_LOG");
    EXPECT_TRUE(IsWindowVisible(find("TS_LOG")));
    host->pages.setTabsVisible(true);
    EXPECT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 2);
    host->pages.show("TS_CAPA");
}

TEST_F(Kit, NormalRectangleKeptWhateverTheState) {
    HWND f = host->frame.hwnd();
    host->form.setState(ui::Window::State::Normal);
    host->form.setNormalBounds({30, 20, 700, 500});
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    GetWindowPlacement(f, &wp);
    EXPECT_EQ(wp.rcNormalPosition.left, 20);
    EXPECT_EQ(wp.rcNormalPosition.top, 30);
    EXPECT_EQ(wp.rcNormalPosition.right - wp.rcNormalPosition.left, 700);

    SetWindowPos(f, nullptr, 50, 60, 720, 520, SWP_NOZORDER);  // the operator moves it
    ui::Window::Rect moved{60, 50, 720, 520};
    EXPECT_EQ(host->form.normalBounds(), moved);
    host->form.setState(ui::Window::State::Maximized);
    EXPECT_EQ(host->form.normalBounds(), moved);  // not the screen's rectangle
    host->form.setState(ui::Window::State::Normal);
}

}  // namespace
}  // namespace tarvex::testui
