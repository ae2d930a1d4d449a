// The logon auto-start value, against a registry held in memory.
#include <gtest/gtest.h>

#include <stdexcept>

#include "settings/autorun.h"
#include "testkit/services.h"

namespace tarvex::settings {
namespace {

using testkit::FakeRegistry;

TEST(Autorun, CommandIsTheUpperCasedPathQuotedOnlyWhenItHoldsABlank) {
    EXPECT_EQ(autorunCommand("C:\\Tarvex\\tarvex.exe"), "C:\\TARVEX\\TARVEX.EXE");
    EXPECT_EQ(autorunCommand("C:\\Program Files\\Tarvex\\tarvex.exe"),
              "\"C:\\PROGRAM FILES\\TARVEX\\TARVEX.EXE\"");
    EXPECT_EQ(autorunCommand("D:\\Utilitários\\tarvex.exe"), "D:\\UTILITÁRIOS\\TARVEX.EXE");
}

TEST(Autorun, ApplySetsTheValueForTheCurrentUser) {
    FakeRegistry reg;
    autorunApply(reg, true, "C:\\Meus Programas\\tarvex.exe");
    ASSERT_EQ(reg.userRun.count("TARVEX"), 1u);
    EXPECT_EQ(reg.userRun["TARVEX"], "\"C:\\MEUS PROGRAMAS\\TARVEX.EXE\"");
    EXPECT_TRUE(reg.machineRun.empty());
}

TEST(Autorun, RemoveDeletesFromBothKeysAndLeavesOthers) {
    FakeRegistry reg;
    reg.userRun = {{"TARVEX", "X"}, {"Other", "Y"}};
    reg.machineRun = {{"TARVEX", "X"}, {"Other", "Y"}};
    autorunApply(reg, false, "C:\\T\\TARVEX.EXE");
    EXPECT_EQ(reg.userRun.count("TARVEX"), 0u);
    EXPECT_EQ(reg.machineRun.count("TARVEX"), 0u);
    EXPECT_EQ(reg.userRun.count("Other"), 1u);
    EXPECT_EQ(reg.machineRun.count("Other"), 1u);
}

// A registry whose every call raises an error.
class BrokenRegistry : public FakeRegistry {
public:
    bool getRun(bool, const std::string&, std::string&) override { throw std::runtime_error("x"); }
    bool setRun(const std::string&, const std::string&) override { throw std::runtime_error("x"); }
    bool deleteRun(bool, const std::string&) override { throw std::runtime_error("x"); }
};

TEST(Autorun, WriteFailuresKeepTheirReason) {
    FakeRegistry refusing;
    refusing.writable = false;
    refusing.userRun = {{"TARVEX", "X"}};
    EXPECT_NE(autorunApply(refusing, true, "C:\\T\\T.EXE").value_or("").find("TARVEX"), std::string::npos);
    EXPECT_EQ(refusing.userRun["TARVEX"], "X");
    BrokenRegistry raising;
    EXPECT_EQ(autorunApply(raising, true, "C:\\T\\T.EXE"), AutorunFault("x"));
    EXPECT_EQ(autorunApply(raising, false, "C:\\T\\T.EXE"), AutorunFault("x"));
}

TEST(Autorun, EnabledByAValueNamedTarvexOrAfterTheExecutable) {
    const std::string exe = "C:\\Tarvex\\tarvex.exe";
    FakeRegistry reg;
    EXPECT_FALSE(autorunEnabled(reg, exe));
    reg.machineRun["TARVEX"] = exe;  // only the current user's key counts
    EXPECT_FALSE(autorunEnabled(reg, exe));
    reg.userRun[exe] = "";
    EXPECT_TRUE(autorunEnabled(reg, exe));
    reg.userRun.clear();
    reg.userRun["TARVEX"] = "anything";
    EXPECT_TRUE(autorunEnabled(reg, exe));
    EXPECT_TRUE(autorunExists(reg, "TARVEX"));
    EXPECT_FALSE(autorunExists(reg, "tarvex"));
}

}  // namespace
}  // namespace tarvex::settings
