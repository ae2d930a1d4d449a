#pragma once
// The task table behind the task list GRID: 35 text columns, row 0 the titles,
// column 0 the two-digit row number, rows 1.. one task each (see columns.h).
#include <array>
#include <string>

#include "tasks/columns.h"
#include "tasks/file_watch.h"
#include "ui/controls.h"

namespace tarvex::tasks {

constexpr const char* TASK_FILE_NAME = "TARVEX_TAREFAS.TXT";

// The editor's type list, stored whole in column Tipo Tarefa; code = first two characters.
extern const std::array<std::string, 11> TYPE_LABELS;
// The editor's period list, stored whole in column Periodo (trailing blanks belong to them).
extern const std::array<std::string, 21> PERIOD_LABELS;

// The first two characters of the cell, trimmed: "06" for "06 - WINZIP", "" for blanks.
std::string typeCode(const ui::Grid& grid, int row);
std::string periodCode(const ui::Grid& grid, int row);

// Writes the row numbers "01", "02", ... into column 0 (row 100 shows "00").
void NUMERA(ui::Grid& grid);
// A multi-line text for one cell: "¦" removed, line breaks as "||".
std::string TIRA_CHR(const std::string& text);
// Back from one cell: every "||" becomes CR LF.
std::string COLOCA_CHR(std::string_view text);

class TaskStore {
public:
    // PASTA_PARAM is the settings folder with its trailing backslash.
    TaskStore(ui::Grid& GRID, ui::Memo& E_MEMO, const std::string& PASTA_PARAM);

    const std::string& pastaParam() const { return PASTA_PARAM_; }
    void setPastaParam(const std::string& PASTA_PARAM) { PASTA_PARAM_ = PASTA_PARAM; }
    std::string taskFilePath() const { return PASTA_PARAM_ + TASK_FILE_NAME; }

    // The load action ("Monta Grid"): rebuilds the table from the task file;
    // LINHA is the editor's current row. Throws FileError with the table untouched.
    void BU_MONTARClick(int LINHA);
    // Writes the whole table to the task file. Throws FileError; table and file
    // are then as they were. A file another program changed since the load is
    // copied aside first and the operator told; one that cannot be copied is
    // not written over.
    void GRID_SALVA();

private:
    std::string keepOthersChange(const std::string& path);

    ui::Grid& GRID_;
    ui::Memo& E_MEMO_;
    std::string PASTA_PARAM_;
    FileWatch watch_;
};

}  // namespace tarvex::tasks
