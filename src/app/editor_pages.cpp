// The type pages as designed: captions, hints, lists and what each view must know.
#include "app/editor_pages.h"

#include <algorithm>

namespace tarvex::app {

const std::vector<std::string> EXTENSAO_SUGESTOES = {"_[DIA]", "_[MES]", "_[ANO]", "_[ANO]_[MES]", "_[SEMANA]"};
const std::vector<std::string> FUNCOES_ITENS = {"0 = Desligar TIMER", "1 = Desliga computador",
                                                "2 = Desliga computador (PowerOff)", "3 = Reinicia computador"};

namespace {
constexpr const char* ORIGEM = "Pasta de ORIGEM - Conteúdo para Ler";
constexpr const char* DESTINO = "Pasta de DESTINO - Gravar";
constexpr const char* MONTA = "Monta as tarefas";

void button(ui::Button& b, const std::string& caption, const std::string& hint = "") {
    b.setCaption(caption);
    if (!hint.empty()) b.setHint(hint);
}
}  // namespace

EditorPages::EditorPages() { design(); }

const std::vector<std::string>& EditorPages::pageNames() {
    static const std::vector<std::string> names = {"T00", "T01", "T02", "T03", "T04", "T05",
                                                   "T06", "T07", "T08", "T09", "T99"};
    return names;
}

std::string EditorPages::pageTitle(const std::string& page) {
    static const std::map<std::string, std::string> titles = {
        {"T00", "T00 - XCOPY"},           {"T01", "T01 - Copia Diretórios"},  {"T02", "T02 - Copia Arquivos"},
        {"T03", "T03 - Executar Programa"}, {"T04", "T04 - Fechar Programa"}, {"T05", "T05 - FUNÇÕES"},
        {"T06", "T06 - WINZIP"},           {"T07", "T07 - GBAK - FIREBIRD"}, {"T08", "T08 - Enviar para Servidor"},
        {"T09", "T09 - Observações"}};
    auto it = titles.find(page);
    return it == titles.end() ? std::string() : it->second;
}

void EditorPages::design() {
    for (const auto& page : pageNames()) {
        PC_TIPO.addPage(page);
        onPage_[page];
    }
    designCopyPages();
    designOtherPages();
    designBackupPage();
    designSendPage();
}

void EditorPages::designCopyPages() {
    button(B00_ORIGEM, ORIGEM, "Pasta para Ler");
    button(B00_ARQUIVO, "", "Arquivo para Ler");
    button(B00_DEST, "", "Copia para Destino");
    button(B00_DESTINO, DESTINO, "Pasta para Gravar");
    button(B00_MONTA, "", MONTA);
    looks_[&E00_MEMO].multiline = true;
    place("T00", {&B00_ORIGEM, &B00_ARQUIVO, &E00_ORIGEM, &B00_DEST, &B00_DESTINO, &E00_DESTINO});
    penField(E00_PEN);
    extensaoField(E00_EXTENSAO);
    place("T00", {&B00_MONTA, &E00_MEMO});

    button(B01_ORIGEM, ORIGEM);
    button(B01_DESTINO, DESTINO);
    button(T01_MONTA, "", MONTA);
    looks_[&E01_MEMO].multiline = true;
    place("T01", {&B01_ORIGEM, &E01_ORIGEM, &B01_DESTINO, &E01_DESTINO});
    penField(E01_PEN);
    extensaoField(E01_EXTENSAO);
    place("T01", {&T01_MONTA, &E01_MEMO});

    button(B02_ORIGEM, ORIGEM);
    button(B02_DESTINO, DESTINO);
    place("T02", {&B02_ORIGEM, &E02_ORIGEM});
    place("T02", {&label("E02_ARQUIVO", "Nome do Arq. Origem ou máscara:   *.FDB"), &E02_ARQUIVO});
    penField(E02_PEN);
    place("T02", {&B02_DESTINO, &E02_DESTINO});
    extensaoField(E02_EXTENSAO);
}

void EditorPages::designOtherPages() {
    button(B06_EXECUTAVEL, "Localizar executável");
    place("T03", {&B06_EXECUTAVEL, &E03_EXECUTAVEL});
    penField(E03_PEN);

    // Listing running programs by file name would offer entries that close nothing.
    button(BU_PROCESSOS, "Processos");
    button(BU_EXECUTAVEIS, "Executáveis");
    BU_EXECUTAVEIS.setEnabled(false);
    BU_EXECUTAVEIS.setVisible(false);   // it never had anything to offer
    place("T04", {&label("E04_LIST", "Selecionar Programa"), &BU_PROCESSOS, &BU_EXECUTAVEIS, &E04_LIST,
                  &T04_EXECUTAVEL});

    T05_FUNCOES.setItems(FUNCOES_ITENS);
    T05_FUNCOES.setItemIndex(0);
    place("T05", {&T05_FUNCOES});

    button(B06_ORIGEM, ORIGEM);
    button(B06_DESTINO, DESTINO);
    button(B06_ARQ_ORIGEM, "Nome do Arq. Origem ou máscara");
    button(B06_ARQ_DESTINO, "Nome Arq. Destino   .zip");
    SpeedButton2.setCaption("Excluir as Extensões:");
    E06_ARQUIVO.setHint("Para selecionar mais de um, separe com ponto e virgula (;)");
    E06_EXCLUIR.setHint("Para selecionar mais de uma extensão, separe com ponto e virgula (;)");
    E06_ARQUIVO1.setItems({"*.*", "*.FDB", "*.FDB;*.EXE"});
    E06_EXCLUIR1.setItems({"", "*.ZIP", "*.EXE", "*.ZIP;*.EXE", "*.ARJ", "*.ARJ;*.ZIP;*.EXE"});
    E_ZIP_LIMPAR.setCaption("Limpar o arquivo antes de Zipar - Cria ZP1");
    E_ZIP_LIMPAR.setVisible(false);   // an archive of the same name is always made anew
    place("T06", {&B06_ORIGEM, &E06_ORIGEM, &B06_ARQ_ORIGEM, &E06_ARQUIVO, &E06_ARQUIVO1, &SpeedButton2,
                  &E06_EXCLUIR, &E06_EXCLUIR1, &B06_DESTINO, &E06_DESTINO, &B06_ARQ_DESTINO, &E06_ARQDEST});
    extensaoField(E06_EXTENSAO);
    place("T06", {&E_ZIP_LIMPAR});
    keepField(E06_MANTER);
    designZipPassword();

    looks_[&E09_MEMO].multiline = true;
    place("T09", {&E09_MEMO});
}

void EditorPages::designBackupPage() {
    button(B07_ARQUIVO, "Arquivo de ORIGEM - 192.168.0.10/3050:C:\\DADOS\\BASE.FDB");
    button(B07_PASTAEXE, "Pasta VALDRINB\\EXE");
    button(B07_DESTINO, DESTINO);
    button(B07_MONTA, "", MONTA);
    looks_[&E07_MEMO].multiline = true;
    place("T07", {&B07_ARQUIVO, &E07_ARQUIVO, &B07_PASTAEXE, &E07_PASTAEXE, &B07_DESTINO, &E07_DESTINO});
    penField(E07_PEN);
    extensaoField(E07_EXTENSAO);
    place("T07", {&B07_MONTA, &E07_MEMO});
    keepField(E07_MANTER);
}

ui::Label& EditorPages::label(const std::string& field, const std::string& caption) {
    labels_.push_back(std::make_unique<ui::Label>("LA_" + field));
    labels_.back()->setCaption(caption);
    return *labels_.back();
}

void EditorPages::place(const std::string& page, std::initializer_list<ui::Control*> controls) {
    auto& list = onPage_[page];
    list.insert(list.end(), controls.begin(), controls.end());
}

// A pen drive: its letter, or its volume label ("BACKUP"), upper case; below it,
// which drive that is now.
void EditorPages::penField(ui::Edit& e) {
    const std::string page = "T" + e.name().substr(1, 2);
    e.setHint("[PEN]: a letra ou o nome do volume do pen drive");
    looks_[&e] = {false, true, kPenLength, {}};
    place(page, {&label(e.name(), "Letra do PEN"), &e, &label(e.name() + "_UNIDADE", "")});
}

void EditorPages::extensaoField(ui::Edit& e) {
    const std::string page = "T" + e.name().substr(1, 2);
    looks_[&e].suggestions = EXTENSAO_SUGESTOES;
    place(page, {&label(e.name(), "Extensão ao nome do arquivo"), &e});
}

// How many of the task's dated archives stay in the destination; empty or 0: all.
void EditorPages::keepField(ui::Edit& e) {
    const std::string page = "T" + e.name().substr(1, 2);
    e.setHint("0 = manter todos; vale quando o nome do arquivo leva [DIA], [MES], [ANO] ou [SEMANA]");
    looks_[&e].maxLength = 3;
    place(page, {&label(e.name(), "Manter os últimos N"), &e});
}

std::vector<ui::Control*> EditorPages::pageControls(const std::string& page) const {
    auto it = onPage_.find(page);
    return it == onPage_.end() ? std::vector<ui::Control*>{} : it->second;
}

std::vector<ui::Control*> EditorPages::controls() {
    std::vector<ui::Control*> all{&PC_TIPO};
    for (const auto& page : pageNames())
        for (ui::Control* c : pageControls(page)) all.push_back(c);
    return all;
}

EditLook EditorPages::look(const ui::Edit& edit) const {
    auto it = looks_.find(&edit);
    return it == looks_.end() ? EditLook{} : it->second;
}

ui::Label* EditorPages::labelOf(const std::string& field) const {
    auto it = std::find_if(labels_.begin(), labels_.end(),
                           [&](const auto& l) { return l->name() == "LA_" + field; });
    return it == labels_.end() ? nullptr : it->get();
}

}  // namespace tarvex::app
