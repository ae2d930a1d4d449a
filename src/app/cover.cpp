#include "app/cover.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <tuple>
#include <vector>

#include "lib/routines.h"
#include "lib/text1252.h"
#include "app/grid_sort.h"
#include "tasks/columns.h"

namespace tarvex::app {

namespace {

// The cover's rows written into one text, each cell a place in it, with the
// keys the grid's own sort would make of them beside: the cover is rebuilt on
// every agenda pass, and a string per cell cost more than the pass itself.
class CoverText {
public:
    struct Place {
        std::uint32_t at, size;
    };
    struct Line {
        std::array<Place, 4> cells;
        Place hourLetters, hourLower, wholeLetters, wholeLower;
    };

    explicit CoverText(size_t rows) {
        text_.reserve(rows * 80 + 64);
        keys_.reserve(rows * 160);
        lines_.reserve(rows);
    }

    void add(const tasks::TaskTable& table, int row) {
        Line& line = lines_.emplace_back();
        line.cells[0] = put(zeroPad(row, 2));   // two digits: no allocation
        line.cells[1] = put(trimmed(table.cell(col::HORA, row)));
        line.cells[2] = put(trimmed(table.cell(col::NOME, row)));
        line.cells[3] = lastResult(table, row);
        line.hourLetters = key(line.cells[1], false);
        line.hourLower = key(line.cells[1], true);
        line.wholeLetters = wholeKey(line, false);
        line.wholeLower = wholeKey(line, true);
    }

    // By hour, as the grid's own sort orders a column, then by the whole row
    // (cells and line breaks); the lines stay put, only their order moves.
    std::vector<std::uint32_t> order() const {
        std::vector<std::uint32_t> order(lines_.size());
        for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
        std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
            const Line &x = lines_[a], &y = lines_[b];
            return std::tuple(keyOf(x.hourLetters), keyOf(x.hourLower), keyOf(x.wholeLetters), keyOf(x.wholeLower)) <
                   std::tuple(keyOf(y.hourLetters), keyOf(y.hourLower), keyOf(y.wholeLetters), keyOf(y.wholeLower));
        });
        return order;
    }

    // Titles, the lines in `order`, an empty last row.
    CellTable cells(const std::vector<std::uint32_t>& order) {
        static constexpr std::string_view kTitles[] = {"Tarefa", "Hora", "Nome", "Último resultado"};
        std::array<Place, 4> titles;
        for (int c = 0; c < 4; ++c) titles[c] = put(kTitles[c]);
        CellTable cells;
        const std::string_view text = cells.adopt(std::move(text_));
        cells.reserve((lines_.size() + 2) * 4);
        const auto push = [&](const std::array<Place, 4>& row) {
            for (const Place& p : row) cells.push(text.substr(p.at, p.size));
        };
        push(titles);
        for (const std::uint32_t i : order) push(lines_[i].cells);
        cells.resize(cells.size() + 4);
        return cells;
    }

private:
    Place put(std::string_view piece) {
        const Place p{static_cast<std::uint32_t>(text_.size()), static_cast<std::uint32_t>(piece.size())};
        text_.append(piece);
        return p;
    }
    std::string_view cellOf(Place p) const { return std::string_view(text_).substr(p.at, p.size); }
    std::string_view keyOf(Place p) const { return std::string_view(keys_).substr(p.at, p.size); }

    // "OK" with the last stamp, or the last failure; nothing for a task never run.
    Place lastResult(const tasks::TaskTable& table, int row) {
        const std::string_view failure = trimmed(table.cell(col::ULTIMO_ERRO, row));
        const std::string_view stamp = trimmed(table.cell(col::ULTIMA_EXEC, row));
        const std::string_view head = !failure.empty() ? "ERRO " : stamp.empty() ? "" : "OK ";
        const Place p = put(head);
        put(!failure.empty() ? failure : stamp);
        return {p.at, static_cast<std::uint32_t>(text_.size()) - p.at};
    }
    Place key(Place cell, bool lower) {
        const Place p{static_cast<std::uint32_t>(keys_.size()), cell.size};
        appendKey(cellOf(cell), lower);
        return p;
    }
    Place wholeKey(const Line& line, bool lower) {
        const std::uint32_t at = static_cast<std::uint32_t>(keys_.size());
        for (const Place& c : line.cells) {
            appendKey(cellOf(c), lower);
            keys_.append("\r\n");
        }
        return {at, static_cast<std::uint32_t>(keys_.size()) - at};
    }
    void appendKey(std::string_view text, bool lower) {
        for (const char c : text) keys_.push_back(lower ? static_cast<char>(lower1252(static_cast<unsigned char>(c))) : noCaseLetter(c));
    }

    std::string text_, keys_;
    std::vector<Line> lines_;
};

}  // namespace

// The name narrower than it was, so the last result shows without scrolling.
void showCover(const tasks::TaskTable& table, ui::Grid& cover) {
    int shown = 0;
    for (int row = 1; row < table.rowCount(); ++row) shown += table.cell(col::SN_EXE, row) != "N";
    CoverText text(static_cast<size_t>(shown));
    for (int row = 1; row < table.rowCount(); ++row)
        if (table.cell(col::SN_EXE, row) != "N") text.add(table, row);
    cover.assign(4, shown + 2, text.cells(text.order()));
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
