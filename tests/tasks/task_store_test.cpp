#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>

#include "lib/errors.h"
#include "platform/files.h"
#include "tasks/task_file.h"
#include "platform/operator.h"
#include "tasks/task_store.h"
#include "tasks/task_types.h"
#include "lib/routines.h"
#include "task_temp.h"
#include "testkit/disk_faults.h"
#include "testkit/operator.h"

namespace tarvex::tasks::test {
namespace {

struct Store {
    TempFolder dir;
    tasks::TaskTable grid;
    TaskStore store{grid, dir.folder(), [](const std::string& text) { platform::op().message("TARVEX", text); }};

    void writeTaskFile(const std::string& bytes) {
        ASSERT_FALSE(platform::replaceFile(store.taskFilePath(), bytes));
    }
    std::string taskFile() const { return platform::readFile(store.taskFilePath()).value_or("<none>"); }
};

// The copies kept aside beside the task file.
std::vector<std::string> asideCopies(const Store& s) {
    std::vector<std::string> copies;
    for (const auto& e : std::filesystem::directory_iterator(s.dir.fsDir()))
        if (e.path().filename().string().rfind("TARVEX_TAREFAS.TXT.ilegivel-", 0) == 0)
            copies.push_back(platform::fromFsPath(e.path()));
    return copies;
}

const std::string FRESH_FILE =
    "35\r\n3\r\n"
    "Tarefa\xA6Nome\xA6Tipo Tarefa\xA6Periodo\xA6Ultima Exec\xA6Hora\xA6Mensagem\xA6Ver Exec.\xA6Pause\xA6" +
    seps(6) +
    "Dir Origem\xA6" "Dir Destino\xA6PEN\xA6" "Extens\xE3o\xA6" "Arquivo\xA6" "Execut\xE1vel\xA6"
    "FUN\xC7\xD5" "ES\xA6" "ARQDEST\xA6" "EXCLUIR\xA6" +
    seps(4) + "PASTA EXE\xA6S/N EXE\xA6Memo\xA6" + seps(4) + "\r\n" +
    "01\xA6" + seps(34) + "\r\n" + "02\xA6" + seps(34) + "\r\n";

TEST(TaskStore, FreshTableIsSavedByteForByte) {
    Store s;
    s.store.load();
    s.store.save();
    EXPECT_EQ(s.taskFile(), FRESH_FILE);
    EXPECT_EQ(s.store.taskFilePath(), s.dir.folder() + "TARVEX_TAREFAS.TXT");
}

// Task files that the load action turns into the fresh table.
class FreshLoad : public ::testing::TestWithParam<std::string> {};

TEST_P(FreshLoad, GivesTitlesNumbersAndTwoEmptyTasks) {
    Store s;
    if (GetParam() != "<missing>") s.writeTaskFile(GetParam());
    s.store.load();
    EXPECT_EQ(s.grid.colCount(), 35);
    EXPECT_EQ(s.grid.rowCount(), 3);
    EXPECT_EQ(s.grid.cell(col::NOME, 0), "Nome");
    EXPECT_EQ(s.grid.cell(col::MEMO, 0), "Memo");
    EXPECT_EQ(s.grid.cell(0, 1), "01");
    EXPECT_EQ(s.grid.cell(0, 2), "02");
    for (int r = 1; r < 3; ++r)
        for (int c = 1; c < 35; ++c) EXPECT_EQ(s.grid.cell(c, r), "");
    if (GetParam() == "<missing>") {
        EXPECT_FALSE(platform::fileExists(s.store.taskFilePath()));
    }
    // Nothing held or kept aside: the next save writes the list.
    s.store.save();
    EXPECT_EQ(s.taskFile(), FRESH_FILE);
    EXPECT_TRUE(asideCopies(s).empty());
}

// The last: a list with no rows, as its two count lines say.
INSTANTIATE_TEST_SUITE_P(TaskStore, FreshLoad,
                         ::testing::Values("<missing>", FRESH_FILE, "35\r\n0\r\n"));

TEST(TaskStore, NarrowFileIsWidenedKeepingItsCells) {
    Store s;
    s.writeTaskFile("3\r\n4\r\nx\xA6y\xA6z\xA6\r\n07\xA6" "ALFA\xA6" "09 - Observa\xE7\xF5" "es\xA6\r\n");
    s.store.load();
    EXPECT_EQ(s.grid.colCount(), 35);
    EXPECT_EQ(s.grid.rowCount(), 4);
    EXPECT_EQ(s.grid.cell(col::NOME, 1), "ALFA");
    EXPECT_EQ(typeOf(s.grid.cell(col::TIPO, 1)).type, TaskType::Notes);
    EXPECT_EQ(s.grid.cell(col::MEMO, 0), "Memo");
    EXPECT_EQ(s.grid.cell(0, 3), "03");
    s.store.save();
    EXPECT_EQ(s.taskFile().substr(0, 7), "35\r\n4\r\n");
}

TEST(TaskStore, LoadRewritesTitlesAndNumbersButKeepsUntitledHeaderCells) {
    Store s;
    std::string title = "A\xA6" "B\xA6" + seps(7) + "KEEP9\xA6" + seps(25);
    s.writeTaskFile("35\r\n3\r\n" + title + "\r\n77\xA6" "ONE\xA6\r\n\xA6TWO\xA6\r\n");
    s.store.load();
    EXPECT_EQ(s.grid.cell(0, 0), "Tarefa");
    EXPECT_EQ(s.grid.cell(1, 0), "Nome");
    EXPECT_EQ(s.grid.cell(9, 0), "KEEP9");
    EXPECT_EQ(s.grid.cell(0, 1), "01");
    EXPECT_EQ(s.grid.cell(0, 2), "02");
    EXPECT_EQ(s.grid.cell(1, 2), "TWO");
}

TEST(TaskStore, SaveAndReloadKeepEveryCellAndEmptyRows) {
    Store s;
    s.store.load();
    s.grid.setRowCount(6);
    numberRows(s.grid);
    s.grid.setCell(col::NOME, 1, "C\xD3PIA #1");
    s.grid.setCell(col::TIPO, 1, TYPE_LABELS[0]);
    s.grid.setCell(col::PERIODO, 1, PERIOD_LABELS[19]);
    s.grid.setCell(col::HORA, 1, "  :  ");
    s.grid.setCell(col::MEMO, 1, linesToCell("CHCP 1252 >NUL\r\nXCOPY A  ===>>  B"));
    s.grid.setCell(34, 5, " ");
    s.store.save();
    const std::string saved = s.taskFile();

    Store t;
    t.writeTaskFile(saved);
    t.store.load();
    ASSERT_EQ(t.grid.rowCount(), 6);
    for (int r = 0; r < 6; ++r) EXPECT_EQ(t.grid.rowCells(r), s.grid.rowCells(r)) << r;
    t.store.save();
    EXPECT_EQ(t.taskFile(), saved);
}

TEST(TaskStore, RowsBeyondTheCountAreLoadedCopiedAsideAndTold) {
    testkit::ScriptedOperator op;
    testkit::OperatorScope scope(op);
    Store s;
    const std::string damaged = FRESH_FILE + "03\xA6TRES\xA6\r\n04\xA6QUATRO\xA6\r\n";   // count still 3
    s.writeTaskFile(damaged);
    s.store.load();
    ASSERT_EQ(s.grid.rowCount(), 5);
    EXPECT_EQ(s.grid.cell(col::NOME, 4), "QUATRO");
    const auto copies = asideCopies(s);
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(platform::readFile(copies[0]), damaged);
    ASSERT_EQ(op.messages().size(), 1u);
    EXPECT_NE(op.messages()[0].find(copies[0]), std::string::npos) << op.messages()[0];

    s.store.save();
    EXPECT_EQ(s.taskFile().substr(0, 7), "35\r\n5\r\n");
    s.store.load();   // sound now: nothing more to tell
    EXPECT_EQ(op.messages().size(), 1u);
}

// What another program does to the task file between the load and a save.
struct OtherProgram {
    const char* name;
    bool fileAtLoad;
    std::function<void(Store&)> act;
    std::string keptAside;   // what the copy must hold; empty: no copy
};

class ChangedOnDisk : public ::testing::TestWithParam<OtherProgram> {};

TEST_P(ChangedOnDisk, IsCopiedAsideAndToldBeforeTheSave) {
    testkit::ScriptedOperator op;
    testkit::OperatorScope scope(op);
    Store s;
    if (GetParam().fileAtLoad) s.writeTaskFile(FRESH_FILE);
    s.store.load();
    GetParam().act(s);
    s.grid.setCell(col::NOME, 1, "NOSSA");
    s.store.save();
    EXPECT_NE(s.taskFile().find("NOSSA"), std::string::npos);
    const auto copies = asideCopies(s);
    EXPECT_EQ(copies.size(), GetParam().keptAside.empty() ? 0u : 1u);
    EXPECT_EQ(op.messages().size(), copies.size());
    if (!copies.empty()) {
        EXPECT_EQ(platform::readFile(copies[0]), GetParam().keptAside);
    }
    s.store.save();   // its own save is no change
    EXPECT_EQ(op.messages().size(), copies.size());
}

const std::string OTHERS = "35\r\n2\r\n\r\n01\xA6" "DELES\xA6\r\n";

INSTANTIATE_TEST_SUITE_P(
    TaskStore, ChangedOnDisk,
    ::testing::Values(
        OtherProgram{"nothing", true, [](Store&) {}, ""},
        OtherProgram{"rewrites", true, [](Store& s) { s.writeTaskFile(OTHERS); }, OTHERS},
        OtherProgram{"leaves_what_tarvex_cannot_read", true, [](Store& s) { s.writeTaskFile("abc"); }, "abc"},
        OtherProgram{"creates", false, [](Store& s) { s.writeTaskFile(OTHERS); }, OTHERS},
        OtherProgram{"touches", true,
                     [](Store& s) {
                         const auto p = platform::fsPath(s.store.taskFilePath());
                         std::filesystem::last_write_time(p, std::filesystem::last_write_time(p) + std::chrono::seconds(10));
                     },
                     ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TaskStore, AChangeThatCannotBeCopiedAsideIsNotWrittenOver) {
    testkit::ScriptedOperator op;
    testkit::OperatorScope scope(op);
    Store s;
    s.store.load();
    s.writeTaskFile(OTHERS);
    testkit::setOpenHook([](const std::string& p) { return p.find(".ilegivel-") == std::string::npos; });
    EXPECT_THROW(s.store.save(), FileError);
    testkit::setOpenHook(nullptr);
    EXPECT_EQ(s.taskFile(), OTHERS);
}

TEST(TaskStore, ReloadDiscardsUnsavedChanges) {
    Store s;
    s.store.load();
    s.store.save();
    s.grid.setCell(col::NOME, 1, "NAO SALVO");
    s.grid.setRowCount(9);
    s.store.load();
    EXPECT_EQ(s.grid.rowCount(), 3);
    EXPECT_EQ(s.grid.cell(col::NOME, 1), "");
}

TEST(TaskStore, FailedLoadLeavesTableAsItWas) {
    Store s;
    s.store.load();
    s.grid.setCell(col::NOME, 1, "EM MEMORIA");
    s.writeTaskFile("35\r\n500000\r\n");
    EXPECT_THROW(s.store.load(), FileError);
    EXPECT_EQ(s.grid.rowCount(), 3);
    EXPECT_EQ(s.grid.cell(col::NOME, 1), "EM MEMORIA");
    EXPECT_EQ(s.taskFile(), "35\r\n500000\r\n");
}

// A write that cannot even start, and one refused at the file as a locked file is.
class FailedSave : public ::testing::TestWithParam<bool> {};

TEST_P(FailedSave, LeavesTableAndOldFile) {
    Store s;
    s.store.load();
    s.store.save();
    const std::string oldPath = s.store.taskFilePath();
    s.grid.setCell(col::NOME, 1, "NOVO");
    if (GetParam()) s.store.setFolder(s.dir.folder() + "SUMIU\\");
    else testkit::setOpenHook([](const std::string&) { return false; });
    EXPECT_THROW(s.store.save(), FileError);
    testkit::setOpenHook(nullptr);
    EXPECT_EQ(s.grid.cell(col::NOME, 1), "NOVO");
    EXPECT_EQ(s.grid.rowCount(), 3);
    EXPECT_EQ(platform::readFile(oldPath), FRESH_FILE);
    s.store.setFolder(s.dir.folder());
    s.store.save();
    EXPECT_NE(s.taskFile().find("NOVO"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(TaskStore, FailedSave, ::testing::Bool());

TEST(Numera, RowNumbersHaveTwoDigits) {
    tasks::TaskTable g;
    g.setColCount(2);
    g.setRowCount(102);
    g.setCell(0, 0, "Tarefa");
    numberRows(g);
    EXPECT_EQ(g.cell(0, 0), "Tarefa");
    EXPECT_EQ(g.cell(0, 1), "01");
    EXPECT_EQ(g.cell(0, 99), "99");
    EXPECT_EQ(g.cell(0, 100), "00");
    EXPECT_EQ(g.cell(0, 101), "01");
}

struct MemoCase {
    std::string typed, stored, shown;
};

class MemoText : public ::testing::TestWithParam<MemoCase> {};

TEST_P(MemoText, EncodesForOneCellAndBack) {
    EXPECT_EQ(linesToCell(GetParam().typed), GetParam().stored);
    EXPECT_EQ(cellToLines(GetParam().stored), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    TaskStore, MemoText,
    ::testing::Values(MemoCase{"A\r\nB\nC", "A||B||C", "A\r\nB\r\nC"},
                      MemoCase{"x\xA6y\r\n\xA6", "xy||", "xy\r\n"},
                      MemoCase{"a||b", "a||b", "a\r\nb"},
                      MemoCase{"", "", ""},
                      MemoCase{std::string(3000, 'm') + "\r\n" + std::string(3000, 'n'),
                               std::string(3000, 'm') + "||" + std::string(3000, 'n'),
                               std::string(3000, 'm') + "\r\n" + std::string(3000, 'n')}));

// An empty type is no task; a code no descriptor has is scheduled as before, running nothing.
TEST(Codes, TypeIsFoundByTheCellsFirstTwoCharacters) {
    EXPECT_EQ(typeOf("06 - WINZIP").type, TaskType::Zip);
    EXPECT_EQ(typeOf(" 7 - old").type, TaskType::None);
    EXPECT_EQ(typeOf("07").type, TaskType::Backup);
    EXPECT_FALSE(typeOf(" ").scheduled);
    EXPECT_FALSE(typeOf("09 - Observa\xE7\xF5" "es").scheduled);
    EXPECT_TRUE(typeOf("5").scheduled);
    EXPECT_EQ(typeOf("5").run, RunKind::Nothing);
    EXPECT_EQ(pageOf("10 - Mensagem"), "");
    // Code 08 stored bare (before it was taken) keeps doing nothing, on the blank page.
    for (const char* bare : {"08 - ", "08 -", "08"}) {
        EXPECT_EQ(typeOf(bare).type, TaskType::Unused) << bare;
        EXPECT_EQ(typeOf(bare).run, RunKind::Nothing) << bare;
        EXPECT_EQ(pageOf(bare), "T99") << bare;
    }
    EXPECT_EQ(typeOf("08 - Enviar para Servidor").run, RunKind::Send);
    EXPECT_EQ(pageOf("08 - Enviar para Servidor"), "T08");
    tasks::TaskTable g;
    g.setColCount(35);
    g.setRowCount(2);
    g.setCell(col::PERIODO, 1, " 1 - x");
    EXPECT_EQ(periodCode(g, 1), "1");
    EXPECT_EQ(periodCode(g, 99), "");
}

TEST(Codes, ListsAreInCodeOrder) {
    for (size_t i = 0; i < TYPE_LABELS.size(); ++i)
        EXPECT_EQ(TYPE_LABELS[i].substr(0, 5), (i < 10 ? "0" : "") + std::to_string(i) + " - ");
    for (size_t i = 0; i < PERIOD_LABELS.size(); ++i)
        EXPECT_EQ(PERIOD_LABELS[i].substr(0, 4), (i < 10 ? "0" : "") + std::to_string(i) + " -");
    EXPECT_EQ(PERIOD_LABELS[19], "19 -  ");
    EXPECT_EQ(TYPE_LABELS[1], "01 - Copiar Diret\xF3rio");
}

}  // namespace
}  // namespace tarvex::tasks::test

namespace tarvex::tasks::test {
namespace {

// Reading the file again keeps each task's identity, also when another program
// reordered the rows; a row that now holds another task is a new one.
TEST(TaskIdentity, SurvivesReloadsOfTheSameTasks) {
    Store s;
    s.store.load();
    s.grid.setRowCount(4);
    for (int r = 1; r <= 3; ++r) s.grid.setCell(col::NOME, r, std::string(1, static_cast<char>('A' + r - 1)));
    s.store.save();
    const TaskId a = s.grid.idAt(1), b = s.grid.idAt(2), c = s.grid.idAt(3);
    s.store.load();
    EXPECT_EQ(std::vector<TaskId>({s.grid.idAt(1), s.grid.idAt(2), s.grid.idAt(3)}), std::vector<TaskId>({a, b, c}));

    const std::string file = s.taskFile();
    std::string swapped = file;
    swapped.replace(swapped.find("\xA6" "A\xA6"), 3, "\xA6" "X\xA6");
    swapped.replace(swapped.find("\xA6" "C\xA6"), 3, "\xA6" "A\xA6");
    swapped.replace(swapped.find("\xA6" "X\xA6"), 3, "\xA6" "C\xA6");
    s.writeTaskFile(swapped);
    s.store.load();
    EXPECT_EQ(s.grid.rowOf(a), 3);
    EXPECT_EQ(s.grid.rowOf(c), 1);
    EXPECT_EQ(s.grid.rowOf(b), 2);

    s.grid.clearRow(2);
    EXPECT_EQ(s.grid.rowOf(b), 0);
    s.grid.swapRows(1, 3);
    EXPECT_EQ(s.grid.rowOf(a), 1);
}

}  // namespace
}  // namespace tarvex::tasks::test
