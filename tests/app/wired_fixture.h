#pragma once
// The main window as the product builds it (its own log, executor and settings)
// over recording operating-system services, a scripted operator and the virtual clock.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/tf_tarvex.h"
#include "testkit/clock.h"
#include "lib/datetime.h"
#include "tasks/columns.h"
#include "testkit/operator.h"
#include "testkit/services.h"
#include "testkit/tempdir.h"
#include "ui/memory_kit.h"

namespace tarvex::testing {

using testkit::at;

// One task row: column -> text.
using Row = std::vector<std::pair<int, std::string>>;

class WiredTest : public ::testing::Test {
protected:
    explicit WiredTest(LocalTime start = at(2026, 12, 9, 7, 0, 0)) : clock(start) {}

    void SetUp() override {
        clock.install();
        op.onPump = [this] { host.processMessages(); };
    }
    void TearDown() override {
        if (!form) return;
        host.unwatch(form->TIMER1);
        host.unwatch(form->T_SUPERVISOR);
    }

    // Writes the task file: row r of `rows` is task r + 1.
    void writeTasks(const std::vector<Row>& rows) {
        app::TF_TARVEX writer(dir.folder());
        writer.taskStore().BU_MONTARClick(1);
        writer.GRID.setRowCount(static_cast<int>(rows.size()) + 2);
        for (size_t r = 0; r < rows.size(); ++r)
            for (const auto& [column, text] : rows[r]) writer.GRID.setCell(column, static_cast<int>(r) + 1, text);
        writer.taskStore().GRID_SALVA();
    }

    // Builds the window and runs start-up.
    void start() {
        form = std::make_unique<app::TF_TARVEX>(app::Wiring{fake.services, dir.folder(), exePath});
        host.watch(form->TIMER1);
        host.watch(form->T_SUPERVISOR);
        form->FormCreate();
    }

    std::vector<std::string> logLines() const {
        std::vector<std::string> out;
        const std::string text = dir.read("LOG_TIMER.TXT");
        for (size_t pos = 0, end; pos < text.size(); pos = end + 2) {
            end = text.find("\r\n", pos);
            if (end == std::string::npos) end = text.size();
            out.push_back(text.substr(pos, end - pos));
        }
        return out;
    }
    // Code and text of every entry: "INI Start TARVEX".
    std::vector<std::string> logEvents() const {
        std::vector<std::string> out;
        for (const std::string& line : logLines()) {
            std::vector<std::string> f;
            for (size_t pos = 0, hash; (hash = line.find('#', pos)) != std::string::npos; pos = hash + 1)
                f.push_back(line.substr(pos, hash - pos));
            out.push_back(f.size() > 3 ? f[2] + " " + f[3] : line);
        }
        return out;
    }

    std::string due(const ui::Timer& t) {
        auto ms = host.dueAt(const_cast<ui::Timer&>(t));
        if (!ms) return "off";
        LocalTime l = ui::fromVirtualMs(*ms);
        return formatDate(Date{l.year, l.month, l.day}) + " " + formatTime(l.hour * 3600 + l.minute * 60 + l.second);
    }

    testkit::TempDir dir;
    ui::VirtualClock clock;
    ui::TimerHost host{clock};
    testkit::ScriptedOperator op;
    testkit::OperatorScope opScope{op};
    testkit::FakeServices fake;
    std::string exePath = "C:\\TARVEX\\tarvex.exe";
    std::unique_ptr<app::TF_TARVEX> form;
};

}  // namespace tarvex::testing
