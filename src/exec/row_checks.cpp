#include "exec/row_checks.h"

#include "exec/batch_text.h"
#include "platform/console_text.h"
#include "tasks/columns.h"
#include "tasks/task_store.h"
#include "tasks/task_types.h"

namespace tarvex::exec {

namespace {

using Cells = std::vector<std::pair<int, std::string>>;

std::string cellOf(const Cells& cells, int column) {
    for (const auto& [c, text] : cells)
        if (c == column) return text;
    return "";
}

std::string fieldName(int column) {
    switch (column) {
    case col::NOME: return "O nome da tarefa";
    case col::MENSAGEM: return "A mensagem";
    case col::DIR_ORIGEM: return "A pasta de ORIGEM";
    case col::DIR_DESTINO: return "A pasta de DESTINO";
    case col::PEN: return "A letra do PEN";
    case col::EXTENSAO: return "A Extensão";
    case col::ARQUIVO: return "O arquivo";
    case col::EXECUTAVEL: return "O programa";
    case col::MEMO: return "O texto dos comandos";
    default: return "Um dos campos";
    }
}

// "¦" ends a cell of the task file; "#" ends a field of the log, which holds the
// name and the message.
std::string separatorRefusal(const Cells& cells) {
    for (const auto& [column, text] : cells) {
        if (text.find('\xA6') != std::string::npos)
            return fieldName(column) + " não pode ter o caractere \"¦\": ele separa as colunas do arquivo de tarefas.";
        if ((column == col::NOME || column == col::MENSAGEM) && text.find('#') != std::string::npos)
            return fieldName(column) + " não pode ter o caractere \"#\": ele separa os campos do log.";
    }
    return "";
}

// The suffix and the pen letter land in the command text where its placeholders
// stand; the whole text must exist in the code page cmd reads it in.
std::string batchRefusal(const Cells& cells) {
    const std::string commands = tasks::cellToLines(cellOf(cells, col::MEMO));
    try {
        putInBatch(commands, "[EXT]", cellOf(cells, col::EXTENSAO), fieldName(col::EXTENSAO));
        putInBatch(commands, "[PEN]", cellOf(cells, col::PEN), fieldName(col::PEN));
    } catch (const BatchRefused& refused) {
        return refused.what();
    }
    const platform::ConsoleCodePage& console = platform::consoleCodePage();
    char missing = 0;
    if (!console.fromCp1252(commands + cellOf(cells, col::EXTENSAO) + cellOf(cells, col::PEN), missing))
        return "O caractere \"" + std::string(1, missing) + "\" não existe na página de código do console (" +
               std::to_string(console.number()) + "), em que os comandos são lidos: troque-o nos comandos, " +
               "na pasta ou na Extensão.";
    return "";
}

}  // namespace

std::string rowRefusal(const Cells& cells) {
    if (std::string refused = separatorRefusal(cells); !refused.empty()) return refused;
    if (tasks::typeOf(cellOf(cells, col::TIPO)).run == tasks::RunKind::Batch) return batchRefusal(cells);
    return "";
}

}  // namespace tarvex::exec
