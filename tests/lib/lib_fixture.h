#pragma once
// Shared fixtures of the routine-library tests: a fixed clock, a scripted operator
// and a private temporary folder addressed with the system's own path texts.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "lib/mrqr.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/operator.h"
#include "testkit/clock.h"
#include "testkit/operator.h"

namespace tarvex {

// The test kit's operator, also keeping boxes and pumps in one ordered list.
struct ScriptedOperator : testkit::ScriptedOperator {
    std::vector<std::string> events;   // "msg:<text>" and "pump", in order
    ScriptedOperator() {
        onPump = [this] { events.push_back("pump"); };
    }
    void message(const std::string& caption, const std::string& text) override {
        testkit::ScriptedOperator::message(caption, text);
        events.push_back("msg:" + text);
    }
};

// Installs a fixed clock and a scripted operator for the test, and restores the
// process-wide ones afterwards.
class LibTest : public ::testing::Test {
protected:
    testkit::ClockScope clock{testkit::ClockScope::at(2026, 12, 6, 10, 0, 0)};
    ScriptedOperator operator_;
    testkit::OperatorScope operatorScope{operator_};
    void SetUp() override { MRQ_TABELA.clear(1, FieldTable::kSlots); }
    void TearDown() override { platform::setOpenHookForTests({}); }
    void setToday(int y, int m, int d) { clock.set(testkit::ClockScope::at(y, m, d, 10, 0, 0)); }
};

// LibTest plus a fresh folder under the system's temporary folder; `dir` is its
// path as the system writes it (no trailing separator).
class TempDirTest : public LibTest {
protected:
    std::filesystem::path root;
    std::string dir;
    void SetUp() override {
        LibTest::SetUp();
        std::random_device rd;
        root = std::filesystem::temp_directory_path() /
               ("tarvex_lib_" + std::to_string(rd()) + "_" + std::to_string(rd()));
        std::filesystem::create_directories(root);
        dir = platform::fromFsPath(root);
        while (!dir.empty() && dir.back() == '\\') dir.pop_back();
    }
    void TearDown() override {
        LibTest::TearDown();
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
};

}  // namespace tarvex
