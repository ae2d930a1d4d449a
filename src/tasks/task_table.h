#pragma once
// The task list as the program keeps it: the task file's text cells (row 0 the
// titles, column 0 the row number, rows 1.. one task each; see columns.h), and
// for every row the identity of the task it holds. The window's grid shows this
// table; everything kept about a task (armed as next, retries, pen-drive waits,
// the run in progress) is keyed by its identity, never by its row, so moving,
// emptying or adding rows cannot make one task run at another's hour.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "lib/cell_table.h"

namespace tarvex::tasks {

// 0 is no task.
using TaskId = std::uint32_t;

class TaskTable {
public:
    TaskTable() = default;
    TaskTable(const TaskTable&) = delete;
    TaskTable& operator=(const TaskTable&) = delete;
    TaskTable(TaskTable&&) = default;
    TaskTable& operator=(TaskTable&&) = default;

    int rowCount() const { return rows_; }
    int colCount() const { return cols_; }
    // Empty outside the table. Valid until that cell is set or the table replaced.
    std::string_view cell(int col, int row) const {
        if (col < 0 || row < 0 || col >= cols_ || row >= rows_) return {};
        return cells_[static_cast<size_t>(row) * cols_ + col];
    }
    // Throws std::out_of_range outside the table.
    void setCell(int col, int row, std::string_view text);
    std::vector<std::string> rowCells(int row) const;

    // Added rows are new, empty tasks.
    void setRowCount(int n);
    void setColCount(int n);
    // The row keeps its place and becomes a new, empty task.
    void clearRow(int row);
    // Two rows trade places; each task keeps its identity and cells.
    void swapRows(int a, int b);
    // Every row a new task.
    void assign(int cols, int rows, CellTable cells);
    void assign(int cols, int rows, const std::vector<std::string>& cells) { assign(cols, rows, joinCells(cells)); }
    // Takes `loaded`'s cells (the task file read again): a row that holds the
    // task one of this table's rows held keeps that task's identity.
    void reload(TaskTable&& loaded);

    TaskId idAt(int row) const { return row >= 0 && row < rows_ ? ids_[static_cast<size_t>(row)] : 0; }
    // The row that holds the task now; 0 when it is gone (row 0 holds the titles).
    int rowOf(TaskId id) const;

    // For the view: one cell changed, or the table's shape or rows did.
    std::function<void(int col, int row)> onCellChanged;
    std::function<void()> onReshaped;

private:
    TaskId fresh() { return ++lastId_; }
    void reshaped() {
        if (onReshaped) onReshaped();
    }

    int cols_ = 0, rows_ = 0;
    CellTable cells_;
    std::vector<TaskId> ids_;
    TaskId lastId_ = 0;
};

}  // namespace tarvex::tasks
