#include <gtest/gtest.h>

#include "lib/mrqr.h"
#include "lib_fixture.h"

namespace tarvex {
namespace {

class Strings : public LibTest {};

TEST_F(Strings, FiltraKeepsAllowedCharactersInOrder) {
    EXPECT_EQ(MRQ_FILTRA("a1b2c3", "0123456789"), "123");
    EXPECT_EQ(MRQ_FILTRA("a1b2c3", ""), "");
    EXPECT_EQ(MRQ_FILTRA("ação", "çã"), "çã");
}

TEST_F(Strings, ValReadsDigitsOutOfFreeText) {
    const std::pair<const char*, int32_t> cases[] = {
        {"", 0},     {"abc", 0},         {"  12abc3 ", 123},       {"-15", -15},
        {"+5", 5},   {"007", 7},         {"1234567890", 123456789}, {"-123456789", -12345678},
        {"\t8\r\n", 8}, {"999999999999", 999999999}, {"R$ 1.234,5", 12345},
    };
    for (const auto& [text, value] : cases) EXPECT_EQ(MRQ_VAL(text), value) << text;
}

TEST_F(Strings, ValRejectsMisplacedMinusSignsWithTheFilteredText) {
    for (const auto& [text, filtered] : {std::pair{"-", "-"}, {"5-3", "5-3"}, {"5 - 3", "5-3"}, {"--5", "--5"}}) {
        try {
            MRQ_VAL(text);
            ADD_FAILURE() << text;
        } catch (const IntegerConvertError& e) {
            EXPECT_EQ(std::string(e.what()), "'" + std::string(filtered) + "' is not a valid integer value");
        }
    }
}

TEST_F(Strings, TrocaReplacesLeftToRightWithoutRescanning) {
    EXPECT_EQ(MRQ_TROCA("x-y-z", "-", "/"), "x/y/z");
    EXPECT_EQ(MRQ_TROCA("x-y-z", "-", "/", 1), "x/y-z");
    EXPECT_EQ(MRQ_TROCA("    ", "  ", " "), "  ");
    EXPECT_EQ(MRQ_TROCA("aaa", "a", "aa"), "aaaaaa");
    EXPECT_EQ(MRQ_TROCA("", "a", "b"), "");
    EXPECT_EQ(MRQ_TROCA("abc", "", "x"), "abc");
    EXPECT_EQ(MRQ_TROCA("a", "A", "x"), "a");
    EXPECT_EQ(MRQ_TROCA("abab", "ab", ""), "");
    EXPECT_EQ(MRQ_TROCA("a-b", "-", "/", 7), "a/b");
}

TEST_F(Strings, TrocaKeepsTheWholeRemainderOfLongTexts) {
    const std::string tail(10000, 'x');
    EXPECT_EQ(MRQ_TROCA("a|" + tail, "|", "/"), "a/" + tail);
    EXPECT_EQ(MRQ_TROCA("a|" + tail + "|b", "|", "/"), "a/" + tail + "/b");
    EXPECT_EQ(MRQ_TROCA("a|" + tail + "|b", "|", "/", 1), "a/" + tail + "|b");
}

TEST_F(Strings, CampoCutsFieldsAsGiven) {
    EXPECT_EQ(MRQ_CAMPO("x#y#z", 1, '#'), "x");
    EXPECT_EQ(MRQ_CAMPO("x#y#z", 3, '#'), "z");
    EXPECT_EQ(MRQ_CAMPO("x#y#z", 4, '#'), "");
    EXPECT_EQ(MRQ_CAMPO("a##b", 2, '#'), "");
    EXPECT_EQ(MRQ_CAMPO("a##b", 3, '#'), "b");
    EXPECT_EQ(MRQ_CAMPO(" a # b", 2, '#'), " b");
    EXPECT_EQ(MRQ_CAMPO("   ", 1, '#'), "");
    EXPECT_EQ(MRQ_CAMPO("a#b#", 3, '#'), "");
}

TEST_F(Strings, CampoEmptiesOnlyTheSlotsItMayFill) {
    for (int i = 1; i <= 12; ++i) MRQ_TABELA[i] = "old";
    EXPECT_EQ(MRQ_CAMPO("x#y", 10, '#'), "");
    EXPECT_EQ(MRQ_TABELA[1], "x");
    EXPECT_EQ(MRQ_TABELA[2], "y");
    for (int i = 3; i <= 10; ++i) EXPECT_EQ(MRQ_TABELA[i], "") << i;
    EXPECT_EQ(MRQ_TABELA[11], "old");

    MRQ_TABELA[400] = "old";
    MRQ_CAMPO("p#q#r", 0, '#');
    EXPECT_EQ(MRQ_TABELA[3], "r");
    EXPECT_EQ(MRQ_TABELA[11], "");
    EXPECT_EQ(MRQ_TABELA[400], "");
}

TEST_F(Strings, CampoNeverWritesBeyondTheTable) {
    std::string many;
    for (int i = 1; i <= 450; ++i) many += std::to_string(i) + ";";
    EXPECT_NO_THROW(MRQ_CAMPO(many, 0, ';'));
    EXPECT_EQ(MRQ_TABELA[400], "400");
    EXPECT_EQ(MRQ_CAMPO(many, 401, ';'), "400");
    EXPECT_EQ(MRQ_CAMPO(many, 1000, ';'), "400");
    EXPECT_EQ(MRQ_CAMPO(many, -3, ';'), "");
    EXPECT_EQ(MRQ_TABELA[1], "1");
    EXPECT_THROW(MRQ_TABELA[401], std::out_of_range);
    EXPECT_THROW(MRQ_TABELA[0], std::out_of_range);
}

TEST_F(Strings, ZerosPadsOrKeepsTheRightmostCharacters) {
    EXPECT_EQ(MRQ_ZEROS(7, 2), "07");
    EXPECT_EQ(MRQ_ZEROS(2026, 2), "26");
    EXPECT_EQ(MRQ_ZEROS(123, 0), "123");
    EXPECT_EQ(MRQ_ZEROS(" 5 ", 3), "005");
    EXPECT_EQ(MRQ_ZEROS(-5, 4), "00-5");
    EXPECT_EQ(MRQ_ZEROS("", 2), "00");
    EXPECT_EQ(MRQ_ZEROS("", 0), "");
    EXPECT_EQ(MRQ_ZEROS("abc", -1), "");
}

TEST_F(Strings, IifChoosesByCondition) {
    EXPECT_EQ(MRQ_IIF(true, "S", "N"), "S");
    EXPECT_EQ(MRQ_IIF(false, 1, 2), 2);
}

TEST_F(Strings, LimpaPathAndEntre) {
    EXPECT_EQ(MRQ_LIMPA_PATH("\\\\SERVIDOR\\PASTA\\\\ARQ.BAT"), "\\\\SERVIDOR\\PASTA\\ARQ.BAT");
    EXPECT_EQ(MRQ_LIMPA_PATH("C:\\DADOS\\\\\\\\X//Y"), "C:\\DADOS\\\\X/Y");
    EXPECT_EQ(MRQ_LIMPA_PATH("C:"), "C:");
    EXPECT_EQ(MRQ_ENTRE("ABC", "X", ""), "ABC");
    EXPECT_EQ(MRQ_ENTRE("ABC", "X", "Y"), "");
    EXPECT_EQ(MRQ_ENTRE("ABC", "A", "C"), "B");
    EXPECT_EQ(MRQ_ENTRE("ABC", "", "X"), "ABC");
    EXPECT_EQ(MRQ_ENTRE("Titulo[Calc]", "[", "]"), "Calc");
    EXPECT_EQ(MRQ_ENTRE("C:\\A ===>> D:\\B", "", " ===>> "), "C:\\A");
    EXPECT_EQ(MRQ_ENTRE("C:\\A ===>> D:\\B", " ===>> ", ""), "D:\\B");
}

class AddLinha : public TempDirTest {};

TEST_F(AddLinha, AppendsCrLfLinesAndFailsWithoutTheFolder) {
    const std::string missing = dir + "\\nao\\log.txt";
    EXPECT_FALSE(MRQ_ADDLINHA(missing, "x"));
    EXPECT_FALSE(platform::dirExists(dir + "\\nao"));
    const std::string name = dir + "\\LOG_TIMER.TXT";
    EXPECT_TRUE(MRQ_ADDLINHA(name, "um"));
    EXPECT_EQ(platform::readFile(name).value_or("?"), "um\r\n");
    EXPECT_TRUE(MRQ_ADDLINHA(name, "dois"));
    EXPECT_EQ(platform::readFile(name).value_or("?"), "um\r\ndois\r\n");
    platform::setOpenHookForTests([](const std::string&) { return false; });
    EXPECT_FALSE(MRQ_ADDLINHA(name, "tres"));
}

}  // namespace
}  // namespace tarvex
