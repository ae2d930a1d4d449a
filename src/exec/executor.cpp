#include "exec/executor.h"

#include <atomic>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>

#include "exec/placeholders.h"
#include "exec/batch_lines.h"
#include "exec/batch_text.h"
#include "exec/close_program.h"
#include "exec/builder_lines.h"
#include "exec/keep_last.h"
#include "exec/power.h"
#include "exec/program_line.h"
#include "exec/send_address.h"
#include "exec/send_task.h"
#include "exec/zip_task.h"
#include "lib/datetime.h"
#include "lib/errors.h"
#include "lib/routines.h"
#include "lib/text1252.h"
#include "log/run_history.h"
#include "platform/console_text.h"
#include "platform/cp1252.h"
#include "platform/files.h"
#include "platform/operator.h"
#include "platform/secrets.h"
#include "tasks/columns.h"
#include "tasks/task_store.h"

namespace tarvex::exec {

namespace {

const char* const kArrow = " ===>> ";
constexpr int kCloseWaitMs = 10'000;   // for a program asked to close

std::string nowText() { return formatTime(nowSeconds()); }

// The drive letter a path begins with ("E:\...", "\"E:\...", "\\?\E:\..."); 0 for none.
char driveOf(std::string path) {
    path = trim(replaceText(path, "\"", ""));
    if (path.rfind("\\\\?\\", 0) == 0) path = path.substr(4);
    if (path.size() < 2 || path[1] != ':') return 0;
    const char c = path[0];
    if (c >= 'a' && c <= 'z') return static_cast<char>(c - 32);
    return c >= 'A' && c <= 'Z' ? c : 0;
}

// The share a network path lies on ("\\SERVIDOR\BACKUP\Metas" gives
// "\\SERVIDOR\BACKUP"); empty for any other path.
std::string shareOf(std::string path) {
    path = trim(replaceText(path, "\"", ""));
    if (path.rfind("\\\\?\\UNC\\", 0) == 0) path = "\\\\" + path.substr(8);
    if (path.rfind("\\\\", 0) != 0 || path.rfind("\\\\?\\", 0) == 0 || path.rfind("\\\\.\\", 0) == 0) return "";
    const size_t server = path.find('\\', 2);
    if (server == std::string::npos || server == 2) return "";
    const size_t share = path.find_first_of("\\ \t", server + 1);
    const std::string root = path.substr(0, share);
    return root.size() > server + 1 ? root : "";
}

std::vector<std::string> split(const std::string& text, char at) {
    std::vector<std::string> parts;
    size_t from = 0;
    for (size_t to; (to = text.find(at, from)) != std::string::npos; from = to + 1)
        parts.push_back(text.substr(from, to - from));
    parts.push_back(text.substr(from));
    return parts;
}

// The task's last failure as kept in its row: "dd/mm hh:mm: reason", on one line
// and without the task file's separator.
std::string failureNote(std::string reason) {
    for (char& c : reason)
        if (c == '\r' || c == '\n' || c == '\xA6') c = ' ';
    const LocalTime t = platform::clock().now();
    return zeroPad(t.day, 2) + "/" + zeroPad(t.month, 2) + " " + zeroPad(t.hour, 2) + ":" +
           zeroPad(t.minute, 2) + ": " + trim(reason);
}

}  // namespace

// Rows cannot move while a task runs (the editor refuses), so the row found at
// the start is the task's for the whole run.
void Executor::run(tasks::TaskId task) {
    const int row = GRID_.rowOf(task);
    if (row < 1) return;
    if (waitsForPen(row)) return;   // waiting is not running: nothing of a run happens
    try {
        begin(row);
        dispatch(row);
    } catch (const std::exception& e) {
        fail(row, e.what());
    } catch (...) {
        fail(row, "Erro desconhecido");
    }
    end(row);
}

// Copy, program and backup tasks name a pen drive by letter or by label.
bool Executor::waitsForPen(int row) {
    const std::string pen = trim(cell(col::PEN, row));
    if (pen.empty() || !tasks::typeOf(GRID_.cell(col::TIPO, row)).waitsForPen) return false;
    if (platform::penDrive(services_.shell, pen)) return false;
    host_.penWaiting(GRID_.idAt(row), pen);
    return true;
}

void Executor::penNeverCame(tasks::TaskId task, const std::string& pen) {
    const int row = GRID_.rowOf(task);
    if (row < 1) return;
    readRow(row);
    fail(row, "Pen drive " + pen + " não conectado");
}

void Executor::notConfirmed(tasks::TaskId task) {
    const int row = GRID_.rowOf(task);
    if (row < 1) return;
    readRow(row);
    const std::string reason = "Confirmação não respondida até o fim do dia";
    recordRun(row, false);
    log_.addEntry(row, "ERR", "***   NÃO CONFIRMADA   ***   " + ctx_.NOME_TAREFA, reason);
    GRID_.setCell(col::ULTIMO_ERRO, row, failureNote(reason));
}

void Executor::begin(int row) {
    readRow(row);
    state_.trayHint = "Executando: " + trim(ctx_.NOME_TAREFA) + " (" + trim(ctx_.PERIODO_TAREFA) + ")";
    state_.trayImage = 1;
    state_.running = true;
    state_.status = "Executando: " + zeroPad(row, 2) + " - " + ctx_.NOME_TAREFA;
    state_.changed();
    platform::op().processMessages();   // paint the label and the icon before the work
}

// The run context from the row; a pen drive named by its label becomes its letter.
void Executor::readRow(int row) {
    ctx_.HORA_INICIO = nowText();
    ctx_.ARQ_BAT = cleanPath(state_.batchFolder + "\\TIMER_xx.BAT");
    ctx_.DATA_HOJE = sqlDate("");
    ctx_.NOME_TAREFA = cell(col::NOME, row);
    ctx_.TIPO_TAREFA = cell(col::TIPO, row);
    ctx_.COD_TIPO = ctx_.TIPO_TAREFA.substr(0, 2);
    type_ = &tasks::typeOf(ctx_.TIPO_TAREFA);
    ctx_.PERIODO_TAREFA = cell(col::PERIODO, row);
    ctx_.MENSAGEM_TAREFA = trim(cell(col::MENSAGEM, row));
    ctx_.PAUSA_TAREFA = cell(col::PAUSE, row);
    ctx_.PEN_TAREFA = trim(cell(col::PEN, row));
    ctx_.EXTENSAO_TAREFA = cell(col::EXTENSAO, row);
    ctx_.MEMO_TAREFA = tasks::cellToLines(cell(col::MEMO, row));
    ctx_.DIA_SEMANA = weekdayName(todayText());
    ctx_.SAIDA_BAT.clear();   // a failure before the batch runs must not show another run's output

    if (const char letter = ctx_.PEN_TAREFA.size() > 1 ? platform::penDrive(services_.shell, ctx_.PEN_TAREFA) : 0)
        ctx_.PEN_TAREFA = std::string(1, letter);
    startDay_ = today();
    runBytes_ = -1;
}

void Executor::dispatch(int row) {
    if (const std::string missing = missingTarget(row); !missing.empty()) {
        fail(row, missing);
        return;
    }
    switch (type_->run) {
    case tasks::RunKind::Batch: return runBatch(row);
    case tasks::RunKind::FolderCopy: return copyFolders(row);
    case tasks::RunKind::FileCopy: return copyFile(row);
    case tasks::RunKind::StartProgram: return startProgram(row);
    case tasks::RunKind::CloseProgram: return closeProgram(row);
    case tasks::RunKind::Power: return powerFunction(row);
    case tasks::RunKind::Zip: return zipFolder(row);
    case tasks::RunKind::Send: return sendFiles(row);
    case tasks::RunKind::Message: return showMessage(row);
    case tasks::RunKind::Nothing: return;
    }
}

// Every run ends idle with the task file written, whatever happened in it.
void Executor::end(int row) {
    state_.status = "___";
    state_.running = false;
    state_.changed();
    std::optional<std::string> saveError;
    try {
        host_.saveTasks();
    } catch (const std::exception& e) {
        saveError = e.what();
    } catch (...) {
        saveError = "Erro desconhecido";
    }
    state_.trayImage = host_.idleTrayImage();
    state_.trayHint = "Tarvex em Espera";
    state_.changed();
    if (saveError) fail(row, *saveError);
}

// A run that did not do its work: logged, kept as the task's last result and told
// to the window. No stamp, so the task stays due.
void Executor::fail(int row, const std::string& reason, const std::string& logText) {
    recordRun(row, false);
    log_.addEntry(row, "ERR", logText.empty() ? "***   ERRO   ***   " + ctx_.NOME_TAREFA : logText, reason);
    GRID_.setCell(col::ULTIMO_ERRO, row, failureNote(reason));
    host_.runFailed(GRID_.idAt(row), reason);
}

bool Executor::confirm(int row) {
    if (!ctx_.MENSAGEM_TAREFA.empty() &&
        host_.confirmRun(GRID_.idAt(row), ctx_.MENSAGEM_TAREFA) != ExecHost::Answer::Yes)
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
                                 ? formatDate(day) + " " + formatTime(secondsOfDay(t))
                                 : formatDate(startDay_) + " " + ctx_.HORA_INICIO;
    GRID_.setCell(col::ULTIMA_EXEC, row, text);
    if (!GRID_.cell(col::ULTIMO_ERRO, row).empty()) GRID_.setCell(col::ULTIMO_ERRO, row, "");
    host_.stamped(GRID_.idAt(row), text);
    recordRun(row, true);
}

void Executor::recordRun(int row, bool ok) {
    const LocalTime t = platform::clock().now();
    const int start = readTime(ctx_.HORA_INICIO).value_or(secondsOfDay(t));
    int seconds = secondsOfDay(t) - start;
    if (seconds < 0) seconds += 24 * 60 * 60;
    log::RunRecord run{startDay_, start, row, trim(ctx_.NOME_TAREFA), ok, seconds, ok ? runBytes_ : -1};
    log::appendRun(log_.folder(), run);
    if (!ok || run.bytes < 0) return;
    const Date day{t.year, t.month, t.day};
    if (auto jump = log::lastRunJump(log_.folder(), run.name, day))
        host_.sizeJumped(GRID_.idAt(row), log::sizeJumpText(*jump, day));
}

// The first drive or network share a copy, ZIP or backup would write to that is
// not there, as the operator is told; empty: none.
std::string Executor::missingTarget(int row) const {
    std::vector<std::string> targets;
    if (type_->memoTargets)
        for (const std::string& line : split(expandPlaceholders(ctx_, ctx_.MEMO_TAREFA), '\n'))
            if (line.find("===>>") != std::string::npos) targets.push_back(textBetween(line, "===>>", ""));
    if (type_->destinationDrive) targets.push_back(expandPlaceholders(ctx_, cell(col::DIR_DESTINO, row)));
    if (type_->penDrive) targets.push_back(ctx_.PEN_TAREFA.empty() ? "" : ctx_.PEN_TAREFA.substr(0, 1) + ":");
    for (const std::string& target : targets) {
        const char drive = driveOf(target);
        if (drive && !services_.shell.driveExists(drive)) return std::string("Unidade ") + drive + ": não encontrada";
        const std::string share = shareOf(target);
        if (!share.empty() && !platform::dirExists(share)) return share + " não encontrado";
    }
    return "";
}

namespace {

// Where a failing copy line of the batch leaves its number: "TIMER_xx.ERR" beside it.
std::string markFileOf(const std::string& batch) { return batch.substr(0, batch.rfind('.')) + ".ERR"; }

// "TIMER_xx.BAT", then "TIMER_xx-2.BAT" ... when the ones before are held.
constexpr int kBatchNames = 5;
std::string batchFileName(const std::string& primary, int attempt) {
    if (attempt == 0) return primary;
    const size_t dot = primary.rfind('.');
    return primary.substr(0, dot) + "-" + std::to_string(attempt + 1) + primary.substr(dot);
}

std::string leftOutText(const ZipLeftOut& out);

// At the end of a batch run whose task asks for a pause, its last lines in a
// console of their own.
class PauseAfter {
public:
    PauseAfter(bool wanted, platform::Processes& processes, const RunContext& ctx)
        : wanted_(wanted), processes_(processes), ctx_(ctx) {}
    ~PauseAfter() {
        if (!wanted_) return;
        std::vector<std::string> lines = ctx_.SAIDA_BAT;
        lines.push_back("");
        lines.push_back(trim(ctx_.NOME_TAREFA) + " - terminada (o resultado está no log do TARVEX)");
        try {
            processes_.showAndWaitForKey(trim(ctx_.NOME_TAREFA), lines);
        } catch (...) {
            // a console that cannot be shown takes nothing from the run
        }
    }
    PauseAfter(const PauseAfter&) = delete;
    PauseAfter& operator=(const PauseAfter&) = delete;

private:
    bool wanted_;
    platform::Processes& processes_;
    const RunContext& ctx_;
};

const char* const kNoCommands = "Os comandos da tarefa estão vazios: nada foi executado";

// A command text with something to do: more than blank lines, comments and the
// code page switch.
bool hasCommands(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        const std::string t = trim(line);
        if (!t.empty() && upper1252(t).rfind("CHCP", 0) != 0 && !isCommentLine(t)) return true;
    }
    return false;
}

}  // namespace

