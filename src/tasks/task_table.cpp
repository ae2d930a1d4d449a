#include "tasks/task_table.h"

#include <algorithm>
#include <map>
#include <stdexcept>
#include <utility>

#include "tasks/columns.h"

namespace tarvex::tasks {

void TaskTable::setCell(int col, int row, std::string_view text) {
    if (col < 0 || row < 0 || col >= cols_ || row >= rows_)
        throw std::out_of_range("Task table index out of bounds (" + std::to_string(col) + "," +
                                std::to_string(row) + ")");
    cells_.set(static_cast<size_t>(row) * cols_ + col, text);
    if (onCellChanged) onCellChanged(col, row);
}

std::vector<std::string> TaskTable::rowCells(int row) const {
    std::vector<std::string> out;
    out.reserve(static_cast<size_t>(cols_));
    for (int c = 0; c < cols_; ++c) out.emplace_back(cell(c, row));
    return out;
}

void TaskTable::setRowCount(int n) {
    n = std::max(n, 0);
    cells_.resize(static_cast<size_t>(n) * cols_);
    ids_.resize(static_cast<size_t>(n));
    for (int r = rows_; r < n; ++r) ids_[static_cast<size_t>(r)] = fresh();
    rows_ = n;
    reshaped();
}

void TaskTable::setColCount(int n) {
    n = std::max(n, 0);
    cells_.reshape(cols_, n, rows_);
    cols_ = n;
    reshaped();
}

void TaskTable::clearRow(int row) {
    if (row < 0 || row >= rows_) return;
    for (int c = 0; c < cols_; ++c) cells_.set(static_cast<size_t>(row) * cols_ + c, "");
    ids_[static_cast<size_t>(row)] = fresh();
    reshaped();
}

void TaskTable::swapRows(int a, int b) {
    if (a < 0 || b < 0 || a >= rows_ || b >= rows_ || a == b) return;
    for (int c = 0; c < cols_; ++c) {
        const std::string upper(cell(c, a));
        cells_.set(static_cast<size_t>(a) * cols_ + c, cell(c, b));
        cells_.set(static_cast<size_t>(b) * cols_ + c, upper);
    }
    std::swap(ids_[static_cast<size_t>(a)], ids_[static_cast<size_t>(b)]);
    reshaped();
}

void TaskTable::assign(int cols, int rows, CellTable cells) {
    cols_ = std::max(cols, 0);
    rows_ = std::max(rows, 0);
    cells.resize(static_cast<size_t>(cols_) * rows_);
    cells_ = std::move(cells);
    ids_.resize(static_cast<size_t>(rows_));
    for (TaskId& id : ids_) id = fresh();
    reshaped();
}

namespace {
// What makes a row the same task when the file is read again: every cell the
// operator gives a task, not its run stamps.
std::string sameTaskKey(const TaskTable& t, int row) {
    std::string key;
    for (const int c : {col::NOME, col::TIPO, col::PERIODO, col::HORA}) key.append(t.cell(c, row)).push_back('\n');
    return key;
}
}  // namespace

// A row at its old place with the same name and type keeps its task first; a
// task that moved (another program reordered the file) is found by its cells.
void TaskTable::reload(TaskTable&& loaded) {
    std::vector<TaskId> ids(static_cast<size_t>(loaded.rows_), 0);
    std::vector<bool> taken(static_cast<size_t>(rows_), false);
    const auto sameHere = [&](int r) {
        return r < rows_ && !taken[static_cast<size_t>(r)] && !loaded.cell(col::NOME, r).empty() &&
               loaded.cell(col::NOME, r) == cell(col::NOME, r) && loaded.cell(col::TIPO, r) == cell(col::TIPO, r);
    };
    for (int r = 1; r < loaded.rows_; ++r)
        if (sameHere(r)) {
            ids[static_cast<size_t>(r)] = ids_[static_cast<size_t>(r)];
            taken[static_cast<size_t>(r)] = true;
        }
    std::multimap<std::string, int> old;
    for (int r = 1; r < rows_; ++r)
        if (!taken[static_cast<size_t>(r)] && !cell(col::NOME, r).empty()) old.emplace(sameTaskKey(*this, r), r);
    for (int r = 1; r < loaded.rows_ && !old.empty(); ++r) {
        if (ids[static_cast<size_t>(r)] || loaded.cell(col::NOME, r).empty()) continue;
        const auto it = old.find(sameTaskKey(loaded, r));
        if (it == old.end()) continue;
        ids[static_cast<size_t>(r)] = ids_[static_cast<size_t>(it->second)];
        old.erase(it);
    }
    for (TaskId& id : ids)
        if (!id) id = fresh();
    cols_ = loaded.cols_;
    rows_ = loaded.rows_;
    cells_ = std::move(loaded.cells_);
    ids_ = std::move(ids);
    loaded = TaskTable();
    reshaped();
}

int TaskTable::rowOf(TaskId id) const {
    if (!id) return 0;
    const auto it = std::find(ids_.begin() + std::min<size_t>(1, ids_.size()), ids_.end(), id);
    return it == ids_.end() ? 0 : static_cast<int>(it - ids_.begin());
}

}  // namespace tarvex::tasks
