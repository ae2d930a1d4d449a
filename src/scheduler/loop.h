#pragma once
// The scheduler loop: the one-shot timer, the supervisor, stop and resume, and the
// buttons that act on the schedule ("Reagendar", "Executar agora", "Iconizar").
#include "scheduler/agenda.h"
#include "tasks/task_runner.h"
#include "ui/controls.h"

namespace tarvex::scheduler {

using tasks::EditorSave;
using tasks::TaskRunner;

struct LoopControls {
    ui::Timer& TIMER1;
    ui::Timer& T_SUPERVISOR;
    ui::CheckBox& CB_PARAR;
    ui::CheckBox& CB_EXECUTANDO;
    ui::Label& LA_MSG;
    ui::Tray& TrayIcon1;
    ui::Edit& E_PROX_NOME;
    ui::Edit& E_PROX_HORA;
    ui::Edit& E_PROX_INTERVALO;
    ui::Edit& E_ULTEXEC;         // the editor's "Ult.Execução"
    tasks::TaskTable& table;
    ui::Window& window;          // the main window, hidden by "Iconizar"
};

struct LoopState {
    const tasks::TaskId& armed;  // the task TIMER1 runs
    const std::string& armedHour;   // its hour when the agenda armed it
    const int& LINHA;            // the row shown in the editor
};

class Loop {
public:
    // `tell` gives the operator a text; the window decides how.
    Loop(LoopControls controls, LoopState state, Agenda& agenda, Agenda::Tell tell);

    // Set when the executor and the editor exist; without them nothing runs or saves.
    void setRunner(TaskRunner* runner) { runner_ = runner; }
    void setEditor(EditorSave* editor) { editor_ = editor; }

    void TIMER1Timer();
    void T_SUPERVISORTimer();
    void CB_PARARClick();
    void BU_REAGENDARClick();
    void T_EXECClick();
    void BU_ICONIZARClick();

private:
    bool stillDue(int row) const;
    int armedRow() const;
    void showStopped();
    void refuseStop();

    LoopControls c_;
    LoopState s_;
    Agenda& agenda_;
    Agenda::Tell tell_;
    TaskRunner* runner_ = nullptr;
    EditorSave* editor_ = nullptr;
    bool undoingStop_ = false;
};

}  // namespace tarvex::scheduler
