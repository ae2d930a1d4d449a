#include "lib/cell_table.h"

#include <algorithm>
#include <cstring>

namespace tarvex {

std::string_view CellTable::adopt(std::string text) {
    text_ = std::move(text);
    return text_;
}

// A piece past 2 GB into the text is out of reach of a place, so copied.
void CellTable::pushFar(std::string_view piece) {
    cells_.emplace_back();
    set(cells_.size() - 1, piece);
}

void CellTable::release(Cell c) {
    if (!(c.size & kOwn)) return;
    own_[c.at] = std::string();
    ownFree_.push_back(c.at);
}

void CellTable::resize(size_t n) {
    for (size_t i = n; i < cells_.size(); ++i) release(cells_[i]);
    cells_.resize(n);
}

void CellTable::set(size_t i, std::string_view text) {
    Cell& cell = cells_[i];
    if (cell.size & kOwn) {
        own_[cell.at].assign(text.data(), text.size());   // safe when `text` is a view of it
    } else if (text.size() <= cell.size) {
        // The cell's bytes in text_ belong to it alone.
        if (!text.empty()) std::memmove(text_.data() + cell.at, text.data(), text.size());
        cell.size = static_cast<uint32_t>(text.size());
    } else {
        uint32_t slot;
        if (!ownFree_.empty()) {
            slot = ownFree_.back();
            ownFree_.pop_back();
            own_[slot].assign(text.data(), text.size());
        } else {
            slot = static_cast<uint32_t>(own_.size());
            own_.emplace_back(text);
        }
        cell = {slot, kOwn};
    }
}

void CellTable::reshape(size_t oldCols, size_t newCols, size_t rows) {
    std::vector<Cell> cells(newCols * rows);
    for (size_t r = 0; r < rows; ++r)
        for (size_t c = 0; c < oldCols; ++c) {
            const Cell cell = cells_[r * oldCols + c];
            if (c < newCols) cells[r * newCols + c] = cell;
            else release(cell);
        }
    cells_ = std::move(cells);
}

CellTable joinCells(const std::vector<std::string>& cells) {
    size_t size = 0;
    for (const std::string& c : cells) size += c.size();
    std::string all;
    all.reserve(size);
    for (const std::string& c : cells) all += c;
    CellTable table;
    const std::string_view text = table.adopt(std::move(all));
    table.reserve(cells.size());
    size_t at = 0;
    for (const std::string& c : cells) {
        table.push(text.substr(at, c.size()));
        at += c.size();
    }
    return table;
}

}  // namespace tarvex
