#include "app/dry_run.h"

#include <atomic>
#include <set>
#include <thread>
#include <vector>

#include "exec/batch_text.h"
#include "exec/placeholders.h"
#include "exec/send_address.h"
#include "exec/send_task.h"
#include "exec/zip_task.h"
#include "lib/datetime.h"
#include "lib/errors.h"
#include "lib/routines.h"
#include "lib/run_context.h"
#include "platform/files.h"
#include "platform/operator.h"
#include "scheduler/period_rules.h"
#include "tasks/columns.h"
#include "tasks/task_store.h"
#include "tasks/task_types.h"

namespace tarvex::app {

namespace {

using exec::expandPlaceholders;

constexpr std::size_t kNamesShown = 10;
const char* const kArrow = "===>>";

struct Task {
    const tasks::TaskTable& table;
    int row;
    std::string cell(int col) const { return std::string(table.cell(col, row)); }
};

// The run context a run started now would have; a pen drive named by its
// label becomes the letter it has now.
RunContext contextOf(const Task& t, platform::Shell& shell, const std::string& batchFolder) {
    RunContext c;
    c.HORA_INICIO = formatTime(nowSeconds());
    c.ARQ_BAT = cleanPath(batchFolder + "\\TIMER_xx.BAT");
    c.DATA_HOJE = sqlDate("");
    c.DIA_SEMANA = weekdayName(todayText());
    c.NOME_TAREFA = t.cell(col::NOME);
    c.TIPO_TAREFA = t.cell(col::TIPO);
    c.COD_TIPO = c.TIPO_TAREFA.substr(0, 2);
    c.PERIODO_TAREFA = t.cell(col::PERIODO);
    c.MENSAGEM_TAREFA = trim(t.cell(col::MENSAGEM));
    c.PAUSA_TAREFA = t.cell(col::PAUSE);
    c.PEN_TAREFA = trim(t.cell(col::PEN));
    c.EXTENSAO_TAREFA = t.cell(col::EXTENSAO);
    c.MEMO_TAREFA = tasks::cellToLines(t.cell(col::MEMO));
    if (const char letter = c.PEN_TAREFA.size() > 1 ? platform::penDrive(shell, c.PEN_TAREFA) : 0)
        c.PEN_TAREFA = std::string(1, letter);
    return c;
}

std::string dueText(const Task& t) {
    const std::string hora = trim(t.cell(col::HORA));
    const std::string periodo = scheduler::codeOf(t.cell(col::PERIODO));
    const std::string last = t.cell(col::ULTIMA_EXEC);
    const scheduler::TaskTiming timing{t.table.cell(col::TIPO, t.row), t.table.cell(col::PERIODO, t.row),
                                       t.table.cell(col::ULTIMA_EXEC, t.row), t.table.cell(col::HORA, t.row)};
    if (scheduler::dueToday(timing, today())) return "Hoje: executa às " + hora + ".";
    if (periodo == "00") return "Hoje: não executa (tarefa inativa).";
    if (periodo == "20") return "Hoje: não executa sozinha (chamada manual).";
    if (!tasks::typeOf(t.cell(col::TIPO)).scheduled) return "Hoje: não executa (tipo sem agendamento).";
    if (isBlankText(hora)) return "Hoje: não executa (sem hora).";
    if (slice(last, 0, 8) == todayText()) return "Hoje: já executada (" + trim(last) + ").";
    return "Hoje: não é dia desta tarefa (" + trim(t.cell(col::PERIODO)) + ").";
}

// The drive letter a path begins with, quotes aside; 0 for none.
char driveOf(std::string path) {
    path = trim(replaceText(path, "\"", ""));
    if (path.size() < 2 || path[1] != ':') return 0;
    const char c = path[0];
    if (c >= 'a' && c <= 'z') return static_cast<char>(c - 32);
    return c >= 'A' && c <= 'Z' ? c : 0;
}

std::string drivesText(const Task& t, const RunContext& c, platform::Shell& shell) {
    const tasks::TaskTypeInfo& type = tasks::typeOf(c.TIPO_TAREFA);
    std::vector<std::string> targets;
    if (type.memoTargets)
        for (const std::string& line : textLines(expandPlaceholders(c, c.MEMO_TAREFA)))
            if (line.find(kArrow) != std::string::npos) targets.push_back(textBetween(line, kArrow, ""));
    if (type.destinationDrive) targets.push_back(expandPlaceholders(c, t.cell(col::DIR_DESTINO)));
    if (type.penDrive && !c.PEN_TAREFA.empty()) targets.push_back(c.PEN_TAREFA.substr(0, 1) + ":");
    std::set<char> drives;
    for (const std::string& target : targets)
        if (const char d = driveOf(target)) drives.insert(d);
    if (drives.empty()) return "Unidades: nenhuma exigida.";
    std::string text = "Unidades:";
    for (const char d : drives)
        text += std::string(" ") + d + ": " + (shell.driveExists(d) ? "presente" : "NÃO ENCONTRADA") + ";";
    text.back() = '.';
    return text;
}

std::string batchText(const RunContext& c) {
    std::string text;
    try {
        text = exec::withoutArrows(exec::expandBatchPlaceholders(c, c.MEMO_TAREFA));
    } catch (const exec::BatchRefused& refused) {
        return std::string("O lote não seria executado: ") + refused.what();
    }
    std::vector<std::string> lines = textLines(text);
    return "Lote (" + c.ARQ_BAT + "):\r\n" + joinLines(lines);
}

std::string zipText(const Task& t, const RunContext& c) {
    exec::ZipJob job;
    const std::string masks = t.cell(col::ARQUIVO);
    job.masks = trim(masks).empty() ? "*.*" : masks;
    job.excludes = trim(t.cell(col::EXCLUIR));
    job.sourceDir = trim(t.cell(col::DIR_ORIGEM));
    const std::string name = trim(t.cell(col::ARQDEST)) + c.EXTENSAO_TAREFA + ".ZIP";
    job.archivePath = expandPlaceholders(c, trim(t.cell(col::DIR_DESTINO)) + "\\" + name);
    job.ownPattern = replaceText(name, "[EXT]", c.EXTENSAO_TAREFA);
    std::string text = "Arquivo ZIP: " + job.archivePath + "\r\nOrigem: " + job.sourceDir + " (" + job.masks + ")";
    try {
        const exec::ZipPlan plan = exec::planZip(job, kNamesShown);
        text += "\r\nArquivos: " + std::to_string(plan.files) + ", " + std::to_string(plan.bytes) + " bytes";
        for (const std::string& f : plan.first) text += "\r\n  " + f;
        if (plan.files > plan.first.size()) text += "\r\n  ...";
        if (plan.files == 0) text += "\r\nNenhum arquivo: a tarefa falharia.";
    } catch (const FileError& e) {
        text += "\r\n" + std::string(e.what());
    }
    return text;
}

// The server is only listed, on a thread of its own while the window answers.
std::string sendText(const Task& t, const RunContext& c, const std::string& batchFolder) {
    exec::SendJob job;
    if (const std::string wrong = exec::readSendJob(t.table, t.row, c, batchFolder, job); !wrong.empty())
        return "Envio: " + wrong;
    std::string text = "Envio de " + job.folder + " (" + (job.masks.empty() ? "*.ZIP" : job.masks) + ") para " +
                       trim(t.cell(col::DIR_DESTINO));
    exec::SendPlan plan;
    std::atomic<bool> done{false};
    const std::atomic<bool> stop{false};
    {
        std::jthread lister([&] {
            plan = exec::planSend(job, stop);
            done = true;
        });
        platform::op().waitUntil([&] { return done.load(); }, [] {});
    }
    if (!plan.failure.empty()) return text + "\r\n" + plan.failure + ": a tarefa falharia.";
    text += "\r\nSeriam enviados: " + std::to_string(plan.send.size());
    for (const exec::SendFile& f : plan.send) text += "\r\n  " + f.name + " (" + withThousands(f.size) + " bytes)";
    if (!plan.already.empty()) text += "\r\nJá no servidor: " + std::to_string(plan.already.size());
    text += "\r\nSeriam apagados no servidor: " + std::to_string(plan.remove.size());
    for (const std::string& name : plan.remove) text += "\r\n  " + name;
    if (trim(t.cell(col::MANTER)) != "" && !plan.keepApplies)
        text += "\r\n(a máscara serve a qualquer arquivo: nada é apagado no servidor)";
    return text;
}

std::string workText(const Task& t, const RunContext& c, const std::string& batchFolder) {
    switch (tasks::typeOf(c.TIPO_TAREFA).run) {
    case tasks::RunKind::Batch: return batchText(c);
    case tasks::RunKind::FolderCopy: return "Cópias:\r\n" + expandPlaceholders(c, c.MEMO_TAREFA);
    case tasks::RunKind::FileCopy:
        return "Copia " + expandPlaceholders(c, trim(t.cell(col::DIR_ORIGEM))) + t.cell(col::ARQUIVO) + " para " +
               expandPlaceholders(c, trim(t.cell(col::DIR_DESTINO)));
    case tasks::RunKind::StartProgram: return "Inicia " + expandPlaceholders(c, trim(t.cell(col::EXECUTAVEL)));
    case tasks::RunKind::CloseProgram: return "Fecha " + trim(t.cell(col::EXECUTAVEL));
    case tasks::RunKind::Zip: return zipText(t, c);
    case tasks::RunKind::Send: return sendText(t, c, batchFolder);
    case tasks::RunKind::Message: return "Mensagem: " + c.MENSAGEM_TAREFA;
    case tasks::RunKind::Power: return "Função: " + trim(t.cell(col::FUNCOES));
    case tasks::RunKind::Nothing: break;
    }
    return "Nada a executar.";
}

}  // namespace

std::string dryRunText(const tasks::TaskTable& table, int row, platform::Shell& shell,
                       const std::string& batchFolder) {
    if (row < 1 || row >= table.rowCount()) return "Nenhuma tarefa selecionada.";
    const Task t{table, row};
    const RunContext c = contextOf(t, shell, batchFolder);
    return "SIMULAÇÃO: nada foi executado nem gravado.\r\nTarefa " + zeroPad(row, 2) + " - " + trim(c.NOME_TAREFA) +
           " (" + trim(c.TIPO_TAREFA) + ")\r\n" + dueText(t) + "\r\n" + drivesText(t, c, shell) + "\r\n\r\n" +
           workText(t, c, batchFolder);
}

}  // namespace tarvex::app
