// The task editor: the general panel, reading a row into the fields and the save.
#include "app/editor.h"

#include <cctype>

#include "exec/row_checks.h"
#include "lib/routines.h"
#include "lib/text1252.h"
#include "tasks/columns.h"
#include "tasks/task_store.h"
#include "tasks/task_types.h"

namespace tarvex::app {

std::string maskHour(const std::string& typed) {
    // "8:30" and "8h30" are 08:30; an "h" stands for the colon.
    std::string text = trim(typed);
    if (text.size() >= 2 && std::isdigit(static_cast<unsigned char>(text[0])) &&
        (text[1] == ':' || text[1] == 'h' || text[1] == 'H'))
        text = "0" + text.substr(0, 1) + ":" + text.substr(2);
    else if (text.size() >= 3 && (text[2] == 'h' || text[2] == 'H'))
        text[2] = ':';
    std::string out = "  :  ";
    size_t in = 0;
    for (size_t pos = 0; pos < out.size() && in < text.size(); ++pos) {
        const char c = text[in];
        if (pos == 2) {
            if (c == ':') ++in;
            continue;
        }
        if (c == ':') continue;            // a short hour: its colon waits for the fixed one
        if (c >= '0' && c <= '9') out[pos] = c;
        ++in;
    }
    return out;
}

TaskEditor::TaskEditor(EditorLinks links, EditorServices services)
    : links_(std::move(links)),
      services_(services),
      xcopy_({pages.E00_ORIGEM, pages.E00_DESTINO, pages.E00_MEMO, pages.E02_ORIGEM}, services.dialogs, services.op),
      folderCopy_({pages.E01_ORIGEM, pages.E01_DESTINO, pages.E01_MEMO}, services.dialogs, services.op),
      fileCopy_({pages.E02_ORIGEM, pages.E02_ARQUIVO, pages.E02_DESTINO}, services.dialogs),
      zip_({pages.E06_ORIGEM, pages.E06_ARQUIVO, pages.E06_EXCLUIR, pages.E06_DESTINO, pages.E06_ARQDEST,
            pages.E06_ARQUIVO1, pages.E06_EXCLUIR1},
           services.dialogs),
      backup_({pages.E07_ARQUIVO, pages.E07_PASTAEXE, pages.E07_DESTINO, pages.E07_EXTENSAO, pages.E07_MEMO},
              services.dialogs, services.registry) {
    design();
    wire();
    wirePages();
}

namespace {

// The codes kept free ("08 -", "14 -") are no choice for the operator.
std::vector<std::string> named(std::vector<std::string> labels) {
    std::erase_if(labels, [](const std::string& l) { return trim(l.size() > 4 ? l.substr(4) : "").empty(); });
    return labels;
}

}  // namespace

void TaskEditor::design() {
    BU_ANOTA_MAIS.setHint("Adiciona mais linhas");
    BU_TAREFA_SOBE.setHint("Move para Cima");
    BU_TAREFA_SOBE5.setHint("Move 5 linhas para Cima");
    BU_TAREFA_DESCE.setHint("Move para Baixo");
    BU_TAREFA_DESCE5.setHint("Move 5 linhas para Baixo");
    BU_MONTAR.setHint("Monta Grid");
    BU_EXCLUI.setHint("Exclui o registro atual");
    BU_TAREFAS_SALVA.setCaption("Salvar");
    BU_TAREFAS_SALVA.setHint("Salva a Tarefa");
    BU_SIMULAR.setCaption("Simular");
    BU_SIMULAR.setHint("Mostra o que a tarefa salva faria hoje, sem executar nada");
    LA_E_NOME.setCaption("Nome da Tarefa");
    LA_E_TIPO.setCaption("Tipo de Tarefa");
    LA_E_PERIODO.setCaption("Período");
    LA_E_HORA.setCaption("Hora:");
    LA_E_MSG.setCaption("(Stop) Enviar Mensagem antes de executar");
    LA_E_ULTEXEC.setCaption("Últ.Execução");
    CB_PAUSE.setCaption("Pause no Final");
    E_TIPO1.setItems(named({tasks::TYPE_LABELS.begin(), tasks::TYPE_LABELS.end()}));
    E_PERIODO1.setItems(named({tasks::PERIOD_LABELS.begin(), tasks::PERIOD_LABELS.end()}));
    E_HORA.setHint("Hora em que a tarefa roda; 00:00 ou vazia = sem hora: a tarefa não roda sozinha");
    E_HORA.setText(maskHour(""));
    pages.PC_TIPO.show("T99");
}

std::function<void()> TaskEditor::action(std::function<void()> f) {
    return [this, f = std::move(f)] {
        if (links_.event) links_.event(f);
        else f();
    };
}

void TaskEditor::wire() {
    BU_ANOTA_MAIS.onClick = action([this] { addRowsClicked(); });
    BU_TAREFA_SOBE.onClick = action([this] { moveUpClicked(); });
    BU_TAREFA_SOBE5.onClick = action([this] { moveUpFiveClicked(); });
    BU_TAREFA_DESCE.onClick = action([this] { moveDownClicked(); });
    BU_TAREFA_DESCE5.onClick = action([this] { moveDownFiveClicked(); });
    BU_MONTAR.onClick = action([this] { if (links_.BU_MONTAR && !rowsLocked() && leaveRow()) links_.BU_MONTAR(); });
    BU_EXCLUI.onClick = action([this] { deleteClicked(); });
    BU_TAREFAS_SALVA.onClick = action([this] { saveTask(); });
    BU_SIMULAR.onClick = action([this] { simulateClicked(); });
    E_TIPO1.onChange = action([this] { typeListSelected(); });
    E_PERIODO1.onChange = action([this] { periodListSelected(); });
    E_TIPO.onChange = action([this] { typeChanged(); });
    // Typed text takes the field's form at once, as the window's field would show it.
    E_NOME.onChange = [this] { E_NOME.setText(upper1252(E_NOME.text())); };
    E_HORA.onChange = [this] { E_HORA.setText(maskHour(E_HORA.text())); };
    // Another cell of the row being edited keeps what was typed; another row asks first.
    links_.GRID.onEdited = [this](int col, int row) {
        action([this, col, row] {
            links_.table.setCell(col, row, std::string(links_.GRID.cell(col, row)));
            links_.saveTasks();
        })();
    };
    links_.GRID.onSelectCell = [this](int col, int row, bool& canSelect) {
        action([this, col, row, &canSelect] {
            if (row == links_.editorRow() && changed()) return;
            if (!leaveRow()) canSelect = false;
            else gridCellSelected(col, row);
        })();
    };
}

void TaskEditor::wirePages() {
    EditorPages& p = pages;
    for (ui::Edit* pen : {&p.E00_PEN, &p.E01_PEN, &p.E02_PEN, &p.E03_PEN, &p.E07_PEN})
        pen->onChange = [this, pen] {
            pen->setText(upper1252(pen->text().substr(0, kPenLength)));
            showPenDrive(*pen);
        };
    p.B00_ORIGEM.onClick = action([this] { xcopy_.pickXcopySource(); });
    p.B00_ARQUIVO.onClick = action([this] { xcopy_.pickXcopyFile(); });
    p.B00_DEST.onClick = action([this] { xcopy_.penDestinationClicked(); });
    p.B00_DESTINO.onClick = action([this] { xcopy_.pickXcopyDestination(); });
    p.B00_MONTA.onClick = action([this] { xcopy_.buildXcopyLines(); });
    p.B01_ORIGEM.onClick = action([this] { folderCopy_.pickFolderCopySource(); });
    p.B01_DESTINO.onClick = action([this] { folderCopy_.pickFolderCopyDestination(); });
    p.T01_MONTA.onClick = action([this] { folderCopy_.buildFolderCopyLines(); });
    p.B02_ORIGEM.onClick = action([this] { fileCopy_.pickFileCopySource(); });
    p.B02_DESTINO.onClick = action([this] { fileCopy_.pickFileCopyDestination(); });
    p.B06_EXECUTAVEL.onClick = action([this] { app::pickProgram(pages.E03_EXECUTAVEL, services_.dialogs); });
    p.B08_ORIGEM.onClick = action([this] {
        if (auto folder = services_.dialogs.browseFolder(platform::FOLDER_TITLE, trim(pages.E08_ORIGEM.text())))
            pages.E08_ORIGEM.setText(*folder);
    });
    p.B08_TESTAR.onClick = action([this] { testServerClicked(); });
    p.BU_PROCESSOS.onClick = action([this] { app::listProcessesClicked(pages.E04_LIST, services_.windows); });
    p.E04_LIST.onChange = action([this] { app::processListClicked(pages.E04_LIST, pages.T04_EXECUTAVEL); });
    p.B06_ORIGEM.onClick = action([this] { zip_.pickZipSource(); });
    p.B06_DESTINO.onClick = action([this] { zip_.pickZipDestination(); });
    p.B06_ARQ_ORIGEM.onClick = action([this] { zip_.pickZipSourceFile(); });
    p.B06_ARQ_DESTINO.onClick = action([this] { zip_.pickZipArchiveName(); });
    p.E06_ARQUIVO1.onChange = action([this] { zip_.maskListSelected(); });
    p.E06_EXCLUIR1.onChange = action([this] { zip_.excludeListClicked(); });
    p.B07_ARQUIVO.onClick = action([this] { backup_.pickDatabaseFile(); });
    p.B07_PASTAEXE.onClick = action([this] { backup_.pickBackupToolFolder(); });
    p.B07_DESTINO.onClick = action([this] { backup_.pickBackupDestination(); });
    p.B07_MONTA.onClick = action([this] { backup_.buildBackupLine(); });
}

void TaskEditor::tell(const std::string& text) { app::tell(services_.op, text); }

// "BACKUP » E:" when the named drive is there now, "não conectado" when not.
void TaskEditor::showPenDrive(ui::Edit& pen) {
    ui::Label* status = pages.labelOf(pen.name() + "_UNIDADE");
    const std::string name = trim(pen.text());
    if (!status || !services_.shell) return;
    if (name.empty()) return status->setCaption("");
    const char drive = platform::penDrive(*services_.shell, name);
    status->setCaption(drive ? name + " » " + std::string(1, drive) + ":" : name + ": não conectado");
}

// The whole label: code "08" stored bare is not the type listed under it.
std::string TaskEditor::typeCode() const { return trim(E_TIPO.text()); }

// ---- reading a row --------------------------------------------------------------------

void TaskEditor::gridCellSelected(int /*col*/, int row) {
    links_.setEditorRow(row);
    loadRow();
}

void TaskEditor::loadRow() {
    const tasks::TaskTable& g = links_.table;
    const int row = links_.editorRow();
    E_NOME.setText(g.cell(col::NOME, row));
    E_TIPO.setText(g.cell(col::TIPO, row));
    E_PERIODO.setText(g.cell(col::PERIODO, row));
    links_.E_ULTEXEC.setText(g.cell(col::ULTIMA_EXEC, row));
    E_HORA.setText(g.cell(col::HORA, row));
    E_MSG.setText(g.cell(col::MENSAGEM, row));
    CB_PAUSE.setChecked(g.cell(col::PAUSE, row) == "S");
    showPage(typeCode(), true);
    GRID_LER1();
    markRead();
}

// The ZIP page's pick lists start with nothing picked for each task read.
void TaskEditor::GRID_LER1() {
    readTypeCells(pages, typeCode(), links_.table, links_.editorRow());
    pages.E06_ARQUIVO1.setItemIndex(-1);
    pages.E06_EXCLUIR1.setItemIndex(-1);
}

// Codes without a page ("10", typing) leave the page in view, or the blank one.
void TaskEditor::showPage(const std::string& code, bool blankFirst) {
    if (blankFirst) pages.PC_TIPO.show("T99");
    if (const std::string page = tasks::pageOf(code); !page.empty()) pages.PC_TIPO.show(page);
}

void TaskEditor::typeChanged() {
    showPage(typeCode(), false);
    GRID_LER1();
}

void TaskEditor::typeListSelected() {
    if (E_TIPO1.itemIndex() >= 0) E_TIPO.setText(E_TIPO1.selectedText());
}

void TaskEditor::periodListSelected() {
    if (E_PERIODO1.itemIndex() >= 0) E_PERIODO.setText(E_PERIODO1.selectedText());
}

// ---- saving -----------------------------------------------------------------------------

bool TaskEditor::refuse(const std::string& text) {
    tell(text);
    return false;
}

bool TaskEditor::generalChecks(const std::string& tipo) {
    const std::string periodo = trim(E_PERIODO.text().substr(0, 2));
    if (E_NOME.text().empty()) return refuse("Deve informar o NOME da Tarefa");
    if (tipo.empty()) return refuse("Deve informar o TIPO DE TAREFA");
    const tasks::TaskType type = tasks::typeOf(tipo).type;
    const bool note = type == tasks::TaskType::Notes;
    if (!note && trim(E_PERIODO.text()).empty()) return refuse("Deve informar o PERIODO");
    if (periodo != "00" && periodo != "20" && !note && isBlankText(E_HORA.text()))
        return refuse("Deve informar a HORA");
    if (type == tasks::TaskType::Message && trim(E_MSG.text()).empty()) return refuse("Deve informar a MENSAGEM");
    return true;
}

// The box is written only when the operator changed it: a run may have stamped
// the row since it was read.
std::string TaskEditor::stampCell() const {
    const std::string& box = links_.E_ULTEXEC.text();
    return box != stampRead_ ? box : std::string(links_.table.cell(col::ULTIMA_EXEC, links_.editorRow()));
}

RowCells TaskEditor::generalCells() const {
    return {{col::NOME, E_NOME.text()},        {col::TIPO, E_TIPO.text()},
            {col::PERIODO, E_PERIODO.text()},  {col::ULTIMA_EXEC, stampCell()},
            {col::HORA, E_HORA.text()},        {col::MENSAGEM, trim(E_MSG.text())},
            {col::VER_EXEC, ""},               {col::PAUSE, CB_PAUSE.checked() ? "S" : "N"}};
}

void TaskEditor::saveTask() { save(); }

// The row changes only once every check has passed, all of it at once, so a
// refused save leaves no half-edited task for a later save to write.
bool TaskEditor::save() {
    const int row = links_.editorRow();
    if (row < 1 || row >= links_.table.rowCount()) return false;
    const std::string tipo = typeCode();
    E_NOME.setText(trim(E_NOME.text()));
    if (!generalChecks(tipo) || !hourChecks() || !copyCommandsReady(tipo)) return false;
    RowCells cells = generalCells();
    if (!typeCells(pages, tipo, cells, services_.op)) return false;
    if (const std::string refused = exec::rowRefusal(cells); !refused.empty()) return refuse(refused);
    commit(row, cells);
    links_.saveTasks();
    markRead();
    if (links_.agenda) links_.agenda();   // "Próximo" shows the saved task at once
    return true;
}

// A copy task saved with its command box empty: the commands are built from the
// picked folders, or the save names what is missing (a run would copy nothing).
bool TaskEditor::copyCommandsReady(const std::string& tipo) {
    const tasks::TaskType type = tasks::typeOf(tipo).type;
    const bool xcopy = type == tasks::TaskType::XCopy;
    if (!xcopy && type != tasks::TaskType::CopyFolders) return true;
    ui::Memo& memo = xcopy ? pages.E00_MEMO : pages.E01_MEMO;
    if (!trim(memo.text()).empty()) return true;
    const char* const empty = "Os comandos da tarefa estão vazios: ";
    if (trim((xcopy ? pages.E00_ORIGEM : pages.E01_ORIGEM).text()).empty())
        return refuse(std::string(empty) + "informe a pasta de ORIGEM e clique em \"Monta as tarefas\"");
    if (trim((xcopy ? pages.E00_DESTINO : pages.E01_DESTINO).text()).empty())
        return refuse(std::string(empty) + "informe a pasta de DESTINO e clique em \"Monta as tarefas\"");
    if (xcopy) xcopy_.buildXcopyLines();   // tells why when it cannot
    else folderCopy_.buildFolderCopyLines();
    return !trim(memo.text()).empty();
}

// "  :  " (no hour) passes here; what the period asks of it is checked before.
bool TaskEditor::hourChecks() {
    const std::string hora = E_HORA.text();
    if (isBlankText(hora)) return true;
    const bool digits = hora.size() == 5 && hora[2] == ':' &&
                        std::isdigit(static_cast<unsigned char>(hora[0])) &&
                        std::isdigit(static_cast<unsigned char>(hora[1])) &&
                        std::isdigit(static_cast<unsigned char>(hora[3])) &&
                        std::isdigit(static_cast<unsigned char>(hora[4]));
    if (digits && std::stoi(hora.substr(0, 2)) <= 23 && std::stoi(hora.substr(3, 2)) <= 59) return true;
    return refuse("A HORA \"" + hora + "\" não é válida: informe hh:mm entre 00:00 e 23:59");
}

// ---- what the operator changed ------------------------------------------------------------

std::vector<std::string> TaskEditor::fieldValues() const {
    std::vector<std::string> values{E_NOME.text(), E_TIPO.text(),  E_PERIODO.text(),
                                    E_HORA.text(), E_MSG.text(),   CB_PAUSE.checked() ? "S" : "N",
                                    std::to_string(pages.T05_FUNCOES.itemIndex())};
    for (ui::Control* c : const_cast<EditorPages&>(pages).controls())
        if (auto* edit = dynamic_cast<ui::Edit*>(c)) values.push_back(edit->text());
    return values;
}

void TaskEditor::markRead() {
    read_ = fieldValues();
    stampRead_ = links_.E_ULTEXEC.text();
}

bool TaskEditor::changed() const {
    return !read_.empty() && (fieldValues() != read_ || links_.E_ULTEXEC.text() != stampRead_);
}

bool TaskEditor::leaveRow() {
    const int row = links_.editorRow();
    if (row < 1 || row >= links_.table.rowCount() || !changed()) return true;
    switch (services_.op.choose("Mensagem do Sistema",
                                "Salvar as alterações da tarefa " + zeroPad(row, 2) + "?")) {
    case platform::Choice::Yes: return save();
    case platform::Choice::No: loadRow(); return true;
    default: return false;
    }
}

void TaskEditor::rowStamped(int row, const std::string& stamp) {
    if (row != links_.editorRow() || links_.E_ULTEXEC.text() != stampRead_) return;
    links_.E_ULTEXEC.setText(stamp);
    stampRead_ = stamp;
}

// Older, narrower tables are widened; wider ones keep their extra columns.
void TaskEditor::commit(int row, const RowCells& cells) {
    tasks::TaskTable& g = links_.table;
    if (g.colCount() < col::COUNT) g.setColCount(col::COUNT);
    for (const auto& [column, text] : cells) g.setCell(column, row, text);
}

}  // namespace tarvex::app
