// The real main window at the screen scale Wine is set to (TARVEX_DPI; the runner
// sets LogPixels and runs this once per scale): every caption fits in its control
// and every control lies inside its parent, on every page, the editor's too; and
// again after the window is told it moved to a monitor of 1.5 times the scale.
// Shrunk to its least size, the far controls of the pages come into sight.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "platform/operator.h"
#include "win32/main_window.h"
#include "win32/services_win32.h"
#include "win32/support/test_ui_driver.h"
#include "win32/win32_test_util.h"

namespace tarvex::testui {
namespace {

std::string describe(HWND h) {
    const std::string name = win32::controlName(h);
    return name.empty() ? "\"" + win32::windowText(h) + "\"" : name;
}

// What the control's text needs, in the control's own font.
SIZE textSize(HWND h, const std::wstring& text, UINT format, int width) {
    HDC dc = GetDC(h);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0)));
    RECT calc{0, 0, width, 0};
    DrawTextW(dc, text.c_str(), -1, &calc, format | DT_CALCRECT | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(h, dc);
    return SIZE{calc.right, calc.bottom};
}

struct Check {
    std::vector<std::string> faults;

    void control(HWND h) {
        if (!(GetWindowLongW(h, GWL_STYLE) & WS_CHILD)) return;
        wchar_t cls[64] = {};
        GetClassNameW(h, cls, 64);
        const std::wstring kind = cls;
        const LONG style = GetWindowLongW(h, GWL_STYLE);
        RECT in;
        GetWindowRect(h, &in);
        MapWindowPoints(nullptr, GetParent(h), reinterpret_cast<POINT*>(&in), 2);
        RECT parent;
        GetClientRect(GetParent(h), &parent);
        // A drop-down list's window is as tall as its open list.
        const bool dropDown = _wcsicmp(cls, L"COMBOBOX") == 0;
        if (in.right > parent.right || (!dropDown && in.bottom > parent.bottom))
            faults.push_back(describe(h) + " passa da borda de " + describe(GetParent(h)));

        const std::wstring text = win32::widen(win32::windowText(h));
        if (text.empty()) return;
        RECT rc;
        GetClientRect(h, &rc);
        const int box = GetSystemMetrics(SM_CXMENUCHECK) + win32::scaled(4);
        if (kind == L"Static" && !(style & (SS_BITMAP | SS_ICON))) {
            // Wrapped over its lines, the text must fit the label's height.
            SIZE need = textSize(h, text, DT_WORDBREAK, rc.right);
            if (need.cx > rc.right || need.cy > rc.bottom) faults.push_back(describe(h) + ": texto cortado");
        } else if (kind == L"Button") {
            const LONG type = style & BS_TYPEMASK;
            SIZE need = textSize(h, text, DT_SINGLELINE, 0);
            int room = rc.right - 4;
            if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON)
                room = rc.right - box;
            else if (type == BS_GROUPBOX)
                room = rc.right - win32::scaled(16);
            if (need.cx > room || (type != BS_GROUPBOX && need.cy > rc.bottom))
                faults.push_back(describe(h) + ": texto cortado (" + std::to_string(need.cx) + " em " +
                                 std::to_string(room) + ")");
        }
    }
};

