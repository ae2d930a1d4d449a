#pragma once
// MainForm: the main window as the core sees it. It owns the task table, the
// scheduler's timers and the controls that carry its state, the run context, the
// log, the executor and the settings, and forwards its event actions to them.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/editor.h"
#include "app/log_page.h"
#include "app/mail_desk.h"
#include "app/settings_page.h"
#include "exec/exec_host.h"
#include "exec/executor.h"
#include "lib/run_context.h"
#include "exec/runner.h"
#include "log/log.h"
#include "platform/dialogs.h"
#include "platform/services.h"
#include "scheduler/agenda.h"
#include "scheduler/loop.h"
#include "settings/settings.h"
#include "tasks/schedule_state.h"
#include "tasks/task_runner.h"
#include "tasks/task_store.h"
#include "ui/controls.h"

namespace tarvex::app {

// The application's title from program entry until the window is first shown.
inline constexpr const char* kEntryTitle = "TARVEX VALDRIN";
inline constexpr const char* kShownTitle = "TARVEX";
inline constexpr const char* kMakerAddress = "https://www.valdrin.com.br/";

// Program entry's first step: the application's title.
void programEntry();

// What the window is built on: the operating system's services, the settings
// folder (with its trailing separator), the executable's path, which the logon
// auto-start value names, and the editor's path pickers (none: they pick nothing).
struct Wiring {
    platform::Services& services;
    std::string programFolder;
    std::string exePath;
    platform::Dialogs* dialogs = nullptr;
};

class MainForm : public exec::ExecHost {
public:
    explicit MainForm(const Wiring& wiring);
    MainForm(const MainForm&) = delete;
    MainForm& operator=(const MainForm&) = delete;

    // ---- controls ---------------------------------------------------------------
    ui::Window F_TARVEX{"F_TARVEX"};
    ui::Pages PC_GERAL{"PC_GERAL"};
    ui::Grid GRID{"GRID"};
    ui::Grid GRID_C{"GRID_C"};
    ui::Timer TIMER1{"TIMER1"};
    ui::Timer T_SUPERVISOR{"T_SUPERVISOR"};
    ui::Timer T_DURACAO{"T_DURACAO"};   // while a task runs: its name and time so far, every second
    ui::CheckBox CB_PARAR{"CB_PARAR"};
    ui::CheckBox CB_EXECUTANDO{"CB_EXECUTANDO"};
    ui::Label LA_MSG{"LA_MSG"};
    ui::Label LA_PROXIMO{"LA_PROXIMO"};
    ui::Label LA_HOJE{"LA_HOJE"};
    ui::Label LA_ATRASADAS{"LA_ATRASADAS"};   // the cover's list of late tasks, in red
    ui::Edit E_PROX_NOME{"E_PROX_NOME"};
    ui::Edit E_PROX_HORA{"E_PROX_HORA"};
    ui::Edit E_PROX_INTERVALO{"E_PROX_INTERVALO"};
    ui::Button BU_PROXIMO{"BU_PROXIMO"};
    ui::Button BU_ICONIZAR{"BU_ICONIZAR"};
    ui::Button BU_REAGENDAR{"BU_REAGENDAR"};
    ui::Button runNowButton{"T_EXEC"};
    ui::Tray TrayIcon1{"TrayIcon1"};
    ui::Memo E_MEMO{"E_MEMO"};
    ui::Edit E_ULTEXEC{"E_ULTEXEC"};
    ui::Edit E_DIR_PARAM{"E_DIR_PARAM"};
    ui::Edit E_TEMPO_LIMITE{"E_TEMPO_LIMITE"};   // minutes a run may last; 0: no limit
    ui::Edit E_LOG_MAXIMO{"E_LOG_MAXIMO"};       // megabytes before the log's older months move out

    // Page switching: top panel and the cover page's links.
    ui::Label BU_LOG{"BU_LOG"};
    ui::Button BU_CALEND{"BU_CALEND"};
    ui::Button BU_TAREFAS{"BU_TAREFAS"};
    ui::Button BU_HELP{"BU_HELP"};
    ui::Label LA_LOG{"LA_LOG"};
    ui::Label LA_CALEND{"LA_CALEND"};
    ui::Label LA_TAREFAS{"LA_TAREFAS"};
    ui::Label LA_HELP{"LA_HELP"};
    ui::Label LA_PARAM{"LA_PARAM"};
    ui::Calendar CALEND{"CALEND"};
    ui::Memo E_HELP{"E_HELP"};

    // The settings page TS_PARAM.
    ui::ComboBox CB_FONTE{"CB_FONTE"};
    ui::ComboBox CB_FONTEXT{"CB_FONTEXT"};
    ui::ComboBox CB_FONTNAME{"CB_FONTNAME"};
    ui::CheckBox CB_AUTORUN{"CB_AUTORUN"};
    ui::ListBox startModeList{"RG_INICIAR"};
    ui::ListBox startPageList{"RG_TELAINI"};
    ui::Button BU_PARAM_SALVA{"BU_PARAM_SALVA"};

