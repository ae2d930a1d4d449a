#pragma once
// The main window as the product builds it, on the virtual clock with a scripted
// operator: what the suites over recorded services and over real ones share.
// A fixture names its folder (task file, settings, log) and the services.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/main_form.h"
#include "lib/datetime.h"
#include "platform/files.h"
#include "testkit/clock.h"
#include "testkit/operator.h"
#include "testkit/memory_kit.h"
#include "testkit/task_file.h"

namespace tarvex::testkit {

// One task row: column -> text.
using Row = std::vector<std::pair<int, std::string>>;

class WiredFormTest : public ::testing::Test {
protected:
    explicit WiredFormTest(LocalTime start) : clock(start) {}

    virtual std::string folder() const = 0;
    virtual void pumpMore() {}   // what else the operator's message pump dispatches

    void SetUp() override {
        clock.install();
        op.onPump = [this] {
            pumpMore();
            host.processMessages();
        };
    }
    // The window goes here, before the fixture's own folder and services.
    void TearDown() override {
        if (!form) return;
        host.unwatch(form->TIMER1);
        host.unwatch(form->T_SUPERVISOR);
        form.reset();
    }

    // Writes the task file: row r of `rows` is task r + 1.
    void writeTasks(const std::vector<Row>& rows) {
        testkit::TaskFile writer(folder());
        writer.taskStore().load();
        writer.table().setRowCount(static_cast<int>(rows.size()) + 2);
        for (size_t r = 0; r < rows.size(); ++r)
            for (const auto& [column, text] : rows[r]) writer.table().setCell(column, static_cast<int>(r) + 1, text);
        writer.taskStore().save();
    }

    // Builds the window and runs start-up.
    void startOn(platform::Services& services, const std::string& exePath) {
        form = std::make_unique<app::MainForm>(app::Wiring{services, folder(), exePath});
        host.watch(form->TIMER1);
        host.watch(form->T_SUPERVISOR);
        form->startUp();
    }

    std::vector<std::string> logLines() const {
        std::vector<std::string> out;
        const std::string text = platform::readFile(folder() + "LOG_TIMER.TXT").value_or("");
        for (size_t pos = 0, end; pos < text.size(); pos = end + 2) {
            end = text.find("\r\n", pos);
            if (end == std::string::npos) end = text.size();
            out.push_back(text.substr(pos, end - pos));
        }
        return out;
    }
    // When a timer fires next: "09/12/26 08:00:00", or "off".
    std::string due(const ui::Timer& t) {
        auto ms = host.dueAt(const_cast<ui::Timer&>(t));
        if (!ms) return "off";
        LocalTime l = fromVirtualMs(*ms);
        return formatDate(Date{l.year, l.month, l.day}) + " " + formatTime(l.hour * 3600 + l.minute * 60 + l.second);
    }
    // The "#"-terminated fields of a log line.
    static std::vector<std::string> fields(const std::string& line) {
        std::vector<std::string> f;
        for (size_t pos = 0, hash; (hash = line.find('#', pos)) != std::string::npos; pos = hash + 1)
            f.push_back(line.substr(pos, hash - pos));
        return f;
    }

    VirtualClock clock;
    TimerHost host{clock};
    ScriptedOperator op;
    OperatorScope opScope{op};
    std::unique_ptr<app::MainForm> form;
};

}  // namespace tarvex::testkit
