#include "settings/start_options.h"

namespace tarvex::settings {

WindowStart windowStart(int startMode) {
    switch (startMode) {
    case 0: return WindowStart::Normal;
    case 1: return WindowStart::Maximized;
    default: return WindowStart::Hidden;
    }
}

Page startPage(int startPage) {
    switch (startPage) {
    case 1: return {"TS_TAREFAS", "Tarefas"};
    case 2: return {"TS_CALEND", "Calend"};
    default: return {"TS_CAPA", "Capa"};
    }
}

}  // namespace tarvex::settings