// Controls of the settings page that cover part of one another (a box over
// another's caption); a group box holding its options is not that. A drop-down
// list's window is as tall as its open list; the page itself may be hidden.
std::vector<std::string> overlapsOn(HWND page) {
    std::vector<std::pair<HWND, RECT>> kids;
    for (HWND h = GetWindow(page, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
        wchar_t cls[64] = {};
        GetClassNameW(h, cls, 64);
        RECT r;
        GetWindowRect(h, &r);
        if ((GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE) && _wcsicmp(cls, L"COMBOBOX") != 0) kids.emplace_back(h, r);
    }
    std::vector<std::string> faults;
    for (size_t i = 0; i < kids.size(); ++i)
        for (size_t j = i + 1; j < kids.size(); ++j) {
            RECT both, a = kids[i].second, b = kids[j].second, all;
            UnionRect(&all, &a, &b);
            if (IntersectRect(&both, &a, &b) && !EqualRect(&all, &a) && !EqualRect(&all, &b))
                faults.push_back(describe(kids[i].first) + " sobre " + describe(kids[j].first));
        }
    return faults;
}

// Whether all of `h` shows: inside the client area of every window it is in.
bool inSight(HWND h) {
    RECT r;
    GetWindowRect(h, &r);
    for (HWND up = GetParent(h); up; up = GetParent(up)) {
        RECT client;
        GetClientRect(up, &client);
        MapWindowPoints(up, nullptr, reinterpret_cast<POINT*>(&client), 2);
        if (r.left < client.left || r.top < client.top || r.right > client.right || r.bottom > client.bottom)
            return false;
    }
    return true;
}

// Shrunk to its least size, the window keeps its top bar, and focus brings a far
// control of a page into sight (the page scrolls).
void farControlsComeIntoSight(win32::MainWindow& window, app::MainForm& form) {
    SetWindowPos(window.hwnd(), nullptr, 0, 0, 100, 100, SWP_NOMOVE | SWP_NOZORDER);
    pump();
    EXPECT_TRUE(inSight(findByName(window.hwnd(), "BU_ICONIZAR"))) << "a barra de cima cortada";
    const char* fars[][3] = {{"TS_TAREFAS", "T06", "E06_EXCLUIR1"}, {"TS_TAREFAS", "T06", "E06_SENHA2"},
                             {"TS_PARAM", "", "BU_EMAIL_TESTE"}, {"TS_LOG", "", "E_LOG_RESULTADO"}};
    for (const auto& [page, typePage, name] : fars) {
        form.PC_GERAL.show(page);
        if (*typePage) form.editor().pages.PC_TIPO.show(typePage);
        HWND target = findByName(window.hwnd(), name);
        ASSERT_NE(target, nullptr) << name;
        SetFocus(target);   // as Tab does
        EXPECT_TRUE(waitFor([&] { return inSight(target); }, 5000)) << name << " fora de vista";
    }
}

TEST(Layout, CaptionsFitAndControlsStayInsideAtThisScale) {
    const char* asked = std::getenv("TARVEX_DPI");
    const int want = asked ? std::atoi(asked) : 96;
    ASSERT_EQ(win32::dpiOf(nullptr), want) << "Wine did not take the LogPixels setting";

    win32test::TempFolder dir;
    dir.write("TARVEX_SISTEMA.TXT", "10#10#900#670#CALENDARIO#8#8#MS Sans Serif#N#0#0#S#S########\r\n");
    win32::Win32Operator op;
    platform::setOperator(&op);
    win32::Win32Services system;
    {
        app::MainForm form(app::Wiring{system.services, dir.folder(), dir.path("tarvex.exe")});
        form.F_TARVEX.hide();
        win32::MainWindow window(form);
        op.setOwner(reinterpret_cast<std::uintptr_t>(window.hwnd()));
        form.startUp();
        ASSERT_TRUE(waitFor([&] { return IsWindowVisible(window.hwnd()) != FALSE; }, 30000));
        EXPECT_EQ(win32::dpi(), want);
        // The close box and "Iconizar" are on the screen, however large the design size.
        RECT frame, work;
        GetWindowRect(window.hwnd(), &frame);
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        EXPECT_TRUE(frame.left >= work.left && frame.top >= work.top && frame.right <= work.right &&
                    frame.bottom <= work.bottom)
            << "janela " << frame.right - frame.left << "x" << frame.bottom - frame.top << " na área de "
            << work.right - work.left << "x" << work.bottom - work.top;

        auto checkAll = [&](int at) {
            Check check;
            EnumChildWindows(window.hwnd(), [](HWND h, LPARAM lp) -> BOOL {
                reinterpret_cast<Check*>(lp)->control(h);
                return TRUE;
            }, reinterpret_cast<LPARAM>(&check));
            for (const std::string& f : overlapsOn(findByName(window.hwnd(), "TS_PARAM"))) check.faults.push_back(f);
            std::string all;
            for (const auto& f : check.faults) all += "\n  " + f;
            EXPECT_TRUE(check.faults.empty()) << check.faults.size() << " a " << at << " DPI:" << all;
        };
        // On a screen smaller than the design size, the window's pages scroll: the
        // far controls are what is checked there.
        const bool small = std::getenv("TARVEX_DPI_SCREEN") != nullptr;
        // A page's controls are made when it first shows: each is shown once.
        const std::string shown = form.PC_GERAL.active();
        for (const std::string& page : form.PC_GERAL.pages()) form.PC_GERAL.show(page);
        form.PC_GERAL.show(shown);
        if (!small) checkAll(want);

        // Dragged to a monitor of half as much scale again: Windows proposes a
        // rectangle that much larger, and the window must lay itself out again in it.
        RECT now;
        GetWindowRect(window.hwnd(), &now);
        const int other = want * 3 / 2;
        RECT proposed{now.left, now.top, now.left + (now.right - now.left) * 3 / 2,
                      now.top + (now.bottom - now.top) * 3 / 2};
        if (!small) {
            SendMessageW(window.hwnd(), win32::kDpiChanged, MAKEWPARAM(other, other),
                         reinterpret_cast<LPARAM>(&proposed));
            pump();
            EXPECT_EQ(win32::dpi(), other);
            checkAll(other);
        }
        farControlsComeIntoSight(window, form);
        op.setOwner(0);
    }
    platform::setOperator(nullptr);
}

}  // namespace
}  // namespace tarvex::testui
