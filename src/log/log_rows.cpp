#include "log/log_rows.h"

#include <algorithm>
#include <cstring>


namespace tarvex::log {

namespace {

struct Column { const char* title; int width; };
constexpr Column kColumns[kLogColumns] = {
    {"Data", 60},   {"Item", 28},    {"Oper", 60},  {"Inicio", 55},  {"Termino", 55},
    {"Tempo", 55},  {"TEXTO", 300},  {"Tipo", 110}, {"Periodo", 130}, {"Motivo", 400},
};

// Field numbers (1-based, as in the file) shown in each grid column; 3 is the code.
constexpr int kFieldOf[kLogColumns] = {1, 2, 3, 5, 6, 7, 4, 8, 9, 10};

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
    if (code == "INI") return "Inicio";
    if (code == "TER") return "Término";
    if (code == "ZER") return "Zera LOG";
    if (code == "EXE") return "Execução";
    if (code == "ERR") return "Erro";
    return {};
}

LogRows::LogRows(std::string text, bool showStart, bool showClose) : text_(std::move(text)) {
    const char* const d = text_.data();
    const size_t n = text_.size();
    const bool filtering = !showStart || !showClose;
    starts_.reserve(static_cast<size_t>(std::count(text_.begin(), text_.end(), '\n')) + 1);
    // A line ends at CR or LF, whichever comes first; memchr keeps a long log's pass short.
    for (size_t at = 0; at < n;) {
        const auto* lf = static_cast<const char*>(std::memchr(d + at, '\n', n - at));
        const size_t stop = lf ? static_cast<size_t>(lf - d) : n;
        const auto* cr = static_cast<const char*>(std::memchr(d + at, '\r', stop - at));
        const size_t end = cr ? static_cast<size_t>(cr - d) : stop;
        const std::string_view line = trimmed(std::string_view(d + at, end - at));
        const size_t start = at;
        at = end + 1;
        if (line.empty()) continue;
        if (filtering) {
            std::string_view fields[kLogColumns];
            splitFields(line, fields);
            if ((fields[2] == "INI" && !showStart) || (fields[2] == "TER" && !showClose)) continue;
        }
        starts_.push_back(start);
    }
}

void LogRows::row(int r, std::vector<std::string>& cells) const {
    cells.assign(kLogColumns, std::string());
    if (r == 0) {
        for (int col = 0; col < kLogColumns; ++col) cells[col] = kColumns[col].title;
        return;
    }
    if (r < 1 || r > static_cast<int>(starts_.size())) return;   // the empty last row
    std::string_view rest = std::string_view(text_).substr(starts_[r - 1]);
    std::string_view fields[kLogColumns];
    splitFields(trimmed(rest.substr(0, lineEnd(rest))), fields);
    for (int col = 0; col < kLogColumns; ++col)
        cells[col] = col == 2 ? operText(fields[2]) : std::string(fields[kFieldOf[col] - 1]);
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

std::string logTail(std::string_view text, int lines) {
    size_t from = text.size();
    int seen = 0;
    // The last line counts whether or not it ends in a line break.
    if (from > 0 && text[from - 1] == '\n') --from;
    while (from > 0 && seen < lines) {
        const size_t nl = text.rfind('\n', from - 1);
        ++seen;
        if (nl == std::string_view::npos) return std::string(text);
        from = nl;
    }
    if (from == 0) return std::string(text);
    const auto before = static_cast<long long>(std::count(text.begin(), text.begin() + static_cast<long>(from), '\n')) + 1;
    return "(... " + std::to_string(before) + " linhas anteriores: a grade do LOG mostra todas)\r\n" +
           std::string(text.substr(from + 1));
}

}  // namespace tarvex::log
