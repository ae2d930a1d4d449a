// The part of the power service that is safe to run for real: the
// hidden command. Exit requests are only ever checked against a recording service.
#include <gtest/gtest.h>

#include "win32/services_win32.h"
#include "win32_test_util.h"

namespace tarvex {
namespace {

TEST(Power, RunsACommandHiddenWithoutWaiting) {
    win32test::TempFolder dir;
    win32::Win32Power power;
    ASSERT_TRUE(power.runCommand("cmd.exe /c echo desligar> \"" + dir.path("cmd.txt") + "\""));
    EXPECT_EQ(dir.readWithin("cmd.txt", std::chrono::seconds(30)), "desligar\r\n");
}

TEST(Power, ACommandThatCannotStartIsRefused) {
    win32::Win32Power power;
    EXPECT_FALSE(power.runCommand("C:\\nao_existe\\shutdown_falso.exe -s"));
}

}  // namespace
}  // namespace tarvex