// The operator's lines, each copy line followed by its check, in the console's
// code page; why it cannot be written, or nothing.
std::optional<std::string> Executor::writeBatchFile() {
    const platform::ConsoleCodePage& console = platform::consoleCodePage();
    const std::string primary = ctx_.ARQ_BAT;
    std::optional<platform::IoError> error;
    // A batch file still held (by a command left from a TARVEX that was killed)
    // never fails the run: the next free name beside it is written instead.
    for (int attempt = 0; attempt < kBatchNames; ++attempt) {
        const std::string path = batchFileName(primary, attempt);
        const std::string mark = markFileOf(path);
        platform::removeFile(mark);
        const BatchScript script = batchScript(textLines(state_.batchText), mark);
        // CR LF between lines and none after the last, whatever breaks the memo holds.
        std::string text;
        for (size_t i = 0; i < script.lines.size(); ++i) text += (i ? "\r\n" : "") + script.lines[i];
        char missing = 0;
        const std::optional<std::string> bytes = console.fromCp1252(text, missing);
        if (!bytes)
            return "O caractere \"" + std::string(1, missing) + "\" não existe na página de código do console (" +
                   std::to_string(console.number()) + "), em que o comando é lido: o comando não foi executado";
        if (!(error = platform::replaceFile(path, *bytes))) {
            ctx_.ARQ_BAT = path;
            // Once the usual name is free again, the names taken meanwhile go.
            for (int other = attempt + 1; attempt == 0 && other < kBatchNames; ++other) {
                platform::removeFile(batchFileName(primary, other));
                platform::removeFile(markFileOf(batchFileName(primary, other)));
            }
            return std::nullopt;
        }
    }
    throw FileError(error->text);
}

