#pragma once
// The "Histórico" window: for one task or all, a bar per run of the last 30 or
// 90 days (height the time it took, colour its result), the size as a line on
// a second axis, size jumps marked, and the hovered run told in a status line.
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <windows.h>

#include "app/main_form.h"
#include "history/history_chart.h"
#include "win32/ui_base.h"
#include "win32/ui_label.h"

namespace tarvex::win32 {

class HistoryChartView;

class HistoryWindow : public Wnd {
public:
    HistoryWindow(app::MainForm& form, HWND owner);
    ~HistoryWindow() override;
    // Shows the window for `task` (a name; empty: all tasks), brought to the front.
    void showFor(const std::string& task);

protected:
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // One reading of the history file, on a thread of its own; the window is
    // told when it is done and shows the latest one asked for.
    struct Load {
        unsigned number = 0;
        std::string task;
        history::Chart chart;
        std::atomic<bool> done{false};
        std::jthread thread;
    };
    void fillChoices(const std::string& task);
    void reload();
    void loaded(unsigned number);
    void layout();
    HWND child(const wchar_t* cls, const std::string& name, const std::string& text, DWORD style, int id);

    app::MainForm& form_;
    HWND tasks_ = nullptr, days30_ = nullptr, days90_ = nullptr, summary_ = nullptr, status_ = nullptr,
         jumps_ = nullptr;
    std::unique_ptr<HistoryChartView> chart_;
    int days_ = 30;
    unsigned loads_ = 0;
    std::vector<std::unique_ptr<Load>> reading_;
};

// The "Histórico" buttons of the cover page and of the task editor, and the
// window they open.
class HistoryButtons {
public:
    HistoryButtons(app::MainForm& form, HWND mainWindow);
    ~HistoryButtons();
    // The editor's button, once the editor's panel is made.
    void addEditorButton();

private:
    void open(const std::string& task);
    app::MainForm& form_;
    HWND main_;
    ui::Button cover_{"BU_HISTORICO"}, editor_{"BU_HISTORICO_TAREFA"};
    std::unique_ptr<ButtonView> coverView_, editorView_;
    std::unique_ptr<HistoryWindow> window_;
};

}  // namespace tarvex::win32
