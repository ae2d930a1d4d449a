#pragma once
// The main window on the virtual clock: a task table, the timers watched by the
// in-memory host, scripted operator answers and an executor that stamps and records
// each run the way the real one does.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "testkit/clock.h"
#include "lib/datetime.h"
#include "lib/routines.h"
#include "tasks/columns.h"
#include "testkit/operator.h"
#include "testkit/tempdir.h"
#include "testkit/inert_services.h"
#include "testkit/wired_form.h"
#include "testkit/memory_kit.h"
#include "testkit/task_file.h"

namespace tarvex::testing {

using testkit::at;

inline std::string stampNow() { return todayText() + " " + formatTime(nowSeconds()); }

// Runs a task as the executor's frame does: the running flag and the status for the
// whole run, messages let through, the work taking `minutes`, then the stamp (unless
// the run fails), the task file written and the waiting look restored.
class RecordingRunner : public tasks::TaskRunner {
public:
    struct Run {
        int row;
        std::string name;
        std::string started;   // "dd/mm/yy hh:mm:ss"
    };
    RecordingRunner(app::MainForm& form, testkit::VirtualClock& clock) : form_(form), clock_(clock) {}

    void run(tasks::TaskId task) override {
        const int row = form_.table().rowOf(task);
        if (row < 1) return;
        ++depth;
        maxDepth = std::max(maxDepth, depth);
        runs.push_back({row, trim(form_.table().cell(col::NOME, row)), stampNow()});
        tasks::ScheduleState& state = form_.schedule();
        state.trayHint = form_.E_PROX_NOME.text() + ") " + std::string(form_.table().cell(col::NOME, row));
        state.trayImage = 1;
        form_.runContext.NOME_TAREFA = form_.table().cell(col::NOME, row);
        state.running = true;
        state.status = "Executando: " + zeroPad(row, 2) + " - " + std::string(form_.table().cell(col::NOME, row));
        state.changed();
        platform::op().processMessages();
        if (during) during(row);
        clock_.elapse(minutes * 60'000LL);
        platform::op().processMessages();
        if (failures[row] > 0) {
            --failures[row];
        } else {
            form_.table().setCell(col::ULTIMA_EXEC, row, stampNow());
            form_.stamped(task, stampNow());
        }
        state.status = "___";
        state.running = false;
        state.changed();
        form_.saveTasks();
        state.trayImage = 0;
        state.trayHint = "Tarvex em Espera";
        state.changed();
        --depth;
    }

    std::vector<std::string> log() const {
        std::vector<std::string> out;
        for (const auto& r : runs) out.push_back(r.started + " " + r.name);
        return out;
    }

    std::vector<Run> runs;
    int minutes = 2;
    std::map<int, int> failures;               // row -> runs that leave no stamp
    std::function<void(int row)> during;       // while the task runs
    int depth = 0, maxDepth = 0;

private:
    app::MainForm& form_;
    testkit::VirtualClock& clock_;
};

class RecordingEditor : public tasks::EditorSave {
public:
    void saveTask() override { ++saves; }
    int saves = 0;
};

struct Task {
    int row;
    std::string name, tipo, periodo, hora, ultimaExec;
};

class FormTest : public testkit::WiredFormTest {
protected:
    explicit FormTest(LocalTime start = at(2026, 12, 9, 7, 0, 0)) : WiredFormTest(start) {}

    std::string folder() const override { return dir.folder(); }
    void SetUp() override {
        WiredFormTest::SetUp();
        // A window without the operating system: every task that reaches it fails.
        form = std::make_unique<app::MainForm>(
            app::Wiring{testkit::inertServices(), dir.folder(), dir.folder() + "TARVEX.EXE"});
        runner = std::make_unique<RecordingRunner>(*form, clock);
        form->setRunner(runner.get());
        form->setEditor(&editor);
        host.watch(form->TIMER1);
        host.watch(form->T_SUPERVISOR);
    }

    // Writes the task file with these tasks (other rows empty) and starts the
    // program; the window is then up, as the message loop's first message finds it.
    void start(const std::vector<Task>& tasks, int rows = 12, bool windowUp = true) {
        testkit::TaskFile writer(dir.folder());
        writer.taskStore().load();
        writer.table().setRowCount(rows);
        for (const Task& t : tasks) {
            writer.table().setCell(col::NOME, t.row, t.name);
            writer.table().setCell(col::TIPO, t.row, t.tipo);
            writer.table().setCell(col::PERIODO, t.row, t.periodo);
            writer.table().setCell(col::HORA, t.row, t.hora);
            writer.table().setCell(col::ULTIMA_EXEC, t.row, t.ultimaExec);
        }
        writer.taskStore().save();
        form->startUp();
        if (windowUp) form->windowUp();
    }

    std::string now() { return stampNow(); }
    std::string sn(int row) { return std::string(form->table().cell(col::SN_EXE, row)); }

    testkit::TempDir dir;
    std::unique_ptr<RecordingRunner> runner;
    RecordingEditor editor;
};

}  // namespace tarvex::testing
