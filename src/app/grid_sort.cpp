#include "app/grid_sort.h"

#include <algorithm>
#include <vector>

#include "lib/routines.h"
#include "lib/text1252.h"

namespace tarvex {

namespace {

// The letter an accented lower-case letter is a form of, so "á" sorts with "a".
unsigned char base(unsigned char c) {
    if (c >= 0xE0 && c <= 0xE5) return 'a';
    if (c == 0xE7) return 'c';
    if (c >= 0xE8 && c <= 0xEB) return 'e';
    if (c >= 0xEC && c <= 0xEF) return 'i';
    if (c == 0xF1) return 'n';
    if ((c >= 0xF2 && c <= 0xF6) || c == 0xF8) return 'o';
    if (c >= 0xF9 && c <= 0xFC) return 'u';
    if (c == 0xFD || c == 0xFF) return 'y';
    if (c == 0x9A) return 's';
    if (c == 0x9E) return 'z';
    return c;
}

template <class Key>
int compareBy(const std::string& a, const std::string& b, Key key) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = key(a[i]), y = key(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

unsigned char letter(unsigned char c) { return base(lower1252(c)); }

struct Line {
    std::string key;
    std::string whole;                 // the cells, each followed by a line break
    std::vector<std::string> cells;
};

std::string wholeText(const std::vector<std::string>& cells) {
    std::string t;
    for (const auto& c : cells) t += c + "\r\n";
    return t;
}

}  // namespace

// Letters first without their accents, then with them; case never counts.
int compareTextNoCase(const std::string& a, const std::string& b) {
    int byLetter = compareBy(a, b, [](unsigned char c) { return letter(c); });
    return byLetter != 0 ? byLetter : compareBy(a, b, [](unsigned char c) { return lower1252(c); });
}

char noCaseLetter(char c) { return static_cast<char>(letter(static_cast<unsigned char>(c))); }

NoCaseKey noCaseKey(const std::string& text) {
    NoCaseKey k{text, text};
    for (char& c : k.letters) c = static_cast<char>(letter(static_cast<unsigned char>(c)));
    for (char& c : k.lower) c = static_cast<char>(lower1252(static_cast<unsigned char>(c)));
    return k;
}

void sortGridRows(ui::Grid& grid, int col, int firstRow, const std::string& order, int leaveOut) {
    const int lastRow = grid.rowCount() - 1 - leaveOut;
    if (firstRow < 0 || lastRow < firstRow) return;
    std::vector<Line> lines;
    for (int r = firstRow; r <= lastRow; ++r) {
        Line line{std::string(grid.cell(col, r)), "", grid.rowCells(r)};
        line.whole = wholeText(line.cells);
        if (!trim(line.whole).empty()) lines.push_back(std::move(line));
    }
    std::stable_sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) {
        int byKey = compareTextNoCase(a.key, b.key);
        return byKey != 0 ? byKey < 0 : compareTextNoCase(a.whole, b.whole) < 0;
    });
    if (order == "D") std::reverse(lines.begin(), lines.end());
    for (int r = firstRow; r <= lastRow; ++r) grid.clearRow(r);
    for (size_t i = 0; i < lines.size(); ++i)
        for (size_t c = 0; c < lines[i].cells.size(); ++c)
            grid.setCell(static_cast<int>(c), firstRow + static_cast<int>(i), lines[i].cells[c]);
}

}  // namespace tarvex
