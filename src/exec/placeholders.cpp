#include "exec/placeholders.h"

#include "lib/routines.h"

namespace tarvex::exec {

// DATA_HOJE is '06.12.2026' with its quotes; a short text gives empty parts.
std::string expandPlaceholders(const RunContext& c, const std::string& text) {
    std::string t = text;
    // The suffix goes in first so that placeholders inside it are expanded too.
    if (!c.EXTENSAO_TAREFA.empty()) t = replaceText(t, "[EXT]", c.EXTENSAO_TAREFA);
    t = replaceText(t, "[DIA]", slice(c.DATA_HOJE, 1, 2));
    t = replaceText(t, "[MES]", slice(c.DATA_HOJE, 4, 2));
    t = replaceText(t, "[ANO]", slice(c.DATA_HOJE, 7, 4));
    if (!c.PEN_TAREFA.empty()) t = replaceText(t, "[PEN]", c.PEN_TAREFA);
    t = replaceText(t, "[SEMANA]", c.DIA_SEMANA);
    t = replaceText(t, "[EXT]", "");

    t = replaceText(t, "\\\\", "\\");
    for (int run = 5; run >= 2; --run) t = replaceText(t, std::string(run, ' '), " ");
    return t;
}

}  // namespace tarvex::exec
