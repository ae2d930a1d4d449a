// The wait before the next task, the grid sort and the cover grid.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scheduler/agenda.h"
#include "app/cover.h"
#include "app/grid_sort.h"
#include "tasks/columns.h"

namespace tarvex::app {
using scheduler::waitSeconds;
namespace {

long long ms(int h, int m, int s, int milli = 0) { return ((h * 60LL + m) * 60 + s) * 1000 + milli; }
constexpr int kEight = 8 * 3600;

struct WaitCase {
    long long now;
    int target;
    int firstArming;
    int later;
};

TEST(WaitSeconds, ShortAndOverdueWaitsHaveAFloor) {
    const WaitCase cases[] = {
        {ms(7, 0, 0), kEight, 3600, 3600},
        {ms(7, 0, 0, 400), kEight, 3600, 3600},     // rounded up: never before its minute
        {ms(7, 59, 29), kEight, 31, 31},            // 31 s ahead: used as is
        {ms(7, 59, 28, 400), kEight, 32, 32},
        {ms(7, 59, 40), kEight, 30, 20},            // 20 s ahead: waited for, not cut to 10
        {ms(7, 59, 55), kEight, 30, 10},
        {ms(8, 0, 0), kEight, 30, 10},              // this very second
        {ms(8, 0, 0, 500), kEight, 30, 10},         // just past: overdue
        {ms(9, 0, 0), kEight, 30, 10},              // an hour overdue
        {ms(0, 0, 0), 86399, 86399, 86399},         // the longest wait of a day
    };
    for (const auto& c : cases) {
        EXPECT_EQ(waitSeconds(c.now, c.target, false), c.firstArming) << c.now;
        EXPECT_EQ(waitSeconds(c.now, c.target, true), c.later) << c.now;
    }
}

void fill(ui::Grid& g, const std::vector<std::vector<std::string>>& rows) {
    g.setColCount(static_cast<int>(rows[0].size()));
    g.setRowCount(static_cast<int>(rows.size()));
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size(); ++c) g.setCell(static_cast<int>(c), static_cast<int>(r), rows[r][c]);
}

std::vector<std::vector<std::string>> rows(const ui::Grid& g) {
    std::vector<std::vector<std::string>> out;
    for (int r = 0; r < g.rowCount(); ++r) out.push_back(g.rowCells(r));
    return out;
}

using Rows = std::vector<std::vector<std::string>>;

TEST(GridSort, ByKeyThenWholeRowWithBlankRowsClosingUp) {
    ui::Grid g("G");
    fill(g, {{"T", "Hora", "Nome"},
                       {"05", "08:00", "E"},
                       {"", "", ""},
                       {"03", "08:00", "C"},
                       {"01", "07:30", "a"},
                       {" ", " ", " "},
                       {"02", "10:00", "B"}});
    sortGridRows(g, 1, 1, "A", 0);
    EXPECT_EQ(rows(g), (Rows{{"T", "Hora", "Nome"},
                             {"01", "07:30", "a"},
                             {"03", "08:00", "C"},
                             {"05", "08:00", "E"},
                             {"02", "10:00", "B"},
                             {"", "", ""},
                             {"", "", ""}}));
}

TEST(GridSort, DescendingIgnoringCaseAndLeavingTheTailAlone) {
    ui::Grid g("G");
    fill(g, {{"k"}, {"b"}, {"C"}, {"a"}, {"Á"}, {"tail"}});
    sortGridRows(g, 0, 1, "D", 1);
    EXPECT_EQ(rows(g), (Rows{{"k"}, {"C"}, {"b"}, {"Á"}, {"a"}, {"tail"}}));
}

TEST(GridSort, CellsMoveWholeWhateverTheyHold) {
    ui::Grid g("G");
    fill(g, {{"t", "t"}, {"09//limite//x", "a\r\nb"}, {"08", "//limite//"}});
    sortGridRows(g, 0, 1, "A", 0);
    EXPECT_EQ(rows(g), (Rows{{"t", "t"}, {"08", "//limite//"}, {"09//limite//x", "a\r\nb"}}));
}

TEST(GridSort, EmptyRangeChangesNothing) {
    ui::Grid g("G");
    fill(g, {{"t"}, {"b"}});
    sortGridRows(g, 0, 1, "A", 1);
    sortGridRows(g, 0, 5, "A", 0);
    EXPECT_EQ(rows(g), (Rows{{"t"}, {"b"}}));
}

TEST(CoverGrid, ListsDueTasksByHourThenNumberAndEndsWithAnEmptyRow) {
    tasks::TaskTable tasks;
    ui::Grid cover("GRID_C");
    tasks.setColCount(col::COUNT);
    tasks.setRowCount(101);
    auto set = [&](int row, const char* nome, const char* hora, const char* sn) {
        tasks.setCell(col::NOME, row, nome);
        tasks.setCell(col::HORA, row, hora);
        tasks.setCell(col::SN_EXE, row, sn);
    };
    for (int r = 1; r < 101; ++r) set(r, "", "", "N");
    set(5, " QUINTA ", "08:00", "S");
    set(3, "TERCEIRA", " 08:00 ", "S");
    set(4, "NAO", "06:00", "N");
    set(100, "CENTESIMA", "07:15", "S");
    tasks.setCell(col::ULTIMA_EXEC, 3, "08/12/26 08:01:00");
    tasks.setCell(col::ULTIMA_EXEC, 5, "08/12/26 08:01:00");
    tasks.setCell(col::ULTIMO_ERRO, 5, "09/12 08:00: Unidade E: não encontrada");
    showCover(tasks, cover);
    EXPECT_EQ(rows(cover), (Rows{{"Tarefa", "Hora", "Nome", "Último resultado"},
                                 {"00", "07:15", "CENTESIMA", ""},
                                 {"03", "08:00", "TERCEIRA", "OK 08/12/26 08:01:00"},
                                 {"05", "08:00", "QUINTA", "ERRO 09/12 08:00: Unidade E: não encontrada"},
                                 {"", "", "", ""}}));
    EXPECT_EQ(cover.colWidth(0), 45);
    EXPECT_EQ(cover.colWidth(1), 50);

    for (int r = 1; r < 101; ++r) tasks.setCell(col::SN_EXE, r, "N");
    showCover(tasks, cover);
    EXPECT_EQ(rows(cover), (Rows{{"Tarefa", "Hora", "Nome", "Último resultado"}, {"", "", "", ""}}));
}

}  // namespace
}  // namespace tarvex::app