void Executor::runBatch(int row) {
    ctx_.SAIDA_BAT.clear();
    if (!confirm(row)) return;
    std::string text;
    try {
        text = expandBatchPlaceholders(ctx_, ctx_.MEMO_TAREFA);
    } catch (const BatchRefused& refused) {
        return fail(row, refused.what());   // nothing runs: the line would not be the one written
    }
    ctx_.MEMO_TAREFA = withoutArrows(text);
    std::vector<std::string> lines = textLines(ctx_.MEMO_TAREFA);
    if (!hasCommands(lines)) return fail(row, kNoCommands);
    if (auto tooLong = overlongLine(lines)) return fail(row, *tooLong);
    state_.batchText = joinLines(lines);
    state_.changed();
    if (auto refused = writeBatchFile()) return fail(row, *refused);
    const std::string mark = markFileOf(ctx_.ARQ_BAT);
    const platform::ProcessEnd end = runner_.runBatchFile(ctx_.ARQ_BAT, platform::SW_NORMAL_);
    ctx_.SAIDA_BAT = end.output;
    // The "Pause" asked for: the output stays on screen, the run decided and logged
    // before it, and nothing waits for the key.
    const PauseAfter pause(ctx_.PAUSA_TAREFA == "S", services_.processes, ctx_);
    if (end.error) return fail(row, end.error->text);
    if (end.timedOut) return timedOut(row);
    if (end.unanswered)
        return fail(row, "O comando parou numa pergunta que ninguém responde e foi encerrado: " +
                             trim(end.output.empty() ? std::string() : end.output.back()));
    // A line's check left its number: that line failed by its own command's codes
    // (a COPY's 1 too). Otherwise the batch's end status, by the type's rule: XCOPY's
    // 1 is "nothing to copy", the backup tool fails with any status but 0.
    if (end.status >= type_->failsFromStatus || platform::fileExists(mark))
        return batchFailed(row, end.status, mark);
    std::optional<std::size_t> checked;
    if (!batchCopiesProven(row, checked)) return;
    stamp(row);
    logChecked(row, checked);
    if (type_->keepsLast)
        keepNewest(platform::fsPath(expandPlaceholders(ctx_, trim(cell(col::DIR_DESTINO, row)))),
                   gbakBaseName(trim(cell(col::ARQUIVO, row))) + ctx_.EXTENSAO_TAREFA + ".GDK", row);
}

