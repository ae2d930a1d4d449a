#include <gtest/gtest.h>

#include "lib/routines.h"
#include "lib_fixture.h"

namespace tarvex {
namespace {

class Strings : public LibTest {};

TEST_F(Strings, FiltraAndVal) {
    EXPECT_EQ(keepOnly("a1b2c3", "0123456789"), "123");
    EXPECT_EQ(keepOnly("a1b2c3", ""), "");
    const std::pair<const char*, int32_t> values[] = {
        {"", 0},   {"abc", 0},        {"  12abc3 ", 123},        {"-15", -15},       {"+5", 5},
        {"007", 7}, {"1234567890", 123456789}, {"-123456789", -12345678}, {"R$ 1.234,5", 12345}};
    for (const auto& [text, value] : values) EXPECT_EQ(toInt(text), value) << text;
}

TEST_F(Strings, ValRejectsMisplacedMinusSignsNamingTheFilteredText) {
    for (const auto& [text, filtered] : {std::pair{"-", "-"}, {"5-3", "5-3"}, {"5 - 3", "5-3"}, {"--5", "--5"}}) {
        try {
            toInt(text);
            ADD_FAILURE() << text;
        } catch (const IntegerConvertError& e) {
            EXPECT_EQ(std::string(e.what()), "'" + std::string(filtered) + "' is not a valid integer value");
        }
    }
}

TEST_F(Strings, TrocaReplacesLeftToRightWithoutRescanningAndKeepsLongRemainders) {
    EXPECT_EQ(replaceText("x-y-z", "-", "/"), "x/y/z");
    EXPECT_EQ(replaceText("x-y-z", "-", "/", 1), "x/y-z");
    EXPECT_EQ(replaceText("    ", "  ", " "), "  ");
    EXPECT_EQ(replaceText("aaa", "a", "aa"), "aaaaaa");
    EXPECT_EQ(replaceText("", "a", "b"), "");
    EXPECT_EQ(replaceText("abc", "", "x"), "abc");
    EXPECT_EQ(replaceText("a", "A", "x"), "a");
    const std::string tail(10000, 'x');  // far beyond 2550 characters after an occurrence
    EXPECT_EQ(replaceText("a|" + tail + "|b", "|", "/"), "a/" + tail + "/b");
    EXPECT_EQ(replaceText("a|" + tail + "|b", "|", "/", 1), "a/" + tail + "|b");
}

TEST_F(Strings, CampoCutsFieldsAsGiven) {
    const struct { const char* text; int n; const char* field; } cases[] = {
        {"x#y#z", 1, "x"}, {"x#y#z", 3, "z"}, {"x#y#z", 4, ""}, {"a##b", 2, ""},
        {"a##b", 3, "b"},  {" a # b", 2, " b"}, {"   ", 1, ""}, {"a#b#", 3, ""}};
    for (const auto& c : cases) EXPECT_EQ(fieldOf(c.text, c.n, '#'), c.field) << c.text << " " << c.n;
}

TEST_F(Strings, CampoEmptiesOnlyTheSlotsItMayFillAndNeverLeavesTheTable) {
    for (int i = 1; i <= 12; ++i) fieldTable[i] = "old";
    fieldOf("x#y", 10, '#');
    EXPECT_EQ(fieldTable[2], "y");
    EXPECT_EQ(fieldTable[10], "");
    EXPECT_EQ(fieldTable[11], "old");
    std::string many;
    for (int i = 1; i <= 450; ++i) many += std::to_string(i) + ";";
    EXPECT_EQ(fieldOf(many, 0, ';'), "");
    EXPECT_EQ(fieldTable[400], "400");
    EXPECT_EQ(fieldOf(many, 1000, ';'), "400");
    EXPECT_EQ(fieldOf(many, -3, ';'), "");
    EXPECT_THROW(fieldTable[401], std::out_of_range);
}

TEST_F(Strings, ZerosPadsOrKeepsTheRightmostCharacters) {
    EXPECT_EQ(zeroPad(7, 2), "07");
    EXPECT_EQ(zeroPad(2026, 2), "26");
    EXPECT_EQ(zeroPad(123, 0), "123");
    EXPECT_EQ(zeroPad(" 5 ", 3), "005");
    EXPECT_EQ(zeroPad(-5, 4), "00-5");
    EXPECT_EQ(zeroPad("", 2), "00");
    EXPECT_EQ(zeroPad("", 0), "");
}

TEST_F(Strings, LimpaPathAndEntre) {
    EXPECT_EQ(cleanPath("\\\\SERVIDOR\\PASTA\\\\ARQ.BAT"), "\\\\SERVIDOR\\PASTA\\ARQ.BAT");
    EXPECT_EQ(cleanPath("C:\\DADOS\\\\\\\\X//Y"), "C:\\DADOS\\\\X/Y");
    EXPECT_EQ(textBetween("ABC", "X", ""), "ABC");
    EXPECT_EQ(textBetween("ABC", "X", "Y"), "");
    EXPECT_EQ(textBetween("ABC", "A", "C"), "B");
    EXPECT_EQ(textBetween("ABC", "", "X"), "ABC");
    EXPECT_EQ(textBetween("C:\\A ===>> D:\\B", " ===>> ", ""), "D:\\B");
}

TEST_F(Strings, AddLinhaAppendsCrLfLinesAndFailsWithoutTheFolder) {
    EXPECT_FALSE(appendLine(file("nao\\log.txt"), "x"));
    EXPECT_FALSE(platform::dirExists(file("nao")));
    const std::string name = file("LOG_TIMER.TXT");
    EXPECT_TRUE(appendLine(name, "um") && appendLine(name, "dois"));
    EXPECT_EQ(platform::readFile(name).value_or("?"), "um\r\ndois\r\n");
    testkit::setOpenHook([](const std::string&) { return false; });
    EXPECT_FALSE(appendLine(name, "tres"));
}

}  // namespace
}  // namespace tarvex
