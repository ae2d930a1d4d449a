#include "ui/controls.h"

#include <stdexcept>

#include "lib/routines.h"

namespace tarvex::ui {

std::vector<std::string> Edit::lines() const { return textLines(text_); }

void Edit::setLines(const std::vector<std::string>& ls) { setText(joinLines(ls)); }

void Edit::addLine(const std::string& line) {
    auto ls = lines();
    ls.push_back(line);
    setLines(ls);
}

void Grid::assign(int cols, int rows, CellTable cells) {
    source_.reset();
    cols_ = cols < 0 ? 0 : cols;
    rows_ = rows < 0 ? 0 : rows;
    cells.resize(static_cast<size_t>(cols_) * rows_);
    cells_ = std::move(cells);
    widths_.resize(cols_, defaultColWidth());
    if (row_ >= rows_) row_ = rows_ > 0 ? rows_ - 1 : 0;
    notify();
}


void Grid::assign(int cols, int rows, const std::vector<std::string>& cells) {
    assign(cols, rows, joinCells(cells));
}

void Grid::assignSource(int cols, std::shared_ptr<const GridSource> source) {
    cells_ = CellTable();
    cols_ = cols < 0 ? 0 : cols;
    rows_ = source ? source->rows() : 0;
    source_ = std::move(source);
    sourceRow_ = -1;
    widths_.resize(cols_, defaultColWidth());
    if (row_ >= rows_) row_ = rows_ > 0 ? rows_ - 1 : 0;
    notify();
}

void Grid::takeInSource() {
    if (!source_) return;
    auto source = std::move(source_);
    source_.reset();
    std::vector<std::string> cells(static_cast<size_t>(rows_) * cols_), row;
    for (int r = 0; r < rows_; ++r) {
        source->row(r, row);
        for (int c = 0; c < cols_ && c < static_cast<int>(row.size()); ++c)
            cells[static_cast<size_t>(r) * cols_ + c] = std::move(row[c]);
    }
    cells_ = joinCells(cells);
}

void Grid::setColCount(int n) {
    takeInSource();
    if (n < 0) n = 0;
    cells_.reshape(cols_, n, rows_);
    cols_ = n;
    widths_.resize(n, defaultColWidth());
    notify();
}

void Grid::setRowCount(int n) {
    takeInSource();
    if (n < 0) n = 0;
    rows_ = n;
    cells_.resize(static_cast<size_t>(rows_) * cols_);
    if (row_ >= rows_) row_ = rows_ > 0 ? rows_ - 1 : 0;
    notify();
}

std::string_view Grid::cellAside(int col, int row) const {
    if (col < 0 || row < 0 || col >= cols_ || row >= rows_) return {};
    if (row != sourceRow_) {
        source_->row(row, sourceCells_);
        sourceRow_ = row;
    }
    return col < static_cast<int>(sourceCells_.size()) ? std::string_view(sourceCells_[col]) : std::string_view();
}

void Grid::setCell(int col, int row, std::string_view text) {
    if (col < 0 || row < 0 || col >= cols_ || row >= rows_)
        throw std::out_of_range("Grid index out of bounds (" + std::to_string(col) + "," + std::to_string(row) + ")");
    if (source_) {
        // `text` may be a cell of the source, which the copy-in replaces.
        const std::string kept(text);
        takeInSource();
        cells_.set(static_cast<size_t>(row) * cols_ + col, kept);
    } else {
        cells_.set(static_cast<size_t>(row) * cols_ + col, text);
    }
    notify();
}

std::vector<std::string> Grid::rowCells(int row) const {
    std::vector<std::string> out;
    out.reserve(static_cast<size_t>(cols_));
    for (int c = 0; c < cols_; ++c) out.emplace_back(cell(c, row));
    return out;
}

void Grid::clearRow(int row) {
    for (int c = 0; c < cols_; ++c) setCell(c, row, "");
}

int Grid::colWidth(int col) const {
    return col >= 0 && col < (int)widths_.size() ? widths_[col] : defaultColWidth();
}

void Grid::setColWidth(int col, int width) {
    if (col >= 0 && col < (int)widths_.size()) { widths_[col] = width; notify(); }
}

}  // namespace tarvex::ui
