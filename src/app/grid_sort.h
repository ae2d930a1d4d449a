#pragma once
// Sorting the rows of a string grid by one column.
#include <compare>
#include <string>

#include "ui/controls.h"

namespace tarvex {

// Text comparison ignoring case, accented letters next to their plain letter
// (Windows-1252): negative, zero or positive.
int compareTextNoCase(const std::string& a, const std::string& b);
// The same comparison made once per text: keys order as compareTextNoCase does.
struct NoCaseKey {
    std::string letters, lower;
    auto operator<=>(const NoCaseKey&) const = default;
};
NoCaseKey noCaseKey(const std::string& text);
// One character of a key's `letters`.
char noCaseLetter(char c);

// sortGridRows: sorts rows firstRow .. RowCount-1-leaveOut by the cell in
// column `col`, then by the row's whole text, ignoring case; order "D" reverses.
// Rows that hold only blanks close up at the end of the range. The row count
// does not change and cells are moved whole, whatever text they hold.
void sortGridRows(ui::Grid& grid, int col, int firstRow, const std::string& order, int leaveOut);

}  // namespace tarvex