    // The log page TS_LOG (E_MEMO_LOG sits on the "Sistema" page).
    ui::Grid GRID_LOG{"GRID_LOG"};
    ui::Memo E_MEMO_LOG{"E_MEMO_LOG"};
    ui::CheckBox CB_VER_INICIO{"CB_VER_INICIO"};
    ui::CheckBox CB_VER_TERMINO{"CB_VER_TERMINO"};
    ui::Button BU_MONTA_LOG{"BU_MONTA_LOG"};
    ui::Button BU_ZERA_LOG{"BU_ZERA_LOG"};
    ui::Button BU_FINAL_LOG{"BU_FINAL_LOG"};
    ui::ListBox E_LOG_MES{"E_LOG_MES"};
    ui::ListBox E_LOG_TAREFA{"E_LOG_TAREFA"};
    ui::ListBox E_LOG_RESULTADO{"E_LOG_RESULTADO"};

    // ---- values kept by the window ----------------------------------------------------
    RunContext runContext;
    // What the schedule is doing; the controls above only show it.
    tasks::ScheduleState& schedule() { return schedule_; }

    int editorRow() const { return linha_; }
    void stamped(tasks::TaskId task, const std::string& stamp) override;
    void runFailed(tasks::TaskId task, const std::string& reason) override;
    void sizeJumped(tasks::TaskId, const std::string& text) override {
        TrayIcon1.showBalloon({"TARVEX: tamanho fora do comum", text, false});
    }
    void penWaiting(tasks::TaskId task, const std::string& pen) override;
    // A drive arrived (or went): tasks waiting for their pen drive are looked at again.
    void devicesChanged();
    void lateTasks(const std::vector<std::string>& late);
    void agendaComputed(const std::vector<std::string>& late);
    void showWaiting();
    void runningChanged();
    void showDuration();
    int idleTrayImage() const override { return failureUnseen_ ? 2 : 0; }
    void runProgress(const std::string& text) override { progressText_ = text; }
    void setEditorRow(int row) { linha_ = row; }
    const std::string& programFolder() const { return store_.folder(); }
    // The task list; GRID shows it.
    tasks::TaskTable& table() { return table_; }
    const std::string& exePath() const { return exePath_; }
    tasks::TaskStore& taskStore() { return store_; }
    log::Log& log() { return log_; }
    LogPage& logView() { return logView_; }
    // E-mail: its settings section, the outbox and the sender.
    MailDesk& mail() { return mail_; }
    // The settings as last read (readSettings): the text font for the editor's memo.
    const settings::Settings& settings() const { return settingsPage_.current(); }
    // What runs the tasks' commands, with the time limit the settings gave it.
    exec::CommandRunner& commandRunner() { return commandRunner_; }
    // Every control of the window, so a kit can attach its views by name.
    std::vector<ui::Control*> controls();

    // The task editor of the "Tarefas" page; its controls() are its own.
    TaskEditor& editor() { return editor_; }

    // The executor and the editor are plugged in at construction; tests may put
    // others in their place.
    void setRunner(tasks::TaskRunner* runner) { loop_.setRunner(runner); }
    void setEditor(tasks::EditorSave* editor) { loop_.setEditor(editor); }
    // The editor's path pickers, for a window that makes its dialogs after the model.
    void setDialogs(platform::Dialogs* dialogs) { dialogs_.target = dialogs; }

    // ---- start-up and end ----------------------------------------------------------
    void startUp();
    void windowShown();
    // The window is up and the message loop runs: what start-up held back for
    // the operator is told now, as a balloon when only the icon shows.
    void windowUp();
    // Every way of closing the window; false refuses the close.
    bool closeRequested();
    void shutDown();

    // ---- the PC's own events ------------------------------------------------------------
    // Back from sleep or hibernation, or the clock or time zone changed: the agenda is
    // computed again from the wall clock, so a task missed meanwhile runs (once).
    void systemResumed();
    void clockChanged() { systemResumed(); }
    // Windows asks whether it may end the session: never a question; false only
    // while a task runs (Windows then shows the reason the window gave).
    bool sessionMayEnd() const { return quitRequested_ || !schedule_.running; }
    // The session ends: the task file and the settings are saved and the end logged.
    void sessionEnding();
    // Told when a run starts (the reason for Windows to wait, "TARVEX: executando
    // NOME") and ends (empty).
    std::function<void(const std::string& reason)> onBusy;
    bool tasksLoaded() const { return tasksLoaded_; }
    // Where an unreadable task file was copied at start-up; empty when none was.
    const std::string& keptAside() const { return keptAside_; }

    // ---- event actions --------------------------------------------------------------
    void computeAgenda() override { agenda_.compute(); }
    void nextTaskTimerFired() { loop_.timerFired(); }
    void supervisorTimerFired();
    void stopClicked();
    void rescheduleClicked();
    void runNowClicked();
    void iconizeClicked();
    void trayClicked();
    void balloonClicked();

