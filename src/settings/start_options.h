#pragma once
// The start options: how the main window opens (startModeList) and which page it
// opens on (startPageList).
#include <array>

namespace tarvex::settings {

inline constexpr const char* kStartModeCaption = "  AO INICIAR  ";
inline constexpr std::array<const char*, 3> kStartModeOptions = {
    "0 - Abrir Normal", "1 - Iniciar Maximizado", "2 - Iniciar Iconizado"};
inline constexpr const char* kStartPageCaption = "  Tela Inicial  ";
inline constexpr std::array<const char*, 3> kStartPageOptions = {
    "0 - Capa", "1 - Tarefas", "2 - Calendário"};

enum class WindowStart {
    Normal,     // shown in its normal state
    Maximized,  // shown, minimised, then maximised
    Hidden,     // minimised: only the notification-area icon is left
};

// With no option selected the window keeps its designed minimised state.
WindowStart windowStart(int startMode);

struct Page {
    const char* name;     // the page control's page, as TS_CAPA
    const char* caption;  // its caption, as "Capa"
};

// The page shown at start-up; the cover page when no option is selected.
Page startPage(int startPage);

}  // namespace tarvex::settings
