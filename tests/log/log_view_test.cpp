#include "app/log_page.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "lib/errors.h"
#include "testkit/clock.h"
#include "testkit/services.h"
#include "testkit/tempdir.h"

namespace tarvex::log {
namespace {

using app::LogPage;

using testkit::ClockScope;

const char* const kFile =
    "06/12/26#00#INI#Start TARVEX#08:00:05#08:00:05#00:00:00###\r\n"
    "\r\n"
    "   \r\n"
    "06/12/26#03#EXE#BACKUP#08:10:00#08:12:15#00:02:15#00 - XCOPY - Copia Arq.#01 - Todos os Dias#\r\n"
    "06/12/26#03#ERR#***   ERRO   ***   BACKUP#08:10:00#08:10:01#00:00:01#T#P#Unidade E: não encontrada#\r\n"
    "06/12/26#00#TER#Close TARVEX#18:00:00#18:00:00#00:00:00#T#P#\r\n"
    "06/12/26#00#XYZ#curta\r\n"
    "06/12/26#00#INI#Start TARVEX#19:00:00#19:00:00#00:00:00#T#P#\r\n";

class LogViewTest : public ::testing::Test {
protected:
    testkit::TempDir dir;
    ClockScope clock{testkit::at(2026, 12, 6, 20, 0, 0)};
    std::string folder = dir.folder();
    RunContext ctx;
    Log log{folder, ctx};
    ui::Grid grid{"GRID_LOG"};
    ui::Memo memo{"E_MEMO_LOG"};
    ui::CheckBox verInicio{"CB_VER_INICIO"}, verTermino{"CB_VER_TERMINO"};
    testkit::RecordingShell shell;
    LogPage view{{grid, memo, verInicio, verTermino}, log, ctx, shell, [](const std::string&) { return true; }};

