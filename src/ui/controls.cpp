#include "ui/controls.h"

#include <stdexcept>

namespace tarvex::ui {

std::vector<std::string> Edit::lines() const {
    std::vector<std::string> out;
    if (text_.empty()) return out;
    size_t pos = 0;
    while (true) {
        size_t nl = text_.find('\n', pos);
        std::string line = text_.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out.push_back(line);
        if (nl == std::string::npos) break;
        pos = nl + 1;
        if (pos == text_.size()) break;  // a final line break ends the last line
    }
    return out;
}

void Edit::setLines(const std::vector<std::string>& ls) {
    std::string t;
    for (size_t i = 0; i < ls.size(); ++i) {
        if (i) t += "\r\n";
        t += ls[i];
    }
    setText(t);
}

void Edit::addLine(const std::string& line) {
    auto ls = lines();
    ls.push_back(line);
    setLines(ls);
}

void Grid::assignSource(int cols, std::shared_ptr<const GridSource> source) {
    cells_.clear();
    cells_.shrink_to_fit();
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
    cells_.assign(static_cast<size_t>(rows_) * cols_, std::string());
    std::vector<std::string> row;
    for (int r = 0; r < rows_; ++r) {
        source->row(r, row);
        for (int c = 0; c < cols_ && c < static_cast<int>(row.size()); ++c)
            cells_[static_cast<size_t>(r) * cols_ + c] = std::move(row[c]);
    }
}

void Grid::setColCount(int n) {
    takeInSource();
    if (n < 0) n = 0;
    std::vector<std::string> cells(static_cast<size_t>(n) * rows_);
    for (int r = 0; r < rows_; ++r)
        for (int c = 0; c < std::min(n, cols_); ++c) cells[r * n + c] = std::move(cells_[r * cols_ + c]);
    cells_ = std::move(cells);
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

const std::string& Grid::cellAside(int col, int row) const {
    static const std::string empty;
    if (col < 0 || row < 0 || col >= cols_ || row >= rows_) return empty;
    if (row != sourceRow_) {
        source_->row(row, sourceCells_);
        sourceRow_ = row;
    }
    return col < static_cast<int>(sourceCells_.size()) ? sourceCells_[col] : empty;
}

void Grid::setCell(int col, int row, const std::string& text) {
    if (col < 0 || row < 0 || col >= cols_ || row >= rows_)
        throw std::out_of_range("Grid index out of bounds (" + std::to_string(col) + "," + std::to_string(row) + ")");
    takeInSource();
    cells_[static_cast<size_t>(row) * cols_ + col] = text;
    notify();
}

std::vector<std::string> Grid::rowCells(int row) const {
    std::vector<std::string> out;
    for (int c = 0; c < cols_; ++c) out.push_back(cell(c, row));
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
