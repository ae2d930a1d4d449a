// The real dialogs behind the path pickers: the filter text as the file dialog
// takes it, the folder browser preselecting its folder, the file dialog starting
// from a file. A second thread answers the modal dialog as the operator would.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>

#include <windows.h>
#include <commctrl.h>

#include "win32/dialogs_win32.h"
#include "win32/support/test_ui_driver.h"
#include "win32/wide.h"

namespace tarvex::testui {
namespace {

using win32::filterPairs;
using namespace std::string_literals;

struct FilterCase {
    std::string filter;
    std::wstring pairs;
};

class FilterPairs : public ::testing::TestWithParam<FilterCase> {};

TEST_P(FilterPairs, EndEachPartWithANulAndTheWholeWithTwo) {
    EXPECT_EQ(filterPairs(GetParam().filter), GetParam().pairs);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FilterPairs,
    ::testing::Values(FilterCase{"Todos arquivos|*.*", L"Todos arquivos\0*.*\0\0"s},
                      FilterCase{"A|*.a|B|*.b;*.c", L"A\0*.a\0B\0*.b;*.c\0\0"s},
                      FilterCase{"Só descrição", L"Só descrição\0*.*\0\0"s}));

TEST(FilterPairs, TheWindowFilterKeepsEveryPair) {
    std::wstring pairs = filterPairs(platform::OPEN_FILTER);
    EXPECT_EQ(std::count(pairs.begin(), pairs.end(), L'\0'), 11);   // five pairs and the end
    EXPECT_NE(pairs.find(L"Intebase / Firebird"), std::wstring::npos);
    EXPECT_EQ(pairs.substr(pairs.size() - 2), L"\0\0"s);
}

// The top-level dialog box of this process, once it shows.
HWND waitDialog() {
    HWND found = nullptr;
    waitFor([&] {
        for (HWND h = FindWindowW(L"#32770", nullptr); h; h = FindWindowExW(nullptr, h, L"#32770", nullptr)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(h, &pid);
            if (pid == GetCurrentProcessId() && IsWindowVisible(h)) found = h;
        }
        return found != nullptr;
    }, 20000);
    return found;
}

// The text of the folder the browser's tree has selected.
std::wstring selectedFolder(HWND box) {
    HWND tree = FindWindowExW(box, nullptr, WC_TREEVIEWW, nullptr);
    for (HWND child = FindWindowExW(box, nullptr, nullptr, nullptr); !tree && child;
         child = FindWindowExW(box, child, nullptr, nullptr))
        tree = FindWindowExW(child, nullptr, WC_TREEVIEWW, nullptr);
    if (!tree) return L"";
    wchar_t text[MAX_PATH] = {};
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    item.pszText = text;
    item.cchTextMax = MAX_PATH;
    if (!item.hItem || !SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return L"";
    return text;
}

// Presses `button` of the dialog that shows next, from another thread, once
// `ready` holds for it (or twenty seconds pass).
class Answer {
public:
    explicit Answer(int button, std::function<bool(HWND)> ready = [](HWND) { return true; })
        : thread_([this, button, ready] {
              HWND box = waitDialog();
              shown_ = box != nullptr;
              if (box) {
                  waitFor([&] { return ready(box); }, 20000);
                  PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
              }
          }) {}
    ~Answer() { if (thread_.joinable()) thread_.join(); }
    bool shown() { thread_.join(); return shown_; }

private:
    std::atomic<bool> shown_{false};
    std::thread thread_;
};

std::string tempFolder(const wchar_t* name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + name;
    CreateDirectoryW(folder.c_str(), nullptr);
    return win32::narrow(folder);
}

TEST(Win32Dialogs, FolderBrowserOkGivesThePreselectedFolderWithoutTrailingBackslash) {
    const std::string folder = tempFolder(L"tarvex_browse");
    win32::Win32Dialogs dialogs;
    Answer ok(IDOK, [](HWND box) { return selectedFolder(box) == L"tarvex_browse"; });
    auto chosen = dialogs.browseFolder(platform::FOLDER_TITLE, folder + "\\");
    ASSERT_TRUE(ok.shown());
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(win32::widen(*chosen).size(), win32::widen(folder).size()) << *chosen << " " << folder;
    EXPECT_EQ(CompareStringOrdinal(win32::widen(*chosen).c_str(), -1, win32::widen(folder).c_str(), -1, TRUE),
              CSTR_EQUAL);
}

TEST(Win32Dialogs, FolderBrowserCancelGivesNothing) {
    win32::Win32Dialogs dialogs;
    Answer cancel(IDCANCEL);
    EXPECT_FALSE(dialogs.browseFolder(platform::FOLDER_TITLE_DESTINO, "").has_value());
    EXPECT_TRUE(cancel.shown());
}

TEST(Win32Dialogs, FileDialogStartingFromAFileGivesItsWholePath) {
    const std::string file = tempFolder(L"tarvex_open") + "\\BASE.FDB";
    HANDLE h = CreateFileW(win32::widen(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(h);
    win32::Win32Dialogs dialogs;
    Answer ok(IDOK);
    auto chosen = dialogs.openFile(platform::OPEN_FILTER, file);
    ASSERT_TRUE(ok.shown());
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(CompareStringOrdinal(win32::widen(*chosen).c_str(), -1, win32::widen(file).c_str(), -1, TRUE),
              CSTR_EQUAL);
}

}  // namespace
}  // namespace tarvex::testui
