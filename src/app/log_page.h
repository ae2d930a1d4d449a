#pragma once
// The log page: the log file shown as a nine-column grid, start and close
// entries filtered by two check boxes, reset and open-in-editor actions.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "lib/run_context.h"
#include "log/log.h"
#include "log/log_file_rows.h"
#include "log/log_rows.h"
#include "platform/services.h"
#include "ui/controls.h"

namespace tarvex::app {

struct LogControls {
    ui::Grid& GRID_LOG;
    ui::Memo& E_MEMO_LOG;        // the raw lines of the file
    ui::CheckBox& CB_VER_INICIO;
    ui::CheckBox& CB_VER_TERMINO;
    // The choices above the grid; none: the current log, every entry.
    ui::ListBox* E_LOG_MES = nullptr;         // the current log or an older month's file
    ui::ListBox* E_LOG_TAREFA = nullptr;      // every task or one
    ui::ListBox* E_LOG_RESULTADO = nullptr;   // every entry, runs that went well, failures
};

// The first item of the month list: the log being written.
inline constexpr const char* kCurrentLogItem = "Atual";
inline constexpr const char* kEveryTaskItem = "(todas)";
inline const std::vector<std::string> kResultItems = {"Todos", "OK", "ERRO"};

// The grid reads the rows it shows from the log file, as it asks for them.
class LogGridRows : public ui::GridSource {
public:
    explicit LogGridRows(std::shared_ptr<log::LogFileRows> rows) : rows_(std::move(rows)) {}
    int rows() const override { return rows_->rows(); }
    void row(int r, std::vector<std::string>& cells) const override { rows_->row(r, cells); }
    log::LogFileRows& file() const { return *rows_; }

private:
    std::shared_ptr<log::LogFileRows> rows_;
};

// What the grid shows while the whole file is gone through: the entries of its
// end, already read, so the last line is there at once.
class LogTailRows : public ui::GridSource {
public:
    LogTailRows(std::string end, const log::LogFilter& filter) : rows_(std::move(end), filter) {}
    int rows() const override { return rows_.rows(); }
    void row(int r, std::vector<std::string>& cells) const override { rows_.row(r, cells); }

private:
    log::LogRows rows_;
};

class LogPage {
public:
    // `ask` puts a question to the operator; true is yes.
    LogPage(LogControls controls, log::Log& log, RunContext& context, platform::Shell& shell,
            std::function<bool(const std::string&)> ask)
        : c_(controls), log_(log), context_(context), shell_(shell), ask_(std::move(ask)) {}

    // Rebuilds the grid from the file; throws FileError when it cannot be read,
    // leaving the grid and the raw-lines box as they were. The file is gone
    // through on a thread of its own while the window keeps answering; the grid
    // shows the file's end meanwhile, then every entry, at its end if it was there.
    void reloadLog();
    void clearLog();
    void goToEnd();
    void openLogFile();
    void logoEditClicked() { openLogFile(); }
    // A choice of month, task or result changed: the grid is built again.
    void choiceChanged();
    // The file the grid shows: the log, or the month chosen.
    std::string shownPath() const;
    // The task names the task choice offers, asked at each rebuild.
    std::function<std::vector<std::string>()> taskNames;

private:
    LogControls c_;
    log::Log& log_;
    RunContext& context_;
    platform::Shell& shell_;
    std::function<bool(const std::string&)> ask_;
    std::shared_ptr<const ui::GridSource> shown_;
    unsigned builds_ = 0;        // a newer build makes an older one stop showing
    bool filling_ = false;       // the choices are being refilled, not chosen
    std::jthread pass_;

    void build();
    void fillChoices();
    log::LogFilter filter() const;
    void stopPass();
    void showRows(std::shared_ptr<const ui::GridSource> rows);
    void showTail(const std::string& end, std::uint64_t from, const log::LogFileRows* counted);
};

}  // namespace tarvex::app
