#pragma once
// A main window's worth of parts around one Executor, all in memory and in a
// temporary settings folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>

#include "exec/executor.h"
#include "lib/errors.h"
#include "lib/routines.h"
#include "platform/operator.h"
#include "tasks/columns.h"
#include "testkit/clock.h"
#include "testkit/operator.h"
#include "testkit/services.h"
#include "testkit/tempdir.h"

namespace tarvex::exec {

class RecordingHost : public ExecHost {
public:
    int saves = 0, agendas = 0, quits = 0;
    bool failSave = false;
    std::function<void()> onAgenda;
    void saveTasks() override {
        ++saves;
        if (failSave) throw FileError("Cannot create file \"TARVEX_TAREFAS.TXT\". Access is denied.");
    }
    void computeAgenda() override {
        ++agendas;
        if (onAgenda) onAgenda();
    }
    void requestQuit() override { ++quits; }
    // A task's confirmation is put to the scripted operator, as the window does.
    bool ask(const std::string& text) override { return platform::op().question("Mensagem do Sistema", text); }
    void tell(const std::string& text) override { platform::op().message("TARVEX", text); }
    void stamped(tasks::TaskId, const std::string& stamp) override { lastStamp = stamp; }
    void runFailed(tasks::TaskId, const std::string& reason) override { failures.push_back(reason); }
    int idleTrayImage() const override { return 0; }
    void penWaiting(tasks::TaskId, const std::string& pen) override { waits.push_back(pen); }
    void sizeJumped(tasks::TaskId, const std::string& text) override { sizeJumps.push_back(text); }
    std::vector<std::string> waits, sizeJumps;
    std::string lastStamp;
    std::vector<std::string> failures;
};

class ExecutorTest : public ::testing::Test {
protected:
    testkit::TempDir dir;
    testkit::ClockScope clock{testkit::at(2026, 12, 6, 8, 0, 0)};
    testkit::ScriptedOperator oper;
    testkit::OperatorScope operScope{oper};
    testkit::FakeServices fake;
    RunContext ctx;
    std::string folder = dir.folder();
    log::Log log{folder, ctx};
    CommandRunner runner{fake.services, dir.folder()};
    tasks::TaskTable GRID;
    tasks::ScheduleState schedule;
    RecordingHost host;
    Executor executor{GRID, ctx, schedule, host, log, runner, fake.services};

    void runRow(int row) { executor.run(GRID.idAt(row)); }

    void SetUp() override {
        GRID.setColCount(col::COUNT);
        GRID.setRowCount(1);
        schedule.batchFolder = windowsStyle(dir.path().string());
        schedule.status = "inicial";
    }

    // The batch runner drops every "/", as Windows paths have none.
    static std::string windowsStyle(std::string path) {
        std::replace(path.begin(), path.end(), '/', '\\');
        return path;
    }

    // Adds a task row; returns its number.
    int addTask(const std::string& name, const std::string& type, std::map<int, std::string> cells = {}) {
        const int row = GRID.rowCount();
        GRID.setRowCount(row + 1);
        GRID.setCell(col::NOME, row, name);
        GRID.setCell(col::TIPO, row, type);
        GRID.setCell(col::PERIODO, row, "01 - Todos os Dias");
        for (auto& [c, v] : cells) GRID.setCell(c, row, v);
        return row;
    }

    std::vector<std::string> logLines() const {
        std::vector<std::string> out;
        std::istringstream in(dir.read("LOG_TIMER.TXT"));
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            out.push_back(line);
        }
        return out;
    }
    // "CODE#TEXT" of each entry.
    std::vector<std::string> logged() const {
        std::vector<std::string> out;
        for (const auto& l : logLines()) {
            std::vector<std::string> f;
            std::istringstream in(l);
            for (std::string s; std::getline(in, s, '#');) f.push_back(s);
            out.push_back(f.at(2) + "#" + f.at(3));
        }
        return out;
    }
    std::string stampOf(int row) const { return std::string(GRID.cell(col::ULTIMA_EXEC, row)); }

    void expectIdle() const {
        EXPECT_FALSE(schedule.running);
        EXPECT_EQ(schedule.status, "___");
        EXPECT_EQ(schedule.trayImage, 0);
        EXPECT_EQ(schedule.trayHint, "Tarvex em Espera");
    }
};

}  // namespace tarvex::exec