// The batch and all it started were ended at the limit (or the copy given up,
// `what` saying how); the day goes on.
void Executor::timedOut(int row, const std::string& what) {
    const int limit = runner_.timeLimit();
    const std::string spent = limit % 60 ? std::to_string(limit) + " s" : std::to_string(limit / 60) + " min";
    fail(row, "Tempo esgotado (" + spent + "): " + (what.empty() ? "o comando foi encerrado" : what),
         "***   ERRO   ***   " + ctx_.NOME_TAREFA + " - tempo esgotado (" + spent + ")");
}

// The failure names the line that failed when the batch left its number.
void Executor::batchFailed(int row, int status, const std::string& markFile) {
    std::string reason = type_->batchName + std::string(" terminou com o código ") + std::to_string(status);
    const std::optional<std::string> mark = platform::readFile(markFile);
    platform::removeFile(markFile);
    const int line = mark ? toInt(trim(*mark)) : 0;
    const std::vector<std::string> lines = textLines(state_.batchText);
    if (line < 1 || line > static_cast<int>(lines.size())) return fail(row, reason);
    // Named by the command that failed, which need not be the type's own program.
    reason = commandOf(lines[line - 1]) + " terminou com o código " + std::to_string(status) + " na linha " + std::to_string(line) + ": " + trim(lines[line - 1]);
    fail(row, reason,
         "***   ERRO   ***   " + ctx_.NOME_TAREFA + " (linha " + std::to_string(line) + ", código " +
             std::to_string(status) + ")");
}

