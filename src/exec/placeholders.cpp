#include "exec/placeholders.h"

#include "exec/batch_text.h"
#include "lib/routines.h"

namespace tarvex::exec {

namespace {

// The placeholders in their order; `put` replaces every occurrence of one.
// DATA_HOJE is '06.12.2026' with its quotes; a short text gives empty parts.
template <class Put>
std::string expand(const RunContext& c, std::string t, Put put) {
    // The suffix goes in first so that placeholders inside it are expanded too.
    if (!c.EXTENSAO_TAREFA.empty()) t = put(t, "[EXT]", c.EXTENSAO_TAREFA, "A Extensão");
    t = put(t, "[DIA]", slice(c.DATA_HOJE, 1, 2), "A data");
    t = put(t, "[MES]", slice(c.DATA_HOJE, 4, 2), "A data");
    t = put(t, "[ANO]", slice(c.DATA_HOJE, 7, 4), "A data");
    if (!c.PEN_TAREFA.empty()) t = put(t, "[PEN]", c.PEN_TAREFA, "A letra do PEN");
    t = put(t, "[SEMANA]", c.DIA_SEMANA, "O dia da semana");
    t = replaceText(t, "[EXT]", "");

    // A network path keeps the two backslashes that open it.
    t = collapseBackslashes(t);
    for (int run = 5; run >= 2; --run) t = replaceText(t, std::string(run, ' '), " ");
    return t;
}

std::string plain(const std::string& t, const std::string& placeholder, const std::string& value,
                  const std::string&) {
    return replaceText(t, placeholder, value);
}

}  // namespace

std::string expandPlaceholders(const RunContext& c, const std::string& text) { return expand(c, text, plain); }

std::string expandBatchPlaceholders(const RunContext& c, const std::string& text) { return expand(c, text, putInBatch); }

}  // namespace tarvex::exec
