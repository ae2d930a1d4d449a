#include "exec/acerta.h"

#include "lib/mrqr.h"

namespace tarvex::exec {

// DATA_HOJE is '06.12.2026' with its quotes; a short text gives empty parts.
std::string ACERTA(const RunContext& c, const std::string& text) {
    std::string t = text;
    // The suffix goes in first so that placeholders inside it are expanded too.
    if (!c.EXTENSAO_TAREFA.empty()) t = MRQ_TROCA(t, "[EXT]", c.EXTENSAO_TAREFA);
    t = MRQ_TROCA(t, "[DIA]", slice(c.DATA_HOJE, 1, 2));
    t = MRQ_TROCA(t, "[MES]", slice(c.DATA_HOJE, 4, 2));
    t = MRQ_TROCA(t, "[ANO]", slice(c.DATA_HOJE, 7, 4));
    if (!c.PEN_TAREFA.empty()) t = MRQ_TROCA(t, "[PEN]", c.PEN_TAREFA);
    t = MRQ_TROCA(t, "[SEMANA]", c.DIA_SEMANA);
    t = MRQ_TROCA(t, "[EXT]", "");

    t = MRQ_TROCA(t, "\\\\", "\\");
    for (int run = 5; run >= 2; --run) t = MRQ_TROCA(t, std::string(run, ' '), " ");
    return t;
}

}  // namespace tarvex::exec
