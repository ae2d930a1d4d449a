#include "tasks/task_file.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "lib/errors.h"
#include "platform/files.h"

namespace tarvex {
namespace taskfile {
namespace {

bool isBlank(std::string_view s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) > ' ') return false;
    return true;
}

// Hands out the file's lines one at a time; a line missing at the end reads as
// empty. A line ends at LF, with the CR before it dropped.
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {}
    std::string_view next() {
        if (pos_ >= text_.size()) return {};
        const size_t nl = text_.find('\n', pos_);
        const size_t end = nl == std::string_view::npos ? text_.size() : nl;
        std::string_view line = text_.substr(pos_, end - pos_);
        pos_ = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        return line;
    }
    bool done() const { return pos_ >= text_.size(); }
private:
    std::string_view text_;
    size_t pos_ = 0;
};

std::string shown(std::string_view s) {
    std::string out(s.substr(0, 20));
    if (s.size() > 20) out += "...";
    return out;
}

// Line 1 or 2: a missing or blank line counts 0, as in a file with no counts.
// Checked against `limit` before anything is sized by it.
int countFromLine(std::string_view line, int lineNo, int limit, const char* what,
                  const std::string& fileName) {
    size_t b = 0, e = line.size();
    while (b < e && static_cast<unsigned char>(line[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(line[e - 1]) <= ' ') --e;
    const std::string_view digits = line.substr(b, e - b);
    long long value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            throw FileError("O arquivo " + fileName + " não pode ser lido: a linha " +
                            std::to_string(lineNo) + " (número de " + what + ") não é um número: \"" +
                            shown(digits) + "\".");
        if (value <= limit) value = value * 10 + (c - '0');
    }
    if (value > limit)
        throw FileError("O arquivo " + fileName + " foi recusado: declara " + shown(digits) + " " +
                        what + ", e o máximo é " + std::to_string(limit) + ".");
    return static_cast<int>(value);
}

// Appends a row line's `cols` fields to `cells`, cut the way MRQ_CAMPO cuts
// them; a line with fewer fields leaves the rest empty.
void appendRow(std::string_view line, int cols, std::vector<std::string>& cells) {
    const size_t end = cells.size() + static_cast<size_t>(cols);
    if (cols > 0 && !isBlank(line)) {
        const bool old = line.find(SEPARATOR) == std::string_view::npos &&
                         line.find(OLD_SEPARATOR) != std::string_view::npos;
        const char sep = old ? OLD_SEPARATOR : SEPARATOR;
        const char* at = line.data();
        const char* const last = at + line.size();
        for (int field = 0; field < cols; ++field) {
            const char* stop = at;
            while (stop != last && *stop != sep) ++stop;
            if (stop == at) cells.emplace_back();   // most of a row: far cheaper than a copy of nothing
            else cells.emplace_back(at, stop);
            if (stop == last) break;
            at = stop + 1;
        }
    }
    cells.resize(end);
}

}  // namespace

std::string encode(const ui::Grid& grid) {
    const int cols = grid.colCount(), rows = grid.rowCount();
    const std::string head = std::to_string(cols) + "\r\n" + std::to_string(rows) + "\r\n";
    size_t size = head.size() + static_cast<size_t>(rows) * (static_cast<size_t>(cols) + 2);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) size += grid.cell(c, r).size();
    // Sized once and filled in place: the save of a long list is mostly this.
    std::string out(size, '\0');
    char* at = std::copy(head.begin(), head.end(), out.data());
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            const std::string& cell = grid.cell(c, r);
            if (!cell.empty()) at = std::copy(cell.begin(), cell.end(), at);
            *at++ = SEPARATOR;
        }
        *at++ = '\r';
        *at++ = '\n';
    }
    return out;
}

int decode(const std::string& bytes, const std::string& fileName, ui::Grid& grid) {
    LineReader lines(bytes);
    const int cols = countFromLine(lines.next(), 1, MAX_COLUMNS, "colunas", fileName);
    const int counted = countFromLine(lines.next(), 2, MAX_ROWS, "linhas", fileName);
    std::vector<std::string_view> rowLines;
    rowLines.reserve(static_cast<size_t>(counted));
    for (int r = 0; r < counted; ++r) rowLines.push_back(lines.next());
    // Rows the count line leaves out are the operator's tasks all the same.
    size_t kept = rowLines.size();
    while (!lines.done() && rowLines.size() <= static_cast<size_t>(MAX_ROWS)) {
        rowLines.push_back(lines.next());
        if (!isBlank(rowLines.back())) kept = rowLines.size();
    }
    if (kept > static_cast<size_t>(MAX_ROWS))
        throw FileError("O arquivo " + fileName + " foi recusado: tem mais de " + std::to_string(MAX_ROWS) +
                        " linhas.");
    const int rows = static_cast<int>(kept);
    // Filled apart and handed over only once every line was read.
    std::vector<std::string> cells;
    cells.reserve(static_cast<size_t>(rows) * cols);
    for (int r = 0; r < rows; ++r) appendRow(rowLines[r], cols, cells);
    grid.assign(cols, rows, std::move(cells));
    return rows - counted;
}

}  // namespace taskfile

void MRQ_GRID_SALVA(const ui::Grid& grid, const std::string& path) {
    if (const platform::IoResult fault = platform::replaceFile(path, taskfile::encode(grid)))
        throw FileError(fault->text);
}

int MRQ_GRID_LER(ui::Grid& grid, const std::string& path) {
    std::string bytes;
    if (const platform::IoResult fault = platform::readFile(path, bytes)) throw FileError(fault->text);
    return taskfile::decode(bytes, path, grid);
}

}  // namespace tarvex
