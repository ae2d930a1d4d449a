#pragma once
// The task file: the task table stored as text. Windows-1252, CR LF after every
// line, line 1 the column count, line 2 the row count, then one line per row with
// "¦" (0xA6) after every cell. Old files used "#" as the separator.
#include <string>
#include <vector>

#include "tasks/task_table.h"

namespace tarvex {

namespace taskfile {
constexpr char SEPARATOR = '\xA6';   // "¦"
constexpr char OLD_SEPARATOR = '#';
// fieldTable has 400 slots, so no line may be split into more fields.
constexpr int MAX_COLUMNS = 400;
// A real task list holds a few dozen rows (the editor adds three at a time and
// numbers them with two digits). The bound only keeps a damaged or hostile file
// from making the loader allocate rows x columns cells without limit.
constexpr int MAX_ROWS = 10000;

// The file's bytes for `table`.
std::string encode(const tasks::TaskTable& table);
// Fills `table` from a file's bytes; `fileName` names the file in error texts.
// Throws FileError, leaving `table` untouched, when the counts are unusable.
// Every row present is loaded; the result is how many the row count left out
// (a damaged file), 0 for a sound one.
int decode(std::string bytes, const std::string& fileName, tasks::TaskTable& table);

// How a file read as a task list: refused (nothing loaded, the table as it was),
// or loaded, with what was wrong but read all the same. Every sentence is
// Portuguese, for the operator.
struct Verdict {
    std::string refused;
    std::vector<std::string> mended;
    bool sound() const { return refused.empty() && mended.empty(); }
};
// Fills `table` from a file's bytes only when they read as a task list: the
// separator on every row line, a title row, a whole last row, Windows-1252.
// Where the rows can be read despite a fault (counts that lie, no title row,
// UTF-8 text) every row and column is loaded and the fault named in `mended`.
// Never throws for what the bytes hold.
Verdict read(std::string bytes, const std::string& fileName, tasks::TaskTable& table);

// Writes the table through a temporary file that replaces `path` in one step.
// Throws FileError; on failure the old file is as it was.
void save(const tasks::TaskTable& table, const std::string& path);
// Fills the table from `path`; the result as decode's. Throws FileError when the
// file cannot be read or is refused; the table is then untouched.
int load(tasks::TaskTable& table, const std::string& path);
}  // namespace taskfile

}  // namespace tarvex
