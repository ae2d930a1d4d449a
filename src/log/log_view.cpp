#include "log/log_view.h"

#include <algorithm>

#include "lib/datetime.h"
#include "lib/errors.h"
#include "platform/files.h"
#include "platform/operator.h"

namespace tarvex::log {

namespace {

struct Column { const char* title; int width; };
constexpr Column kColumns[kLogColumns] = {
    {"Data", 60},   {"Item", 28},    {"Oper", 60},  {"Inicio", 55},  {"Termino", 55},
    {"Tempo", 55},  {"TEXTO", 300},  {"Tipo", 110}, {"Periodo", 130},
};

// Field numbers (1-based, as in the file) shown in each grid column; 3 is the code.
constexpr int kFieldOf[kLogColumns] = {1, 2, 3, 5, 6, 7, 4, 8, 9};

bool blank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

size_t lineEnd(std::string_view s) {
    for (size_t i = 0; i < s.size(); ++i)
        if (s[i] == '\n' || s[i] == '\r') return i;
    return std::string_view::npos;
}

// Splits a line at "#" into its first nine fields; missing fields stay empty.
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

std::string operText(std::string_view code) {
    if (code == "INI") return "Inicio";
    if (code == "TER") return "Término";
    if (code == "ZER") return "Zera LOG";
    if (code == "EXE") return "Execução";
    if (code == "ERR") return "Erro";
    return {};
}

LogTable buildLogTable(std::string_view text, bool showStart, bool showClose) {
    LogTable t;
    // One row per line at most: reserve once so a long log is never moved around.
    const size_t lines = static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    t.cells.reserve((lines + 2) * kLogColumns);
    for (const auto& col : kColumns) t.cells.emplace_back(col.title);
    t.rows = 1;
    std::string_view fields[kLogColumns];
    while (!text.empty()) {
        const size_t end = lineEnd(text);
        std::string_view line = trimmed(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty()) continue;
        splitFields(line, fields);
        const std::string_view code = fields[2];
        if ((code == "INI" && !showStart) || (code == "TER" && !showClose)) continue;
        for (int col = 0; col < kLogColumns; ++col)
            t.cells.emplace_back(col == 2 ? operText(code) : std::string(fields[kFieldOf[col] - 1]));
        ++t.rows;
    }
    t.cells.resize(t.cells.size() + kLogColumns);   // the grid always ends with an empty row
    ++t.rows;
    return t;
}

void LogView::BU_MONTA_LOGClick() {
    const std::string path = log_.path();
    std::string text;
    if (const platform::IoResult fault = platform::readFile(path, text)) throw FileError(fault->text);
    c_.E_MEMO_LOG.setText(text);
    LogTable t = buildLogTable(c_.E_MEMO_LOG.text(), c_.CB_VER_INICIO.checked(),
                               c_.CB_VER_TERMINO.checked());
    // Filled in one step: a long log must not cost one repaint per cell.
    c_.GRID_LOG.assign(kLogColumns, t.rows, std::move(t.cells));
    c_.GRID_LOG.fixedCols = 0;
    c_.GRID_LOG.fixedRows = 1;
    c_.GRID_LOG.rowHeight = 16;
    for (int col = 0; col < kLogColumns; ++col) c_.GRID_LOG.setColWidth(col, kColumns[col].width);
    BU_FINAL_LOGClick();
}

void LogView::BU_ZERA_LOGClick() {
    if (!platform::op().question("Mensagem do Sistema", "Apagar todo o histórico do log?")) return;
    const std::string path = log_.path();
    if (platform::fileExists(path)) platform::removeFile(path);
    context_.HORA_INICIO = formatTime(nowSeconds());
    log_.MRQ_ADDLOG(0, "ZER", "LOG ZERADO");
    BU_MONTA_LOGClick();
}

void LogView::BU_FINAL_LOGClick() {
    if (c_.GRID_LOG.rowCount() > 0) c_.GRID_LOG.setRow(c_.GRID_LOG.rowCount() - 1);
}

void LogView::LOG1Click() {
    const std::string path = log_.path();
    if (platform::fileExists(path)) shell_.open(path, "", log_.folder(), platform::SW_NORMAL_);
}

}  // namespace tarvex::log
