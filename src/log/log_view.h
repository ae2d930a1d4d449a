#pragma once
// The log page: the log file shown as a nine-column grid, start and close
// entries filtered by two check boxes, reset and open-in-editor actions.
#include <string>
#include <string_view>
#include <vector>

#include "lib/run_context.h"
#include "log/log.h"
#include "platform/services.h"
#include "ui/controls.h"

namespace tarvex::log {

struct LogControls {
    ui::Grid& GRID_LOG;
    ui::Memo& E_MEMO_LOG;        // the raw lines of the file
    ui::CheckBox& CB_VER_INICIO;
    ui::CheckBox& CB_VER_TERMINO;
};

constexpr int kLogColumns = 9;

// The log as the grid shows it: title row, one row per shown entry and a final
// empty row. The file's text is kept once with where each shown entry starts; a
// row's cells are cut from its line when the grid asks for them.
class LogRows : public ui::GridSource {
public:
    LogRows(std::string text, bool showStart, bool showClose);
    int rows() const override { return static_cast<int>(starts_.size()) + 2; }
    void row(int r, std::vector<std::string>& cells) const override;

private:
    std::string text_;
    std::vector<std::size_t> starts_;
};

// The same rows as cells, row-major, for whoever wants them all.
struct LogTable {
    int rows = 0;
    std::vector<std::string> cells;
};
LogTable buildLogTable(std::string_view logText, bool showStart, bool showClose);

// The raw-lines box holds this many of the last lines; the grid holds them all.
constexpr int kMemoLogLines = 2000;
// The end of the log for the raw-lines box: its last `lines` lines, after a note
// saying how many more the grid holds when there are more.
std::string logTail(std::string_view text, int lines);

// "Inicio", "Término", ... for an event code; empty for any other code.
std::string operText(std::string_view code);

class LogView {
public:
    LogView(LogControls controls, const Log& log, RunContext& context, platform::Shell& shell)
        : c_(controls), log_(log), context_(context), shell_(shell) {}

    // Rebuilds the grid from the file; throws FileError when it cannot be read,
    // leaving the grid and the raw-lines box as they were.
    void BU_MONTA_LOGClick();
    void BU_ZERA_LOGClick();
    void BU_FINAL_LOGClick();
    void LOG1Click();
    void BU_LOGO_EDITClick() { LOG1Click(); }

private:
    LogControls c_;
    const Log& log_;
    RunContext& context_;
    platform::Shell& shell_;
};

}  // namespace tarvex::log
