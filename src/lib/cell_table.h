#pragma once
// The cells of a grid as places in one text, not one string each: a task list
// of 10,000 rows is 350,000 cells, and making, touching and freeing a string
// per cell cost more than reading and writing the file. A loaded file's bytes
// are kept whole and its cells point into them; a cell later set to a longer
// text gets a string of its own.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

class CellTable {
public:
    CellTable() = default;
    CellTable(const CellTable&) = delete;
    CellTable& operator=(const CellTable&) = delete;
    CellTable(CellTable&&) = default;
    CellTable& operator=(CellTable&&) = default;

    // Keeps `text` as the table's own; returns a view of it whose pieces may
    // be handed to `push`. Once per table, before any push.
    std::string_view adopt(std::string text);
    void reserve(size_t n) { cells_.reserve(n); }
    // A cell holding a piece of the adopted text, added at the end. Inline:
    // a loaded file makes one per cell.
    void push(std::string_view piece) {
        const size_t at = static_cast<size_t>(piece.data() - text_.data());
        if (at + piece.size() < kOwn) cells_.push_back({static_cast<uint32_t>(at), static_cast<uint32_t>(piece.size())});
        else pushFar(piece);
    }
    // n cells; new ones are empty.
    void resize(size_t n);
    size_t size() const { return cells_.size(); }

    // Valid until that cell is set or the table is replaced.
    std::string_view operator[](size_t i) const {
        const Cell c = cells_[i];
        if (c.size & kOwn) return own_[c.at];
        return {text_.data() + c.at, c.size};
    }
    // `text` may be a view of any cell of this table.
    void set(size_t i, std::string_view text);
    // From `oldCols` to `newCols` columns over `rows` rows, keeping what fits.
    void reshape(size_t oldCols, size_t newCols, size_t rows);

private:
    // A piece of text_ (at, size), or with kOwn in size, own_[at].
    struct Cell {
        uint32_t at = 0, size = 0;
    };
    static constexpr uint32_t kOwn = 0x80000000u;
    std::vector<Cell> cells_;
    std::string text_;
    std::deque<std::string> own_;      // grows at the end only, so no string moves
    std::vector<uint32_t> ownFree_;    // own_ slots no cell uses
    void release(Cell c);
    void pushFar(std::string_view piece);
};

// One text for all the cells, as a loaded file is, not a string each: the
// cover is rebuilt on every pass, a log taken in may be a million rows.
CellTable joinCells(const std::vector<std::string>& cells);

}  // namespace tarvex
