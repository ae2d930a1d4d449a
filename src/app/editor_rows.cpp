// The type pages' side of the task row: which column feeds which field, and the
// checks a page must pass before its cells are written.
#include "app/editor.h"

#include "exec/send_address.h"
#include "lib/routines.h"
#include "platform/files.h"
#include "tasks/columns.h"
#include "tasks/task_store.h"
#include "tasks/task_types.h"

namespace tarvex::app {

namespace {

using tasks::TaskType;
using T = TaskType;

struct Binding {
    int column;
    ui::Edit* field;
};

// The plain text cells of each page (memo and option cells are handled apart).
std::vector<Binding> bindings(EditorPages& p, const std::string& code) {
    const TaskType type = tasks::typeOf(code).type;
    if (type == T::XCopy)
        return {{col::DIR_ORIGEM, &p.E00_ORIGEM}, {col::DIR_DESTINO, &p.E00_DESTINO}, {col::PEN, &p.E00_PEN},
                {col::EXTENSAO, &p.E00_EXTENSAO}};
    if (type == T::CopyFolders)
        return {{col::DIR_ORIGEM, &p.E01_ORIGEM}, {col::DIR_DESTINO, &p.E01_DESTINO}, {col::PEN, &p.E01_PEN},
                {col::EXTENSAO, &p.E01_EXTENSAO}};
    if (type == T::CopyFile)
        return {{col::DIR_ORIGEM, &p.E02_ORIGEM}, {col::DIR_DESTINO, &p.E02_DESTINO}, {col::PEN, &p.E02_PEN},
                {col::EXTENSAO, &p.E02_EXTENSAO}, {col::ARQUIVO, &p.E02_ARQUIVO}};
    if (type == T::StartProgram) return {{col::PEN, &p.E03_PEN}, {col::EXECUTAVEL, &p.E03_EXECUTAVEL}};
    if (type == T::CloseProgram) return {{col::EXECUTAVEL, &p.T04_EXECUTAVEL}};
    if (type == T::Zip)
        return {{col::DIR_ORIGEM, &p.E06_ORIGEM}, {col::DIR_DESTINO, &p.E06_DESTINO}, {col::ARQUIVO, &p.E06_ARQUIVO},
                {col::EXTENSAO, &p.E06_EXTENSAO}, {col::ARQDEST, &p.E06_ARQDEST}, {col::EXCLUIR, &p.E06_EXCLUIR},
                {col::MANTER, &p.E06_MANTER}};
    if (type == T::Send)
        return {{col::DIR_ORIGEM, &p.E08_ORIGEM},   {col::ARQUIVO, &p.E08_ARQUIVO}, {col::DIR_DESTINO, &p.E08_SERVIDOR},
                {col::USUARIO_SERVIDOR, &p.E08_USUARIO}, {col::MANTER, &p.E08_MANTER}, {col::LIMITE_SERVIDOR, &p.E08_LIMITE}};
    if (type == T::Backup)
        return {{col::DIR_DESTINO, &p.E07_DESTINO}, {col::PEN, &p.E07_PEN}, {col::EXTENSAO, &p.E07_EXTENSAO},
                {col::ARQUIVO, &p.E07_ARQUIVO}, {col::PASTA_EXE, &p.E07_PASTAEXE}, {col::MANTER, &p.E07_MANTER}};
    return {};
}

ui::Memo* memoOf(EditorPages& p, const std::string& code) {
    const TaskType type = tasks::typeOf(code).type;
    if (type == T::XCopy) return &p.E00_MEMO;
    if (type == T::CopyFolders) return &p.E01_MEMO;
    if (type == T::Backup) return &p.E07_MEMO;
    if (type == T::Notes) return &p.E09_MEMO;
    return nullptr;
}

bool tell(platform::Operator& op, const std::string& text) {
    app::tell(op, text);
    return false;
}

bool check02(EditorPages& p, platform::Operator& op) {
    if (isBlankText(p.E02_ORIGEM.text()) || isBlankText(p.E02_DESTINO.text()))
        return tell(op, "Diretório de Origem e Destino devem ser informados");
    if (isBlankText(p.E02_ARQUIVO.text())) return tell(op, "Arquivo de Origem deve ser informado");
    if (!platform::dirExists(p.E02_ORIGEM.text())) return tell(op, "Diretório de Origem não existe");
    return true;
}

bool check06(EditorPages& p, platform::Operator& op) {
    if (trim(p.E06_ORIGEM.text()).empty()) return tell(op, "A pasta de ORIGEM deve ser informada");
    if (trim(p.E06_DESTINO.text()).empty()) return tell(op, "A pasta de DESTINO deve ser informada");
    if (!platform::dirExists(p.E06_DESTINO.text())) {
        createFolders(p.E06_DESTINO.text());
        if (!platform::dirExists(p.E06_DESTINO.text())) return tell(op, "Deve criar a pasta de DESTINO");
    }
    if (trim(p.E06_ARQDEST.text()).empty()) return tell(op, "O nome do arquivo de DESTINO deve ser informada");
    if (trim(p.E06_ARQUIVO.text()).empty()) p.E06_ARQUIVO.setText("*.*");
    return true;
}

bool check08(EditorPages& p, platform::Operator& op) {
    if (trim(p.E08_ORIGEM.text()).empty()) return tell(op, "A pasta LOCAL dos arquivos a enviar deve ser informada");
    if (trim(p.E08_ARQUIVO.text()).empty()) p.E08_ARQUIVO.setText("*.ZIP");
    platform::ServerPlace place;
    if (const std::string wrong = exec::readServerAddress(p.E08_SERVIDOR.text(), place); !wrong.empty())
        return tell(op, wrong);
    const std::string limit = trim(p.E08_LIMITE.text());
    if (limit.find_first_not_of("0123456789") != std::string::npos)
        return tell(op, "Tempo limite: informe os segundos (0 = sem limite)");
    p.E08_LIMITE.setText(limit.find_first_not_of('0') == std::string::npos ? "" : limit);
    return true;
}

// A count of archives, stored empty for 0 so a task without it keeps its row as it was.
bool checkKeep(ui::Edit& keep, platform::Operator& op) {
    const std::string n = trim(keep.text());
    if (n.find_first_not_of("0123456789") != std::string::npos)
        return tell(op, "Manter os últimos N: informe quantos arquivos manter (0 = todos)");
    if (n.find_first_not_of('0') == std::string::npos) keep.setText("");
    else keep.setText(n);
    return true;
}

bool checkPage(EditorPages& p, const std::string& code, platform::Operator& op) {
    const TaskType type = tasks::typeOf(code).type;
    const std::string noProgram = "O nome do programa EXECUTÁVEL deve ser informado";
    if ((type == T::Zip && !checkKeep(p.E06_MANTER, op)) || (type == T::Backup && !checkKeep(p.E07_MANTER, op)) ||
        (type == T::Send && !checkKeep(p.E08_MANTER, op)))
        return false;
    if (type == T::Send) return check08(p, op);
    if (type == T::CopyFile) return check02(p, op);
    if (type == T::StartProgram && isBlankText(p.E03_EXECUTAVEL.text())) return tell(op, noProgram);
    if (type == T::CloseProgram && isBlankText(p.T04_EXECUTAVEL.text())) return tell(op, noProgram);
    if (type == T::Zip) return check06(p, op);
    if (type == T::Backup && !platform::fileExists(p.E07_PASTAEXE.text() + "\\GBAK.EXE"))
        return tell(op, "Arquivo GBAK.EXE não existe na pasta " + p.E07_PASTAEXE.text());
    return true;
}

// A choice outside the list shows none, so a save cannot turn an unknown
// value into one of the listed functions.
int functionIndex(std::string_view cell) {
    const int value = toInt(cell);
    return value >= 0 && value < static_cast<int>(FUNCOES_ITENS.size()) ? value : -1;
}

}  // namespace

void readTypeCells(EditorPages& p, const std::string& code, const tasks::TaskTable& grid, int row) {
    const TaskType type = tasks::typeOf(code).type;
    for (const Binding& b : bindings(p, code)) b.field->setText(grid.cell(b.column, row));
    if (ui::Memo* memo = memoOf(p, code)) {
        const std::string text = tasks::cellToLines(grid.cell(col::MEMO, row));
        memo->setText(type == T::Backup ? trim(text) : text);
    }
    if (type == T::Power) p.T05_FUNCOES.setItemIndex(functionIndex(grid.cell(col::FUNCOES, row)));
    showZipPassword(p, type == T::Zip ? trim(std::string(grid.cell(col::SENHA_ZIP, row))) : std::string());
    showServerPassword(p, type == T::Send ? trim(std::string(grid.cell(col::SENHA_SERVIDOR, row))) : std::string());
}

bool typeCells(EditorPages& p, const std::string& code, RowCells& cells, platform::Operator& op) {
    const TaskType type = tasks::typeOf(code).type;
    if (!checkPage(p, code, op)) return false;
    for (const Binding& b : bindings(p, code)) cells.emplace_back(b.column, b.field->text());
    // Trimmed before its line breaks are encoded too: the backup page trims what it
    // reads, so outer blank lines kept in the cell would change at every save.
    if (ui::Memo* memo = memoOf(p, code))
        cells.emplace_back(col::MEMO, trim(tasks::linesToCell(trim(memo->text()))));
    if (type == T::Power) cells.emplace_back(col::FUNCOES, std::to_string(p.T05_FUNCOES.itemIndex()));
    if (type == T::Zip) {
        const std::optional<std::string> password = zipPasswordCell(p, op);
        if (!password) return false;
        cells.emplace_back(col::SENHA_ZIP, *password);
    }
    if (type == T::Send) {
        const std::optional<std::string> password = serverPasswordCell(p, op);
        if (!password) return false;
        cells.emplace_back(col::SENHA_SERVIDOR, *password);
    }
    return true;
}

}  // namespace tarvex::app
