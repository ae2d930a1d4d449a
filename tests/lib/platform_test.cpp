#include <gtest/gtest.h>

#include <filesystem>

#include "lib_fixture.h"
#include "platform/clock.h"
#include "platform/cp1252.h"
#include "platform/files.h"
#include "platform/operator.h"

namespace tarvex {
namespace {

using namespace platform;

TEST(Cp1252, EveryByteSurvivesBothRoundTrips) {
    std::string all;
    for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
    EXPECT_EQ(utf16ToCp1252(cp1252ToUtf16(all)), all);
    EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(all)), all);
}

TEST(Cp1252, HighControlRangeFollowsWindowsTable) {
    EXPECT_EQ(cp1252ToUtf16("\x80\x8A\x99\x9F"), u"\u20AC\u0160\u2122\u0178");
    EXPECT_EQ(cp1252ToUtf8("\x80"), "\xE2\x82\xAC");
    EXPECT_EQ(cp1252ToUtf8("\xF3"), "\xC3\xB3");
    EXPECT_EQ(utf16ToCp1252(u"\u2018x\u2019"), "\x91x\x92");
}

TEST(Cp1252, UnmappableAndMalformedBecomeQuestionMarks) {
    EXPECT_EQ(utf16ToCp1252(u"a\u4E2Db"), "a?b");
    EXPECT_EQ(utf16ToCp1252(u"\U0001F600"), "?");          // one pair, one mark
    EXPECT_EQ(utf8ToCp1252("a\xF0\x9F\x98\x80" "b"), "a?b");
    EXPECT_EQ(utf8ToCp1252("\xC3"), "?");                 // cut sequence
    EXPECT_EQ(utf8ToCp1252("\xC0\xAF"), "??");            // overlong "/"
    EXPECT_EQ(utf8ToCp1252("\xE0\x80\xAF"), "?");
}

TEST(Clock, SetClockInstallsAndNullRestoresSystemClock) {
    FixedClock fixed({2026, 12, 6, 10, 30, 0});
    setClock(&fixed);
    EXPECT_EQ(clock().now().year, 2026);
    setClock(nullptr);
    EXPECT_EQ(&clock(), &clock());
    EXPECT_NE(dynamic_cast<SystemClock*>(&clock()), nullptr);
    const LocalTime t = clock().now();
    EXPECT_GE(t.year, 2020);
    EXPECT_TRUE(t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31);
}

TEST(OperatorSetting, DefaultTitleAndRestore) {
    EXPECT_EQ(appTitle(), "TARVEX VALDRIN");
    ScriptedOperator scripted;
    setOperator(&scripted);
    op().message("c", "t");
    EXPECT_EQ(scripted.messages().size(), 1u);
    setOperator(nullptr);
    EXPECT_NE(dynamic_cast<ConsoleOperator*>(&op()), nullptr);
}

class Files : public TempDirTest {};

TEST_F(Files, BackslashPathsAndAccentedNamesReachTheSameFile) {
    const std::string name = dir + "\\Diretório\\ação.txt";
    ASSERT_TRUE(createDir(dir + "\\Diretório"));
    EXPECT_TRUE(dirExists(dir + "\\Diretório"));
    EXPECT_EQ(writeFile(name, "x\r\n"), "");
    EXPECT_TRUE(fileExists(name));
    EXPECT_FALSE(dirExists(name));
    EXPECT_EQ(readFile(name), std::optional<std::string>("x\r\n"));
    bool found = false;
    for (const auto& e : std::filesystem::directory_iterator(fsPath(dir + "\\Diretório")))
        found = found || fromFsPath(e.path().filename()) == "ação.txt";
    EXPECT_TRUE(found);
    EXPECT_EQ(fsPath(fromFsPath(fsPath(name))), fsPath(name));
}

TEST_F(Files, AtomicWriteReplacesWholeAndLeavesNoTemporary) {
    const std::string name = dir + "\\t.txt";
    ASSERT_EQ(writeFile(name, "old contents that are longer"), "");
    EXPECT_EQ(writeFileAtomic(name, "new"), "");
    EXPECT_EQ(readFile(name).value_or("?"), "new");
    int count = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(fsPath(dir))) ++count;
    EXPECT_EQ(count, 1);
}

TEST_F(Files, AtomicWriteFailureNamesTheFileAndKeepsTheOld) {
    const std::string missing = dir + "\\nao\\existe.txt";
    const std::string err = writeFileAtomic(missing, "x");
    EXPECT_NE(err.find(missing), std::string::npos);
    EXPECT_FALSE(fileExists(missing));

    const std::string name = dir + "\\t.txt";
    ASSERT_EQ(writeFile(name, "old"), "");
    setOpenHookForTests([&](const std::string& p) { return p != name; });
    EXPECT_NE(writeFileAtomic(name, "new"), "");
    EXPECT_FALSE(readFile(name).has_value());
    setOpenHookForTests({});
    EXPECT_EQ(readFile(name).value_or("?"), "old");
}

TEST_F(Files, AppendCreatesThenAppendsButNeedsTheFolder) {
    const std::string name = dir + "\\log.txt";
    EXPECT_TRUE(appendFile(name, "a"));
    EXPECT_TRUE(appendFile(name, "b"));
    EXPECT_EQ(readFile(name).value_or("?"), "ab");
    EXPECT_FALSE(appendFile(dir + "\\nao\\log.txt", "a"));
    EXPECT_FALSE(readFile(dir + "\\nao\\log.txt").has_value());
    EXPECT_FALSE(readFile(dir).has_value());  // a folder is not a file
}

TEST(ExeFolder, EndsWithBackslashAndHoldsTheTestProgram) {
    const std::string folder = exeFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '\\');
    EXPECT_TRUE(dirExists(folder));
}

}  // namespace
}  // namespace tarvex