void Executor::copyFolders(int row) {
    if (!confirm(row)) return;
    ctx_.MEMO_TAREFA = expandPlaceholders(ctx_, ctx_.MEMO_TAREFA);
    if (!hasCommands(textLines(ctx_.MEMO_TAREFA))) return fail(row, kNoCommands);
    state_.batchText = ctx_.MEMO_TAREFA;
    state_.changed();
    std::optional<std::size_t> checked;
    for (const std::string& raw : textLines(ctx_.MEMO_TAREFA)) {
        const std::string line = trim(raw);
        if (line.empty()) continue;
        const std::string from = trim(textBetween(line, "", kArrow));
        const std::string to = trim(textBetween(line, kArrow, ""));
        if (auto error = runner_.copyFolder(from, to)) {
            if (error->code == std::errc::timed_out) return timedOut(row, error->text);
            return fail(row, error->text);
        }
        if (!copied(row, from, to, checked)) return;
    }
    stamp(row);
    logChecked(row, checked);
    if (ctx_.PAUSA_TAREFA == "S") host_.tell(ctx_.NOME_TAREFA + " - Concluído");
}

void Executor::copyFile(int row) {
    if (!confirm(row)) return;
    const std::string from = expandPlaceholders(ctx_, trim(cell(col::DIR_ORIGEM, row)));
    const std::string to = expandPlaceholders(ctx_, trim(cell(col::DIR_DESTINO, row)));
    if (!platform::dirExists(to)) createFolders(to);
    // "Arquivo" (a name or a mask) follows the folder as stored: the folder ends in "\".
    if (auto error = runner_.copyFiles(from + cell(col::ARQUIVO, row), to, "1"))
        return error->code == std::errc::timed_out ? timedOut(row, error->text) : fail(row, error->text);
    std::optional<std::size_t> checked;
    if (!copied(row, from + cell(col::ARQUIVO, row), to, checked)) return;
    stamp(row);
    logChecked(row, checked);
}

// The shell's word is not taken: each source file must be at the destination
// with its size. `checked` adds up the files found; false: the run failed.
bool Executor::copied(int row, const std::string& from, const std::string& to, std::optional<std::size_t>& checked) {
    return judged(row, to, services_.shell.checkCopy(from, to), checked);
}

