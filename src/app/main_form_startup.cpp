// Start-up, closing and the end of the program.
#include "app/main_form.h"

#include <utility>

#include "lib/datetime.h"
#include "lib/errors.h"
#include "lib/routines.h"
#include "platform/files.h"
#include "platform/operator.h"
#include "settings/start_options.h"

namespace tarvex::app {

namespace {

// A text of several lines as one log field.
std::string oneLine(const std::string& text) {
    std::string line;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') line += text[i];
        else if (!(text[i] == '\n' && i > 0 && text[i - 1] == '\r')) line += ' ';
    }
    return line;
}

const char* const kCloseCaption = "Saindo do programa, não serão executadas as tarefas";
// The box is as wide as its text: the caption's sentence is repeated in it, so a
// box too narrow for the caption still says it whole.
const char* const kCloseQuestion = "Saindo do programa, não serão executadas as tarefas.\r\n\r\nSair assim mesmo ?";
const char* const kBusyCaption = "Tarefa em execução";

}  // namespace

void MainForm::logNow(const std::string& code, const std::string& text) {
    runContext.HORA_INICIO = formatTime(nowSeconds());
    log_.logNow(0, code, text);   // the program's own entry: no task's type or period
}

// Each step runs as its own action: a step that fails is shown and the next goes
// on, so the scheduler always ends up running.
void MainForm::startUp() {
    const LocalTime today = platform::clock().now();
    CALEND.setDate(today.year, today.month, today.day);
    PC_GERAL.setTabsVisible(false);
    editor_.pages.PC_TIPO.setTabsVisible(false);
    platform::removeLeftoverTemps(store_.folder());   // what interrupted saves left behind
    event([this] { readSettings(); });
    event([this] { mail_.read(); });
    loadTasks(true);
    logNow("INI", "Start TARVEX");
    tellTroubles();
    if (tasksLoaded_) event([this] { executor_.removeZipLeftovers(); });
    if (tasksLoaded_) event([this] { restoreRetries(); });
    event([this] { agenda_.compute(); });
    showStartPage();
    T_SUPERVISOR.setTimerEnabled(true);
    applyStartMode();
}

// The load action, row 1 made the editor's task. A file that cannot be read is kept
// aside first; the supervisor tries the load again, and until it succeeds nothing
// saves the table over the operator's file.
bool MainForm::loadTasks(bool tellFailure) {
    try {
        loadTable();
    } catch (const FileError& e) {
        if (tellFailure) keepUnreadableFile(e.what());
        return false;
    }
    tasksLoaded_ = true;
    linha_ = 1;
    GRID.setRow(1);
    editor_.loadRow();
    return true;
}

// "Monta Grid": the table read again from the file, the editor's task kept.
void MainForm::reloadTasks() {
    struct Asked {
        bool& flag;
        explicit Asked(bool& f) : flag(f) { flag = true; }
        ~Asked() { flag = false; }
    } asked(operatorLoad_);
    loadTable();
    tasksLoaded_ = true;
    if (linha_ < 1 || linha_ >= table_.rowCount()) linha_ = 1;
    editor_.loadRow();
}

// The task file read into the table; the view's columns as designed.
void MainForm::loadTable() {
    loadingTasks_ = true;
    try {
        store_.load();
    } catch (...) {
        loadingTasks_ = false;
        throw;
    }
    loadingTasks_ = false;
    schedule_.batchText = tasks::cellToLines(table_.cell(col::NOME, linha_));
    schedule_.changed();
    struct Width {
        int col, pixels;
    };
    for (const Width w : {Width{0, 40}, {1, 250}, {2, 80}, {3, 80}, {4, 60}, {5, 40}, {7, 40}, {12, 50}, {29, 30}})
        GRID.setColWidth(w.col, w.pixels);
    GRID.setWidth(250);
}

// A damaged file the store copied aside and holds; one that could not even be
// read (locked) is left alone all the same, as saveTasks refuses until a load.
void MainForm::keepUnreadableFile(const std::string& error) {
    keptAside_ = store_.heldCopy();
    std::string text = error;
    if (!store_.held()) text += "\r\nO arquivo de tarefas não será alterado até que possa ser lido.";
    fileTrouble(tasks::TASK_FILE_NAME, text);
}

