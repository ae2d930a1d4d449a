#include "exec/executor.h"

#include <exception>
#include <optional>

#include "exec/acerta.h"
#include "exec/close_program.h"
#include "exec/power.h"
#include "exec/program_line.h"
#include "exec/zip_task.h"
#include "lib/datetime.h"
#include "lib/errors.h"
#include "lib/mrqr.h"
#include "platform/files.h"
#include "platform/operator.h"
#include "tasks/columns.h"
#include "tasks/task_store.h"

namespace tarvex::exec {

namespace {

const char* const kCaption = "Mensagem do Sistema";
const char* const kArrow = " ===>> ";

std::string nowText() { return formatTime(nowSeconds()); }

}  // namespace

void Executor::EXECUTANDO(int row) {
    if (row < 1 || row >= GRID_.rowCount()) return;
    try {
        begin(row);
        dispatch(row);
    } catch (const std::exception& e) {
        failed(row, e.what());
    } catch (...) {
        failed(row, "Erro desconhecido");
    }
    end(row);
}

void Executor::begin(int row) {
    ctx_.HORA_INICIO = nowText();
    ctx_.ARQ_BAT = MRQ_LIMPA_PATH(c_.E_DIR_PARAM.text() + "\\TIMER_xx.BAT");
    ctx_.DATA_HOJE = MRQ_DATA_SQL("");
    ctx_.NOME_TAREFA = cell(col::NOME, row);
    ctx_.TIPO_TAREFA = cell(col::TIPO, row);
    ctx_.COD_TIPO = ctx_.TIPO_TAREFA.substr(0, 2);
    ctx_.PERIODO_TAREFA = cell(col::PERIODO, row);
    ctx_.MENSAGEM_TAREFA = trim(cell(col::MENSAGEM, row));
    ctx_.PAUSA_TAREFA = cell(col::PAUSE, row);
    ctx_.PEN_TAREFA = trim(cell(col::PEN, row));
    ctx_.EXTENSAO_TAREFA = cell(col::EXTENSAO, row);
    ctx_.MEMO_TAREFA = tasks::COLOCA_CHR(cell(col::MEMO, row));
    ctx_.DIA_SEMANA = MRQ_DIA_SEMANA(MRQ_HOJE());

    startDay_ = today();
    c_.TrayIcon1.setHint("Executando: " + trim(ctx_.NOME_TAREFA) + " (" + trim(ctx_.PERIODO_TAREFA) + ")");
    c_.TrayIcon1.setImageIndex(1);
    c_.CB_EXECUTANDO.setChecked(true);
    c_.LA_MSG.setCaption("Executando: " + MRQ_ZEROS(row, 2) + " - " + ctx_.NOME_TAREFA);
    platform::op().processMessages();   // paint the label and the icon before the work
}

void Executor::dispatch(int row) {
    const std::string& code = ctx_.COD_TIPO;
    if (code == "00" || code == "07") runBatch(row);
    else if (code == "01") copyFolders(row);
    else if (code == "02") copyFile(row);
    else if (code == "03") startProgram(row);
    else if (code == "04") closeProgram(row);
    else if (code == "05") powerFunction(row);
    else if (code == "06") zipFolder(row);
    else if (code == "10") showMessage(row);
}

// Every run ends idle with the task file written, whatever happened in it.
void Executor::end(int row) {
    c_.LA_MSG.setCaption("___");
    c_.CB_EXECUTANDO.setChecked(false);
    std::optional<std::string> saveError;
    try {
        host_.GRID_SALVA();
    } catch (const std::exception& e) {
        saveError = e.what();
    } catch (...) {
        saveError = "Erro desconhecido";
    }
    c_.TrayIcon1.setImageIndex(0);
    c_.TrayIcon1.setHint("Tarvex em Espera");
    if (saveError) failed(row, *saveError);
}

// An error no branch handles: shown to the operator and logged as the task's failure.
void Executor::failed(int row, const std::string& what) {
    logErr(row);
    platform::op().error(what);
}

bool Executor::confirm() {
    if (!ctx_.MENSAGEM_TAREFA.empty() && !platform::op().question(kCaption, ctx_.MENSAGEM_TAREFA))
        return false;
    ctx_.HORA_INICIO = nowText();   // the wait for the operator is not part of the run
    startDay_ = today();
    return true;
}

// A run that crossed midnight is stamped with the moment it started, so the task
// is still due on the day it ended.
void Executor::stamp(int row) {
    const LocalTime t = platform::clock().now();
    const Date day{t.year, t.month, t.day};
    const std::string text = day == startDay_
                                 ? formatDate(day) + " " + formatTime(t.hour * 3600 + t.minute * 60 + t.second)
                                 : formatDate(startDay_) + " " + ctx_.HORA_INICIO;
    GRID_.setCell(col::ULTIMA_EXEC, row, text);
    host_.stamped(row, text);
}

void Executor::writeBatchFile() {
    // CR LF between lines and none after the last, whatever breaks the memo holds.
    const std::vector<std::string> lines = c_.E_MEMO.lines();
    std::string bytes;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i) bytes += "\r\n";
        bytes += lines[i];
    }
    const std::string error = platform::writeFileAtomic(ctx_.ARQ_BAT, bytes);
    if (!error.empty()) throw FileError(error);
}

