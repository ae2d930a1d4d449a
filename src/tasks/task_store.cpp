#include "tasks/task_store.h"

#include <vector>

#include "lib/errors.h"
#include "lib/routines.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "lib/keep_aside.h"
#include "tasks/task_file.h"
#include "tasks/task_types.h"

namespace tarvex::tasks {

const std::array<std::string, 11> TYPE_LABELS = [] {
    std::array<std::string, 11> labels;
    for (size_t i = 0; i < labels.size(); ++i) labels[i] = taskTypes()[i].label;
    return labels;
}();

const std::array<std::string, 21> PERIOD_LABELS = {
    "00 - Inativo",     "01 - Todos os Dias",      "02 - Domingo",
    "03 - Segunda",     "04 - Terça",              "05 - Quarta",
    "06 - Quinta",      "07 - Sexta",              "08 - Sábado",
    "09 - De Segunda a Sexta", "10 - Apenas 1 vez", "11 - 1 vez por Semana",
    "12 - 1 vez por Mes", "13 - 1 vez ao Ano",     "14 -",
    "15 - ",            "16 -",                    "17 - ",
    "18 - ",            "19 -  ",                  "20 - Chamada Manual",
};

namespace {

struct Title { int col; const char* text; };
constexpr Title TITLES[] = {
    {0, "Tarefa"},      {1, "Nome"},         {2, "Tipo Tarefa"}, {3, "Periodo"},
    {4, "Ultima Exec"}, {5, "Hora"},         {6, "Mensagem"},    {7, "Ver Exec."},
    {8, "Pause"},       {15, "Dir Origem"},  {16, "Dir Destino"}, {17, "PEN"},
    {18, "Extensão"},   {19, "Arquivo"},     {20, "Executável"}, {21, "FUNÇÕES"},
    {22, "ARQDEST"},    {23, "EXCLUIR"},     {28, "PASTA EXE"},  {29, "S/N EXE"},
    {30, "Memo"},
};


}  // namespace

std::string periodCode(const TaskTable& table, int row) { return trim(table.cell(col::PERIODO, row).substr(0, 2)); }

// Only cells that change are written: each write tells the window's view.
void numberRows(TaskTable& table) {
    for (int r = 1; r < table.rowCount(); ++r) {
        const std::string number = zeroPad(r, 2);
        if (table.cell(col::TAREFA, r) != number) table.setCell(col::TAREFA, r, number);
    }
}

std::string linesToCell(const std::string& text) {
    std::string t = replaceText(text, "¦", "", 0);
    t = replaceText(t, "\r\n", "||", 0);
    return replaceText(t, "\n", "||", 0);
}

std::string cellToLines(std::string_view text) { return replaceText(std::string(text), "||", "\r\n", 0); }

TaskStore::TaskStore(TaskTable& table, const std::string& folder, std::function<void(const std::string&)> tell)
    : table_(table), folder_(folder), tell_(std::move(tell)) {}

void TaskStore::load() {
    // Read apart first: a file that cannot be read leaves the table as it was.
    TaskTable loaded;
    loaded.setColCount(col::COUNT);
    loaded.setRowCount(2);
    const std::string path = taskFilePath();
    if (platform::dirExists(path))
        hold({}, "O arquivo de tarefas não foi carregado: no lugar de " + path + " há uma pasta.");
    taskfile::Verdict verdict;
    std::string bytes;
    const bool exists = platform::fileExists(path);
    if (exists) {
        if (const platform::IoResult fault = platform::readFile(path, bytes)) throw FileError(fault->text);
        verdict = taskfile::read(bytes, path, loaded);
        if (!verdict.refused.empty()) hold(bytes, verdict.refused);
    }
    // Copied as it was read, before anything can save over it.
    const std::string copy = verdict.mended.empty() ? std::string() : keepAside(path, bytes, platform::clock().now());
    // The rest of the system addresses all 35 columns; a narrower file is widened.
    if (loaded.colCount() < col::COUNT) loaded.setColCount(col::COUNT);
    if (loaded.rowCount() < 3) loaded.setRowCount(3);

    for (const Title& t : TITLES) loaded.setCell(t.col, 0, t.text);
    numberRows(loaded);
    table_.reload(std::move(loaded));
    held_.clear();
    heldBytes_ = 0;

    if (exists) watch_.remember(path, std::move(bytes));
    else watch_.forget();
    if (!verdict.mended.empty() && tell_) {
        std::string text = "O arquivo de tarefas " + path + " foi carregado, mas não estava como o TARVEX o grava:";
        for (const std::string& fault : verdict.mended) text += "\r\n- " + fault;
        tell_(text + "\r\n" + asideNote(copy));
    }
}

// The file is not loaded and nothing may be saved over it until a load reads it
// well. The same bytes found again (the supervisor tries every few minutes) keep
// the copy already made.
void TaskStore::hold(const std::string& bytes, const std::string& why) {
    const std::size_t seen = std::hash<std::string>{}(bytes) | 1;
    if (seen != heldBytes_ || held_.empty()) {
        heldCopy_ = bytes.empty() ? std::string() : keepAside(taskFilePath(), bytes, platform::clock().now());
        heldBytes_ = seen;
    }
    held_ = why;
    if (!bytes.empty()) held_ += "\r\n" + asideNote(heldCopy_);
    held_ += "\r\nO TARVEX não grava a lista de tarefas nesse arquivo até que ele possa ser lido: corrija-o "
             "(ou apague-o para começar uma lista vazia) e use \"Monta Grid\".";
    throw FileError(held_);
}

void TaskStore::save() {
    if (!held_.empty()) throw FileError(held_);
    const std::string path = taskFilePath();
    const std::string copy = keepOthersChange(path);
    std::string bytes = taskfile::encode(table_);
    const platform::IoResult fault = platform::replaceFile(path, bytes);
    if (!fault) watch_.remember(path, std::move(bytes));
    if (fault) throw FileError(fault->text + (copy.empty() ? "" : "\r\n" + asideNote(copy)));
    // Told after the save: the box lets timers in, and they may save again.
    if (!copy.empty() && tell_)
        tell_("O arquivo de tarefas " + path + " foi alterado por outro programa depois que o TARVEX o leu.\r\n" +
                asideNote(copy) + "\r\nA tabela de tarefas do TARVEX foi gravada no lugar dele.");
}

// The copy of a change another program made to the file; empty when there was none.
std::string TaskStore::keepOthersChange(const std::string& path) {
    std::string now;
    if (!watch_.changed(path, now)) return {};
    const std::string copy = keepAside(path, now, platform::clock().now());
    if (copy.empty())
        throw FileError("O arquivo de tarefas " + path + " foi alterado por outro programa e não foi possível "
                        "guardar uma cópia dele; a tabela de tarefas não foi gravada para não perder essa alteração.");
    return copy;
}

}  // namespace tarvex::tasks
