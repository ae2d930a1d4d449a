// The operator's boxes for real: a helper thread finds the box, reads it and
// presses a button, as the operator would.
#include <windows.h>

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "win32/services_win32.h"
#include "win32/wide.h"

namespace tarvex {
namespace {

struct Seen {
    bool found = false;
    bool inFront = false;   // the foreground window once shown
    std::string text;
};

// Waits for a box with that caption, records it and presses `button`.
std::thread pressWhenShown(const std::string& caption, int button, Seen& seen) {
    return std::thread([caption, button, &seen] {
        std::wstring wCaption = win32::widen(caption);
        for (int i = 0; i < 300 && !seen.found; ++i) {
            HWND box = FindWindowW(L"#32770", wCaption.c_str());
            if (!box || !IsWindowVisible(box)) {   // shown only once it is fully set up
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                continue;
            }
            seen.found = true;
            // The box is brought forward once shown: give the window manager a moment.
            for (int j = 0; j < 50 && GetForegroundWindow() != box; ++j)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            seen.inFront = GetForegroundWindow() == box;
            wchar_t text[512] = {};
            GetDlgItemTextW(box, 0xFFFF, text, 512);
            seen.text = win32::narrow(text);
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
        }
    });
}

class MessageBoxes : public ::testing::Test {
protected:
    win32::Win32Operator op;
};

TEST_F(MessageBoxes, QuestionIsTrueOnlyForOk) {
    for (int button : {IDOK, IDCANCEL}) {
        Seen seen;
        std::thread operatorHand = pressWhenShown("Mensagem do Sistema", button, seen);
        bool answer = op.question("Mensagem do Sistema", "Confirma a cópia ?");
        operatorHand.join();
        ASSERT_TRUE(seen.found);
        EXPECT_EQ(answer, button == IDOK);
        EXPECT_TRUE(seen.inFront);
        EXPECT_EQ(seen.text, "Confirma a cópia ?");
    }
}

TEST_F(MessageBoxes, MessageReturnsWhenClosed) {
    Seen seen;
    std::thread operatorHand = pressWhenShown("TARVEX teste", IDOK, seen);
    op.message("TARVEX teste", "O nome do PROGRAMA deve ser informado");
    operatorHand.join();
    ASSERT_TRUE(seen.found);
    EXPECT_TRUE(seen.inFront);
    EXPECT_EQ(seen.text, "O nome do PROGRAMA deve ser informado");
}

TEST_F(MessageBoxes, ErrorUsesTheApplicationsTitle) {
    platform::setAppTitle("Tarvex Erro Teste");
    Seen seen;
    std::thread operatorHand = pressWhenShown("Tarvex Erro Teste", IDOK, seen);
    op.error("'x' is not a valid integer value");
    operatorHand.join();
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.text, "'x' is not a valid integer value");
}

TEST_F(MessageBoxes, PumpingDispatchesAndKeepsAQuitRequest) {
    static int timerFired = 0;
    UINT_PTR id = SetTimer(nullptr, 0, 1, [](HWND, UINT, UINT_PTR, DWORD) { ++timerFired; });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    op.processMessages();
    KillTimer(nullptr, id);
    EXPECT_GE(timerFired, 1);

    PostQuitMessage(7);
    op.processMessages();
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

}  // namespace
}  // namespace tarvex
