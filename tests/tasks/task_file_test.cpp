#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "lib/errors.h"
#include "platform/cp1252.h"
#include "platform/files.h"
#include "tasks/task_file.h"
#include "task_temp.h"

namespace tarvex::tasks::test {
namespace {

using Rows = std::vector<std::vector<std::string>>;

void fill(tasks::TaskTable& g, const Rows& rows) {
    g.setColCount(rows.empty() ? 0 : static_cast<int>(rows[0].size()));
    g.setRowCount(static_cast<int>(rows.size()));
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size(); ++c) g.setCell(int(c), int(r), rows[r][c]);
}

Rows cells(const tasks::TaskTable& g) {
    Rows out;
    for (int r = 0; r < g.rowCount(); ++r) out.push_back(g.rowCells(r));
    return out;
}

// One row line of a 4-column file, and the cells it gives.
struct LineCase {
    const char* name;
    std::string line;
    std::vector<std::string> expected;
};

class RowLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(RowLine, SplitsIntoCells) {
    tasks::TaskTable g;
    taskfile::decode("4\r\n1\r\n" + GetParam().line + "\r\n", "T.TXT", g);
    ASSERT_EQ(g.colCount(), 4);
    EXPECT_EQ(g.rowCells(0), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    TaskFile, RowLine,
    ::testing::Values(
        LineCase{"New", "01\xA6X\xA6Y\xA6Z\xA6", {"01", "X", "Y", "Z"}},
        LineCase{"Short", "01\xA6X\xA6", {"01", "X", "", ""}},
        LineCase{"NoTrailingSeparator", "01\xA6X", {"01", "X", "", ""}},
        LineCase{"OldHash", "01#X#09 - Observações#", {"01", "X", "09 - Observações", ""}},
        LineCase{"HashKeptWhenNewSeparatorPresent", "01\xA6" "A#B\xA6#\xA6", {"01", "A#B", "#", ""}},
        LineCase{"NewSeparatorAfterHash", "A#B#C\xA6", {"A#B#C", "", "", ""}},
        LineCase{"ExtraFieldsIgnored", "a\xA6" "b\xA6" "c\xA6" "d\xA6" "e\xA6" "f\xA6", {"a", "b", "c", "d"}},
        LineCase{"BlanksKept", " a \xA6 \xA6", {" a ", " ", "", ""}},
        LineCase{"OnlyBlanks", "   \t ", {"", "", "", ""}},
        LineCase{"Empty", "", {"", "", "", ""}},
        LineCase{"EmptyFirstCell", "\xA6X\xA6", {"", "X", "", ""}},
        LineCase{"SeparatorsAcrossSixteenBytes", "0123456789ABCDE\xA6y\xA6z\xA6w\xA6v",
                 {"0123456789ABCDE", "y", "z", "w"}},
        LineCase{"ExtraFieldsInOneStretch", "a\xA6" "b\xA6" "c\xA6" "d\xA6" "e\xA6" "f\xA6" "g\xA6" "h\xA6" "i\xA6",
                 {"a", "b", "c", "d"}},
        LineCase{"LongLastField", "1\xA6" "2\xA6" "3\xA6" "0123456789abcdefghij", {"1", "2", "3", "0123456789abcdefghij"}},
        LineCase{"LongOldHash", "0123456789abcdef#0123456789abcdefg#x", {"0123456789abcdef", "0123456789abcdefg", "x", ""}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TaskFile, MissingLinesReadAsEmptyRows) {
    tasks::TaskTable g;
    std::string text = "35\r\n10\r\n";
    for (int r = 0; r < 6; ++r) text += "0" + std::to_string(r) + "\xA6X\xA6\r\n";
    taskfile::decode(text, "T.TXT", g);
    ASSERT_EQ(g.rowCount(), 10);
    ASSERT_EQ(g.colCount(), 35);
    EXPECT_EQ(g.cell(1, 5), "X");
    for (int r = 6; r < 10; ++r)
        for (int c = 0; c < 35; ++c) EXPECT_EQ(g.cell(c, r), "") << c << "," << r;
}

// Rows the row count leaves out: every one is loaded and counted; blank lines
// at the end are not rows. Bare line feeds end lines too.
struct Beyond {
    std::string text;
    Rows rows;
    int beyond;
};

class RowsBeyondTheCount : public ::testing::TestWithParam<Beyond> {};

TEST_P(RowsBeyondTheCount, AreLoadedAndCounted) {
    tasks::TaskTable g;
    EXPECT_EQ(taskfile::decode(GetParam().text, "T.TXT", g), GetParam().beyond);
    EXPECT_EQ(cells(g), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    TaskFile, RowsBeyondTheCount,
    ::testing::Values(Beyond{"2\n1\nA\xA6" "B\xA6\nC\xA6" "D\xA6\n", {{"A", "B"}, {"C", "D"}}, 1},
                      Beyond{"2\r\n1\r\nA\xA6\r\n\r\n \r\n", {{"A", ""}}, 0},
                      Beyond{"2\r\n1\r\nA\xA6\r\n\r\nC\xA6", {{"A", ""}, {"", ""}, {"C", ""}}, 2}));

// A file the reader must refuse, and a word its message must hold.
struct Refusal {
    const char* name;
    std::string text;
    std::string says;
};

class RefusedFile : public ::testing::TestWithParam<Refusal> {};

TEST_P(RefusedFile, LeavesGridAndFileUntouched) {
    TempFolder dir;
    const std::string path = dir.file("TARVEX_TAREFAS.TXT");
    ASSERT_FALSE(platform::replaceFile(path, GetParam().text));
    tasks::TaskTable g;
    fill(g, {{"t0", "t1"}, {"01", "KEEP"}});
    try {
        taskfile::load(g, path);
        FAIL() << "no error";
    } catch (const FileError& e) {
        const std::string what = e.what();
        EXPECT_NE(what.find(path), std::string::npos) << what;
        EXPECT_NE(what.find(GetParam().says), std::string::npos) << what;
    }
    EXPECT_EQ(cells(g), (Rows{{"t0", "t1"}, {"01", "KEEP"}}));
    EXPECT_EQ(platform::readFile(path), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    TaskFile, RefusedFile,
    ::testing::Values(
        Refusal{"TooManyColumns", "401\r\n3\r\n", "colunas"},
        Refusal{"TooManyRows", "35\r\n10001\r\n", "linhas"},
        Refusal{"HugeRowCount", "35\r\n99999999999999999999999999999\r\n", "linhas"},
        Refusal{"HugeColumnCount", "4294967331\r\n3\r\n", "colunas"},
        Refusal{"ColumnsNotANumber", "abc\r\n3\r\n", "linha 1"},
        Refusal{"RowsNotANumber", "35\r\n3x\r\n", "linha 2"},
        Refusal{"NegativeRows", "35\r\n-2\r\n", "linha 2"},
        Refusal{"NegativeColumns", "-35\r\n3\r\n", "linha 1"}),
    [](const auto& info) { return std::string(info.param.name); });

// What the reader makes of a file as spreadsheets, editors and cut-short copies
// leave it: refused with the table as it was, or loaded whole with the fault named.
struct Reading {
    const char* name;
    std::string bytes;
    bool loaded;
    std::string says;                        // in the refusal, or in a fault read past
    int col = 0, row = 0;
    std::string cell;                        // what (col, row) holds once loaded
};

class ReadAsTaskFile : public ::testing::TestWithParam<Reading> {};

const std::string GOOD = "4\r\n3\r\nTarefa\xA6Nome\xA6Tipo Tarefa\xA6Memo\xA6\r\n"
                         "01\xA6" "A\xC7\xC3O\xA6" "00 - X\xA6" "A||B\xA6\r\n02\xA6" "BETA\xA6" "09 - N\xA6M\xA6\r\n";

std::string swapped(std::string s, char from, char to) {
    std::replace(s.begin(), s.end(), from, to);
    return s;
}

TEST_P(ReadAsTaskFile, LoadsWholeOrNotAtAll) {
    tasks::TaskTable g;
    fill(g, {{"t0", "t1"}, {"01", "KEEP"}});
    const taskfile::Verdict v = taskfile::read(GetParam().bytes, "T.TXT", g);
    std::string said = v.refused;
    for (const std::string& m : v.mended) said += m;
    EXPECT_NE(said.find(GetParam().says), std::string::npos) << said;
    if (!GetParam().loaded) {
        EXPECT_FALSE(v.refused.empty());
        EXPECT_EQ(cells(g), (Rows{{"t0", "t1"}, {"01", "KEEP"}}));
        return;
    }
    EXPECT_TRUE(v.refused.empty()) << v.refused;
    EXPECT_EQ(v.sound(), GetParam().says.empty());
    EXPECT_EQ(g.cell(GetParam().col, GetParam().row), GetParam().cell);
}

INSTANTIATE_TEST_SUITE_P(
    TaskFile, ReadAsTaskFile,
    ::testing::Values(
        Reading{"Sound", GOOD, true, "", 1, 2, "BETA"},
        Reading{"OldSeparator", swapped(GOOD, '\xA6', '#'), true, "", 3, 1, "A||B"},
        Reading{"Semicolons", swapped(GOOD, '\xA6', ';'), false, "\";\"", 0, 0, ""},
        Reading{"Tabs", swapped(GOOD, '\xA6', '\t'), false, "tabula", 0, 0, ""},
        Reading{"Utf8", platform::cp1252ToUtf8(GOOD), true, "UTF-8", 1, 1, "A\xC7\xC3O"},
        Reading{"Utf8WithBom", "\xEF\xBB\xBF" + platform::cp1252ToUtf8(GOOD), true, "UTF-8", 1, 2, "BETA"},
        Reading{"Utf8Beyond1252", "2\r\n1\r\n\xE6\x97\xA5\xC2\xA6\r\n", false, "UTF-8", 0, 0, ""},
        Reading{"ColumnCountShort", "2" + GOOD.substr(1), true, "declara 2 colunas", 3, 1, "A||B"},
        Reading{"CutMidRow", GOOD.substr(0, GOOD.size() - 6), false, "incompleta", 0, 0, ""},
        Reading{"NoTitleRow", "4\r\n3\r\n" + GOOD.substr(GOOD.find("01")), true, "títulos", 1, 1, "A\xC7\xC3O"},
        Reading{"RowsMissing", "4\r\n6" + GOOD.substr(4), true, "declara 6 linhas", 1, 5, ""},
        Reading{"RowsBeyond", "4\r\n2" + GOOD.substr(4), true, "além das 2", 1, 2, "BETA"},
        Reading{"LastLineWithoutItsEnd", GOOD.substr(0, GOOD.size() - 2), true, "", 1, 2, "BETA"},
        Reading{"Empty", "", false, "vazio", 0, 0, ""},
        Reading{"CountsOnly", "35\r\n3\r\n", false, "contagem", 0, 0, ""},
        Reading{"NoTasks", "35\r\n0\r\n", true, "", 0, 0, ""},
        Reading{"CountNotANumber", "abc\r\n3\r\n" + GOOD.substr(6), false, "linha 1", 0, 0, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// Cells changed after a load (shorter, longer, copied from another cell or
// from themselves, emptied, the table reshaped) are saved as they now read.
TEST(TaskFile, EditsAfterALoadAreSavedAsTheyRead) {
    tasks::TaskTable g;
    taskfile::decode("3\r\n2\r\nAAAA\xA6" "BB\xA6" "CCCCCC\xA6\r\nDD\xA6\xA6" "FFF\xA6\r\n", "T.TXT", g);
    g.setCell(0, 0, "a");                                       // shorter, in its place
    g.setCell(1, 0, "a text longer than the loaded one");      // longer, apart
    g.setCell(2, 0, g.cell(2, 0).substr(2));                   // from itself
    g.setCell(0, 1, g.cell(1, 0));                             // from another cell
    g.setCell(1, 0, g.cell(1, 0).substr(0, 6));                // a moved cell, shorter
    g.setCell(2, 1, "");
    g.setColCount(4);
    g.setRowCount(3);
    g.setCell(3, 2, "new");
    g.setCell(3, 0, g.cell(3, 2));
    EXPECT_EQ(cells(g), (Rows{{"a", "a text", "CCCC", "new"}, {"a text longer than the loaded one", "", "", ""},
                              {"", "", "", "new"}}));
    g.setColCount(2);
    const std::string saved = taskfile::encode(g);
    EXPECT_EQ(saved, "2\r\n3\r\na\xA6" "a text\xA6\r\na text longer than the loaded one\xA6\xA6\r\n\xA6\xA6\r\n");
    tasks::TaskTable again;
    taskfile::decode(saved, "T.TXT", again);
    EXPECT_EQ(cells(again), cells(g));
}

TEST(TaskFile, LargestAllowedCountsAreRead) {
    tasks::TaskTable g;
    taskfile::decode("400\r\n3\r\n", "T.TXT", g);
    EXPECT_EQ(g.colCount(), 400);
    taskfile::decode("1\r\n" + std::to_string(taskfile::MAX_ROWS) + "\r\n", "T.TXT", g);
    EXPECT_EQ(g.rowCount(), taskfile::MAX_ROWS);
}

TEST(TaskFile, MissingFileIsAnErrorNamingIt) {
    TempFolder dir;
    tasks::TaskTable g;
    const std::string path = dir.file("NADA.TXT");
    try {
        taskfile::load(g, path);
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos);
    }
}

TEST(TaskFile, FailedReplaceKeepsWhatStoodAtThePath) {
    TempFolder dir;
    // A folder in the file's place cannot be replaced by a file.
    const std::string path = dir.file("T.TXT");
    ASSERT_TRUE(platform::createDir(path));
    ASSERT_FALSE(platform::replaceFile(path + "\\inside.txt", "old"));
    tasks::TaskTable g;
    fill(g, {{"a"}});
    EXPECT_THROW(taskfile::save(g, path), FileError);
    EXPECT_TRUE(platform::dirExists(path));
    EXPECT_EQ(platform::readFile(path + "\\inside.txt"), "old");
    // No temporary is left lying beside it.
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.fsDir())) ++entries;
    EXPECT_EQ(entries, 1);
}

}  // namespace
}  // namespace tarvex::tasks::test
