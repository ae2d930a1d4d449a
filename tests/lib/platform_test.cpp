#include <gtest/gtest.h>

#include "lib_fixture.h"
#include "platform/cp1252.h"

namespace tarvex {
namespace {

using namespace platform;

TEST(Cp1252, FollowsTheWindowsTableAndSurvivesRoundTrips) {
    std::string all;
    for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
    EXPECT_EQ(utf16ToCp1252(cp1252ToUtf16(all)), all);
    EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(all)), all);
    EXPECT_EQ(cp1252ToUtf16("\x80\x8A\x99\x9F\xF3"), u"\u20AC\u0160\u2122\u0178\u00F3");
    EXPECT_EQ(cp1252ToUtf8("\x80\xF3"), "\xE2\x82\xAC\xC3\xB3");
    EXPECT_EQ(utf16ToCp1252(u"\u2018x\u2019"), "\x91x\x92");
}

TEST(Cp1252, UnmappableAndMalformedBecomeQuestionMarks) {
    EXPECT_EQ(utf16ToCp1252(u"a\u4E2Db\U0001F600"), "a?b?");
    // a 4-byte character, a cut sequence, overlong forms of "/"
    EXPECT_EQ(utf8ToCp1252("a\xF0\x9F\x98\x80" "b|\xC3|\xC0\xAF|\xE0\x80\xAF"), "a?b|?|??|?");
}

class Files : public LibTest {};

TEST_F(Files, BackslashPathsAndAccentedNamesReachTheSameFile) {
    const std::string name = file("Diretório\\ação.txt");
    ASSERT_TRUE(createDir(dir + "\\Diretório"));
    EXPECT_FALSE(overwriteFile(name, "x\r\n"));
    EXPECT_TRUE(fileExists(name) && !dirExists(name) && dirExists(dir + "\\Diretório"));
    EXPECT_EQ(readFile(name), std::optional<std::string>("x\r\n"));
    const auto entry = *std::filesystem::directory_iterator(fsPath(dir + "\\Diretório"));
    EXPECT_EQ(fromFsPath(entry.path().filename()), "ação.txt");
}

TEST_F(Files, AtomicWriteReplacesWholeOrLeavesTheOldFile) {
    const std::string name = file("t.txt");
    ASSERT_FALSE(overwriteFile(name, "old contents that are longer"));
    EXPECT_FALSE(replaceFile(name, "new"));
    EXPECT_EQ(readFile(name).value_or("?"), "new");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(root), {}), 1);  // no temporary left

    const std::string missing = file("nao\\existe.txt");
    EXPECT_NE(replaceFile(missing, "x").value_or(IoError{}).text.find(missing), std::string::npos);
    testkit::setOpenHook([&](const std::string& p) { return p != name; });  // held by another program
    EXPECT_TRUE(replaceFile(name, "newer"));
    testkit::setOpenHook({});
    EXPECT_EQ(readFile(name).value_or("?"), "new");
}

// The permissions a task or settings file had, and whether a save may replace it.
class ReplaceKeeps : public LibTest, public ::testing::WithParamInterface<std::filesystem::perms> {};

TEST_P(ReplaceKeeps, PermissionsAndRefusesWhereAnOverwriteWould) {
    namespace fs = std::filesystem;
    const std::string name = file("T.TXT");
    ASSERT_FALSE(overwriteFile(name, "old"));
    fs::permissions(fsPath(name), GetParam());
    const fs::perms before = fs::status(fsPath(name)).permissions();
    const bool writable = (before & fs::perms::owner_write) != fs::perms::none;
    const IoResult fault = replaceFile(name, "new");
    EXPECT_EQ(fault.has_value(), !writable);
    if (fault) {
        EXPECT_NE(fault->text.find(name + " - "), std::string::npos) << fault->text;
    }
    EXPECT_EQ(readFile(name).value_or("?"), writable ? "new" : "old");
    EXPECT_EQ(fs::status(fsPath(name)).permissions(), before);
    fs::permissions(fsPath(name), fs::perms::owner_write, fs::perm_options::add);
}

INSTANTIATE_TEST_SUITE_P(Files, ReplaceKeeps,
                         ::testing::Values(std::filesystem::perms(0444), std::filesystem::perms(0640),
                                           std::filesystem::perms(0600)));

TEST_F(Files, LeftoverTemporariesNeverBlockASaveAndGoAtStartUp) {
    namespace fs = std::filesystem;
    const std::string name = file("T.TXT");
    ASSERT_TRUE(createDir(name + ".tmp~"));                      // cannot be opened, even by root
    ASSERT_FALSE(overwriteFile(name + ".tmp~\\inside", "x"));         // nor removed
    ASSERT_FALSE(overwriteFile(name + ".tmp~1", "half"));
    fs::permissions(fsPath(name + ".tmp~1"), fs::perms(0444));
    EXPECT_FALSE(replaceFile(name, "new"));
    EXPECT_EQ(readFile(name).value_or("?"), "new");

    for (const char* other : {"T.TXT.tmp~7", "S.TXT.tmp~", "notes.tmp~x", "tmp~"}) overwriteFile(file(other), "x");
    fs::permissions(fsPath(file("T.TXT.tmp~7")), fs::perms(0444));
    EXPECT_EQ(removeLeftoverTemps(dir + "\\"), 2);
    for (const char* gone : {"T.TXT.tmp~7", "S.TXT.tmp~"}) EXPECT_FALSE(fileExists(file(gone))) << gone;
    for (const char* kept : {"T.TXT", "notes.tmp~x", "tmp~"}) EXPECT_TRUE(fileExists(file(kept))) << kept;
}

TEST_F(Files, AppendCreatesThenAppendsButNeedsTheFolder) {
    const std::string name = file("log.txt");
    EXPECT_FALSE(appendWhole(name, "a\r\n") || appendWhole(name, "b\r\n"));
    EXPECT_EQ(readFile(name).value_or("?"), "a\r\nb\r\n");
    const IoResult missing = appendWhole(file("nao\\log.txt"), "a");
    ASSERT_TRUE(missing.has_value());
    EXPECT_NE(missing->text.find("nao\\log.txt - "), std::string::npos) << missing->text;
    EXPECT_FALSE(readFile(file("nao\\log.txt")).has_value());
    EXPECT_FALSE(readFile(dir).has_value());  // a folder is not a file
}

TEST(ExeFolder, IsAnExistingFolderWithATrailingBackslash) {
    const std::string folder = exeFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '\\');
    EXPECT_TRUE(dirExists(folder));
}

}  // namespace
}  // namespace tarvex
