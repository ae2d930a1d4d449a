#include "app/log_page.h"

#include <memory>

#include "lib/datetime.h"
#include "lib/errors.h"
#include "platform/files.h"

namespace tarvex::app {

void LogPage::reloadLog() {
    const std::string path = log_.path();
    std::string text;
    if (const platform::IoResult fault = platform::readFile(path, text)) throw FileError(fault->text);
    // A person reads the end of the log here; the whole of it is in the grid.
    c_.E_MEMO_LOG.setText(log::logTail(text, log::kMemoLogLines));
    auto rows = std::make_shared<const LogGridRows>(
        log::LogRows(std::move(text), c_.CB_VER_INICIO.checked(), c_.CB_VER_TERMINO.checked()));
    c_.GRID_LOG.assignSource(log::kLogColumns, std::move(rows));
    c_.GRID_LOG.fixedCols = 0;
    c_.GRID_LOG.fixedRows = 1;
    c_.GRID_LOG.rowHeight = 16;
    c_.GRID_LOG.alertRow = [&grid = c_.GRID_LOG](int row) { return grid.cell(2, row) == "Erro"; };
    for (int col = 0; col < log::kLogColumns; ++col) c_.GRID_LOG.setColWidth(col, log::logColumnWidth(col));
    goToEnd();
}

void LogPage::clearLog() {
    if (!ask_("Apagar todo o histórico do log?")) return;
    const std::string path = log_.path();
    if (platform::fileExists(path)) platform::removeFile(path);
    context_.HORA_INICIO = formatTime(nowSeconds());
    log_.addEntry(0, "ZER", "LOG ZERADO");
    reloadLog();
}

void LogPage::goToEnd() {
    if (c_.GRID_LOG.rowCount() > 0) c_.GRID_LOG.setRow(c_.GRID_LOG.rowCount() - 1);
}

void LogPage::openLogFile() {
    const std::string path = log_.path();
    if (platform::fileExists(path)) shell_.open(path, "", log_.folder(), platform::SW_NORMAL_);
}

}  // namespace tarvex::app
