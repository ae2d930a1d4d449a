#pragma once
// The main window as the product builds it, wired to the real Windows services
// (only the power functions are recorded, never used), on the virtual clock, with
// a scripted operator whose message pump also dispatches real window messages.
// Tasks run when their hour comes, through the scheduler's own timer.
#include <windows.h>

#include <string>
#include <vector>

#include "../win32_test_util.h"
#include "tasks/columns.h"
#include "tasks/task_store.h"
#include "testkit/services.h"
#include "testkit/wired_form.h"
#include "win32/services_win32.h"
#include "testkit/task_file.h"

namespace tarvex::win32test {

using testkit::at;
using testkit::Row;

inline const std::string DAILY = "01 - Todos os Dias";

// The lines of a memo as the editor keeps them, encoded for the task file.
inline std::string memo(const std::vector<std::string>& lines) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) text += (i ? "\r\n" : "") + lines[i];
    return tasks::linesToCell(text);
}

// Wednesday 09/12/26 from 07:59: a task at "08:00" runs a minute after start-up.
class TasksTest : public testkit::WiredFormTest {
protected:
    explicit TasksTest(LocalTime start = at(2026, 12, 9, 7, 59, 0)) : WiredFormTest(start) {}

    std::string folder() const override { return param; }
    void pumpMore() override { pumpWindows(); }
    void TearDown() override {
        if (form) form->shutDown();
        WiredFormTest::TearDown();
    }

    static void pumpWindows() {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
    }

    // Builds the window on the real services and runs start-up.
    void start() { startOn(services, param + "tarvex.exe"); }

    // Writes one task due at 08:00, starts the window and runs the clock just past
    // that hour (a task left due would be chosen again ten seconds later).
    void runOne(Row row) {
        row.push_back({col::PERIODO, DAILY});
        row.push_back({col::HORA, "08:00"});
        writeTasks({row});
        start();
        host.runUntil(at(2026, 12, 9, 8, 0, 5));
    }

    // Code and text of every entry but start-up's: "EXE COPIA".
    std::vector<std::string> runEvents() const {
        std::vector<std::string> out;
        for (const std::string& line : logLines()) {
            const std::vector<std::string> f = fields(line);
            if (f.size() > 3 && f[2] != "INI" && f[2] != "TER") out.push_back(f[2] + " " + f[3]);
        }
        return out;
    }

    // The "Ultima Exec" column of every task, as the task file holds it now.
    std::vector<std::string> stamps(int tasks) const {
        testkit::TaskFile reader(param);
        reader.taskStore().load();
        std::vector<std::string> out;
        for (int row = 1; row <= tasks; ++row) out.emplace_back(reader.table().cell(col::ULTIMA_EXEC, row));
        return out;
    }

    TempFolder dir;
    std::string param = dir.folder();   // the settings folder: task file, log, batch file
    win32::Win32Services real;
    testkit::RecordingPower power;
    platform::Services services{real.processes, real.shell, real.windows, power, real.registry};
};

}  // namespace tarvex::win32test
