#include <algorithm>
#include <charconv>
#include <stdexcept>

#include "lib/routines.h"
#include "platform/files.h"

namespace tarvex {

FieldTable fieldTable;

std::string& FieldTable::operator[](int slot) {
    if (slot < 1 || slot > kSlots) throw std::out_of_range("MRQ_TABELA slot " + std::to_string(slot));
    return slots_[slot];
}

const std::string& FieldTable::operator[](int slot) const {
    if (slot < 1 || slot > kSlots) throw std::out_of_range("MRQ_TABELA slot " + std::to_string(slot));
    return slots_[slot];
}

void FieldTable::clear(int from, int to) {
    for (int i = std::max(from, 1); i <= std::min(to, kSlots); ++i) slots_[i].clear();
}

std::vector<std::string> textLines(std::string_view text) {
    std::vector<std::string> out;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t nl = text.find('\n', pos);
        std::string_view line = text.substr(pos, nl == std::string_view::npos ? std::string_view::npos : nl - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        out.emplace_back(line);
        if (nl == std::string_view::npos) break;
        pos = nl + 1;
    }
    return out;
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i) text += "\r\n";
        text += lines[i];
    }
    return text;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
    return s;
}

std::string trim(std::string_view s) { return std::string(trimmed(s)); }

std::string slice(const std::string& text, size_t from, size_t count) {
    return from < text.size() ? text.substr(from, count) : std::string();
}

std::string keepOnly(const std::string& text, const std::string& allowed) {
    std::string out;
    for (char c : text)
        if (allowed.find(c) != std::string::npos) out += c;
    return out;
}

int32_t toInt(std::string_view text) {
    std::string digits = keepOnly(trim(text), "-0123456789");
    if (digits.empty()) digits = "0";
    if (digits.size() > 9) digits.resize(9);
    int32_t value = 0;
    auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec != std::errc() || ptr != digits.data() + digits.size())
        throw IntegerConvertError(digits);
    return value;
}

// Keeps the whole remainder after each occurrence: no text is ever dropped.
std::string replaceText(const std::string& text, const std::string& search,
                      const std::string& replacement, int mode) {
    if (text.empty() || search.empty()) return text;
    std::string out;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t hit = text.find(search, pos);
        if (hit == std::string::npos) break;
        out.append(text, pos, hit - pos);
        out += replacement;
        pos = hit + search.size();
        if (mode == 1) break;
    }
    out.append(text, std::min(pos, text.size()), std::string::npos);
    return out;
}

std::string fieldOf(const std::string& text, int n, char separator) {
    if (n > FieldTable::kSlots) n = FieldTable::kSlots;
    if (n > 0) fieldTable.clear(1, n);
    else fieldTable.clear(1, FieldTable::kSlots);
    if (trim(text).empty()) return {};
    const int limit = n > 0 ? n : FieldTable::kSlots;
    int field = 1;
    // The working text is text + two separators, walked to its last but one:
    // that is the text and one trailing separator.
    const std::string work = text + separator;
    for (char c : work) {
        if (c == separator) {
            ++field;
        } else if (field <= limit) {
            fieldTable[field] += c;
        }
        if (field > limit) break;  // nothing is written beyond the 400 slots
    }
    return n > 0 ? fieldTable[n] : std::string();
}

std::string zeroPad(const std::string& value, int width) {
    std::string s = trim(value);
    if (width == 0) width = static_cast<int>(s.size());
    if (width < 0) return {};
    if (static_cast<int>(s.size()) < width) s.insert(0, width - s.size(), '0');
    return s.substr(s.size() - width);
}

std::string zeroPad(long long value, int width) {
    // Row numbers on every pass of the agenda: digits written straight in.
    if (value >= 0 && width > 0 && width <= 19) {
        std::string out(static_cast<size_t>(width), '0');
        for (int i = width - 1; i >= 0 && value > 0; --i, value /= 10) out[i] = static_cast<char>('0' + value % 10);
        return out;
    }
    return zeroPad(std::to_string(value), width);
}

bool appendLine(const std::string& path, const std::string& line) {
    return !platform::appendWhole(path, line + "\r\n");
}

std::string textBetween(const std::string& text, const std::string& start, const std::string& end) {
    size_t from = 0;
    if (!start.empty()) {
        size_t s = text.find(start);
        if (s == std::string::npos) return end.empty() ? text : std::string();
        from = s + start.size();
    }
    if (end.empty()) return text.substr(from);
    size_t e = text.find(end, from);
    if (e == std::string::npos) return start.empty() ? text : std::string();
    return text.substr(from, e - from);
}

std::string cleanPath(const std::string& text) {
    if (text.size() <= 2) return text;
    std::string rest = replaceText(text.substr(2), "\\\\", "\\", 0);
    rest = replaceText(rest, "//", "/", 0);
    return text.substr(0, 2) + rest;
}

std::string withThousands(unsigned long long n) {
    const std::string digits = std::to_string(n);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i && (digits.size() - i) % 3 == 0) out += '.';
        out += digits[i];
    }
    return out;
}

}  // namespace tarvex
