#include "tasks/task_file.h"

#include <algorithm>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
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

// Calls `field(begin, end)` for each field of `line` cut at `sep`, at most
// `cols` of them: the cells of a 10,000-row list are most of a load, so the
// separators are found 16 bytes at a time where the processor allows.
template <class Field>
void cutFields(std::string_view line, char sep, int cols, Field field) {
    const char* const text = line.data();
    const size_t n = line.size();
    size_t start = 0, i = 0;
    int made = 0;
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi8(sep);
    for (; i + 16 <= n && made < cols; i += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        for (unsigned hits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, wanted)));
             hits != 0 && made < cols; hits &= hits - 1) {
            const size_t stop = i + static_cast<size_t>(__builtin_ctz(hits));
            field(start, stop);
            ++made;
            start = stop + 1;
        }
    }
#endif
    for (; i < n && made < cols; ++i)
        if (text[i] == sep) {
            field(start, i);
            ++made;
            start = i + 1;
        }
    if (made < cols) field(start, n);   // the last one runs to the line's end
}

// Appends a row line's `cols` fields to `cells`, cut the way fieldOf cuts
// them; a line with fewer fields leaves the rest empty. The fields are views of
// the line, which the table holds.
void appendRow(std::string_view line, int cols, CellTable& cells) {
    const size_t end = cells.size() + static_cast<size_t>(cols);
    if (cols > 0 && !isBlank(line)) {
        const bool old = line.find(SEPARATOR) == std::string_view::npos &&
                         line.find(OLD_SEPARATOR) != std::string_view::npos;
        cutFields(line, old ? OLD_SEPARATOR : SEPARATOR, cols,
                  [&](size_t from, size_t to) { cells.push(line.substr(from, to - from)); });
    }
    cells.resize(end);
}

// How many bytes from the cell at `col` on lie one after another in the
// loaded file, a separator between each cell; `col` moves past them. A list
// saved as it was read is mostly one such run a row, copied whole. Every cell
// is a string's text, so the byte after one can be read.
size_t runFrom(const tasks::TaskTable& table, int row, int& col) {
    const std::string_view first = table.cell(col++, row);
    const char* const begin = first.data();
    const char* end = begin + first.size();
    if (begin == nullptr) return 0;
    for (; col < table.colCount(); ++col) {
        const std::string_view next = table.cell(col, row);
        if (next.data() != end + 1 || *end != SEPARATOR) break;
        end = next.data() + next.size();
    }
    return static_cast<size_t>(end - begin);
}

}  // namespace

std::string encode(const tasks::TaskTable& table) {
    const int cols = table.colCount(), rows = table.rowCount();
    const std::string head = std::to_string(cols) + "\r\n" + std::to_string(rows) + "\r\n";
    struct Run {
        size_t bytes;
        int cells;
    };
    std::vector<Run> runs;   // found once, then sized and copied
    runs.reserve(static_cast<size_t>(rows) * 2);
    size_t size = head.size();
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols;) {
            const int from = c;
            const size_t bytes = runFrom(table, r, c);
            runs.push_back({bytes, c - from});
            size += bytes + 1;
        }
        size += 2;
    }
    std::string out(size, '\0');
    char* at = std::copy(head.begin(), head.end(), out.data());
    auto run = runs.cbegin();
    for (int r = 0; r < rows; ++r) {
        // Read again by place: a view of the table may keep one row at a time.
        for (int c = 0; c < cols; c += run->cells, ++run) {
            const char* text = table.cell(c, r).data();
            at = std::copy(text, text + run->bytes, at);
            *at++ = SEPARATOR;
        }
        *at++ = '\r';
        *at++ = '\n';
    }
    return out;
}

int decode(std::string bytes, const std::string& fileName, tasks::TaskTable& table) {
    // The table keeps the file's bytes and its cells point into them.
    CellTable cells;
    LineReader lines(cells.adopt(std::move(bytes)));
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
    cells.reserve(static_cast<size_t>(rows) * cols);
    for (int r = 0; r < rows; ++r) appendRow(rowLines[r], cols, cells);
    table.assign(cols, rows, std::move(cells));
    return rows - counted;
}

void save(const tasks::TaskTable& table, const std::string& path) {
    if (const platform::IoResult fault = platform::replaceFile(path, encode(table)))
        throw FileError(fault->text);
}

int load(tasks::TaskTable& table, const std::string& path) {
    std::string bytes;
    if (const platform::IoResult fault = platform::readFile(path, bytes)) throw FileError(fault->text);
    return decode(std::move(bytes), path, table);
}

}  // namespace taskfile
}  // namespace tarvex
