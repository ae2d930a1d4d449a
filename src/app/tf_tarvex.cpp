#include "app/tf_tarvex.h"

#include <exception>

#include "lib/errors.h"
#include "lib/mrqr.h"
#include "platform/operator.h"

namespace tarvex::app {

TF_TARVEX::TF_TARVEX(const std::string& PASTA_PARAM)
    : store_(GRID, E_MEMO, PASTA_PARAM),
      agenda_({GRID, GRID_C, CB_EXECUTANDO, CB_PARAR, LA_MSG, LA_PROXIMO, E_PROX_NOME, E_PROX_HORA,
               E_PROX_INTERVALO, TIMER1, PC_GERAL},
              {LINHA_PROX, TIMER1_ARMADO}, [](const std::string& text) { MRQ_MSG(text); }),
      loop_({TIMER1, T_SUPERVISOR, CB_PARAR, CB_EXECUTANDO, LA_MSG, TrayIcon1, E_PROX_NOME, E_PROX_HORA,
             E_PROX_INTERVALO, E_ULTEXEC, GRID, F_TARVEX},
            {LINHA_PROX, linha_}, agenda_) {
    design();
    wire();
}

// The state the window starts in, as designed.
void TF_TARVEX::design() {
    F_TARVEX.setCaption("TARVEX - V: 08/05/2025");
    for (const char* page : {"TS_CALEND", "TS_TAREFAS", "TS_PARAM", "TS_SISTEMA", "TS_HELP", "TS_CAPA", "TS_LOG"})
        PC_GERAL.addPage(page);
    GRID_C.fixedCols = 0;
    TIMER1.setTimerEnabled(false);
    T_SUPERVISOR.setInterval(600'000);
    T_SUPERVISOR.setTimerEnabled(false);
    CB_PARAR.setCaption("Parar Timer");
    CB_EXECUTANDO.setCaption("Executando");
    CB_EXECUTANDO.setEnabled(false);
    LA_MSG.setCaption("___");
    LA_PROXIMO.setCaption("000");
    LA_HOJE.setCaption("Tarefas para Hoje");
    for (ui::Edit* e : {&E_PROX_NOME, &E_PROX_HORA, &E_PROX_INTERVALO}) e->setReadOnly(true);
    E_PROX_INTERVALO.setHint("Intervalo em segundos");
    BU_PROXIMO.setCaption("Hoje");
    BU_PROXIMO.setHint("Tarefas para hoje");
    BU_ICONIZAR.setCaption("Iconizar");
    BU_REAGENDAR.setCaption("Reagendar");
    BU_REAGENDAR.setHint("Agendar novamente");
    T_EXEC.setCaption("Executar agora");
    TrayIcon1.setHint("Tarvex em Espera");
    E_DIR_PARAM.setText(store_.pastaParam());
}

void TF_TARVEX::wire() {
    BU_PROXIMO.onClick = [this] { event([this] { BU_PROXIMOClick(); }); };
    LA_HOJE.onClick = BU_PROXIMO.onClick;
    TIMER1.onTimer = [this] { message([this] { TIMER1Timer(); }); };
    T_SUPERVISOR.onTimer = [this] { message([this] { T_SUPERVISORTimer(); }); };
    CB_PARAR.onClick = [this] { event([this] { CB_PARARClick(); }); };
    BU_REAGENDAR.onClick = [this] { event([this] { BU_REAGENDARClick(); }); };
    T_EXEC.onClick = [this] { event([this] { T_EXECClick(); }); };
    BU_ICONIZAR.onClick = [this] { event([this] { BU_ICONIZARClick(); }); };
    TrayIcon1.onClick = [this] { event([this] { TrayIcon1Click(); }); };
}

void TF_TARVEX::event(const std::function<void()>& action) {
    struct Depth {
        int& d;
        explicit Depth(int& depth) : d(depth) { ++d; }
        ~Depth() { --d; }
    } depth(eventDepth_);
    if (eventDepth_ > 1) return action();
    try {
        action();
    } catch (const std::exception& e) {
        platform::op().error(e.what());
    }
}

// A timer's message is dispatched by the message loop, also when a run lets messages
// through: its error ends its own handler, not the run that let it in.
void TF_TARVEX::message(const std::function<void()>& action) {
    const int outer = eventDepth_;
    eventDepth_ = 0;
    try {
        event(action);
    } catch (...) {
        eventDepth_ = outer;
        throw;
    }
    eventDepth_ = outer;
}

// The way back from the notification area.
void TF_TARVEX::TrayIcon1Click() {
    F_TARVEX.show();
    F_TARVEX.setState(ui::Window::State::Normal);
}

std::vector<ui::Control*> TF_TARVEX::controls() {
    return {&F_TARVEX,     &PC_GERAL,     &GRID,        &GRID_C,       &TIMER1,           &T_SUPERVISOR,
            &CB_PARAR,     &CB_EXECUTANDO, &LA_MSG,     &LA_PROXIMO,   &LA_HOJE,          &E_PROX_NOME,
            &E_PROX_HORA,  &E_PROX_INTERVALO, &BU_PROXIMO, &BU_ICONIZAR, &BU_REAGENDAR,   &T_EXEC,
            &TrayIcon1,    &E_MEMO,       &E_ULTEXEC,   &E_DIR_PARAM};
}

exec::ExecControls TF_TARVEX::execControls() {
    return {CB_EXECUTANDO, LA_MSG, TrayIcon1, E_MEMO, E_ULTEXEC, E_PROX_NOME, E_DIR_PARAM};
}

bool TF_TARVEX::loadTasks(bool tellFailure) {
    try {
        store_.BU_MONTARClick(linha_);
    } catch (const FileError& e) {
        if (tellFailure) platform::op().error(e.what());
        return false;
    }
    tasksLoaded_ = true;
    linha_ = 1;
    GRID.setRow(1);
    return true;
}

// A table that could not be loaded is tried again by the supervisor, so a file held
// by another program at start-up does not leave the scheduler idle for the day.
void TF_TARVEX::FormCreate() {
    event([this] {
        loadTasks(true);
        BU_PROXIMOClick();
    });
    T_SUPERVISOR.setTimerEnabled(true);
}

void TF_TARVEX::T_SUPERVISORTimer() {
    if (!tasksLoaded_ && !CB_EXECUTANDO.checked()) loadTasks(false);
    loop_.T_SUPERVISORTimer();
}

// Until the table is loaded, saving it would replace the task file with nothing.
void TF_TARVEX::GRID_SALVA() {
    if (!tasksLoaded_) throw FileError("Tabela de tarefas não carregada: " + store_.taskFilePath());
    store_.GRID_SALVA();
}

}  // namespace tarvex::app
