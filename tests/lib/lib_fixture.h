#pragma once
// Routine-library tests run on a fixed clock, with a scripted operator, an empty
// fieldTable and, for file tests, a fresh folder named with the system's own paths.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "lib/routines.h"
#include "platform/files.h"
#include "testkit/clock.h"
#include "testkit/disk_faults.h"
#include "testkit/operator.h"

namespace tarvex {

using Texts = std::vector<std::string>;

// The kit's operator, also keeping boxes and pumps in one ordered list.
struct ScriptedOperator : testkit::ScriptedOperator {
    Texts events;  // "msg:<text>" and "pump"
    ScriptedOperator() { onPump = [this] { events.push_back("pump"); }; }
    void message(const std::string& caption, const std::string& text) override {
        testkit::ScriptedOperator::message(caption, text);
        events.push_back("msg:" + text);
    }
};

class LibTest : public ::testing::Test {
protected:
    testkit::ClockScope clock{testkit::at(2026, 12, 6, 10)};
    ScriptedOperator operator_;
    testkit::OperatorScope operatorScope{operator_};
    std::filesystem::path root;
    std::string dir;  // no trailing separator

    void SetUp() override { fieldTable.clear(1, FieldTable::kSlots); }
    void TearDown() override {
        testkit::setOpenHook({});
        std::error_code ec;
        if (!root.empty()) std::filesystem::remove_all(root, ec);
    }
    void setToday(int y, int m, int d) { clock.set(testkit::at(y, m, d, 10)); }
    std::string file(const std::string& name) {
        if (root.empty()) {
            std::random_device rd;
            root = std::filesystem::temp_directory_path() /
                   ("tarvex_lib_" + std::to_string(rd()) + std::to_string(rd()));
            std::filesystem::create_directories(root);
            dir = platform::fromFsPath(root);
            if (dir.back() == '\\') dir.pop_back();
        }
        return dir + "\\" + name;
    }
};

}  // namespace tarvex
