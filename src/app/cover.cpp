#include "app/cover.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <tuple>
#include <vector>

#include "lib/routines.h"
#include "app/grid_sort.h"
#include "tasks/columns.h"

namespace tarvex::app {

namespace {

// "OK" with the last stamp, or the last failure; nothing for a task never run.
std::string lastResult(const tasks::TaskTable& table, int row) {
    const std::string failure = trim(table.cell(col::ULTIMO_ERRO, row));
    if (!failure.empty()) return "ERRO " + failure;
    const std::string stamp = trim(table.cell(col::ULTIMA_EXEC, row));
    return stamp.empty() ? "" : "OK " + stamp;
}

}  // namespace

// The name narrower than it was, so the last result shows without scrolling.
void showCover(const tasks::TaskTable& table, ui::Grid& cover) {
    struct Line {
        std::array<std::string, 4> cells;
        NoCaseKey hour, whole;   // the whole row (cells and line breaks) breaks ties
    };
    std::vector<Line> lines;
    std::string whole;
    for (int row = 1; row < table.rowCount(); ++row) {
        if (table.cell(col::SN_EXE, row) == "N") continue;
        Line& line = lines.emplace_back();
        line.cells = {zeroPad(row, 2), trim(table.cell(col::HORA, row)), trim(table.cell(col::NOME, row)),
                      lastResult(table, row)};
        whole.clear();
        for (const auto& c : line.cells) whole.append(c).append("\r\n");
        line.hour = noCaseKey(line.cells[1]);
        line.whole = noCaseKey(whole);
    }
    // By hour, as the grid's own sort orders a column; built aside and shown in
    // one step. The lines stay put: only their numbers move.
    std::vector<std::uint32_t> order(lines.size());
    for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        return std::tie(lines[a].hour, lines[a].whole) < std::tie(lines[b].hour, lines[b].whole);
    });
    std::vector<std::string> cells{"Tarefa", "Hora", "Nome", "Último resultado"};
    cells.reserve((lines.size() + 2) * 4);
    for (const std::uint32_t i : order)
        for (auto& c : lines[i].cells) cells.push_back(std::move(c));
    cells.resize(cells.size() + 4);   // the grid ends with an empty row
    cover.assign(4, static_cast<int>(lines.size()) + 2, cells);
    const int widths[] = {45, 50, 150, 170};
    for (int c = 0; c < 4; ++c) cover.setColWidth(c, widths[c]);
}

void markWaiting(const tasks::TaskTable& table, ui::Grid& cover, const WaitOf& waitOf) {
    for (int r = 1; r < cover.rowCount(); ++r) {
        if (trim(cover.cell(0, r)).empty()) continue;   // the empty last row
        const std::string wait = waitOf(table.idAt(static_cast<int>(toInt(cover.cell(0, r)))));
        if (!wait.empty()) cover.setCell(3, r, wait);
    }
}

std::string lateText(const std::vector<std::string>& late) {
    std::string text;
    for (const std::string& line : late) text += (text.empty() ? "" : "\r\n") + line;
    return text;
}

}  // namespace tarvex::app