void Executor::runBatch(int row) {
    if (!confirm()) return;
    ctx_.MEMO_TAREFA = MRQ_TROCA(ACERTA(ctx_, ctx_.MEMO_TAREFA), kArrow, " ");
    c_.E_MEMO.setText(ctx_.MEMO_TAREFA);
    if (ctx_.PAUSA_TAREFA == "S") c_.E_MEMO.addLine("PAUSE");
    writeBatchFile();
    if (runner_.MRQ_EXECUTA_BAT(ctx_.ARQ_BAT, platform::SW_NORMAL_) < 0) {
        logErr(row);   // the batch never ran: the task stays due
        return;
    }
    stamp(row);
    logExe(row);
}

void Executor::copyFolders(int row) {
    if (!confirm()) return;
    ctx_.MEMO_TAREFA = ACERTA(ctx_, ctx_.MEMO_TAREFA);
    c_.E_MEMO.setText(ctx_.MEMO_TAREFA);
    for (const std::string& raw : c_.E_MEMO.lines()) {
        const std::string line = trim(raw);
        if (line.empty()) continue;
        const std::string from = trim(MRQ_ENTRE(line, "", kArrow));
        const std::string to = trim(MRQ_ENTRE(line, kArrow, ""));
        if (runner_.MRQ_COPIA_PASTA(from, to) != "OK") {
            logErr(row);
            c_.CB_EXECUTANDO.setChecked(false);
            return;
        }
    }
    stamp(row);
    logExe(row);
    if (ctx_.PAUSA_TAREFA == "S") MRQ_MSG(ctx_.NOME_TAREFA + " - Concluído");
}

void Executor::copyFile(int row) {
    if (!confirm()) return;
    const std::string from = ACERTA(ctx_, trim(cell(col::DIR_ORIGEM, row)));
    const std::string to = ACERTA(ctx_, trim(cell(col::DIR_DESTINO, row)));
    if (!platform::dirExists(to)) MRQ_CRIA_PASTA(to);
    // "Arquivo" (a name or a mask) follows the folder as stored: the folder ends in "\".
    if (!runner_.MRQ_COPIA_ARQUIVO(from + cell(col::ARQUIVO, row), to, "1")) {
        logErr(row);
        return;
    }
    stamp(row);
    logExe(row);
}

void Executor::startProgram(int row) {
    if (!confirm()) return;
    const auto [program, params] = splitProgramLine(ACERTA(ctx_, trim(cell(col::EXECUTAVEL, row))));
    stamp(row);
    if (!platform::fileExists(program)) {
        log_.MRQ_ADDLOG(row, "ERR", "***   ERRO   ***   Programa não localizado " + ctx_.NOME_TAREFA);
        return;
    }
    services_.shell.open(program, params, "", platform::SW_NORMAL_);
    logExe(row);
}

void Executor::closeProgram(int row) {
    if (!confirm()) return;
    const std::string program = trim(cell(col::EXECUTAVEL, row));
    if (MRQ_DATA_VAZIA(program)) {
        MRQ_MSG("O nome do PROGRAMA deve ser informado");
        return;
    }
    MRQ_FECHA_PROGRAMA(services_.windows, program);
    stamp(row);
    logExe(row);
}

void Executor::powerFunction(int row) {
    if (!confirm()) return;
    stamp(row);
    const int function = MRQ_VAL(cell(col::FUNCOES, row));
    if (function < 0 || function > 3) return;
    // The stamp and the entry are on disk before the computer goes down.
    host_.GRID_SALVA();
    logExe(row);
    if (function == 1) shutdownByCommand(services_.power);
    else if (function == 2) MRQ_DESLIGA(services_.power);
    else if (function == 3) MRQ_REINICIA(services_.power);
    host_.requestQuit();
}

void Executor::zipFolder(int row) {
    const std::string stored = cell(col::ARQUIVO, row);
    ZipJob job;
    job.masks = trim(stored).empty() ? "*.*" : stored;
    job.excludes = trim(cell(col::EXCLUIR, row));
    job.sourceDir = trim(cell(col::DIR_ORIGEM, row));
    const std::string destination = trim(cell(col::DIR_DESTINO, row));
    if (!platform::dirExists(destination)) {
        try {
            MRQ_CRIA_PASTA(destination);
        } catch (const std::exception&) {
            // reported when the archive cannot be written there
        }
    }
    job.archivePath = ACERTA(ctx_, destination + "\\" + trim(cell(col::ARQDEST, row)) +
                                       ctx_.EXTENSAO_TAREFA + ".ZIP");
    platform::op().processMessages();
    try {
        writeZip(job);   // replaces an older archive only once the new one is whole
        stamp(row);
        host_.GRID_SALVA();
        logExe(row);
    } catch (const std::exception&) {
        log_.MRQ_ADDLOG(row, "ERR", ctx_.NOME_TAREFA);
        c_.CB_EXECUTANDO.setChecked(false);
        c_.LA_MSG.setCaption("Erro - " + ctx_.NOME_TAREFA);
        stamp(row);
        try {
            host_.GRID_SALVA();
        } catch (const std::exception&) {
            // the end of the run saves again and reports it
        }
        host_.BU_PROXIMOClick();
    }
}

void Executor::showMessage(int row) {
    if (!platform::op().question(kCaption, ctx_.MENSAGEM_TAREFA)) return;
    ctx_.HORA_INICIO = nowText();
    stamp(row);
    log_.MRQ_ADDLOG(row, "EXE", ctx_.NOME_TAREFA + " >> " + ctx_.MENSAGEM_TAREFA);
}

}  // namespace tarvex::exec
