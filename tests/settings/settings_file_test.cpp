// The settings file on disk and the logon value, as loading and saving see them.
#include <gtest/gtest.h>

#include <tuple>

#include <stdexcept>

#include "settings/settings_file.h"
#include "testkit/operator.h"
#include "testkit/services.h"
#include "testkit/tempdir.h"

namespace tarvex::settings {
namespace {

const std::string kExe = "C:\\Program Files\\Tarvex\\tarvex.exe";

class SettingsFile : public testing::Test {
protected:
    testkit::TempDir dir;
    testkit::ScriptedOperator op;
    testkit::OperatorScope scope{op};
    testkit::FakeRegistry reg;
};

TEST_F(SettingsFile, SavedExampleIsByteForByte) {
    Settings s;
    s.autorun = s.showStart = s.showClose = false;
    storeSettings(dir.folder(), s, reg, kExe);
    EXPECT_EQ(dir.read(kFileName), "10#10#900#670#CALENDARIO#8#8#MS Sans Serif#N#0#0#N#N########");
    EXPECT_TRUE(op.boxes.empty());
}

TEST_F(SettingsFile, MissingFileGivesDefaultsAndTheRegistryDecidesAutorun) {
    Settings s = readSettings(dir.folder(), reg, kExe);
    Settings expected;
    expected.autorun = false;
    EXPECT_EQ(s, expected);
    EXPECT_TRUE(op.boxes.empty());

    reg.userRun["TARVEX"] = "X";
    EXPECT_TRUE(readSettings(dir.folder(), reg, kExe).autorun);
}

TEST_F(SettingsFile, LimitsAppliedWhenReadBack) {
    dir.write(kFileName, "3#5#200#19#CALENDARIO#15#30##S#9#-2#N#S########");
    Settings s = readSettingsFile(dir.folder());
    EXPECT_EQ(std::make_tuple(s.top, s.left, s.width, s.height), std::make_tuple(10, 10, 900, 670));
    EXPECT_EQ(s.calendarFontSize, 8);
    EXPECT_EQ(s.textFontSize, "12");
    EXPECT_EQ(s.fontName, "MS Sans Serif");
    EXPECT_EQ(s.startMode, 2);
    EXPECT_EQ(s.startPage, -1);
    EXPECT_FALSE(s.showStart);
    EXPECT_TRUE(s.showClose);
}

TEST_F(SettingsFile, TypedTextFontSizeIsStoredAsTypedAndReadAsDefault) {
    Settings s;
    s.textFontSize = "-";
    s.fontName = "Tahoma";
    s.startPage = 2;
    storeSettings(dir.folder(), s, reg, kExe);
    EXPECT_EQ(dir.read(kFileName).substr(0, 37), "10#10#900#670#CALENDARIO#8#-#Tahoma#S");
    Settings back = readSettings(dir.folder(), reg, kExe);
    EXPECT_EQ(back.textFontSize, "8");
    EXPECT_EQ(back.fontName, "Tahoma");  // the fields after it are still read
    EXPECT_EQ(back.startPage, 2);
}

TEST_F(SettingsFile, RoundTripThroughTheFile) {
    Settings s;
    s.top = 120;
    s.left = 80;
    s.width = 1100;
    s.height = 720;
    s.calendarFontSize = 10;
    s.textFontSize = "9";
    s.fontName = "Arial Narrow";
    s.startMode = 1;
    s.startPage = 2;
    s.showStart = false;
    storeSettings(dir.folder(), s, reg, kExe);
    EXPECT_EQ(readSettings(dir.folder(), reg, kExe), s);
}

TEST_F(SettingsFile, SaveSetsOrRemovesTheLogonValue) {
    Settings s;
    s.autorun = true;
    storeSettings(dir.folder(), s, reg, kExe);
    EXPECT_EQ(reg.userRun["TARVEX"], "\"C:\\PROGRAM FILES\\TARVEX\\TARVEX.EXE\"");

    reg.machineRun["TARVEX"] = "old";
    s.autorun = false;
    storeSettings(dir.folder(), s, reg, kExe);
    EXPECT_EQ(reg.userRun.count("TARVEX"), 0u);
    EXPECT_EQ(reg.machineRun.count("TARVEX"), 0u);
    EXPECT_FALSE(readSettings(dir.folder(), reg, kExe).autorun);
}

TEST_F(SettingsFile, StoredNIsOverriddenByThePresentValue) {
    dir.write(kFileName, "10#10#900#670#CALENDARIO#8#8#Arial#N#0#0#S#S########");
    reg.userRun[kExe] = "";
    EXPECT_TRUE(readSettings(dir.folder(), reg, kExe).autorun);
}

class BrokenRegistry : public testkit::FakeRegistry {
public:
    bool getRun(bool, const std::string&, std::string&) override { throw std::runtime_error("x"); }
};

TEST_F(SettingsFile, FailedLogonTestIsToldAndKeepsTheStoredFlag) {
    BrokenRegistry broken;
    for (const auto& [flag, expected] : {std::pair{"N", false}, std::pair{"S", true}}) {
        dir.write(kFileName, std::string("10#10#900#670#CALENDARIO#8#8#Arial#") + flag + "#0#0#S#S########");
        EXPECT_EQ(readSettings(dir.folder(), broken, kExe).autorun, expected) << flag;
    }
    EXPECT_EQ(op.messages(), (std::vector<std::string>(2, "Erro na leitura do AUTORUN - x")));
}

}  // namespace
}  // namespace tarvex::settings
