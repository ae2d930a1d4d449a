// The program-close task against real top-level windows that this program opens.
#include <windows.h>

#include <gtest/gtest.h>

#include "exec/close_program.h"
#include "win32/services_win32.h"
#include "win32/wide.h"
#include "win32/win32_test_util.h"

namespace tarvex {
namespace {

const std::string kPid = std::to_string(GetCurrentProcessId());
const std::string kClassA = "TarvexTesteJanela" + kPid;
const std::string kClassB = "TarvexOutra" + kPid;
const std::string kTitle1 = "Relatório de Teste " + kPid;
const std::string kTitle2 = "Segunda " + kPid;
const std::string kTitle3 = "Oculta " + kPid;

HWND open(const std::string& cls, const std::string& title, bool visible) {
    HWND h = CreateWindowExW(0, win32::widen(cls).c_str(), win32::widen(title).c_str(),
                             WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 10, 10, 300, 200, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    EXPECT_NE(h, nullptr) << title;
    return h;
}

struct CloseCase {
    std::string program;
    std::vector<int> closed;   // indexes into the opened windows; -1 = the frontmost of class A
};

class CloseWindow : public ::testing::TestWithParam<CloseCase> {
protected:
    static void SetUpTestSuite() {
        win32test::registerClass(kClassA);
        win32test::registerClass(kClassB);
    }
    void SetUp() override {
        platform::setOperator(&op);
        windows = {open(kClassA, kTitle1, true), open(kClassA, kTitle2, true), open(kClassB, kTitle3, false)};
        op.processMessages();
    }
    void TearDown() override {
        for (HWND h : windows)
            if (IsWindow(h)) DestroyWindow(h);
        platform::setOperator(nullptr);
    }
    // Of the two class-A windows, the one the system finds first.
    int frontmostOfClassA() {
        for (const auto& w : service.topLevel()) {
            if (w.handle == reinterpret_cast<std::uintptr_t>(windows[0])) return 0;
            if (w.handle == reinterpret_cast<std::uintptr_t>(windows[1])) return 1;
        }
        return -1;
    }
    win32::Win32Operator op;
    win32::Win32Windows service;
    std::vector<HWND> windows;
};

TEST_P(CloseWindow, ClosesTheNamedWindowAndNoOther) {
    std::vector<int> expected = GetParam().closed;
    for (int& i : expected)
        if (i == -1) i = frontmostOfClassA();
    bool posted = exec::closeProgramWindows(service, GetParam().program);
    EXPECT_EQ(posted, !expected.empty());
    for (int i = 0; i < 3; ++i) {
        bool shouldClose = std::find(expected.begin(), expected.end(), i) != expected.end();
        EXPECT_EQ(IsWindow(windows[i]) == 0, shouldClose) << "window " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, CloseWindow, ::testing::Values(
    CloseCase{"Titulo[relatório de teste " + kPid + "]", {0}},   // the search ignores case
    CloseCase{"Classe[" + kClassA + "]", {-1}},
    CloseCase{kTitle2, {1}},
    CloseCase{kClassB, {2}},                                         // hidden windows are found too
    CloseCase{"Titulo[" + kClassA + "]", {}}));

TEST_F(CloseWindow, TheListShowsVisibleTitledWindowsOnly) {
    std::vector<std::string> list = exec::windowList(service);
    auto has = [&](const std::string& title) {
        return std::find(list.begin(), list.end(), "Titulo[" + title + "]") != list.end();
    };
    EXPECT_TRUE(has(kTitle1));
    EXPECT_TRUE(has(kTitle2));
    EXPECT_FALSE(has(kTitle3));
    EXPECT_FALSE(has("Program Manager"));
}

}  // namespace
}  // namespace tarvex

namespace tarvex {
namespace {

// Another program's window: Wine's own Notepad, closed by its class.
TEST(CloseOtherProgram, NotepadClosesOnRequest) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    wchar_t line[] = L"notepad.exe";
    ASSERT_TRUE(CreateProcessW(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    WaitForInputIdle(pi.hProcess, 30000);
    win32::Win32Windows service;
    bool posted = false;
    for (int i = 0; i < 100 && !posted; ++i) {   // its window may appear a little later
        posted = exec::closeProgramWindows(service, "Classe[Notepad]");
        if (!posted) Sleep(100);
    }
    EXPECT_TRUE(posted);
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 30000), WAIT_OBJECT_0);
    if (WaitForSingleObject(pi.hProcess, 0) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

}  // namespace
}  // namespace tarvex
