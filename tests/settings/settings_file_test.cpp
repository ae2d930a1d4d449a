// The settings file on disk and the logon value, as loading and saving see them.
#include <gtest/gtest.h>

#include <filesystem>
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
    EXPECT_EQ(dir.read(kFileName), "10#10#900#670#CALENDARIO#8#8#MS Sans Serif#N#0#0#N#N#240######5#");
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
        const Tell toBox = [this](const std::string& text) { op.message("TARVEX", text); };
        EXPECT_EQ(readSettings(dir.folder(), broken, kExe, toBox).autorun, expected) << flag;
    }
    EXPECT_EQ(op.messages(), (std::vector<std::string>(2, "Erro na leitura do AUTORUN - x")));
}

// Settings files as damage leaves them: each is copied aside and named before the
// defaults are used; a sound one (a line end after it included) is read quietly.
struct Damage {
    const char* name;
    std::string bytes;
    std::string says;   // empty: sound
};

class DamagedSettings : public testing::TestWithParam<Damage> {};

TEST_P(DamagedSettings, AreKeptAsideAndNamedBeforeTheDefaults) {
    testkit::TempDir dir;
    dir.write(kFileName, GetParam().bytes);
    std::vector<std::string> told;
    const Settings s = readSettingsFile(dir.folder(), [&](const std::string& text) { told.push_back(text); });
    std::vector<std::filesystem::path> copies;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        if (e.path().filename().string().rfind(std::string(kFileName) + ".ilegivel-", 0) == 0) copies.push_back(e.path());
    if (GetParam().says.empty()) {
        EXPECT_TRUE(told.empty());
        EXPECT_TRUE(copies.empty());
        EXPECT_EQ(s.top, 20);   // the fields there are, read
        EXPECT_EQ(s.left, 30);
        return;
    }
    EXPECT_EQ(s, Settings{});
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(dir.read(copies[0].filename().string()), GetParam().bytes);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find(GetParam().says), std::string::npos) << told[0];
    EXPECT_NE(told[0].find(copies[0].filename().string()), std::string::npos) << told[0];
}

const std::string kSound = "20#30#1000#700#CALENDARIO#12#9#Tahoma#S#1#2#N#S########";

INSTANTIATE_TEST_SUITE_P(
    SettingsFile, DamagedSettings,
    testing::Values(Damage{"Sound", kSound, ""}, Damage{"SoundWithLineEnd", kSound + "\r\n", ""},
                    Damage{"Empty", "", "vazio"}, Damage{"Cut", kSound.substr(0, 30), "cortado"},
                    Damage{"FieldMissing", kSound.substr(3), "campo 5"},
                    Damage{"OlderWithFewerFields", "20#30#1000#700#CALENDARIO#12#9#Tahoma#S#1#2#N#S#", ""},
                    Damage{"OlderWithoutTheMarker", "20#30#1000#700#", ""},
                    Damage{"FieldAdded", "9#" + kSound, "21 campos"},
                    Damage{"Shifted", "20#30#1000#700#8#CALENDARIO#9#Tahoma#S#1#2#N#S########", "campo 5"},
                    Damage{"TwoLines", kSound + "\r\n" + kSound, "mais de uma linha"},
                    Damage{"Utf8", "20#30#1000#700#CALENDARIO#12#9#Ta\xC3\xA7homa#S#1#2#N#S########", "UTF-8"},
                    Damage{"Semicolons", std::string(20, ';'), "cortado"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tarvex::settings
