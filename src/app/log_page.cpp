#include "app/log_page.h"

#include <algorithm>
#include <memory>

#include "lib/datetime.h"
#include "lib/errors.h"
#include "log/log_months.h"
#include "platform/files.h"
#include "platform/operator.h"

namespace tarvex::app {

namespace {

// The list refilled with `items`, the same item chosen again when it is still
// there, else the first.
void refill(ui::ListBox& list, std::vector<std::string> items) {
    const std::string chosen = list.selectedText();
    if (items != list.items) list.setItems(std::move(items));
    const auto at = std::find(list.items.begin(), list.items.end(), chosen);
    list.setItemIndex(at == list.items.end() ? 0 : static_cast<int>(at - list.items.begin()));
}

}  // namespace

void LogPage::fillChoices() {
    filling_ = true;
    if (c_.E_LOG_MES) {
        std::vector<std::string> months{kCurrentLogItem};
        for (std::string& m : log::monthsBeside(log_.path())) months.push_back(std::move(m));
        refill(*c_.E_LOG_MES, std::move(months));
    }
    if (c_.E_LOG_TAREFA) {
        std::vector<std::string> tasks{kEveryTaskItem};
        if (taskNames)
            for (std::string& name : taskNames())
                if (std::find(tasks.begin(), tasks.end(), name) == tasks.end()) tasks.push_back(std::move(name));
        refill(*c_.E_LOG_TAREFA, std::move(tasks));
    }
    if (c_.E_LOG_RESULTADO) refill(*c_.E_LOG_RESULTADO, kResultItems);
    filling_ = false;
}

void LogPage::choiceChanged() {
    if (!filling_) reloadLog();
}

std::string LogPage::shownPath() const {
    if (!c_.E_LOG_MES || c_.E_LOG_MES->itemIndex() <= 0) return log_.path();
    return log::monthFilePath(log_.path(), c_.E_LOG_MES->selectedText());
}

log::LogFilter LogPage::filter() const {
    log::LogFilter f{c_.CB_VER_INICIO.checked(), c_.CB_VER_TERMINO.checked(), {}, log::LogResult::All};
    if (c_.E_LOG_TAREFA && c_.E_LOG_TAREFA->itemIndex() > 0) f.task = c_.E_LOG_TAREFA->selectedText();
    if (c_.E_LOG_RESULTADO) {
        const int r = c_.E_LOG_RESULTADO->itemIndex();
        f.result = r == 1 ? log::LogResult::Ok : r == 2 ? log::LogResult::Failed : log::LogResult::All;
    }
    return f;
}

void LogPage::reloadLog() {
    fillChoices();
    try {
        build();
    } catch (const std::bad_alloc&) {
        throw FileError("Memória insuficiente para mostrar o LOG");
    }
}

void LogPage::build() {
    const std::string path = shownPath();
    // The end of the file first: it opens the file (or says why not) and is what
    // a person reads first.
    const std::uint64_t size = platform::fileSize(path).value_or(0);
    const std::uint64_t from = size > log::kMemoLogBytes ? size - log::kMemoLogBytes : 0;
    std::string end;
    if (const platform::IoResult fault = platform::readFileAt(path, from, log::kMemoLogBytes, end))
        throw FileError(fault->text);
    stopPass();
    const unsigned build = ++builds_;
    auto file = std::make_shared<log::LogFileRows>(path, from + end.size(), filter());
    showTail(end, from, nullptr);
    // Until the pass has counted every entry, the end already read stands for the
    // file: its last entries show at once, from the first whole line.
    const std::size_t whole = from == 0 ? 0 : std::min(end.size(), end.find('\n') + 1);
    showRows(std::make_shared<const LogTailRows>(end.substr(whole), filter()));
    pass_ = std::jthread([file](std::stop_token stop) { file->index(stop); });
    platform::op().waitUntil([&] { return file->finished(); }, [] {});
    // Another build (or a reset) took over while this one waited.
    if (build != builds_) return;
    if (const std::string fault = file->fault(); !fault.empty()) throw FileError(fault);
    const bool atEnd = c_.GRID_LOG.row() >= c_.GRID_LOG.rowCount() - 1;
    shown_ = std::make_shared<const LogGridRows>(file);
    c_.GRID_LOG.assignSource(log::kLogColumns, shown_);
    if (atEnd) goToEnd();
    showTail(end, from, file.get());
}

void LogPage::stopPass() {
    if (!pass_.joinable()) return;
    pass_.request_stop();
    pass_.join();
}

void LogPage::showRows(std::shared_ptr<const ui::GridSource> rows) {
    shown_ = std::move(rows);
    c_.GRID_LOG.assignSource(log::kLogColumns, shown_);
    c_.GRID_LOG.fixedCols = 0;
    c_.GRID_LOG.fixedRows = 1;
    c_.GRID_LOG.rowHeight = 16;
    c_.GRID_LOG.alertRow = [&grid = c_.GRID_LOG](int row) { return grid.cell(2, row) == "Erro"; };
    for (int col = 0; col < log::kLogColumns; ++col) c_.GRID_LOG.setColWidth(col, log::logColumnWidth(col));
    goToEnd();
}

// A person reads the end of the log here, bounded in bytes; the whole of it is in
// the grid. How many lines come before is said once the pass has counted them.
void LogPage::showTail(const std::string& end, std::uint64_t from, const log::LogFileRows* counted) {
    const std::size_t at = log::tailStart(end, from > 0, log::kMemoLogLines);
    if (at == 0 && from == 0) return c_.E_MEMO_LOG.setText(end);
    long long before = -1;
    if (const auto breaks = counted ? counted->lineBreaks() : std::nullopt)
        before = static_cast<long long>(*breaks) -
                 static_cast<long long>(std::count(end.begin() + static_cast<long>(at), end.end(), '\n'));
    c_.E_MEMO_LOG.setText(log::tailNote(before) + end.substr(at));
}

void LogPage::clearLog() {
    const bool months = !log::monthsBeside(log_.path()).empty();
    if (!ask_(months ? "Apagar o log atual (LOG_TIMER.TXT)?\r\nOs meses anteriores (LOG_TIMER_AAAA-MM.TXT) ficam guardados."
                     : "Apagar todo o histórico do log?"))
        return;
    // A build under way lets go of the file first.
    stopPass();
    ++builds_;
    const std::string path = log_.path();
    if (platform::fileExists(path)) platform::removeFile(path);
    log_.logNow(0, "ZER", "LOG ZERADO");   // the program's own entry: no task's type or period
    // The reset is seen in the current log, whatever month was shown.
    if (c_.E_LOG_MES) {
        filling_ = true;
        c_.E_LOG_MES->setItemIndex(0);
        filling_ = false;
    }
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
