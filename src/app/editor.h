#pragma once
// The task editor of the Tarefas screen: a view of one row of the task table, the
// current row editorRow. Selecting a row copies its cells into the fields; "Salvar"
// checks the fields and copies them back, then writes the task file.
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/editor_pages.h"
#include "app/page_builders.h"
#include "platform/dialogs.h"
#include "platform/operator.h"
#include "platform/services.h"
#include "tasks/task_runner.h"
#include "tasks/task_table.h"
#include "ui/controls.h"

namespace tarvex::app {

// What the editor uses of the main window.
struct EditorLinks {
    tasks::TaskTable& table;              // the task list
    ui::Grid& GRID;                       // its view: selection and typing in a cell
    ui::Edit& E_ULTEXEC;                  // follows a run's stamp of the row shown
    std::function<int()> editorRow;
    std::function<void(int)> setEditorRow;
    std::function<void()> saveTasks;     // writes the task file; throws FileError
    std::function<void()> BU_MONTAR;      // the load action ("Monta Grid")
    // Runs an operator's action the way the window's message loop does; empty: directly.
    std::function<void(const std::function<void()>&)> event;
    // The day's agenda computed again after a save; empty: none.
    std::function<void()> agenda;
    // Whether a task is running: rows may not move under it then. Empty: never.
    std::function<bool()> running;
    // Where a run writes its batch file, as "Simular" names it; empty: unknown.
    std::function<std::string()> batchFolder;
};

struct EditorServices {
    platform::Operator& op;
    platform::Dialogs& dialogs;
    platform::Registry& registry;
    platform::Windows& windows;
    platform::Shell* shell = nullptr;   // finds the drive a pen field names; none: not shown
};

// Cells of one row to write, by column.
using RowCells = std::vector<std::pair<int, std::string>>;

// The hour field's mask "hh:mm": digit positions hold a digit or a blank, the colon
// is fixed, so an untouched field reads "  :  ".
std::string maskHour(const std::string& text);

class TaskEditor : public tasks::EditorSave {
public:
    TaskEditor(EditorLinks links, EditorServices services);
    // The list outlives the editor: its selection action is taken back.
    ~TaskEditor() override {
        links_.GRID.onSelectCell = nullptr;
        links_.GRID.onEdited = nullptr;
    }
    TaskEditor(const TaskEditor&) = delete;
    TaskEditor& operator=(const TaskEditor&) = delete;

    // ---- toolbar ---------------------------------------------------------------------
    ui::Button BU_ANOTA_MAIS{"BU_ANOTA_MAIS"}, BU_TAREFA_SOBE{"BU_TAREFA_SOBE"},
        BU_TAREFA_SOBE5{"BU_TAREFA_SOBE5"}, BU_TAREFA_DESCE{"BU_TAREFA_DESCE"},
        BU_TAREFA_DESCE5{"BU_TAREFA_DESCE5"}, BU_MONTAR{"BU_MONTAR"}, BU_EXCLUI{"BU_EXCLUI"},
        BU_TAREFAS_SALVA{"BU_TAREFAS_SALVA"};
    ui::Button BU_SIMULAR{"BU_SIMULAR"};   // what the saved task would do now, nothing run

    // ---- general panel (E_ULTEXEC, runNowButton and BU_REAGENDAR belong to the main window) --
    ui::Control PA_GERAL{"PA_GERAL"};
    ui::Edit E_NOME{"E_NOME"};
    ui::Edit E_TIPO{"E_TIPO"};
    ui::ListBox E_TIPO1{"E_TIPO1"};
    ui::Edit E_PERIODO{"E_PERIODO"};
    ui::ListBox E_PERIODO1{"E_PERIODO1"};
    ui::Edit E_HORA{"E_HORA"};
    ui::Edit E_MSG{"E_MSG"};
    ui::CheckBox CB_PAUSE{"CB_PAUSE"};
    ui::Label LA_E_NOME{"LA_E_NOME"}, LA_E_TIPO{"LA_E_TIPO"}, LA_E_PERIODO{"LA_E_PERIODO"},
        LA_E_HORA{"LA_E_HORA"}, LA_E_MSG{"LA_E_MSG"}, LA_E_ULTEXEC{"LA_E_ULTEXEC"};
    static constexpr int E_TIPO1_DROPDOWN = 20;      // items shown at a time
    static constexpr int E_PERIODO1_DROPDOWN = 21;