void MainForm::taskFileTold(const std::string& text) {
    if (!loadingTasks_) return tell(text);
    if (!operatorLoad_) return fileTrouble(tasks::TASK_FILE_NAME, text);
    log_.logNow(0, "ERR", oneLine(text));
    tell(text);
}

void MainForm::fileTrouble(const std::string& file, const std::string& text) {
    if (!started_) {
        troubles_.emplace_back(file, text);
        return;
    }
    const std::string line = oneLine(text);
    log_.logNow(0, "ERR", line);
    failureUnseen_ = true;
    lastFailure_ = file;
    if (!schedule_.running) schedule_.trayImage = 2;
    schedule_.changed();
    // The shell shows 255 characters; the log line has it all.
    constexpr size_t kShown = 200;
    TrayIcon1.showBalloon({"TARVEX: " + file,
                           line.size() > kShown ? line.substr(0, kShown) + "... (veja o LOG)" : line, true});
}

void MainForm::tellTroubles() {
    started_ = true;
    for (const auto& [file, text] : std::exchange(troubles_, {})) fileTrouble(file, text);
}

void MainForm::showStartPage() { PC_GERAL.show(settings::startPage(startPageList.itemIndex()).name); }

void MainForm::applyStartMode() {
    switch (settings::windowStart(startModeList.itemIndex())) {
    case settings::WindowStart::Normal:
        F_TARVEX.show();
        F_TARVEX.setState(ui::Window::State::Normal);
        break;
    case settings::WindowStart::Maximized:
        F_TARVEX.show();
        F_TARVEX.setState(ui::Window::State::Minimized);
        F_TARVEX.setState(ui::Window::State::Maximized);
        break;
    case settings::WindowStart::Hidden:
        F_TARVEX.setState(ui::Window::State::Minimized);
        F_TARVEX.hide();   // only the notification-area icon is left
        break;
    }
}

void MainForm::windowShown() { platform::setAppTitle(kShownTitle); }

// A box before the window would stand alone on the screen, one per computation.
void MainForm::tellAgenda(const std::string& text) {
    if (windowUp_) return tell(text);
    heldBack_ += (heldBack_.empty() ? "" : "\r\n") + text;
}

void MainForm::windowUp() {
    if (windowUp_) return;
    windowUp_ = true;
    // A log past its bound gives its older months their own files, behind the window.
    log_.keepSmall();
    const std::string text = std::move(heldBack_);
    heldBack_.clear();
    if (text.empty()) return;
    if (F_TARVEX.visible()) tell(text);
    else TrayIcon1.showBalloon({kShownTitle, text, false});
}

// The settings are saved whatever the answer. A close confirmed while a task runs
// (a message box lets the request in) ends the program once the run is over.
bool MainForm::closeRequested() {
    event([this] { saveSettingsClicked(); });
    bool leave = false;
    event([this, &leave] { leave = editor_.leaveRow(); });
    if (!leave) return false;
    // A run cut short leaves a half-made copy or backup: the program can only
    // leave once it is over, so that is what the operator is asked.
    if (schedule_.running) {
        if (!platform::op().question(kBusyCaption, "A tarefa " + runName_ +
                                                       " está em execução.\r\n\r\nSair quando ela terminar ?"))
            return false;
        TIMER1.setTimerEnabled(false);
        T_SUPERVISOR.setTimerEnabled(false);
        requestQuit();
        return false;
    }
    // Cancelar is the default: one Enter by mistake must not stop every backup.
    const std::string lost = nextTaskLost();
    const std::string question =
        lost.empty() ? kCloseQuestion : std::string(kCloseCaption) + ".\r\n\r\n" + lost + "\r\n\r\nSair assim mesmo ?";
    if (!platform::op().carefulQuestion(kCloseCaption, question)) return false;
    TIMER1.setTimerEnabled(false);
    T_SUPERVISOR.setTimerEnabled(false);
    return true;
}

// The program is ending, after a confirmed close or a power task.
void MainForm::shutDown() {
    if (destroyed_) return;
    destroyed_ = true;
    TIMER1.setTimerEnabled(false);
    T_SUPERVISOR.setTimerEnabled(false);
    logNow("TER", "Close TARVEX");
}

}  // namespace tarvex::app
