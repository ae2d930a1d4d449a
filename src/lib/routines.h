#pragma once
// U_MRQR: the in-house routine library. Texts are Windows-1252 bytes.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>
#include <string_view>

#include "lib/errors.h"

namespace tarvex {

// ---- fieldTable: the shared field table, slots 1..400 -------------------------
class FieldTable {
public:
    static constexpr int kSlots = 400;
    std::string& operator[](int slot);              // 1..400; out of range throws
    const std::string& operator[](int slot) const;
    void clear(int from, int to);                   // empties slots from..to
private:
    std::array<std::string, kSlots + 1> slots_{};   // [0] unused
};
extern FieldTable fieldTable;

// ---- Text and number routines ---------------------------------------------------
std::string keepOnly(const std::string& text, const std::string& allowed);
int32_t toInt(std::string_view text);           // throws IntegerConvertError
std::string replaceText(const std::string& text, const std::string& search,
                      const std::string& replacement, int mode = 0);
std::string fieldOf(const std::string& text, int n, char separator);
std::string zeroPad(long long value, int width);
std::string zeroPad(const std::string& value, int width);
// "1.234": thousands marked with a dot, as the operator reads numbers.
std::string withThousands(unsigned long long n);
// Appends the line and CR LF whole or not at all; false when it was not written.
bool appendLine(const std::string& path, const std::string& line);

// Trim blanks and control characters (<= 0x20) at both ends.
std::string trim(std::string_view s);
// The same, as a view into `s`: for reading cells without a copy.
std::string_view trimmed(std::string_view s);
// Up to `count` characters from position `from` (counted from 0); empty when
// the text is shorter than that.
std::string slice(const std::string& text, size_t from, size_t count);
// The lines of a multi-line text (LF or CR LF between them; a final break ends
// the last line, it does not add an empty one).
std::vector<std::string> textLines(std::string_view text);
// The lines with CR LF between them and none after the last.
std::string joinLines(const std::vector<std::string>& lines);

// ---- Date routines (dd/mm/yy texts) ---------------------------------------------
std::string addMonthsText(const std::string& date, int months);
std::string todayText();
std::string monthEnd(const std::string& date);
bool isBlankText(std::string_view text);
bool isValidDate(const std::string& text);
std::string removeChars(const std::string& text, const std::string& set);
bool consistsOf(const std::string& text, const std::string& set);
std::string weekdayName(const std::string& date);
std::string sqlDate(const std::string& date);
std::string sqlQuoted(const std::string& text, int length);
extern const std::array<std::string, 8> kWeekdayNames;  // [1]=Domingo .. [7]=Sabado

// ---- Field files and the operator -------------------------------------------------
// The operator hears of a file that cannot be read or written through `tell`.
using Tell = std::function<void(const std::string&)>;
void readFieldFile(const std::string& path, int count, const Tell& tell = {});
// readFieldFile's reading of a field file's bytes, without the file: the fields of
// the kept line into slots 1..count.
void readFieldText(const std::string& content, int count);
void writeFieldFile(const std::string& path, int count, const Tell& tell = {});
void createFolders(const std::string& path);

// ---- Command-text helpers ----------------------------------------------------------
std::string cleanPath(const std::string& text);
std::string textBetween(const std::string& text, const std::string& start, const std::string& end);

}  // namespace tarvex
