#include "app/tf_tarvex.h"

#include <exception>

#include "app/inert_services.h"
#include "lib/datetime.h"
#include "lib/errors.h"
#include "lib/mrqr.h"
#include "platform/operator.h"
#include "version.h"
#include "tasks/columns.h"

namespace tarvex::app {

void programEntry() { platform::setAppTitle(kEntryTitle); }

TF_TARVEX::TF_TARVEX(const std::string& PASTA_PARAM)
    : TF_TARVEX(Wiring{inertServices(), PASTA_PARAM, PASTA_PARAM + "TARVEX.EXE"}) {}

TF_TARVEX::TF_TARVEX(const Wiring& w)
    : services_(w.services),
      exePath_(w.exePath),
      store_(table_, w.PASTA_PARAM, [](const std::string& text) { MRQ_MSG(text); }),
      log_(store_.folder(), runContext),
      logView_({GRID_LOG, E_MEMO_LOG, CB_VER_INICIO, CB_VER_TERMINO}, log_, runContext, w.services.shell),
      commandRunner_(w.services, w.PASTA_PARAM),
      executor_(table_, runContext, execControls(), *this, log_, commandRunner_, w.services),
      dialogs_(w.dialogs),
      editor_(editorLinks(), {platform::op(), dialogs_, w.services.registry, w.services.windows,
                              &w.services.shell}),
      agenda_({table_, GRID_C, CB_EXECUTANDO, CB_PARAR, LA_MSG, LA_PROXIMO, E_PROX_NOME, E_PROX_HORA,
               E_PROX_INTERVALO, TIMER1, PC_GERAL},
              {armedTask, armedHour, TIMER1_ARMADO}, [this](const std::string& text) { tellAgenda(text); }),
      loop_({TIMER1, T_SUPERVISOR, CB_PARAR, CB_EXECUTANDO, LA_MSG, TrayIcon1, E_PROX_NOME, E_PROX_HORA,
             E_PROX_INTERVALO, E_ULTEXEC, table_, F_TARVEX},
            {armedTask, armedHour, linha_}, agenda_, [](const std::string& text) { MRQ_MSG(text); }) {
    table_.onCellChanged = [this](int, int) { showTable(); };
    table_.onReshaped = [this] { showTable(); };
    design();
    wire();
    loop_.setRunner(&executor_);
    loop_.setEditor(&editor_);
    agenda_.onStale = [this](const std::vector<std::string>& late) { agendaComputed(late); };
    CB_EXECUTANDO.onClick = [this] { runningChanged(); };
    // Without a box: the log is written from inside runs and timers.
    log_.onUnwritten = [this](const std::string& text) { TrayIcon1.showBalloon({"TARVEX: registro", text, true}); };
    T_DURACAO.setInterval(1000);
    T_DURACAO.onTimer = [this] { message([this] { showDuration(); }); };
}

void TF_TARVEX::systemResumed() {
    if (!CB_PARAR.checked() && !CB_EXECUTANDO.checked()) agenda_.BU_PROXIMOClick();
}

void TF_TARVEX::sessionEnding() {
    if (tasksLoaded_) store_.save();
    saveSettings();
    FormDestroy();
}

// The run's name and its time so far, in the label and the tray hint, every second;
// Windows is told to wait for it at the end of the session.
void TF_TARVEX::runningChanged() {
    const bool running = CB_EXECUTANDO.checked();
    T_DURACAO.setTimerEnabled(running);
    progressText_.clear();
    if (running) {
        runStartSecond_ = nowSeconds();
        runName_ = trim(runContext.NOME_TAREFA);
    }
    if (onBusy) onBusy(running ? "TARVEX: executando " + runName_ : "");
}

void TF_TARVEX::showDuration() {
    if (!CB_EXECUTANDO.checked()) return;
    if (!progressText_.empty()) {
        LA_MSG.setCaption(progressText_);
        TrayIcon1.setHint(progressText_);
        return;
    }
    const int elapsed = (nowSeconds() - runStartSecond_ + 86400) % 86400;
    const std::string text = "Executando " + runName_ + " - " + MRQ_ZEROS(elapsed / 60, 2) + ":" +
                             MRQ_ZEROS(elapsed % 60, 2);
    LA_MSG.setCaption(text);
    TrayIcon1.setHint(text);
}

namespace {
// The grid reads the rows it shows from the task list, so there is one copy.
class TableRows : public ui::GridSource {
public:
    explicit TableRows(const tasks::TaskTable& table) : table_(table) {}
    int rows() const override { return table_.rowCount(); }
    void row(int r, std::vector<std::string>& cells) const override { cells = table_.rowCells(r); }

private:
    const tasks::TaskTable& table_;
};
}  // namespace

void TF_TARVEX::showTable() { GRID.assignSource(table_.colCount(), std::make_shared<TableRows>(table_)); }

EditorLinks TF_TARVEX::editorLinks() {
    return {table_,
            GRID,
            E_ULTEXEC,
            [this] { return linha_; },
            [this](int row) { linha_ = row; },
            [this] { GRID_SALVA(); },
            [this] { BU_MONTARClick(); },
            [this](const std::function<void()>& action) { event(action); },
            [this] {
                if (!CB_PARAR.checked()) agenda_.BU_PROXIMOClick();
            },
            [this] { return CB_EXECUTANDO.checked(); }};
}

// The state the window starts in, as designed.
void TF_TARVEX::design() {
    F_TARVEX.setCaption("TARVEX - V: " TARVEX_VERSION_DATE);
    F_TARVEX.setState(ui::Window::State::Minimized);   // until start-up decides
    F_TARVEX.hide();
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
    E_DIR_PARAM.setText(store_.folder());
    E_DIR_PARAM.setReadOnly(true);
    designPages();
    designSettingsPage();
}

void TF_TARVEX::wire() {
    BU_PROXIMO.onClick = [this] {
        event([this] {
            if (CB_EXECUTANDO.checked()) return;   // nothing changes during a run
            BU_PROXIMOClick();
            showPage("TS_CAPA");
        });
    };
    LA_HOJE.onClick = BU_PROXIMO.onClick;
    TIMER1.onTimer = [this] { message([this] { TIMER1Timer(); }); };
    T_SUPERVISOR.onTimer = [this] { message([this] { T_SUPERVISORTimer(); }); };
    CB_PARAR.onClick = [this] { event([this] { CB_PARARClick(); }); };
    BU_REAGENDAR.onClick = [this] { event([this] { BU_REAGENDARClick(); }); };
    T_EXEC.onClick = [this] { event([this] { T_EXECClick(); }); };
    BU_ICONIZAR.onClick = [this] { event([this] { BU_ICONIZARClick(); }); };
    TrayIcon1.onClick = [this] { event([this] { TrayIcon1Click(); }); };
    TrayIcon1.onBalloonClick = [this] { event([this] { TrayIcon1BalloonClick(); }); };
    wirePages();
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

// The way back from the notification area; the operator has now seen any failure.
void TF_TARVEX::TrayIcon1Click() {
    F_TARVEX.show();
    F_TARVEX.setState(ui::Window::State::Normal);
    failureUnseen_ = false;
    if (!CB_EXECUTANDO.checked()) TrayIcon1.setImageIndex(0);
}

void TF_TARVEX::TrayIcon1BalloonClick() {
    TrayIcon1Click();
    showPage("TS_LOG");
}

// Told without a modal box, which would hold the scheduler while nobody is at the
// PC; a run the operator started by hand also shows the reason at once.
void TF_TARVEX::runFailed(tasks::TaskId task, const std::string& reason) {
    const int row = table_.rowOf(task);
    const std::string name = trim(table_.cell(col::NOME, row));
    TrayIcon1.showBalloon({"TARVEX: falha na tarefa " + MRQ_ZEROS(row, 2) + " - " + name, reason, true});
    failureUnseen_ = true;
    agenda_.deferRetry(task);
    if (handRun_) platform::op().error("Falha na tarefa " + name + ": " + reason);
}

// The operator is asked once a day to plug the drive in; the task is not failed yet.
void TF_TARVEX::penWaiting(tasks::TaskId task, const std::string& pen) {
    const std::string today = MRQ_HOJE();
    auto it = penWaits_.find(task);
    if (it == penWaits_.end() || it->second.day != today) {
        penWaits_[task] = {pen, today};
        TrayIcon1.showBalloon({"TARVEX", "Insira o pen drive " + pen + " para a tarefa " +
                                             trim(table_.cell(col::NOME, table_.rowOf(task))),
                               false});
    }
    agenda_.holdForDrive(task);
    showWaiting();
}

void TF_TARVEX::devicesChanged() {
    for (const auto& [task, wait] : penWaits_) agenda_.clearRetry(task);
    systemResumed();
}

// A wait that outlived its day is that day's failure; the others show on the cover.
// A task deleted meanwhile waits no more.
void TF_TARVEX::agendaComputed(const std::vector<std::string>& late) {
    const std::string today = MRQ_HOJE();
    for (auto it = penWaits_.begin(); it != penWaits_.end();) {
        const int row = table_.rowOf(it->first);
        const bool ranSince = table_.cell(col::ULTIMA_EXEC, row).substr(0, 8) == today;
        if (row && it->second.day != today && !ranSince) executor_.penNeverCame(it->first, it->second.pen);
        if (!row || it->second.day != today || ranSince) it = penWaits_.erase(it);
        else ++it;
    }
    showWaiting();
    lateTasks(late);
}

void TF_TARVEX::showWaiting() {
    for (int r = 1; r < GRID_C.rowCount(); ++r) {
        auto it = penWaits_.find(table_.idAt(static_cast<int>(MRQ_VAL(GRID_C.cell(0, r)))));
        if (it != penWaits_.end()) GRID_C.setCell(3, r, "AGUARDANDO o pen drive " + it->second.pen);
    }
}

// Listed at every agenda, announced once a day.
void TF_TARVEX::lateTasks(const std::vector<std::string>& late) {
    std::string text;
    for (const std::string& line : late) text += (text.empty() ? "" : "\r\n") + line;
    LA_ATRASADAS.setCaption(text);
    const std::string day = MRQ_HOJE();
    if (late.empty() || lateToldOn_ == day) return;
    lateToldOn_ = day;
    TrayIcon1.showBalloon({"TARVEX: tarefas sem execução", text, true});
}

void TF_TARVEX::T_EXECClick() {
    handRun_ = true;
    try {
        loop_.T_EXECClick();
    } catch (...) {
        handRun_ = false;
        throw;
    }
    handRun_ = false;
}

std::vector<ui::Control*> TF_TARVEX::controls() {
    return {&F_TARVEX,     &PC_GERAL,      &GRID,          &GRID_C,         &TIMER1,      &T_SUPERVISOR, &T_DURACAO,
            &CB_PARAR,     &CB_EXECUTANDO, &LA_MSG,        &LA_PROXIMO,     &LA_HOJE,     &E_PROX_NOME,
            &E_PROX_HORA,  &E_PROX_INTERVALO, &BU_PROXIMO, &LA_ATRASADAS, &BU_ICONIZAR,    &BU_REAGENDAR, &T_EXEC,
            &TrayIcon1,    &E_MEMO,        &E_ULTEXEC,     &E_DIR_PARAM,    &BU_LOG,      &BU_CALEND,
            &BU_TAREFAS,   &BU_HELP,       &LA_LOG,        &LA_CALEND,      &LA_TAREFAS,  &LA_HELP,
            &LA_PARAM,     &CALEND,        &E_HELP,        &CB_FONTE,       &CB_FONTEXT,  &CB_FONTNAME,
            &CB_AUTORUN,   &RG_INICIAR,    &RG_TELAINI,    &BU_PARAM_SALVA, &GRID_LOG,    &E_MEMO_LOG,
            &CB_VER_INICIO, &CB_VER_TERMINO, &BU_MONTA_LOG, &BU_ZERA_LOG,   &BU_FINAL_LOG};
}

exec::ExecControls TF_TARVEX::execControls() {
    return {CB_EXECUTANDO, LA_MSG, TrayIcon1, E_MEMO, E_DIR_PARAM};
}

// The row's stamp is emptied in the table and the box alike, and kept on disk.
void TF_TARVEX::BU_REAGENDARClick() {
    loop_.BU_REAGENDARClick();
    editor_.acceptStampBox();
    GRID_SALVA();
}

void TF_TARVEX::T_SUPERVISORTimer() {
    if (!tasksLoaded_ && !CB_EXECUTANDO.checked()) loadTasks(false);
    loop_.T_SUPERVISORTimer();
}

// Until the table is loaded, saving it would replace the task file with nothing.
void TF_TARVEX::GRID_SALVA() {
    if (!tasksLoaded_ && !store_.held())
        throw FileError("A lista de tarefas não foi carregada de " + store_.taskFilePath() +
                        "; nada é gravado nesse arquivo até que ele possa ser lido.");
    store_.save();
}

}  // namespace tarvex::app
