#pragma once
// The main window as the product builds it, wired to the real Windows services
// (only the power functions are recorded, never used), on the virtual clock, with
// a scripted operator whose message pump also dispatches real window messages.
// Tasks run when their hour comes, through the scheduler's own timer.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "../win32_test_util.h"
#include "testkit/clock.h"
#include "app/tf_tarvex.h"
#include "tasks/columns.h"
#include "tasks/task_store.h"
#include "testkit/operator.h"
#include "testkit/services.h"
#include "ui/memory_kit.h"
#include "win32/services_win32.h"

namespace tarvex::win32test {

using testkit::at;

// One task row: column -> text.
using Row = std::vector<std::pair<int, std::string>>;

inline const std::string DAILY = "01 - Todos os Dias";

// The lines of a memo as the editor keeps them, encoded for the task file.
inline std::string memo(const std::vector<std::string>& lines) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) text += (i ? "\r\n" : "") + lines[i];
    return tasks::TIRA_CHR(text);
}

// Wednesday 09/12/26 from 07:59: a task at "08:00" runs a minute after start-up.
class TasksTest : public ::testing::Test {
protected:
    explicit TasksTest(LocalTime start = at(2026, 12, 9, 7, 59, 0)) : clock(start) {}

    void SetUp() override {
        clock.install();
        op.onPump = [this] {
            pumpWindows();
            host.processMessages();
        };
    }
    void TearDown() override {
        if (!form) return;
        form->FormDestroy();
        host.unwatch(form->TIMER1);
        host.unwatch(form->T_SUPERVISOR);
    }

    static void pumpWindows() {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
    }

    // Writes the task file: row r of `rows` is task r + 1.
    void writeTasks(const std::vector<Row>& rows) {
        app::TF_TARVEX writer(param);
        writer.taskStore().BU_MONTARClick(1);
        writer.GRID.setRowCount(static_cast<int>(rows.size()) + 2);
        for (size_t r = 0; r < rows.size(); ++r)
            for (const auto& [column, text] : rows[r]) writer.GRID.setCell(column, static_cast<int>(r) + 1, text);
        writer.taskStore().GRID_SALVA();
    }

    // Builds the window on the real services and runs start-up.
    void start() {
        form = std::make_unique<app::TF_TARVEX>(app::Wiring{services, param, param + "tarvex.exe"});
        host.watch(form->TIMER1);
        host.watch(form->T_SUPERVISOR);
        form->FormCreate();
    }

    // Writes one task due at 08:00, starts the window and runs the clock just past
    // that hour (a task left due would be chosen again ten seconds later).
    void runOne(Row row) {
        row.push_back({col::PERIODO, DAILY});
        row.push_back({col::HORA, "08:00"});
        writeTasks({row});
        start();
        host.runUntil(at(2026, 12, 9, 8, 0, 5));
    }

    std::vector<std::string> logLines() const {
        std::vector<std::string> out;
        const std::string text = platform::readFile(param + "LOG_TIMER.TXT").value_or("");
        for (size_t pos = 0, end; pos < text.size(); pos = end + 2) {
            end = text.find("\r\n", pos);
            if (end == std::string::npos) end = text.size();
            out.push_back(text.substr(pos, end - pos));
        }
        return out;
    }
    // Code and text of every entry but start-up's: "EXE COPIA".
    std::vector<std::string> runEvents() const {
        std::vector<std::string> out;
        for (const std::string& line : logLines()) {
            std::vector<std::string> f;
            for (size_t pos = 0, hash; (hash = line.find('#', pos)) != std::string::npos; pos = hash + 1)
                f.push_back(line.substr(pos, hash - pos));
            if (f.size() > 3 && f[2] != "INI" && f[2] != "TER") out.push_back(f[2] + " " + f[3]);
        }
        return out;
    }

    // The "Ultima Exec" column of every task, as the task file holds it now.
    std::vector<std::string> stamps(int tasks) const {
        app::TF_TARVEX reader(param);
        reader.taskStore().BU_MONTARClick(1);
        std::vector<std::string> out;
        for (int row = 1; row <= tasks; ++row) out.push_back(reader.GRID.cell(col::ULTIMA_EXEC, row));
        return out;
    }

    TempFolder dir;
    std::string param = dir.folder();   // the settings folder: task file, log, batch file
    ui::VirtualClock clock;
    ui::TimerHost host{clock};
    testkit::ScriptedOperator op;
    testkit::OperatorScope opScope{op};
    win32::Win32Services real;
    testkit::RecordingPower power;
    platform::Services services{real.processes, real.shell, real.windows, power, real.registry};
    std::unique_ptr<app::TF_TARVEX> form;
};

}  // namespace tarvex::win32test
