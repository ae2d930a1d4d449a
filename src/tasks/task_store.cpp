#include "tasks/task_store.h"

#include <vector>

#include "lib/errors.h"
#include "lib/mrqr.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "tasks/keep_aside.h"
#include "tasks/task_file.h"

namespace tarvex::tasks {

const std::array<std::string, 11> TYPE_LABELS = {
    "00 - XCOPY - Copia Arq.", "01 - Copiar Diretório", "02 - Copiar Arquivo",
    "03 - Executar Programa",  "04 - Fechar Programa",  "05 - FUNÇÕES",
    "06 - WINZIP",             "07 - GBAK - Firebird",  "08 - ",
    "09 - Observações",        "10 - Mensagem",
};

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

struct Width { int col; int pixels; };
constexpr Width WIDTHS[] = {
    {0, 40}, {1, 250}, {2, 80}, {3, 80}, {4, 60}, {5, 40}, {7, 40}, {12, 50}, {29, 30},
};

std::string codeOf(const ui::Grid& grid, int col, int row) {
    return trim(grid.cell(col, row).substr(0, 2));
}

}  // namespace

std::string typeCode(const ui::Grid& grid, int row) { return codeOf(grid, col::TIPO, row); }
std::string periodCode(const ui::Grid& grid, int row) { return codeOf(grid, col::PERIODO, row); }

void NUMERA(ui::Grid& grid) {
    for (int r = 1; r < grid.rowCount(); ++r) grid.setCell(col::TAREFA, r, MRQ_ZEROS(r, 2));
}

std::string TIRA_CHR(const std::string& text) {
    std::string t = MRQ_TROCA(text, "¦", "", 0);
    t = MRQ_TROCA(t, "\r\n", "||", 0);
    return MRQ_TROCA(t, "\n", "||", 0);
}

std::string COLOCA_CHR(std::string_view text) { return MRQ_TROCA(std::string(text), "||", "\r\n", 0); }

TaskStore::TaskStore(ui::Grid& GRID, ui::Memo& E_MEMO, const std::string& PASTA_PARAM)
    : GRID_(GRID), E_MEMO_(E_MEMO), PASTA_PARAM_(PASTA_PARAM) {}

void TaskStore::BU_MONTARClick(int LINHA) {
    // Read apart first: a file that cannot be read leaves the table as it was.
    ui::Grid loaded("GRID");
    loaded.setColCount(col::COUNT);
    loaded.setRowCount(2);
    const std::string path = taskFilePath();
    int beyond = 0;
    std::string copy;
    std::string bytes;
    const bool exists = platform::fileExists(path);
    if (exists) {
        if (const platform::IoResult fault = platform::readFile(path, bytes)) throw FileError(fault->text);
        beyond = taskfile::decode(bytes, path, loaded);
        // Copied as it was read, before anything can save over it.
        if (beyond > 0) copy = keepAside(path, bytes, platform::clock().now());
    }
    // The rest of the system addresses all 35 columns; a narrower file is widened.
    if (loaded.colCount() < col::COUNT) loaded.setColCount(col::COUNT);
    if (loaded.rowCount() < 3) loaded.setRowCount(3);

    GRID_.assignFrom(std::move(loaded));

    E_MEMO_.setText(COLOCA_CHR(GRID_.cell(col::NOME, LINHA)));
    for (const Title& t : TITLES) GRID_.setCell(t.col, 0, t.text);
    for (const Width& w : WIDTHS) GRID_.setColWidth(w.col, w.pixels);
    NUMERA(GRID_);
    GRID_.setWidth(250);
    if (exists) watch_.remember(path, bytes);
    else watch_.forget();
    if (beyond > 0)
        MRQ_MSG("O arquivo de tarefas " + path + " está danificado: tem " + std::to_string(beyond) +
                " linha(s) de tarefas além das que a sua segunda linha declara. Todas foram carregadas.\r\n" +
                asideNote(copy));
}

void TaskStore::GRID_SALVA() {
    const std::string path = taskFilePath();
    const std::string copy = keepOthersChange(path);
    const std::string bytes = taskfile::encode(GRID_);
    const platform::IoResult fault = platform::replaceFile(path, bytes);
    if (!fault) watch_.remember(path, bytes);
    if (fault) throw FileError(fault->text + (copy.empty() ? "" : "\r\n" + asideNote(copy)));
    // Told after the save: the box lets timers in, and they may save again.
    if (!copy.empty())
        MRQ_MSG("O arquivo de tarefas " + path + " foi alterado por outro programa depois que o TARVEX o leu.\r\n" +
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
