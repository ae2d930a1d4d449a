#include "app/main_form.h"

#include <exception>

#include "app/cover.h"
#include "lib/datetime.h"
#include "lib/errors.h"
#include "lib/routines.h"
#include "log/run_streak.h"
#include "platform/operator.h"
#include "settings/mail_settings.h"
#include "version.h"
#include "tasks/columns.h"
#include "tasks/task_types.h"

namespace tarvex::app {

void programEntry() { platform::setAppTitle(kEntryTitle); }

MainForm::MainForm(const Wiring& w)
    : services_(w.services),
      exePath_(w.exePath),
      store_(table_, w.programFolder, [this](const std::string& text) { taskFileTold(text); }),
      settingsPage_({CB_FONTE, CB_FONTEXT, CB_FONTNAME, CB_AUTORUN, startModeList, startPageList, BU_PARAM_SALVA, CALEND,
                     CB_VER_INICIO, CB_VER_TERMINO, E_TEMPO_LIMITE, F_TARVEX, &E_LOG_MAXIMO},
                    store_.folder(), w.services.registry, w.exePath,
                    [this](const std::string& text) { fileTrouble(settings::kFileName, text); },
                    [this](const std::string& text) { tell(text); }),
      log_(store_.folder(), runContext),
      logView_({GRID_LOG, E_MEMO_LOG, CB_VER_INICIO, CB_VER_TERMINO, &E_LOG_MES, &E_LOG_TAREFA, &E_LOG_RESULTADO}, log_, runContext, w.services.shell,
               [](const std::string& text) { return platform::op().carefulQuestion("Mensagem do Sistema", text); }),
      mail_(store_.folder(), table_, log_,
            [this](const std::string& title, const std::string& text) { TrayIcon1.showBalloon({title, text, true}); },
            [this](const std::string& text) { fileTrouble(settings::kMailFileName, text); }),
      commandRunner_(w.services, w.programFolder),
      executor_(table_, runContext, schedule_, *this, log_, commandRunner_, w.services),
      dialogs_(w.dialogs),
      editor_(editorLinks(), {platform::op(), dialogs_, w.services.registry, w.services.windows,
                              &w.services.shell}),
      agenda_({table_, schedule_, TIMER1}, [this](const std::string& text) { tellAgenda(text); }),
      loop_({table_, schedule_, TIMER1, T_SUPERVISOR}, agenda_, [this](const std::string& text) { tell(text); }) {
    table_.onCellChanged = [this](int, int) { showTable(); };
    table_.onReshaped = [this] { showTable(); };
    design();
    wire();
    loop_.setRunner(&executor_);
    loop_.setEditor(&editor_);
    agenda_.onComputed = [this](const std::vector<std::string>& late) { agendaComputed(late); };
    settingsPage_.onRead = [this](const settings::Settings& s) {
        commandRunner_.setTimeLimit(s.timeLimitMinutes * 60);
        log_.setMaxBytes(static_cast<std::uint64_t>(s.logMaxMegabytes) << 20);
    };
    schedule_.batchFolder = store_.folder();
    schedule_.onChange = [this] { showSchedule(); };
    showSchedule();
    // Without a box: the log is written from inside runs and timers.
    log_.onUnwritten = [this](const std::string& text) { TrayIcon1.showBalloon({"TARVEX: registro", text, true}); };
    T_DURACAO.setInterval(1000);
    T_DURACAO.onTimer = [this] { message([this] { showDuration(); }); };
    mail_.design();
    mail_.T_EMAIL.onTimer = [this] { message([this] { mail_.tick(); }); };
    mail_.BU_EMAIL_TESTE.onClick = [this] { event([this] { mail_.testClicked(); }); };
}

void MainForm::systemResumed() {
    if (!schedule_.stopped && !schedule_.running) agenda_.compute();
}

void MainForm::sessionEnding() {
    if (tasksLoaded_) store_.save();
    settingsPage_.save();
    shutDown();
}

// The run's name and its time so far, in the label and the tray hint, every second;
// Windows is told to wait for it at the end of the session.
void MainForm::runningChanged() {
    const bool running = schedule_.running;
    T_DURACAO.setTimerEnabled(running);
    progressText_.clear();
    if (running) {
        runStartSecond_ = nowSeconds();
        runName_ = trim(runContext.NOME_TAREFA);
    }
    if (onBusy) onBusy(running ? "TARVEX: executando " + runName_ : "");
}

void MainForm::showDuration() {
    if (!schedule_.running) return;
    if (!progressText_.empty()) {
        LA_MSG.setCaption(progressText_);
        TrayIcon1.setHint(progressText_);
        return;
    }
    const int elapsed = (nowSeconds() - runStartSecond_ + 86400) % 86400;
    const std::string text = "Executando " + runName_ + " - " + zeroPad(elapsed / 60, 2) + ":" +
                             zeroPad(elapsed % 60, 2);
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

void MainForm::showTable() { GRID.assignSource(table_.colCount(), std::make_shared<TableRows>(table_)); }

EditorLinks MainForm::editorLinks() {
    return {table_,
            GRID,
            E_ULTEXEC,
            [this] { return linha_; },
            [this](int row) { linha_ = row; },
            [this] { saveTasks(); },
            [this] { reloadTasks(); },
            [this](const std::function<void()>& action) { event(action); },
            [this] {
                if (!schedule_.stopped) agenda_.compute();
            },
            [this] { return schedule_.running; },
            [this] { return schedule_.batchFolder; }};
}

// The state the window starts in, as designed.
void MainForm::design() {
    F_TARVEX.setCaption("TARVEX - V: " TARVEX_VERSION_DATE);
    F_TARVEX.setState(ui::Window::State::Minimized);   // until start-up decides
    F_TARVEX.hide();
    GRID_C.fixedCols = 0;
    TIMER1.stop();
    T_SUPERVISOR.setInterval(scheduler::kSupervisorMs);
    T_SUPERVISOR.stop();
    CB_PARAR.setCaption("Parar Timer");
    CB_EXECUTANDO.setCaption("Executando");
    CB_EXECUTANDO.setEnabled(false);
    LA_HOJE.setCaption("Tarefas para Hoje");
    for (ui::Edit* e : {&E_PROX_NOME, &E_PROX_HORA, &E_PROX_INTERVALO}) e->setReadOnly(true);
    E_PROX_INTERVALO.setHint("Intervalo em segundos");
    BU_PROXIMO.setCaption("Hoje");
    BU_PROXIMO.setHint("Tarefas para hoje");
    BU_ICONIZAR.setCaption("Iconizar");
    BU_REAGENDAR.setCaption("Reagendar");
    BU_REAGENDAR.setHint("Agendar novamente");
    runNowButton.setCaption("Executar agora");
    E_DIR_PARAM.setReadOnly(true);
    designPages();
    settingsPage_.design();
}

void MainForm::wire() {
    BU_PROXIMO.onClick = [this] {
        event([this] {
            if (schedule_.running) return;   // nothing changes during a run
            agenda_.compute();
            showPage("TS_CAPA");
        });
    };
    LA_HOJE.onClick = BU_PROXIMO.onClick;
    TIMER1.onTimer = [this] { message([this] { nextTaskTimerFired(); }); };
    T_SUPERVISOR.onTimer = [this] { message([this] { supervisorTimerFired(); }); };
    CB_PARAR.onClick = [this] { event([this] { stopClicked(); }); };
    BU_REAGENDAR.onClick = [this] { event([this] { rescheduleClicked(); }); };
    runNowButton.onClick = [this] { event([this] { runNowClicked(); }); };
    BU_ICONIZAR.onClick = [this] { event([this] { iconizeClicked(); }); };
    TrayIcon1.onClick = [this] { event([this] { trayClicked(); }); };
    TrayIcon1.onBalloonClick = [this] { event([this] { balloonClicked(); }); };
    wirePages();
}

void MainForm::event(const std::function<void()>& action) {
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
void MainForm::message(const std::function<void()>& action) {
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
void MainForm::trayClicked() {
    F_TARVEX.show();
    F_TARVEX.setState(ui::Window::State::Normal);
    failureUnseen_ = false;
    if (!schedule_.running) {
        schedule_.trayImage = 0;
        schedule_.changed();
    }
}

void MainForm::balloonClicked() {
    trayClicked();
    showPage("TS_LOG");
}

// Told without a modal box, which would hold the scheduler while nobody is at the
// PC; a run the operator started by hand also shows the reason at once.
void MainForm::runFailed(tasks::TaskId task, const std::string& reason) {
    const int row = table_.rowOf(task);
    const std::string name = trim(table_.cell(col::NOME, row));
    TrayIcon1.showBalloon({"TARVEX: falha na tarefa " + zeroPad(row, 2) + " - " + name, reason, true});
    failureUnseen_ = true;
    lastFailure_ = zeroPad(row, 2) + " - " + name;
    agenda_.deferRetry(task);
    // What this run's batch wrote last tells why; without it, this run's own command
    // lines (never the batch file, which may be another task's).
    const bool batch = tasks::typeOf(table_.cell(col::TIPO, row)).run == tasks::RunKind::Batch;
    std::vector<std::string> lines = batch ? runContext.SAIDA_BAT : std::vector<std::string>{};
    const bool output = !lines.empty();
    if (batch && !output)
        for (const std::string& line : textLines(runContext.MEMO_TAREFA))
            if (!trim(line).empty()) lines.push_back(line);
    if (lines.size() > 10) lines.erase(lines.begin(), lines.end() - 10);
    mail_.runFailed(zeroPad(row, 2) + " - " + name, name, reason, lines, output);
    if (handRun_) platform::op().error("Falha na tarefa " + name + ": " + reason);
}

void MainForm::stamped(tasks::TaskId task, const std::string& stamp) {
    agenda_.clearRetry(task);
    const int row = table_.rowOf(task);
    editor_.rowStamped(row, stamp);
    const std::string name = trim(table_.cell(col::NOME, row));
    mail_.runSucceeded(zeroPad(row, 2) + " - " + name, name);
}

// A task whose last run failed (its failure cell says so) waits as the run history
// says: a restart neither forgets the wait nor retries at once.
void MainForm::restoreRetries() {
    const Date day = today();
    std::optional<std::vector<log::RunRecord>> runs;
    for (int row = 1; row < table_.rowCount(); ++row) {
        if (trim(table_.cell(col::ULTIMO_ERRO, row)).empty()) continue;
        if (!runs) runs = log::runsOfDay(store_.folder(), day);
        const log::Streak s = log::streakOf(*runs, trim(table_.cell(col::NOME, row)), day);
        agenda_.restoreRetry(table_.idAt(row), s.failuresToday, day, s.lastEndSecond);
    }
}

// The operator is asked once a day to plug the drive in; the task is not failed yet.
void MainForm::penWaiting(tasks::TaskId task, const std::string& pen) {
    const std::string today = todayText();
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

void MainForm::devicesChanged() {
    for (const auto& [task, wait] : penWaits_) agenda_.clearRetry(task);
    systemResumed();
}

// A wait that outlived its day is that day's failure; the others show on the cover.
// A task deleted meanwhile waits no more.
void MainForm::agendaComputed(const std::vector<std::string>& late) {
    showCover(table_, GRID_C);
    // The operator's typing on these pages is never taken from the screen.
    const std::string& page = PC_GERAL.active();
    if (page != "TS_TAREFAS" && page != "TS_PARAM") PC_GERAL.show("TS_CAPA");
    const std::string today = todayText();
    for (auto it = penWaits_.begin(); it != penWaits_.end();) {
        const int row = table_.rowOf(it->first);
        const bool ranSince = table_.cell(col::ULTIMA_EXEC, row).substr(0, 8) == today;
        if (row && it->second.day != today && !ranSince) executor_.penNeverCame(it->first, it->second.pen);
        if (!row || it->second.day != today || ranSince) it = penWaits_.erase(it);
        else ++it;
    }
    questionsOfPastDays();
    showWaiting();
    lateTasks(late);
    mail_.lateTasks(late);
}

void MainForm::showWaiting() {
    const std::string today = todayText();
    markWaiting(table_, GRID_C, [&](tasks::TaskId task) -> std::string {
        if (schedule_.waitsForAnswer(task, today)) return "AGUARDANDO confirmação";
        auto it = penWaits_.find(task);
        return it != penWaits_.end() ? "AGUARDANDO o pen drive " + it->second.pen : "";
    });
}

// Listed at every agenda, announced once a day.
void MainForm::lateTasks(const std::vector<std::string>& late) {
    const std::string text = lateText(late);
    LA_ATRASADAS.setCaption(text);
    const std::string day = todayText();
    if (late.empty() || lateToldOn_ == day) return;
    lateToldOn_ = day;
    TrayIcon1.showBalloon({"TARVEX: tarefas sem execução", text, true});
}

void MainForm::runNowClicked() {
    handRun_ = true;
    try {
        loop_.runNow(table_.idAt(linha_));
    } catch (...) {
        handRun_ = false;
        throw;
    }
    handRun_ = false;
}

std::vector<ui::Control*> MainForm::controls() {
    std::vector<ui::Control*> all{&F_TARVEX,     &PC_GERAL,      &GRID,          &GRID_C,         &TIMER1,      &T_SUPERVISOR, &T_DURACAO,
            &CB_PARAR,     &CB_EXECUTANDO, &LA_MSG,        &LA_PROXIMO,     &LA_HOJE,     &E_PROX_NOME,
            &E_PROX_HORA,  &E_PROX_INTERVALO, &BU_PROXIMO, &LA_ATRASADAS, &BU_ICONIZAR,    &BU_REAGENDAR, &runNowButton,
            &TrayIcon1,    &E_MEMO,        &E_ULTEXEC,     &E_DIR_PARAM,    &E_TEMPO_LIMITE, &E_LOG_MAXIMO,    &BU_LOG,      &BU_CALEND,
            &BU_TAREFAS,   &BU_HELP,       &LA_LOG,        &LA_CALEND,      &LA_TAREFAS,  &LA_HELP,
            &LA_PARAM,     &CALEND,        &E_HELP,        &CB_FONTE,       &CB_FONTEXT,  &CB_FONTNAME,
            &CB_AUTORUN,   &startModeList,    &startPageList,    &BU_PARAM_SALVA, &GRID_LOG,    &E_MEMO_LOG,
            &CB_VER_INICIO, &CB_VER_TERMINO, &BU_MONTA_LOG, &BU_ZERA_LOG,   &BU_FINAL_LOG,
            &E_LOG_MES,    &E_LOG_TAREFA,  &E_LOG_RESULTADO};
    for (ui::Control* c : mail_.controls()) all.push_back(c);
    return all;
}

// The row's stamp is emptied in the table and the box alike, and kept on disk.
void MainForm::rescheduleClicked() {
    E_ULTEXEC.setText("");
    if (linha_ >= 1 && linha_ < table_.rowCount()) table_.setCell(col::ULTIMA_EXEC, linha_, "");
    loop_.setStopped(false);
    agenda_.compute();
    editor_.acceptStampBox();
    saveTasks();
}

void MainForm::iconizeClicked() {
    loop_.setStopped(false);
    F_TARVEX.hide();
    agenda_.compute();
}

// The operator's click on "Parar Timer"; the box then shows what the schedule did.
void MainForm::stopClicked() {
    if (showingSchedule_) return;
    loop_.setStopped(CB_PARAR.checked());
    showSchedule();
}

// The controls show the schedule's state; they are never read back.
void MainForm::showSchedule() {
    const bool wasRunning = CB_EXECUTANDO.checked();
    showingSchedule_ = true;
    CB_PARAR.setChecked(schedule_.stopped);
    CB_EXECUTANDO.setChecked(schedule_.running);
    showingSchedule_ = false;
    LA_MSG.setCaption(schedule_.status);
    LA_PROXIMO.setCaption(schedule_.computations ? std::to_string(schedule_.computations) : "000");
    E_PROX_NOME.setText(schedule_.nextName);
    E_PROX_HORA.setText(schedule_.nextHour);
    E_PROX_INTERVALO.setText(schedule_.nextWait);
    // The red icon's tip says what failed, not "em Espera" alone.
    const std::string hint = failureUnseen_ && schedule_.trayImage == 2
                                 ? schedule_.trayHint + " - falhou: " + lastFailure_
                                 : schedule_.trayHint;
    if (TrayIcon1.hint() != hint) TrayIcon1.setHint(hint);   // each hint reaches the shell
    TrayIcon1.setImageIndex(schedule_.trayImage);
    E_MEMO.setText(schedule_.batchText);
    E_DIR_PARAM.setText(schedule_.batchFolder);
    if (wasRunning != schedule_.running) runningChanged();
}

void MainForm::supervisorTimerFired() {
    if (!tasksLoaded_ && !schedule_.running) loadTasks(false);
    loop_.supervisorFired();
}

// Until the table is loaded, saving it would replace the task file with nothing.
void MainForm::saveTasks() {
    if (!tasksLoaded_ && !store_.held())
        throw FileError("A lista de tarefas não foi carregada de " + store_.taskFilePath() +
                        "; nada é gravado nesse arquivo até que ele possa ser lido.");
    store_.save();
}

}  // namespace tarvex::app

