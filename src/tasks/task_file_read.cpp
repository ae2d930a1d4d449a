// Reading the task file only when it reads as one: what a spreadsheet, another
// editor or a cut-short copy made of it is told apart from the format before a
// row of it reaches the table.
#include <algorithm>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <optional>
#include <string_view>

#include "lib/errors.h"
#include "platform/cp1252.h"
#include "tasks/task_file.h"

namespace tarvex {
namespace taskfile {
namespace {

bool isBlank(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

bool hasHighBytes(std::string_view s) {
    return std::any_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// Well-formed UTF-8. A Windows-1252 task file never is: "¦" (0xA6) after
// every cell cannot follow a letter or digit in UTF-8.
bool isUtf8(std::string_view s) {
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const size_t more = c < 0x80 ? 0 : c >= 0xC2 && c <= 0xDF ? 1 : c >= 0xE0 && c <= 0xEF ? 2
                          : c >= 0xF0 && c <= 0xF4 ? 3 : 9;
        if (more == 9 || (more > 0 && i + more >= s.size())) return false;
        for (size_t k = 1; k <= more; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += more + 1;
    }
    return true;
}

// The file's lines, CR dropped; where line 3 (the first row) begins.
struct Lines {
    std::vector<std::string_view> rows;   // line 3 on, blank lines at the end left out
    std::string_view first, second;
    size_t rowsFrom = 0;
};

Lines splitLines(std::string_view text) {
    Lines out;
    std::vector<std::string_view> all;
    for (size_t pos = 0; pos < text.size();) {
        const size_t nl = std::min(text.find('\n', pos), text.size());
        std::string_view line = text.substr(pos, nl - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        all.push_back(line);
        pos = nl + 1;
        if (all.size() == 2) out.rowsFrom = std::min(pos, text.size());
    }
    if (all.size() > 0) out.first = all[0];
    if (all.size() > 1) out.second = all[1];
    size_t end = all.size();
    while (end > 2 && isBlank(all[end - 1])) --end;
    if (end > 2) out.rows.assign(all.begin() + 2, all.begin() + static_cast<std::ptrdiff_t>(end));
    return out;
}

// A count line as the format writes it; nothing for anything else (the plain
// reader then names what is wrong with it).
std::optional<int> count(std::string_view line, int limit) {
    while (!line.empty() && static_cast<unsigned char>(line.front()) <= ' ') line.remove_prefix(1);
    while (!line.empty() && static_cast<unsigned char>(line.back()) <= ' ') line.remove_suffix(1);
    if (line.empty() || line.size() > 9) return std::nullopt;
    int value = 0;
    for (char c : line) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value <= limit ? std::optional<int>(value) : std::nullopt;
}

char separatorOf(std::string_view line) {
    if (line.find(SEPARATOR) != std::string_view::npos) return SEPARATOR;
    if (line.find(OLD_SEPARATOR) != std::string_view::npos) return OLD_SEPARATOR;
    return 0;
}

// How many times `c` is in `text`: every row line of a 10,000-row list is
// counted, so 16 bytes at a time where the processor allows.
size_t countOf(std::string_view text, char c) {
    size_t n = 0, i = 0;
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi8(c);
    for (; i + 16 <= text.size(); i += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
        // A row has a separator every few bytes: clearing bits beats a popcount call.
        for (unsigned hits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, wanted))); hits;
             hits &= hits - 1)
            ++n;
    }
#endif
    for (; i < text.size(); ++i) n += text[i] == c;
    return n;
}

// The fields a row line holds: one per separator, and text after the last one.
int fieldsOf(std::string_view line, char sep) {
    const int n = static_cast<int>(countOf(line, sep));
    return n + (line.empty() || line.back() == sep ? 0 : 1);
}

std::string_view field(std::string_view line, char sep, int k) {
    for (; k > 0; --k) {
        const size_t at = line.find(sep);
        if (at == std::string_view::npos) return {};
        line.remove_prefix(at + 1);
    }
    return line.substr(0, line.find(sep));
}

bool twoDigits(std::string_view s) {
    return s.size() >= 2 && s[0] >= '0' && s[0] <= '9' && s[1] >= '0' && s[1] <= '9';
}

// A first row that holds a task where the titles belong: the title row is missing.
bool isTaskNotTitles(std::string_view line) {
    const char sep = separatorOf(line);
    const std::string_view number = field(line, sep, 0), name = field(line, sep, 1), type = field(line, sep, 2);
    if (number == "Tarefa" || name == "Nome" || type == "Tipo Tarefa") return false;
    return (number.size() == 2 && twoDigits(number)) || twoDigits(type);
}

std::string wrongSeparator(std::string_view line, size_t lineNo) {
    std::string why = "a linha " + std::to_string(lineNo) + " não tem o separador \"¦\" entre as colunas";
    if (line.find('\t') != std::string_view::npos) why += " (usa tabulações, como ao copiar de uma planilha)";
    else if (line.find(';') != std::string_view::npos) why += " (usa \";\", como uma planilha grava)";
    return why + ".";
}

// What the rows say against the count lines; a refusal ends it.
struct Findings {
    std::string refused;
    std::vector<std::string> mended;
    int cols = 0, counted = 0;
    bool addTitles = false;
};

Findings refusedBecause(std::string why) {
    Findings f;
    f.refused = std::move(why);
    return f;
}

Findings look(const Lines& lines, bool endsWhole, int cols, int counted) {
    Findings f{{}, {}, cols, counted, false};
    // A list with no rows at all is a list, empty; rows counted and none there
    // is a file cut short, whose tasks are gone from it.
    if (lines.rows.empty() && counted == 0) return f;
    if (lines.rows.empty())
        return refusedBecause("tem só as linhas de contagem, sem a linha de títulos e sem nenhuma tarefa.");
    int widest = 0;
    for (size_t i = 0; i < lines.rows.size(); ++i) {
        const std::string_view line = lines.rows[i];
        if (isBlank(line)) continue;
        const char sep = separatorOf(line);
        if (!sep) return refusedBecause(wrongSeparator(line, i + 3));
        widest = std::max(widest, fieldsOf(line, sep));
    }
    const std::string_view last = lines.rows.back();
    if (!endsWhole && (last.back() != separatorOf(last) || fieldsOf(last, separatorOf(last)) < cols))
        return refusedBecause("termina no meio da linha " + std::to_string(lines.rows.size() + 2) +
                           ": a última tarefa está incompleta.");
    if (widest > MAX_COLUMNS)
        return refusedBecause("tem linhas com " + std::to_string(widest) + " colunas, e o máximo é " +
                           std::to_string(MAX_COLUMNS) + ".");
    if (widest > cols) {
        f.mended.push_back("a linha 1 declara " + std::to_string(cols) + " colunas, mas há linhas com " +
                           std::to_string(widest) + "; todas as " + std::to_string(widest) + " foram carregadas.");
        f.cols = widest;
    }
    // Without its title row the file's first row is a task, and the count may
    // still include the missing row.
    const bool noTitles = isTaskNotTitles(lines.rows.front());
    const int present = static_cast<int>(lines.rows.size()) + (noTitles ? 1 : 0);
    if (present > counted)
        f.mended.push_back("tem " + std::to_string(present - counted) + " linha(s) além das " +
                           std::to_string(counted) + " que a linha 2 declara; todas foram carregadas.");
    else if (present < counted)
        f.mended.push_back("a linha 2 declara " + std::to_string(counted) + " linhas, mas só " +
                           std::to_string(present) + " estão no arquivo (ele pode ter sido cortado).");
    if (noTitles) {
        f.mended.push_back("não tem a linha de títulos: a primeira linha é uma tarefa e foi carregada como tarefa.");
        f.addTitles = true;
        f.counted = std::max(counted, present);
    }
    return f;
}

Verdict refusal(std::string why) {
    Verdict v;
    v.refused = std::move(why);
    return v;
}

}  // namespace

Verdict read(std::string bytes, const std::string& fileName, tasks::TaskTable& table) {
    Verdict v;
    const std::string head = "O arquivo " + fileName + " não foi carregado: ";
    if (bytes.empty()) return refusal(head + "está vazio (0 bytes).");
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 || (hasHighBytes(bytes) && isUtf8(bytes))) {
        if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
        std::string text = platform::utf8ToCp1252(bytes);
        if (platform::cp1252ToUtf8(text) != bytes)
            return refusal(head + "está gravado em UTF-8 com caracteres que não existem em Windows-1252.");
        bytes = std::move(text);
        v.mended.push_back("estava gravado em UTF-8; os acentos foram convertidos para Windows-1252.");
    }
    const Lines lines = splitLines(bytes);
    const std::optional<int> cols = count(lines.first, MAX_COLUMNS), rows = count(lines.second, MAX_ROWS);
    if (!cols || !rows) {
        try {
            tasks::TaskTable scratch;
            decode(bytes, fileName, scratch);
        } catch (const FileError& e) {
            return refusal(e.what());   // names the line and what it holds
        }
        return refusal(head + "não começa pelas linhas com o número de colunas e o de linhas.");
    }
    Findings f = look(lines, bytes.back() == '\n', *cols, *rows);
    if (!f.refused.empty()) return refusal(head + f.refused);
    v.mended.insert(v.mended.end(), f.mended.begin(), f.mended.end());
    // Counts and title row put right, the rows themselves as they were.
    if (f.cols != *cols || f.addTitles)
        bytes = std::to_string(f.cols) + "\r\n" + std::to_string(f.counted) + "\r\n" +
                (f.addTitles ? "\r\n" : "") + bytes.substr(lines.rowsFrom);
    try {
        decode(std::move(bytes), fileName, table);
    } catch (const FileError& e) {
        return refusal(e.what());
    }
    return v;
}

}  // namespace taskfile
}  // namespace tarvex
