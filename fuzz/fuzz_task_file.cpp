// The task file readers take whatever bytes are on disk: each either refuses them
// with FileError, leaving the table as it was, or fills a table within the bounds
// that survives a save and a second read unchanged, and saves as the same
// cells set one by one do.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "lib/errors.h"
#include "tasks/task_file.h"
#include "fuzz_check.h"

using namespace tarvex;

using fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    // The judging reader: refused leaves the table as it was; loaded stays within the bounds.
    tasks::TaskTable judged;
    judged.setColCount(1);
    judged.setRowCount(1);
    judged.setCell(0, 0, "kept");
    const taskfile::Verdict verdict = taskfile::read(bytes, "TARVEX_TAREFAS.TXT", judged);
    if (!verdict.refused.empty())
        check(verdict.mended.empty() && judged.colCount() == 1 && judged.rowCount() == 1 && judged.cell(0, 0) == "kept");
    else
        check(judged.colCount() <= taskfile::MAX_COLUMNS && judged.rowCount() <= taskfile::MAX_ROWS);
    tasks::TaskTable grid;
    grid.setColCount(3);
    grid.setRowCount(2);
    grid.setCell(1, 1, "kept");
    try {
        taskfile::decode(bytes, "TARVEX_TAREFAS.TXT", grid);
    } catch (const FileError&) {
        check(grid.colCount() == 3 && grid.rowCount() == 2 && grid.cell(1, 1) == "kept");
        return 0;
    }
    check(grid.colCount() >= 0 && grid.colCount() <= taskfile::MAX_COLUMNS);
    check(grid.rowCount() >= 0 && grid.rowCount() <= taskfile::MAX_ROWS);

    const std::string saved = taskfile::encode(grid);
    // The same cells set one by one (no longer pieces of the file) save alike.
    tasks::TaskTable copy;
    copy.setColCount(grid.colCount());
    copy.setRowCount(grid.rowCount());
    for (int r = 0; r < grid.rowCount(); ++r)
        for (int c = 0; c < grid.colCount(); ++c) copy.setCell(c, r, grid.cell(c, r));
    check(taskfile::encode(copy) == saved);
    tasks::TaskTable again;
    taskfile::decode(saved, "TARVEX_TAREFAS.TXT", again);
    check(taskfile::encode(again) == saved);
    return 0;
}
