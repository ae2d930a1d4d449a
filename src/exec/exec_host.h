#pragma once
// What a task run needs from the main window besides its controls.
#include <string>

#include "tasks/task_table.h"
#include "ui/controls.h"

namespace tarvex::exec {

// Controls of the main window that a run drives.
struct ExecControls {
    ui::CheckBox& CB_EXECUTANDO;
    ui::Label& LA_MSG;
    ui::Tray& TrayIcon1;
    ui::Memo& E_MEMO;        // the batch buffer
    ui::Edit& E_DIR_PARAM;   // settings folder, base of the batch path
};

class ExecHost {
public:
    virtual ~ExecHost() = default;
    virtual void GRID_SALVA() = 0;        // write the task file (throws FileError)
    virtual void BU_PROXIMOClick() = 0;   // recompute the agenda
    virtual void requestQuit() = 0;       // end the program when the run returns to the loop
    virtual int LINHA() const = 0;        // the row shown in the editor
    // A run wrote its stamp into column "Ultima Exec" of the task.
    virtual void stamped(tasks::TaskId task, const std::string& stamp) = 0;
    // A run of the task failed for `reason` (in the operator's words).
    virtual void runFailed(tasks::TaskId task, const std::string& reason) = 0;
    // The tray picture between runs: 0 at rest, 2 while a failure is unseen.
    virtual int idleTrayImage() const = 0;
    // The task cannot run yet: its pen drive `pen` (letter or label) is not there.
    virtual void penWaiting(tasks::TaskId task, const std::string& pen) = 0;
    // A long run's progress, shown in the status label and the tray hint until it ends.
    virtual void runProgress(const std::string& text) { (void)text; }
};

}  // namespace tarvex::exec
