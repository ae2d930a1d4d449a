#pragma once
// The log page: the log file shown as a nine-column grid, start and close
// entries filtered by two check boxes, reset and open-in-editor actions.
#include <functional>
#include <string>
#include <vector>

#include "lib/run_context.h"
#include "log/log.h"
#include "log/log_rows.h"
#include "platform/services.h"
#include "ui/controls.h"

namespace tarvex::app {

struct LogControls {
    ui::Grid& GRID_LOG;
    ui::Memo& E_MEMO_LOG;        // the raw lines of the file
    ui::CheckBox& CB_VER_INICIO;
    ui::CheckBox& CB_VER_TERMINO;
};

// The grid reads the rows it shows from the log's text, kept once.
class LogGridRows : public ui::GridSource {
public:
    explicit LogGridRows(log::LogRows rows) : rows_(std::move(rows)) {}
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
    // leaving the grid and the raw-lines box as they were.
    void reloadLog();
    void clearLog();
    void goToEnd();
    void openLogFile();
    void logoEditClicked() { openLogFile(); }

private:
    LogControls c_;
    log::Log& log_;
    RunContext& context_;
    platform::Shell& shell_;
    std::function<bool(const std::string&)> ask_;
};

}  // namespace tarvex::app
