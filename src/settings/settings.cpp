#include "settings/settings.h"

#include <limits>
#include <optional>
#include <variant>

#include "lib/routines.h"

namespace tarvex::settings {
namespace {

enum class Kind {
    Number,      // decimal; read with toInt, then the limits
    NumberText,  // kept as typed; its value is checked against the limits
    Text,        // as typed; empty reads as the default
    Flag,        // "S" or "N"; anything but "N" reads as set
    Marker,      // a fixed text, never read
};

// A value below `low` becomes `lowTo`; one above `high` becomes `highTo`.
struct Limit {
    int low = std::numeric_limits<int>::min();
    int lowTo = 0;
    int high = std::numeric_limits<int>::max();
    int highTo = 0;

    bool within(int v) const { return v >= low && v <= high; }
    int apply(int v) const { return v < low ? lowTo : v > high ? highTo : v; }
};

using Member = std::variant<std::monostate, int Settings::*, std::string Settings::*,
                            bool Settings::*>;

struct Field {
    int slot;
    Kind kind;
    Member member;
    const char* fallback;  // the default, as it is stored
    Limit limit;
};

// The window's default size as the file stores it, checked against the numbers.
constexpr char kWidthText[] = "900", kHeightText[] = "670";
constexpr int decimal(const char* text, int value = 0) {
    return *text ? decimal(text + 1, value * 10 + *text - '0') : value;
}
static_assert(decimal(kWidthText) == kDefaultWidth && decimal(kHeightText) == kDefaultHeight);

// Slots 15 to 19 are kept empty. Slots 14 and 20 were empty before the time limit
// and the log's bound: a file without them reads as the defaults, and an older
// program ignores them.
const Field kFields[] = {
    {1, Kind::Number, &Settings::top, "10", {.low = 10, .lowTo = 10}},
    {2, Kind::Number, &Settings::left, "10", {.low = 10, .lowTo = 10}},
    {3, Kind::Number, &Settings::width, kWidthText, {.low = 260, .lowTo = kDefaultWidth}},
    {4, Kind::Number, &Settings::height, kHeightText, {.low = 20, .lowTo = kDefaultHeight}},
    {5, Kind::Marker, {}, "CALENDARIO", {}},
    {6, Kind::Number, &Settings::calendarFontSize, "8", {4, 8, 14, 8}},
    {7, Kind::NumberText, &Settings::textFontSize, "8", {4, 8, 18, 12}},
    {8, Kind::Text, &Settings::fontName, "MS Sans Serif", {}},
    {9, Kind::Flag, &Settings::autorun, "S", {}},
    // An option group selects nothing below its first option, the last above it.
    {10, Kind::Number, &Settings::startMode, "0", {0, -1, 2, 2}},
    {11, Kind::Number, &Settings::startPage, "0", {0, -1, 2, 2}},
    {12, Kind::Flag, &Settings::showStart, "S", {}},
    {13, Kind::Flag, &Settings::showClose, "S", {}},
    {14, Kind::Number, &Settings::timeLimitMinutes, "240", {.low = 0, .lowTo = 240}},
    // The last slot, away from those another setting may take next.
    {20, Kind::Number, &Settings::logMaxMegabytes, "5", {1, 5, 4096, 4096}},
};

std::optional<int> number(const std::string& text) {
    try {
        return toInt(text);
    } catch (const ConvertError&) {
        return std::nullopt;
    }
}

template <class T>
T& member(Settings& s, const Field& f) { return s.*std::get<T Settings::*>(f.member); }
template <class T>
const T& member(const Settings& s, const Field& f) { return s.*std::get<T Settings::*>(f.member); }

void readField(const Field& f, const std::string& text, Settings& s) {
    switch (f.kind) {
    case Kind::Number:
        // An empty slot is the default (toInt would read it as 0, which the time limit takes as "none").
        member<int>(s, f) = f.limit.apply(text.empty() ? toInt(f.fallback) : number(text).value_or(toInt(f.fallback)));
        break;
    case Kind::NumberText: {
        auto v = number(text);
        member<std::string>(s, f) = !v                  ? f.fallback
                                    : f.limit.within(*v) ? text
                                    : std::to_string(f.limit.apply(*v));
        break;
    }
    case Kind::Text: member<std::string>(s, f) = text.empty() ? f.fallback : text; break;
    case Kind::Flag: member<bool>(s, f) = text != "N"; break;
    case Kind::Marker: break;
    }
}

// A "#" or a line break in a typed text would shift every later field of the
// line, so typed texts lose them.
std::string storable(const std::string& text) {
    std::string out;
    for (char c : text)
        if (c != '#' && c != '\r' && c != '\n') out += c;
    return out;
}

std::string writeField(const Field& f, const Settings& s) {
    switch (f.kind) {
    case Kind::Number: return std::to_string(member<int>(s, f));
    case Kind::NumberText:
    case Kind::Text: return storable(member<std::string>(s, f));
    case Kind::Flag: return member<bool>(s, f) ? "S" : "N";
    case Kind::Marker: return f.fallback;
    }
    return {};
}

}  // namespace

Settings fromFields(const Fields& fields) {
    Settings s;
    for (const Field& f : kFields) readField(f, fields[f.slot - 1], s);
    return s;
}

Fields toFields(const Settings& s) {
    Fields fields;
    for (const Field& f : kFields) fields[f.slot - 1] = writeField(f, s);
    return fields;
}

int textFontPoints(const Settings& s) { return number(s.textFontSize).value_or(8); }

}  // namespace tarvex::settings