    // ---- the type pages ------------------------------------------------------------------
    EditorPages pages;

    // ---- event actions ---------------------------------------------------------------------
    void gridCellSelected(int col, int row);
    void loadRow();
    void GRID_LER1();
    void typeChanged();
    void typeListSelected();
    void periodListSelected();
    void saveTask() override;
    void moveUpClicked();
    void moveDownClicked();
    void moveUpFiveClicked();
    void moveDownFiveClicked();
    void deleteClicked();
    void addRowsClicked();
    void simulateClicked();
    // "Testar conexão": the sending page's server as typed, tried off the window's thread.
    void testServerClicked();

    // The type code of E_TIPO: its first two characters, trimmed.
    std::string typeCode() const;

    // Fields the operator changed since the row was read or saved.
    bool changed() const;
    // Before the fields are left (another row, another page, the end): changed fields
    // are saved, dropped (the row read again) or kept, as the operator answers.
    // False: stay where you are (Cancelar, or a save its checks refused).
    bool leaveRow();
    // A run stamped `row`: the box shows it when the editor shows that row and the
    // operator has not typed into the box.
    void rowStamped(int row, const std::string& stamp);
    // The box as it stands now was set for the operator ("Reagendar"), not typed.
    void acceptStampBox() { stampRead_ = links_.E_ULTEXEC.text(); }
    // Every control the editor owns, the pages' included, for a window to bind by name.
    std::vector<ui::Control*> controls();
    EditLook look(const ui::Edit& edit) const;

private:
    void design();
    void wire();
    void wirePages();
    std::function<void()> action(std::function<void()> f);
    void tell(const std::string& text);
    bool refuse(const std::string& text);   // tells, and gives false
    bool generalChecks(const std::string& tipo);
    RowCells generalCells() const;
    std::string stampCell() const;
    void commit(int row, const RowCells& cells);
    void exchange(int a, int b);
    void moveTo(int row);
    void showPage(const std::string& code, bool blankFirst);
    void showPenDrive(ui::Edit& pen);
    bool save();
    bool rowsLocked();
    bool hourChecks();
    bool copyCommandsReady(const std::string& tipo);
    std::vector<std::string> fieldValues() const;
    void markRead();

    EditorLinks links_;
    EditorServices services_;
    app::XcopyBuilder xcopy_;
    app::FolderCopyBuilder folderCopy_;
    app::FileCopyPicker fileCopy_;
    app::ZipPicker zip_;
    app::BackupBuilder backup_;
    std::vector<std::string> read_;   // the fields as last read or saved
    std::string stampRead_;           // the box as last read, saved or stamped
    bool testingServer_ = false;      // a connection test is under way
};

// The type pages' cells (editor_rows.cpp).
// Copies the row's cells of the type `code` into that page's fields.
void readTypeCells(EditorPages& p, const std::string& code, const tasks::TaskTable& table, int row);
// Checks the page of type `code` and gives its cells; false (after telling the
// operator) when a check fails.
bool typeCells(EditorPages& p, const std::string& code, RowCells& cells, platform::Operator& op);
// The sending page's password field from a task's protected password; the
// cell to store for what is typed there (nullopt, the operator told, when it
// cannot be protected).
void showServerPassword(EditorPages& p, const std::string& stored);
std::optional<std::string> serverPasswordCell(EditorPages& p, platform::Operator& op);
// The ZIP page's password fields from a task's protected password (cleared for none).
void showZipPassword(EditorPages& p, const std::string& stored);
// The protected text to store for the typed password; nullopt, the operator told,
// when the two fields differ or the password cannot be protected.
std::optional<std::string> zipPasswordCell(EditorPages& p, platform::Operator& op);

}  // namespace tarvex::app