bool Executor::judged(int row, const std::string& to, const platform::CopyCheck& check,
                      std::optional<std::size_t>& checked) {
    if (!check.checked) return true;
    if (!check.failure.empty()) {
        fail(row, check.failure);
        return false;
    }
    if (check.missingCount) {
        std::string names;
        for (const std::string& name : check.missing) names += (names.empty() ? "" : ", ") + name;
        if (check.missingCount > check.missing.size()) names += "...";
        const std::string shortfall = "faltam " + std::to_string(check.missingCount) + " de " +
                                      std::to_string(check.missingCount + check.files) + " arquivos: " + names;
        fail(row, "Cópia incompleta em " + to + " - " + shortfall,
             "***   ERRO   ***   " + ctx_.NOME_TAREFA + " (" + shortfall + ")");
        return false;
    }
    checked = checked.value_or(0) + check.files;
    runBytes_ = std::max<std::int64_t>(runBytes_, 0) + static_cast<std::int64_t>(check.bytes);
    return true;
}

void Executor::logChecked(int row, const std::optional<std::size_t>& checked) {
    if (!checked) return logExe(row);
    const std::string count = *checked == 1 ? "1 arquivo conferido" : std::to_string(*checked) + " arquivos conferidos";
    log_.addEntry(row, "EXE", ctx_.NOME_TAREFA + " >> " + count);
}

void Executor::startProgram(int row) {
    if (!confirm(row)) return;
    ProgramLine line;
    try {
        line = programLine(ctx_, trim(cell(col::EXECUTAVEL, row)));
    } catch (const BatchRefused& refused) {
        return fail(row, std::string(refused.what()) + " O programa não foi iniciado.");
    }
    const auto& [program, params] = line;
    if (!platform::fileExists(program))
        return fail(row, "Programa não localizado: " + program,
                    "***   ERRO   ***   Programa não localizado " + ctx_.NOME_TAREFA);
    if (!services_.shell.open(program, params, "", platform::SW_NORMAL_))
        return fail(row, "O programa não pôde ser iniciado: " + program);
    stamp(row);
    logExe(row);
}

void Executor::closeProgram(int row) {
    if (!confirm(row)) return;
    const std::string program = trim(cell(col::EXECUTAVEL, row));
    if (isBlankText(program)) {
        host_.tell("O nome do PROGRAMA deve ser informado");
        return;
    }
    // Closing by force stays the operator's choice: a program that asks to save is a failure.
    if (closeProgramAndWait(services_.windows, program, kCloseWaitMs) == CloseResult::StillOpen)
        return fail(row, "o programa " + programName(program) + " não fechou (pode estar pedindo para salvar)");
    stamp(row);
    logExe(row);
}

void Executor::powerFunction(int row) {
    if (!confirm(row)) return;
    stamp(row);
    const int function = toInt(cell(col::FUNCOES, row));
    if (function < 0 || function > 3) return;
    // The stamp and the entry are on disk before the computer goes down.
    host_.saveTasks();
    logExe(row);
    if (function == 1) shutdownByCommand(services_.power);
    else if (function == 2) powerOffPc(services_.power);
    else if (function == 3) restartPc(services_.power);
    host_.requestQuit();
}

namespace {

// The clear password of a task's protected one; empty for none. One that this
// Windows user cannot unprotect (a task file from another PC, user or prefix)
// fails the run: an archive without the encryption asked for is never written.
std::string zipPassword(const std::string& stored) {
    if (trim(stored).empty()) return {};
    const std::optional<std::string> clear = platform::secrets().unprotect(trim(stored));
    if (!clear || clear->empty()) throw FileError(kZipPasswordUnreadable);
    // The archive takes it in UTF-8, as the ZIP tools that read AES entries expect.
    return platform::cp1252ToUtf8(*clear);
}

}  // namespace

