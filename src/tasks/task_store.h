#pragma once
// The task table and its file: loading, saving, and the texts its cells hold.
#include <array>
#include <functional>
#include <string>

#include "tasks/columns.h"
#include "tasks/file_watch.h"
#include "tasks/task_table.h"

namespace tarvex::tasks {

constexpr const char* TASK_FILE_NAME = "TARVEX_TAREFAS.TXT";

// The editor's type list, stored whole in column Tipo Tarefa; code = first two characters.
extern const std::array<std::string, 11> TYPE_LABELS;
// The editor's period list, stored whole in column Periodo (trailing blanks belong to them).
extern const std::array<std::string, 21> PERIOD_LABELS;

// The first two characters of the cell, trimmed: "01" for "01 - Todos os Dias", "" for blanks.
std::string periodCode(const TaskTable& table, int row);

// Writes the row numbers "01", "02", ... into column 0 (row 100 shows "00").
void numberRows(TaskTable& table);
// A multi-line text for one cell: "¦" removed, line breaks as "||".
std::string linesToCell(const std::string& text);
// Back from one cell: every "||" becomes CR LF.
std::string cellToLines(std::string_view text);

class TaskStore {
public:
    // `folder` is the settings folder with its trailing backslash; `tell`
    // gives the operator a text (nothing waits on the answer).
    TaskStore(TaskTable& table, const std::string& folder, std::function<void(const std::string&)> tell = {});

    const std::string& folder() const { return folder_; }
    void setFolder(const std::string& folder) { folder_ = folder; }
    std::string taskFilePath() const { return folder_ + TASK_FILE_NAME; }

    // Rebuilds the table from the task file ("Monta Grid"); tasks still in it
    // keep their identities. Throws FileError with the table untouched. A file
    // that does not read as a task file is copied aside and held: the error
    // says what was wrong and where the copy is. One read despite a fault is
    // loaded whole, copied aside, and the operator told.
    void load();
    // Writes the whole table to the task file. Throws FileError; table and file
    // are then as they were. A file another program changed since the load is
    // copied aside first and the operator told; one that cannot be copied is
    // not written over. Refused while a damaged file is held.
    void save();

    // A damaged file is held: no save writes over it until a load reads it well.
    bool held() const { return !held_.empty(); }
    // Where the held file was copied; empty when no copy was made.
    const std::string& heldCopy() const { return heldCopy_; }

private:
    std::string keepOthersChange(const std::string& path);
    [[noreturn]] void hold(const std::string& bytes, const std::string& why);

    TaskTable& table_;
    std::string folder_;
    std::function<void(const std::string&)> tell_;
    FileWatch watch_;
    std::string held_;        // why saves are refused; empty when none are
    std::string heldCopy_;
    std::size_t heldBytes_ = 0;   // a hash of the held file, never 0
};

}  // namespace tarvex::tasks
