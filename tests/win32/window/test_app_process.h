#pragma once
// tarvex.exe copied into a fresh folder of its own (it keeps its files beside
// itself) and started there as another process, driven by control names.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tasks/columns.h"
#include "tasks/task_file.h"
#include "tasks/task_store.h"
#include "win32/support/test_ui_driver.h"
#include "win32/wide.h"
#include "win32/win32_test_util.h"

namespace tarvex::testui {

inline std::wstring productPath() {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring beside(self);
    beside = beside.substr(0, beside.find_last_of(L'\\') + 1) + L"tarvex.exe";
    if (GetFileAttributesW(beside.c_str()) != INVALID_FILE_ATTRIBUTES) return beside;
    std::wstring built = L"Z:" + win32::widen(TARVEX_EXE);  // the Unix path as built, seen through Wine's Z:
    for (auto& c : built)
        if (c == L'/') c = L'\\';
    return built;
}

// The settings line with the window at its defaults and no logon start.
inline std::string settingsLine(int startMode, int startPage) {
    return "10#10#900#670#CALENDARIO#8#8#MS Sans Serif#N#" + std::to_string(startMode) + "#" +
           std::to_string(startPage) + "#S#S########";
}

class AppFolder : public win32test::TempFolder {
public:
    AppFolder() { CopyFileW(productPath().c_str(), win32::widen(path("tarvex.exe")).c_str(), FALSE); }
};

// The folder's settings at their defaults and a task file of `rows`, each a task's
// cells (column, value) and every one run daily.
inline void writeDailyTasks(const AppFolder& dir, const std::vector<std::vector<std::pair<int, std::string>>>& rows) {
    dir.write("TARVEX_SISTEMA.TXT", settingsLine(0, 0));
    tasks::TaskTable g;
    g.setColCount(col::COUNT);
    g.setRowCount(static_cast<int>(rows.size()) + 1);
    tasks::numberRows(g);
    for (int row = 1; row <= static_cast<int>(rows.size()); ++row) {
        g.setCell(col::PERIODO, row, "01 - Todos os Dias");
        for (const auto& [column, value] : rows[row - 1]) g.setCell(column, row, value);
    }
    taskfile::save(g, dir.path(tasks::TASK_FILE_NAME));
}

// The message box a process shows: its text, answered with the button `id`;
// empty when no box came within `ms`.
inline std::string answerMessageBox(DWORD process, int id, int ms) {
    HWND box = nullptr;
    waitFor([&] {
        for (HWND h = FindWindowW(L"#32770", nullptr); h; h = FindWindowExW(nullptr, h, L"#32770", nullptr)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(h, &owner);
            if (owner == process && IsWindowVisible(h)) box = h;
        }
        return box != nullptr;
    }, ms);
    if (!box) return "";
    std::string text;
    for (HWND s = FindWindowExW(box, nullptr, L"Static", nullptr); s; s = FindWindowExW(box, s, L"Static", nullptr))
        text += readText(s);
    PostMessageW(GetDlgItem(box, id), BM_CLICK, 0, 0);
    waitFor([&] { return !IsWindow(box); });
    return text;
}

class AppProcess {
public:
    // `reachedAs`: the folder by another path (another drive letter), when given.
    explicit AppProcess(const AppFolder& dir, const std::string& reachedAs = "") {
        const std::string folder = reachedAs.empty() ? dir.folder() : reachedAs;
        std::wstring line = L"\"" + win32::widen(folder + "tarvex.exe") + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        started_ = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  win32::widen(folder).c_str(), &si, &info_) != FALSE;
    }
    ~AppProcess() {
        if (!started_) return;
        if (!ended(0)) TerminateProcess(info_.hProcess, 1);
        WaitForSingleObject(info_.hProcess, 10000);
        CloseHandle(info_.hProcess);
        CloseHandle(info_.hThread);
    }
    AppProcess(const AppProcess&) = delete;
    AppProcess& operator=(const AppProcess&) = delete;

    DWORD pid() const { return info_.dwProcessId; }
    bool ended(DWORD ms) const { return started_ && WaitForSingleObject(info_.hProcess, ms) == WAIT_OBJECT_0; }
    // The main window once start-up has made it; shown or not.
    HWND window(int ms = 60000) {
        if (!main_ && started_)
            waitFor([&] { return (main_ = findTopByName("F_TARVEX", pid())) != nullptr || ended(0); }, ms);
        return main_;
    }
    HWND find(const std::string& name) {
        HWND h = findByName(window(), name);
        EXPECT_NE(h, nullptr) << name;
        return h;
    }
    bool showing(const std::string& page) {
        return waitFor([&] { return IsWindowVisible(find(page)) != FALSE; }, 30000);
    }
    bool textBecomes(const std::string& name, const std::string& text) {
        return waitFor([&] { return readText(find(name)) == text; }, 30000);
    }
    // Answers the close question of this program with the button `id`.
    bool answerClose(int id) {
        const std::wstring title = win32::widen("Saindo do programa, não serão executadas as tarefas");
        HWND box = nullptr;
        auto ours = [&] {
            for (HWND h = FindWindowW(L"#32770", title.c_str()); h;
                 h = FindWindowExW(nullptr, h, L"#32770", title.c_str())) {
                DWORD owner = 0;
                GetWindowThreadProcessId(h, &owner);
                if (owner == pid()) return h;
            }
            return static_cast<HWND>(nullptr);
        };
        waitFor([&] { return (box = ours()) != nullptr; }, 10000);
        if (!box) return false;
        PostMessageW(GetDlgItem(box, id), BM_CLICK, 0, 0);
        return waitFor([&] { return !IsWindow(box); }, 10000);
    }

    // This program's message box: its text, answered with the button `id`;
    // empty when no box came within `ms`.
    std::string answer(int id, int ms = 10000) { return answerMessageBox(pid(), id, ms); }

private:
    PROCESS_INFORMATION info_{};
    bool started_ = false;
    HWND main_ = nullptr;
};

// The log's lines with `code` in the code field.
inline int logCount(const AppFolder& dir, const std::string& code) {
    const std::string log = dir.read("LOG_TIMER.TXT").value_or("");
    int n = 0;
    for (size_t at = log.find("#" + code + "#"); at != std::string::npos; at = log.find("#" + code + "#", at + 1)) ++n;
    return n;
}

}  // namespace tarvex::testui
