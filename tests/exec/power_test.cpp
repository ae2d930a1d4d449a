#include <gtest/gtest.h>

#include "exec/power.h"
#include "testkit/services.h"

namespace tarvex::exec {
namespace {

using Calls = std::vector<std::string>;

TEST(Power, ShutdownAndRestartEnableThePrivilegeFirst) {
    testkit::RecordingPower p;
    EXPECT_TRUE(powerOffPc(p));
    EXPECT_TRUE(restartPc(p));
    EXPECT_EQ(p.calls, (Calls{"privilege", "exit 13 0", "privilege", "exit 6 0"}));
}

TEST(Power, ARefusedPrivilegeStillAsksAndTheAnswerIsTheExitCall) {
    testkit::RecordingPower p;
    p.privilegeResult = false;
    EXPECT_TRUE(endWindowsSession(p, 5));
    p.exitResult = false;
    EXPECT_FALSE(endWindowsSession(p, 5));
    EXPECT_EQ(p.calls, (Calls{"privilege", "exit 5 0", "privilege", "exit 5 0"}));
}

TEST(Power, ShutdownByCommandRunsTheCommandThenAsksWithoutPrivilege) {
    testkit::RecordingPower p;
    p.runResult = false;
    p.exitResult = false;
    shutdownByCommand(p);
    EXPECT_EQ(p.calls, (Calls{"run shutdown -s -f -t 00", "exit 8 8", "exit 5 0"}));
}

}  // namespace
}  // namespace tarvex::exec
