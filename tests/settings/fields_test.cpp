// The settings record against its stored fields: defaults, limits, conversions.
#include <gtest/gtest.h>

#include "settings/settings.h"

namespace tarvex::settings {
namespace {

Fields line(std::initializer_list<std::pair<int, std::string>> slots) {
    Fields f;
    for (const auto& [slot, text] : slots) f[slot - 1] = text;
    return f;
}

TEST(SettingsFields, EmptyFieldsGiveTheDefaults) {
    Settings s = fromFields(Fields{});
    EXPECT_EQ(s.top, 10);
    EXPECT_EQ(s.left, 10);
    EXPECT_EQ(s.width, 900);
    EXPECT_EQ(s.height, 670);
    EXPECT_EQ(s.calendarFontSize, 8);
    EXPECT_EQ(s.textFontSize, "8");
    EXPECT_EQ(s.fontName, "MS Sans Serif");
    EXPECT_EQ(s.startMode, 0);
    EXPECT_EQ(s.startPage, 0);
    EXPECT_TRUE(s.autorun);    // an empty field is not "N"
    EXPECT_TRUE(s.showStart);
    EXPECT_TRUE(s.showClose);
    EXPECT_EQ(s, Settings{});  // the record's own defaults agree with the file's
}

TEST(SettingsFields, TheExampleLine) {
    Settings s;
    s.autorun = s.showStart = s.showClose = false;
    const Fields f = toFields(s);
    std::string joined;
    for (const auto& field : f) joined += field + "#";
    EXPECT_EQ(joined, "10#10#900#670#CALENDARIO#8#8#MS Sans Serif#N#0#0#N#N#240######5#");
}

struct LimitCase {
    int slot;
    std::string stored;
    int Settings::*member;
    int expected;
    friend void PrintTo(const LimitCase& c, std::ostream* os) {
        *os << "slot " << c.slot << " \"" << c.stored << "\"";
    }
};

class NumberLimits : public testing::TestWithParam<LimitCase> {};

TEST_P(NumberLimits, AppliedWhenRead) {
    const auto& c = GetParam();
    EXPECT_EQ(fromFields(line({{c.slot, c.stored}})).*c.member, c.expected) << c.stored;
}

INSTANTIATE_TEST_SUITE_P(
    Bounds, NumberLimits,
    testing::Values(LimitCase{1, "9", &Settings::top, 10}, LimitCase{1, "10", &Settings::top, 10},
                    LimitCase{1, "-40", &Settings::top, 10}, LimitCase{1, "250", &Settings::top, 250},
                    LimitCase{2, "3", &Settings::left, 10}, LimitCase{2, "1200", &Settings::left, 1200},
                    LimitCase{3, "200", &Settings::width, 900}, LimitCase{3, "259", &Settings::width, 900},
                    LimitCase{3, "260", &Settings::width, 260}, LimitCase{3, "1400", &Settings::width, 1400},
                    LimitCase{4, "19", &Settings::height, 670}, LimitCase{4, "20", &Settings::height, 20},
                    LimitCase{4, "800", &Settings::height, 800}));

// The time limit in minutes: 0 is none, a slot left empty by an older file is the default.
INSTANTIATE_TEST_SUITE_P(
    TimeLimit, NumberLimits,
    testing::Values(LimitCase{14, "", &Settings::timeLimitMinutes, 240},
                    LimitCase{14, "0", &Settings::timeLimitMinutes, 0},
                    LimitCase{14, "-1", &Settings::timeLimitMinutes, 240},
                    LimitCase{14, "30", &Settings::timeLimitMinutes, 30},
                    LimitCase{20, "0", &Settings::logMaxMegabytes, 5},
                    LimitCase{20, "99999", &Settings::logMaxMegabytes, 4096}));

INSTANTIATE_TEST_SUITE_P(
    CalendarFont, NumberLimits,
    testing::Values(LimitCase{6, "3", &Settings::calendarFontSize, 8},
                    LimitCase{6, "4", &Settings::calendarFontSize, 4},
                    LimitCase{6, "14", &Settings::calendarFontSize, 14},
                    LimitCase{6, "15", &Settings::calendarFontSize, 8}));

// Option groups: none below the first option, the last above it.
INSTANTIATE_TEST_SUITE_P(
    Options, NumberLimits,
    testing::Values(LimitCase{10, "1", &Settings::startMode, 1}, LimitCase{10, "2", &Settings::startMode, 2},
                    LimitCase{10, "7", &Settings::startMode, 2}, LimitCase{10, "-1", &Settings::startMode, -1},
                    LimitCase{11, "2", &Settings::startPage, 2}, LimitCase{11, "3", &Settings::startPage, 2},
                    LimitCase{11, "-5", &Settings::startPage, -1}));

// toInt reads what digits there are.
INSTANTIATE_TEST_SUITE_P(
    LooseText, NumberLimits,
    testing::Values(LimitCase{1, " 120 ", &Settings::top, 120}, LimitCase{3, "1000px", &Settings::width, 1000},
                    LimitCase{6, "abc", &Settings::calendarFontSize, 8}));

TEST(SettingsFields, TextFontSizeKeepsTheTypedTextWhenInRange) {
    const std::pair<std::string, std::string> cases[] = {
        {"2", "8"}, {"3", "8"}, {"4", "4"}, {"18", "18"}, {"19", "12"}, {"30", "12"},
        {"", "8"}, {"10 ", "10 "}, {"9pt", "9pt"}, {"-9", "8"},
    };
    for (const auto& [stored, shown] : cases)
        EXPECT_EQ(fromFields(line({{7, stored}})).textFontSize, shown) << '"' << stored << '"';
}

TEST(SettingsFields, FontNameEmptyBecomesTheDefault) {
    EXPECT_EQ(fromFields(line({{8, "Tahoma"}})).fontName, "Tahoma");
    EXPECT_EQ(fromFields(line({{8, ""}})).fontName, "MS Sans Serif");
}

TEST(SettingsFields, FlagsAreSetUnlessN) {
    for (const char* text : {"S", "", "n", "X", "NN"}) {
        Settings s = fromFields(line({{9, text}, {12, text}, {13, text}}));
        EXPECT_TRUE(s.autorun && s.showStart && s.showClose) << '"' << text << '"';
    }
    Settings s = fromFields(line({{9, "N"}, {12, "N"}, {13, "N"}}));
    EXPECT_FALSE(s.autorun || s.showStart || s.showClose);
}

// A lone minus sign or one after a digit does not convert: that field alone
// falls back, and every other field is still read.
TEST(SettingsFields, UnconvertibleFieldTakesItsDefaultAndReadingGoesOn) {
    Fields f = line({{1, "50"}, {2, "-"}, {3, "1000"}, {4, "5-"}, {6, "1-2"}, {7, "-"},
                     {8, "Verdana"}, {9, "N"}, {10, "1"}, {11, "--"}, {12, "N"}, {13, "S"}});
    Settings s = fromFields(f);
    EXPECT_EQ(s.top, 50);
    EXPECT_EQ(s.left, 10);
    EXPECT_EQ(s.width, 1000);
    EXPECT_EQ(s.height, 670);
    EXPECT_EQ(s.calendarFontSize, 8);
    EXPECT_EQ(s.textFontSize, "8");
    EXPECT_EQ(s.fontName, "Verdana");
    EXPECT_FALSE(s.autorun);
    EXPECT_EQ(s.startMode, 1);
    EXPECT_EQ(s.startPage, 0);
    EXPECT_FALSE(s.showStart);
    EXPECT_TRUE(s.showClose);
}

TEST(SettingsFields, OutOfRangeValuesAreStoredAsTyped) {
    Settings s;
    s.width = 200;
    s.height = 19;
    s.calendarFontSize = 15;
    s.textFontSize = "30";
    s.fontName = "";
    s.startMode = -1;
    Fields f = toFields(s);
    EXPECT_EQ(f[2], "200");
    EXPECT_EQ(f[3], "19");
    EXPECT_EQ(f[5], "15");
    EXPECT_EQ(f[6], "30");
    EXPECT_EQ(f[7], "");
    EXPECT_EQ(f[9], "-1");
}

// A separator or a line break typed into a text would shift the fields after it.
TEST(SettingsFields, TypedTextsCannotBreakTheLine) {
    Settings s;
    s.fontName = "Ari#al\r\n";
    s.textFontSize = "1#0";
    s.showClose = false;
    Fields f = toFields(s);
    EXPECT_EQ(f[7], "Arial");
    EXPECT_EQ(f[6], "10");
    EXPECT_FALSE(fromFields(f).showClose);
}

TEST(SettingsFields, TextFontPoints) {
    Settings s;
    s.textFontSize = "12";
    EXPECT_EQ(textFontPoints(s), 12);
    s.textFontSize = "-";
    EXPECT_EQ(textFontPoints(s), 8);
}

}  // namespace
}  // namespace tarvex::settings