    std::vector<std::string> column(int col) const {
        std::vector<std::string> out;
        for (int r = 1; r < grid.rowCount(); ++r) out.emplace_back(grid.cell(col, r));
        return out;
    }
};

TEST_F(LogViewTest, BuildsTitledGridEndingWithAnEmptyRow) {
    dir.write("LOG_TIMER.TXT", kFile);
    verInicio.setChecked(true);
    verTermino.setChecked(true);
    view.reloadLog();
    EXPECT_EQ(memo.text(), kFile);
    EXPECT_EQ(grid.colCount(), 10);
    EXPECT_EQ(grid.rowCells(0), (std::vector<std::string>{"Data", "Item", "Oper", "Início", "Término",
                                                          "Tempo", "TEXTO", "Tipo", "Período", "Motivo"}));
    EXPECT_EQ(grid.colWidth(6), 300);
    EXPECT_EQ(grid.colWidth(8), 130);
    EXPECT_EQ(grid.fixedCols, 0);
    ASSERT_EQ(grid.rowCount(), 1 + 6 + 1);
    EXPECT_EQ(grid.rowCells(2), (std::vector<std::string>{"06/12/26", "03", "Execução", "08:10:00", "08:12:15",
                                                          "00:02:15", "BACKUP", "00 - XCOPY - Copia Arq.",
                                                          "01 - Todos os Dias", ""}));
    // A failure's reason is its last field, shown in red.
    EXPECT_EQ(grid.cell(9, 3), "Unidade E: não encontrada");
    EXPECT_TRUE(grid.alertRow && grid.alertRow(3) && !grid.alertRow(2));
    // An unknown code shows no operation; missing fields stay empty.
    EXPECT_EQ(grid.rowCells(5), (std::vector<std::string>{"06/12/26", "00", "", "", "", "", "curta", "", "", ""}));
    EXPECT_EQ(grid.rowCells(7), std::vector<std::string>(10));
    EXPECT_EQ(grid.row(), 7);   // moved to the end
}

struct FilterCase { bool inicio, termino; std::vector<std::string> opers; };
class LogFilterTest : public LogViewTest, public ::testing::WithParamInterface<FilterCase> {};

TEST_P(LogFilterTest, StartAndCloseEntriesFollowTheCheckBoxes) {
    dir.write("LOG_TIMER.TXT", kFile);
    verInicio.setChecked(GetParam().inicio);
    verTermino.setChecked(GetParam().termino);
    view.reloadLog();
    auto opers = column(2);
    opers.pop_back();   // the final empty row
    EXPECT_EQ(opers, GetParam().opers);
}

INSTANTIATE_TEST_SUITE_P(
    Filters, LogFilterTest,
    ::testing::Values(FilterCase{false, false, {"Execução", "Erro", ""}},
                      FilterCase{true, false, {"Início", "Execução", "Erro", "", "Início"}},
                      FilterCase{false, true, {"Execução", "Erro", "Término", ""}},
                      FilterCase{true, true, {"Início", "Execução", "Erro", "Término", "", "Início"}}));

TEST_F(LogViewTest, MissingFileIsAnErrorThatLeavesTheViewAsItWas) {
    dir.write("LOG_TIMER.TXT", kFile);
    view.reloadLog();
    const int rows = grid.rowCount();
    std::filesystem::remove(dir.path() / "LOG_TIMER.TXT");
    try {
        view.reloadLog();
        FAIL() << "no error";
    } catch (const FileError& e) {   // the file and the system's own reason after it
        const std::string text = e.what();
        const size_t at = text.find("LOG_TIMER.TXT - ");
        ASSERT_NE(at, std::string::npos) << text;
        EXPECT_GT(text.size(), at + 16) << text;
    }
    EXPECT_EQ(grid.rowCount(), rows);
    EXPECT_EQ(memo.text(), kFile);
}

TEST_F(LogViewTest, ResetLeavesOnlyTheResetEntry) {
    dir.write("LOG_TIMER.TXT", kFile);
    ctx.HORA_INICIO = "01:00:00";
    ctx.TIPO_TAREFA = "10 - Mensagem";
    ctx.PERIODO_TAREFA = "20 - Chamada Manual";
    view.clearLog();
    EXPECT_EQ(dir.read("LOG_TIMER.TXT"),
              "06/12/26#00#ZER#LOG ZERADO#20:00:00#20:00:00#00:00:00###\r\n");
    ASSERT_EQ(grid.rowCount(), 3);
    EXPECT_EQ(grid.cell(2, 1), "Zera LOG");
    EXPECT_EQ(grid.cell(5, 1), "00:00:00");
}

TEST_F(LogViewTest, ResetWithoutAFileStartsOne) {
    view.clearLog();
    EXPECT_EQ(grid.rowCount(), 3);
}

TEST_F(LogViewTest, OpenInEditorOnlyWhenTheFileExists) {
    view.openLogFile();
    EXPECT_TRUE(shell.opens.empty());
    dir.write("LOG_TIMER.TXT", kFile);
    view.logoEditClicked();
    ASSERT_EQ(shell.opens.size(), 1u);
    EXPECT_EQ(shell.opens[0].file, folder + "LOG_TIMER.TXT");
    EXPECT_EQ(shell.opens[0].folder, folder);
    EXPECT_EQ(shell.opens[0].show, 1);
}

struct TailCase { const char* text; int lines; const char* tail; };
class LogTailTest : public ::testing::TestWithParam<TailCase> {};

TEST_P(LogTailTest, KeepsTheLastLinesAndSaysHowManyTheGridHasBesides) {
    EXPECT_EQ(logTail(GetParam().text, GetParam().lines), GetParam().tail);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LogTailTest,
    ::testing::Values(TailCase{"", 2, ""}, TailCase{"a\r\nb\r\n", 2, "a\r\nb\r\n"}, TailCase{"a\r\nb", 2, "a\r\nb"},
                      TailCase{"a\r\nb\r\nc\r\n", 2, "(... 1 linhas anteriores: a grade do LOG mostra todas)\r\nb\r\nc\r\n"},
                      TailCase{"a\r\nb\r\nc\r\nd", 1, "(... 3 linhas anteriores: a grade do LOG mostra todas)\r\nd"}));

// Logs whose entries spread over many blocks, with what can sit between them:
// long runs of blanks, a line longer than a row shows, CR-only line ends.
std::string entry(int i, const char* code) {
    return "06/12/26#" + std::to_string(i % 100) + "#" + code + "#TAREFA " + std::to_string(i) + "#08:00:00#\r\n";
}
std::string manyEntries(int n, const std::string& every500th) {
    static const char* const codes[] = {"EXE", "INI", "ERR", "TER", "ZER"};
    std::string text;
    for (int i = 0; i < n; ++i) text += (i % 500 == 499 ? every500th : "") + entry(i, codes[i % 5]);
    return text;
}
struct BigCase { const char* name; std::string text; };
class LogFileRowsTest : public ::testing::TestWithParam<BigCase> {};

// Read back from the file through blocks, in any order, the rows are those the
// text in memory gives, with either filter.
TEST_P(LogFileRowsTest, ReadsBackTheRowsTheWholeTextGives) {
    testkit::TempDir dir;
    dir.write("LOG_TIMER.TXT", GetParam().text);
    for (const bool filter : {false, true}) {
        const LogRows whole(GetParam().text, !filter, !filter);
        LogFileRows file(dir.folder() + "LOG_TIMER.TXT", GetParam().text.size(), !filter, !filter);
        file.index(std::stop_token());
        ASSERT_TRUE(file.finished());
        ASSERT_EQ(file.rows(), whole.rows());
        EXPECT_EQ(file.lineBreaks(), std::count(GetParam().text.begin(), GetParam().text.end(), '\n'));
        std::vector<std::string> got, want;
        for (int i = 0, r = whole.rows() - 1; i < whole.rows(); ++i, r = (r + 7919) % whole.rows()) {
            file.row(r, got);
            whole.row(r, want);
            ASSERT_EQ(got, want) << "row " << r;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Logs, LogFileRowsTest,
    ::testing::Values(BigCase{"Plain", manyEntries(5000, "")},
                      BigCase{"BlankRuns", manyEntries(3000, std::string(1500000, '\0') + "\r\n   ")},
                      BigCase{"LongLines", manyEntries(3000, std::string(70000, 'x') + std::string(2000000, ' ') + "\n")},
                      BigCase{"CarriageReturnsOnly", [] {
                                  std::string t = manyEntries(2500, "");
                                  std::replace(t.begin(), t.end(), '\n', '\r');
                                  return t;
                              }()}),
    [](const auto& info) { return info.param.name; });

// The raw-lines box holds the end of the file, bounded in bytes however long the
// lines are, and says how many lines come before once they are counted.
TEST_F(LogViewTest, RawLinesAreTheEndBoundedInBytes) {
    std::string text = manyEntries(200, "") + std::string(3000000, '\0') + "\r\n";
    for (int i = 0; i < 5000; ++i) text += "06/12/26#" + std::to_string(i) + "#EXE#" + std::string(400, 'y') + "#\r\n";
    dir.write("LOG_TIMER.TXT", text);
    view.reloadLog();
    const std::string shown = memo.text();
    EXPECT_LE(shown.size(), kMemoLogBytes + 100);
    const size_t lines = std::count(shown.begin(), shown.end(), '\n');
    EXPECT_EQ(shown, tailNote(201 + 5000 - (lines - 1)) + text.substr(text.size() - (shown.size() - shown.find('\n') - 1)));
    EXPECT_EQ(grid.rowCount(), 200 * 3 / 5 + 5000 + 2);   // both boxes unchecked: no INI, no TER
    EXPECT_EQ(grid.cell(1, grid.rowCount() - 2), "4999");
}

TEST(LogTable, TextWithHashShiftsLaterFields) {
    LogTable t = buildLogTable("06/12/26#01#EXE#A#B#08:00:00#08:00:01#00:00:01#T#P#", true, true);
    ASSERT_EQ(t.rows, 3);
    EXPECT_EQ(t.cells[kLogColumns + 6], "A");
    EXPECT_EQ(t.cells[kLogColumns + 3], "B");   // Inicio shows the text's second half
    EXPECT_EQ(t.cells[kLogColumns + 8], "T");   // Periodo shows the type
}

TEST(LogTable, LineEndsOfAnyKindAndNoFinalBreak) {
    LogTable t = buildLogTable("a#1#EXE#x\nb#2#ERR#y\rc#3#ZER#z", true, true);
    EXPECT_EQ(t.rows, 5);
    EXPECT_EQ(t.cells[kLogColumns * 3 + 2], "Zera LOG");
}

}  // namespace
}  // namespace tarvex::log