    void calendarClicked();
    void tasksClicked();
    void helpClicked();
    void logClicked();
    void settingsLinkClicked() { showPage("TS_PARAM"); }
    void settingsMenuClicked() { showPage("TS_PARAM"); }
    void systemMenuClicked() { showPage("TS_SISTEMA"); }
    // The operator's way to another page: the editor's changed fields are asked about first.
    void showPage(const std::string& page);
    void makerMenuClicked();
    void openLogFile() { logView_.openLogFile(); }
    void logoEditClicked() { logView_.logoEditClicked(); }
    void calendarShown();
    void logShown() { logView_.reloadLog(); }
    void fontSizeClicked();

    // The settings: read and applied to the window, saved from it.
    void readSettings();
    void saveSettingsClicked();

    // ---- for the executor -------------------------------------------------------------
    void saveTasks() override;
    bool ask(const std::string& text) override;
    void tell(const std::string& text) override;
    Answer confirmRun(tasks::TaskId task, const std::string& text) override;
    void showMessage(const std::string& text) override;
    // A power task ends the program: no question, the end still logged.
    void requestQuit() override { quitRequested_ = true; }
    bool quitRequested() const { return quitRequested_; }

private:
    void design();
    void designPages();
    void wire();
    void wirePages();
    bool loadTasks(bool tellFailure);
    void loadTable();
    void showTable();
    void showSchedule();
    void reloadTasks();
    EditorLinks editorLinks();
    void keepUnreadableFile(const std::string& error);
    // A file found damaged or mended (read apart and copied aside): told without a
    // box, as nobody may be at the PC. A log line with the reason, the red icon and
    // a balloon; start-up's are logged after its "INI" entry.
    void fileTrouble(const std::string& file, const std::string& text);
    void tellTroubles();
    // What the task store says while it loads goes the same way, save for a load
    // the operator asked for ("Monta Grid"), which is told in a box too.
    void taskFileTold(const std::string& text);
    void logNow(const std::string& code, const std::string& text);
    // The retry waits of the tasks failing today, as they were before a restart.
    void restoreRetries();
    void tellAgenda(const std::string& text);
    void showStartPage();
    void questionAnswered(tasks::TaskId task, const std::string& day, bool ok);
    void questionsOfPastDays();
    // "A tarefa NN - NOME das hh:mm não será executada." for the next task still due today.
    std::string nextTaskLost() const;
    void applyStartMode();
    void toggle(const char* own, const char* other);
    void pageShown(const std::string& page);
    // Runs an event action the way the message loop does: an error nothing caught
    // ends the action and is shown in the error box; nested actions let it pass up.
    void event(const std::function<void()>& action);
    void message(const std::function<void()>& action);

    platform::Services& services_;
    std::string exePath_;
    int linha_ = 1;
    bool tasksLoaded_ = false;
    bool quitRequested_ = false;
    bool handRun_ = false;          // the run in progress was started by "Executar agora"
    bool failureUnseen_ = false;    // a failure's balloon was shown and the window not opened since
    std::string lastFailure_;       // "NN - NOME" of that failure, for the tray's tip
    std::string lateToldOn_;        // the day the late tasks were last announced
    int runStartSecond_ = 0;        // of the day, when the run in progress started
    std::string runName_;
    std::string progressText_;      // a run's own progress, shown instead of its time
    struct PenWait {
        std::string pen, day;   // the drive waited for, since which day
    };
    std::map<tasks::TaskId, PenWait> penWaits_;
    bool destroyed_ = false;
    int eventDepth_ = 0;
    std::string keptAside_;
    bool windowUp_ = false;
    bool started_ = false;             // start-up's "INI" entry is written
    bool loadingTasks_ = false;
    bool operatorLoad_ = false;
    std::vector<std::pair<std::string, std::string>> troubles_;   // file and text, until "INI"
    std::string heldBack_;             // the agenda's news during start-up
    tasks::TaskTable table_;
    tasks::ScheduleState schedule_;
    bool showingSchedule_ = false;   // the check boxes are set from the state, not by the operator
    tasks::TaskStore store_;
    SettingsPage settingsPage_;
    log::Log log_;
    LogPage logView_;
    MailDesk mail_;
    exec::CommandRunner commandRunner_;
    exec::Executor executor_;
    // Passes the pickers' calls on to the dialogs in use; none: nothing is picked.
    struct DialogsRelay : platform::Dialogs {
        explicit DialogsRelay(platform::Dialogs* t) : target(t) {}
        std::optional<std::string> browseFolder(const std::string& title, const std::string& initial) override {
            return target ? target->browseFolder(title, initial) : std::nullopt;
        }
        std::optional<std::string> openFile(const std::string& filter, const std::string& start) override {
            return target ? target->openFile(filter, start) : std::nullopt;
        }
        platform::Dialogs* target;
    };
    DialogsRelay dialogs_;
    TaskEditor editor_;
    scheduler::Agenda agenda_;
    scheduler::Loop loop_;
};

}  // namespace tarvex::app
