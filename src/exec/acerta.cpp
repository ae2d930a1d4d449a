#include "exec/acerta.h"

#include "lib/mrqr.h"

namespace tarvex::exec {

namespace {

// DATA_HOJE is '06.12.2026' with its quotes; a short text gives empty parts.
std::string part(const std::string& date, size_t pos, size_t len) {
    return pos < date.size() ? date.substr(pos, len) : std::string();
}

}  // namespace

std::string ACERTA(const RunContext& c, const std::string& text) {
    std::string t = text;
    // The suffix goes in first so that placeholders inside it are expanded too.
    if (!c.EXTENSAO_TAREFA.empty()) t = MRQ_TROCA(t, "[EXT]", c.EXTENSAO_TAREFA);
    t = MRQ_TROCA(t, "[DIA]", part(c.DATA_HOJE, 1, 2));
    t = MRQ_TROCA(t, "[MES]", part(c.DATA_HOJE, 4, 2));
    t = MRQ_TROCA(t, "[ANO]", part(c.DATA_HOJE, 7, 4));
    if (!c.PEN_TAREFA.empty()) t = MRQ_TROCA(t, "[PEN]", c.PEN_TAREFA);
    t = MRQ_TROCA(t, "[SEMANA]", c.DIA_SEMANA);
    t = MRQ_TROCA(t, "[EXT]", "");

    t = MRQ_TROCA(t, "\\\\", "\\");
    for (int run = 5; run >= 2; --run) t = MRQ_TROCA(t, std::string(run, ' '), " ");
    return t;
}

}  // namespace tarvex::exec
