#pragma once
// The run context: texts of the main window that the executor sets at the start of
// every run and never clears; the placeholder expansion and the log read them.
#include <string>
#include <vector>

namespace tarvex {

struct RunContext {
    std::string HORA_INICIO;      // hh:mm:ss when the logged operation began
    std::string ARQ_BAT;          // path of TIMER_xx.BAT
    std::string DATA_HOJE;        // '06.12.2026' (quotes included)
    std::string DIA_SEMANA;       // "Domingo" .. "Sabado"
    std::string COD_TIPO;         // first two characters of TIPO_TAREFA
    std::string NOME_TAREFA;
    std::string TIPO_TAREFA;
    std::string PERIODO_TAREFA;
    std::string MENSAGEM_TAREFA;
    std::string MEMO_TAREFA;
    std::string PAUSA_TAREFA;
    std::string PEN_TAREFA;
    std::string EXTENSAO_TAREFA;
    std::vector<std::string> SAIDA_BAT;   // the batch's last lines of output, for a failure's e-mail
};

}  // namespace tarvex