void Executor::zipFolder(int row) {
    const std::string stored = cell(col::ARQUIVO, row);
    ZipJob job;
    job.masks = trim(stored).empty() ? "*.*" : stored;
    job.excludes = trim(cell(col::EXCLUIR, row));
    job.sourceDir = trim(cell(col::DIR_ORIGEM, row));
    const std::string destination = trim(cell(col::DIR_DESTINO, row));
    if (!platform::dirExists(destination)) {
        try {
            createFolders(destination);
        } catch (const std::exception&) {
            // reported when the archive cannot be written there
        }
    }
    job.archivePath = expandPlaceholders(ctx_, destination + "\\" + trim(cell(col::ARQDEST, row)) +
                                       ctx_.EXTENSAO_TAREFA + ".ZIP");
    platform::op().processMessages();
    const std::string pattern = trim(cell(col::ARQDEST, row)) + ctx_.EXTENSAO_TAREFA + ".ZIP";
    job.ownPattern = replaceText(pattern, "[EXT]", ctx_.EXTENSAO_TAREFA);
    try {
        // What a run killed half-way left, on whatever day it was named for.
        removeLeftovers(platform::fromFsPath(platform::fsPath(job.archivePath).parent_path()), job.ownPattern);
        job.password = zipPassword(cell(col::SENHA_ZIP, row));
        // Replaces an older archive only once the new one is whole and read back.
        const ZipLeftOut leftOut = writeZipPumping(job);
        if (const auto size = platform::fileSize(job.archivePath)) runBytes_ = static_cast<std::int64_t>(*size);
        stamp(row);
        host_.saveTasks();
        log_.addEntry(row, "EXE", ctx_.NOME_TAREFA + leftOutText(leftOut));
        keepNewest(platform::fsPath(job.archivePath).parent_path(), pattern, row);
    } catch (const std::exception& e) {
        // No stamp: the archive of the day was not made.
        fail(row, e.what(), ctx_.NOME_TAREFA);
        state_.running = false;
        state_.status = "Erro - " + ctx_.NOME_TAREFA;
        state_.changed();
        host_.computeAgenda();
    }
}

namespace {

// What the operator reads after the task's name when the walk left something out.
std::string leftOutText(const ZipLeftOut& out) {
    std::vector<std::string> parts;
    if (out.destination) parts.push_back("a pasta de destino");
    if (out.archives == 1) parts.push_back("1 arquivo ZIP da própria tarefa");
    if (out.archives > 1) parts.push_back(withThousands(out.archives) + " arquivos ZIP da própria tarefa");
    if (parts.empty()) return "";
    return " >> deixados de fora: " + parts[0] + (parts.size() > 1 ? " e " + parts[1] : "");
}

std::string zipProgressText(const std::string& name, const ZipProgress& p) {
    const std::uint64_t percent = p.bytesTotal ? p.bytes * 100 / p.bytesTotal
                                               : (p.filesTotal ? p.files * 100 / p.filesTotal : 0);
    return "Compactando " + trim(name) + ": " + withThousands(p.files) + " de " + withThousands(p.filesTotal) + " arquivos (" +
           std::to_string(percent) + "%)";
}

}  // namespace

// The archive is written on a thread of its own while the window keeps
// answering; the running flag keeps timers and buttons from starting another run.
ZipLeftOut Executor::writeZipPumping(const ZipJob& job) {
    ZipLeftOut leftOut;
    std::mutex m;
    std::optional<ZipProgress> latest;
    std::atomic<bool> done{false};
    std::exception_ptr error;
    {
        std::jthread worker([&] {
            try {
                leftOut = writeZip(job, [&](const ZipProgress& p) {
                    std::lock_guard lock(m);
                    latest = p;
                });
            } catch (...) {
                error = std::current_exception();
            }
            done = true;
        });
        platform::op().waitUntil([&] { return done.load(); }, [&] {
            std::optional<ZipProgress> p;
            {
                std::lock_guard lock(m);
                p.swap(latest);
            }
            if (!p) return;
            const std::string text = zipProgressText(ctx_.NOME_TAREFA, *p);
            state_.status = text;
            state_.trayHint = text;
            state_.changed();
            host_.runProgress(text);
        });
    }
    if (error) std::rethrow_exception(error);
    return leftOut;
}

// "Manter os últimos N": older archives of this task's own name pattern go.
void Executor::keepNewest(const std::filesystem::path& folder, const std::string& pattern, int row) {
    const int keep = toInt(trim(cell(col::MANTER, row)));
    if (keep <= 0) return;
    exec::keepNewest(platform::fromFsPath(folder), replaceText(pattern, "[EXT]", ctx_.EXTENSAO_TAREFA), keep);
}

// The text stays on screen while the schedule goes on: shown is done.
void Executor::showMessage(int row) {
    host_.showMessage(ctx_.MENSAGEM_TAREFA);
    stamp(row);
    log_.addEntry(row, "EXE", ctx_.NOME_TAREFA + " >> " + ctx_.MENSAGEM_TAREFA);
}

}  // namespace tarvex::exec
