#pragma once
// The operator's settings: one record, kept in the settings file as one line of
// 20 "#"-terminated fields. Independent of the window: the settings page copies
// its controls to and from this record.
#include <array>
#include <string>

#include "lib/window_size.h"

namespace tarvex::settings {

inline constexpr const char* kFileName = "TARVEX_SISTEMA.TXT";
inline constexpr int kFieldCount = 20;
using Fields = std::array<std::string, kFieldCount>;  // [0] is slot 1

// The window's size when the file gives none: a little narrower than the design,
// as the file has always been written.
inline constexpr int kDefaultWidth = 900;
inline constexpr int kDefaultHeight = kDesignHeight;

struct Settings {
    // The main window's normal-state rectangle (never the minimised or maximised one).
    int top = 10;
    int left = 10;
    int width = kDefaultWidth;
    int height = kDefaultHeight;
    int calendarFontSize = 8;              // CALEND, shown in CB_FONTE
    std::string textFontSize = "8";        // CB_FONTEXT, as typed; applies to E00_MEMO
    std::string fontName = "MS Sans Serif";  // CB_FONTNAME
    bool autorun = true;                   // CB_AUTORUN; the registry has the last word
    int startMode = 0;                     // startModeList index, -1 for none
    int startPage = 0;                     // startPageList index, -1 for none
    bool showStart = true;                 // CB_VER_INICIO ("Ver Inicio")
    bool showClose = true;                 // CB_VER_TERMINO ("Ver Término")
    int timeLimitMinutes = 240;            // E_TEMPO_LIMITE: a run still going after it is ended; 0: none
    int logMaxMegabytes = 5;               // E_LOG_MAXIMO: past it the log's older months move out

    friend bool operator==(const Settings&, const Settings&) = default;
};

// The record as read back: every field with its limits applied. A field that
// does not convert to a number takes its default, and the others are still read.
Settings fromFields(const Fields& fields);
// The record as stored: numbers in decimal, texts as typed, flags "S" or "N".
Fields toFields(const Settings& s);

// The point size E00_MEMO gets from the (already limited) text font size.
int textFontPoints(const Settings& s);

}  // namespace tarvex::settings
