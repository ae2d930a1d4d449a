#include "log/log_rows.h"

#include <algorithm>

#include "log/log_lines.h"


namespace tarvex::log {

namespace {

struct Column { const char* title; int width; };
constexpr Column kColumns[kLogColumns] = {
    {"Data", 60},   {"Item", 28},    {"Oper", 60},  {"Início", 55},  {"Término", 55},
    {"Tempo", 55},  {"TEXTO", 300},  {"Tipo", 110}, {"Período", 130}, {"Motivo", 400},
};

// Field numbers (1-based, as in the file) shown in each grid column; 3 is the code.
constexpr int kFieldOf[kLogColumns] = {1, 2, 3, 5, 6, 7, 4, 8, 9, 10};

// Splits a line at "#" into its first ten fields; missing fields stay empty.
void splitFields(std::string_view line, std::string_view (&fields)[kLogColumns]) {
    for (auto& f : fields) f = {};
    for (int i = 0; i < kLogColumns; ++i) {
        size_t hash = line.find('#');
        fields[i] = line.substr(0, hash);
        if (hash == std::string_view::npos) break;
        line.remove_prefix(hash + 1);
    }
}

}  // namespace

int logColumnWidth(int col) { return col >= 0 && col < kLogColumns ? kColumns[col].width : 0; }

std::string operText(std::string_view code) {
    if (code == "INI") return "Início";
    if (code == "TER") return "Término";
    if (code == "ZER") return "Zera LOG";
    if (code == "EXE") return "Execução";
    if (code == "ERR") return "Erro";
    return {};
}

std::string_view entryText(std::string_view fromStart) {
    std::string_view s = fromStart.substr(0, kRowBytes);
    s = s.substr(0, std::min(s.find('\n'), s.find('\r')));
    while (!s.empty() && blankByte(s.back())) s.remove_suffix(1);
    return s;
}

void entryCells(std::string_view fromStart, std::vector<std::string>& cells) {
    cells.assign(kLogColumns, std::string());
    std::string_view fields[kLogColumns];
    splitFields(entryText(fromStart), fields);
    for (int col = 0; col < kLogColumns; ++col)
        cells[col] = col == 2 ? operText(fields[2]) : std::string(fields[kFieldOf[col] - 1]);
}

namespace {

// A run's entry names its task as the whole text, at its start ("NOME >> 3
// arquivos conferidos") or at its end ("***   ERRO   ***   NOME").
bool namesTask(std::string_view text, std::string_view task) {
    if (text.size() < task.size()) return false;
    if (text == task) return true;
    const bool atStart = text.substr(0, task.size()) == task && text[task.size()] == ' ';
    const bool atEnd = text.substr(text.size() - task.size()) == task && text[text.size() - task.size() - 1] == ' ';
    return atStart || atEnd;
}

}  // namespace

bool entryShown(std::string_view text, const LogFilter& filter) {
    std::string_view fields[kLogColumns];
    splitFields(text, fields);
    const std::string_view code = fields[2];
    if ((code == "INI" && !filter.showStart) || (code == "TER" && !filter.showClose)) return false;
    if (filter.result == LogResult::Ok && code != "EXE") return false;
    if (filter.result == LogResult::Failed && code != "ERR") return false;
    if (filter.task.empty()) return true;
    return (code == "EXE" || code == "ERR") && namesTask(fields[3], filter.task);
}

void titleCells(std::vector<std::string>& cells) {
    cells.assign(kLogColumns, std::string());
    for (int col = 0; col < kLogColumns; ++col) cells[col] = kColumns[col].title;
}

LogRows::LogRows(std::string text, const LogFilter& filter) : text_(std::move(text)) {
    LineScanner lines(filter);
    const auto shown = [this](std::uint64_t start) { starts_.push_back(static_cast<size_t>(start)); };
    lines.feed(text_.data(), text_.size(), 0, shown);
    lines.finish(shown);
}

void LogRows::row(int r, std::vector<std::string>& cells) const {
    if (r == 0) return titleCells(cells);
    if (r < 1 || r > static_cast<int>(starts_.size())) return cells.assign(kLogColumns, std::string());
    entryCells(std::string_view(text_).substr(starts_[r - 1]), cells);
}

LogTable buildLogTable(std::string_view text, bool showStart, bool showClose) {
    const LogRows source{std::string(text), showStart, showClose};
    LogTable t;
    t.rows = source.rows();
    t.cells.reserve(static_cast<size_t>(t.rows) * kLogColumns);
    std::vector<std::string> row;
    for (int r = 0; r < t.rows; ++r) {
        source.row(r, row);
        for (auto& cell : row) t.cells.push_back(std::move(cell));
    }
    return t;
}

size_t tailStart(std::string_view end, bool cut, int lines) {
    size_t stop = end.size();
    // The last line counts whether or not it ends in a line break.
    if (stop > 0 && end[stop - 1] == '\n') --stop;
    for (int seen = 0; seen < lines; ++seen) {
        const size_t nl = stop == 0 ? std::string_view::npos : end.rfind('\n', stop - 1);
        // Out of line breaks: the whole text, or only after the line cut at its front.
        if (nl == std::string_view::npos) return !cut ? 0 : stop == end.size() ? stop : stop + 1;
        stop = nl;
    }
    return stop + 1;
}

std::string tailNote(long long linesBefore) {
    const std::string count = linesBefore >= 0 ? std::to_string(linesBefore) + " " : "";
    return "(... " + count + "linhas anteriores: a grade do LOG mostra todas)\r\n";
}

std::string logTail(std::string_view text, int lines) {
    const size_t from = tailStart(text, false, lines);
    if (from == 0) return std::string(text);
    return tailNote(std::count(text.begin(), text.begin() + static_cast<long>(from), '\n')) +
           std::string(text.substr(from));
}

}  // namespace tarvex::log
