#pragma once
// TF_TARVEX: the main window as the core sees it. It owns the task table, the
// scheduler's timers and the controls that carry its state, and the run context,
// and forwards its event actions to the scheduler's classes.
#include <functional>
#include <string>
#include <vector>

#include "exec/exec_host.h"
#include "exec/run_context.h"
#include "scheduler/agenda.h"
#include "scheduler/loop.h"
#include "scheduler/task_runner.h"
#include "tasks/task_store.h"
#include "ui/controls.h"

namespace tarvex::app {

class TF_TARVEX : public exec::ExecHost {
public:
    // PASTA_PARAM: the settings folder, with its trailing separator.
    explicit TF_TARVEX(const std::string& PASTA_PARAM);
    TF_TARVEX(const TF_TARVEX&) = delete;
    TF_TARVEX& operator=(const TF_TARVEX&) = delete;

    // ---- controls ---------------------------------------------------------------
    ui::Window F_TARVEX{"F_TARVEX"};
    ui::Pages PC_GERAL{"PC_GERAL"};
    ui::Grid GRID{"GRID"};
    ui::Grid GRID_C{"GRID_C"};
    ui::Timer TIMER1{"TIMER1"};
    ui::Timer T_SUPERVISOR{"T_SUPERVISOR"};
    ui::CheckBox CB_PARAR{"CB_PARAR"};
    ui::CheckBox CB_EXECUTANDO{"CB_EXECUTANDO"};
    ui::Label LA_MSG{"LA_MSG"};
    ui::Label LA_PROXIMO{"LA_PROXIMO"};
    ui::Label LA_HOJE{"LA_HOJE"};
    ui::Edit E_PROX_NOME{"E_PROX_NOME"};
    ui::Edit E_PROX_HORA{"E_PROX_HORA"};
    ui::Edit E_PROX_INTERVALO{"E_PROX_INTERVALO"};
    ui::Button BU_PROXIMO{"BU_PROXIMO"};
    ui::Button BU_ICONIZAR{"BU_ICONIZAR"};
    ui::Button BU_REAGENDAR{"BU_REAGENDAR"};
    ui::Button T_EXEC{"T_EXEC"};
    ui::Tray TrayIcon1{"TrayIcon1"};
    ui::Memo E_MEMO{"E_MEMO"};
    ui::Edit E_ULTEXEC{"E_ULTEXEC"};
    ui::Edit E_DIR_PARAM{"E_DIR_PARAM"};

    // ---- values kept by the window ----------------------------------------------------
    int LINHA_PROX = 0;
    bool TIMER1_ARMADO = false;        // TIMER1 armed at least once since start-up
    exec::RunContext runContext;

    int LINHA() const override { return linha_; }
    void setLINHA(int row) { linha_ = row; }
    const std::string& PASTA_PARAM() const { return store_.pastaParam(); }
    tasks::TaskStore& taskStore() { return store_; }
    exec::ExecControls execControls();
    // Every control of the window, so a kit can attach its views by name.
    std::vector<ui::Control*> controls();

    // The executor and the editor's save, plugged in when they exist.
    void setRunner(scheduler::TaskRunner* runner) { loop_.setRunner(runner); }
    void setEditor(scheduler::EditorSave* editor) { loop_.setEditor(editor); }

    // ---- start-up ----------------------------------------------------------------------
    // Loads the task table, computes the first agenda and starts the supervisor.
    void FormCreate();
    bool tasksLoaded() const { return tasksLoaded_; }

    // ---- event actions --------------------------------------------------------------
    void BU_PROXIMOClick() override { agenda_.BU_PROXIMOClick(); }
    void TIMER1Timer() { loop_.TIMER1Timer(); }
    void T_SUPERVISORTimer();
    void CB_PARARClick() { loop_.CB_PARARClick(); }
    void BU_REAGENDARClick() { loop_.BU_REAGENDARClick(); }
    void T_EXECClick() { loop_.T_EXECClick(); }
    void BU_ICONIZARClick() { loop_.BU_ICONIZARClick(); }
    void TrayIcon1Click();

    // ---- for the executor -------------------------------------------------------------
    void GRID_SALVA() override;
    void requestQuit() override { quitRequested_ = true; }
    bool quitRequested() const { return quitRequested_; }

private:
    void design();
    void wire();
    bool loadTasks(bool tellFailure);
    // Runs an event action the way the message loop does: an error nothing caught
    // ends the action and is shown in the error box; nested actions let it pass up.
    void event(const std::function<void()>& action);
    void message(const std::function<void()>& action);

    int linha_ = 1;
    bool tasksLoaded_ = false;
    bool quitRequested_ = false;
    int eventDepth_ = 0;
    tasks::TaskStore store_;
    scheduler::Agenda agenda_;
    scheduler::Loop loop_;
};

}  // namespace tarvex::app
