#pragma once
// The task editor's type pages T00..T09 and the blank T99: every field, list and
// button with its caption and hint, so a window can bind its views by name.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/controls.h"

namespace tarvex::app {

// What a view must know of an edit beyond its text.
struct EditLook {
    bool multiline = false;                 // with both scroll bars
    bool upperCase = false;
    int maxLength = 0;                      // 0: no limit
    std::vector<std::string> suggestions;   // an editable drop-down of them
};

// The longest pen-drive name a field takes (a volume label has at most 32 characters).
inline constexpr int kPenLength = 32;

// The drop-down of every "Extensão ao nome do arquivo" field.
extern const std::vector<std::string> EXTENSAO_SUGESTOES;
// The items of T05_FUNCOES, the value stored being the index.
extern const std::vector<std::string> FUNCOES_ITENS;

class EditorPages {
public:
    EditorPages();
    EditorPages(const EditorPages&) = delete;
    EditorPages& operator=(const EditorPages&) = delete;

    // The pages' control; its tabs are hidden, only the current type's page shows.
    ui::Pages PC_TIPO{"PC_TIPO"};

    // T00 - XCOPY
    ui::Edit E00_ORIGEM{"E00_ORIGEM"}, E00_DESTINO{"E00_DESTINO"}, E00_PEN{"E00_PEN"},
        E00_EXTENSAO{"E00_EXTENSAO"};
    ui::Memo E00_MEMO{"E00_MEMO"};
    ui::Button B00_ORIGEM{"B00_ORIGEM"}, B00_ARQUIVO{"B00_ARQUIVO"}, B00_DEST{"B00_DEST"},
        B00_DESTINO{"B00_DESTINO"}, B00_MONTA{"B00_MONTA"};
    // T01 - Copia Diretórios
    ui::Edit E01_ORIGEM{"E01_ORIGEM"}, E01_DESTINO{"E01_DESTINO"}, E01_PEN{"E01_PEN"},
        E01_EXTENSAO{"E01_EXTENSAO"};
    ui::Memo E01_MEMO{"E01_MEMO"};
    ui::Button B01_ORIGEM{"B01_ORIGEM"}, B01_DESTINO{"B01_DESTINO"}, T01_MONTA{"T01_MONTA"};
    // T02 - Copia Arquivos
    ui::Edit E02_ORIGEM{"E02_ORIGEM"}, E02_ARQUIVO{"E02_ARQUIVO"}, E02_PEN{"E02_PEN"},
        E02_DESTINO{"E02_DESTINO"}, E02_EXTENSAO{"E02_EXTENSAO"};
    ui::Button B02_ORIGEM{"B02_ORIGEM"}, B02_DESTINO{"B02_DESTINO"};
    // T03 - Executar Programa
    ui::Edit E03_EXECUTAVEL{"E03_EXECUTAVEL"}, E03_PEN{"E03_PEN"};
    ui::Button B06_EXECUTAVEL{"B06_EXECUTAVEL"};
    // T04 - Fechar Programa
    ui::Edit T04_EXECUTAVEL{"T04_EXECUTAVEL"};
    ui::ListBox E04_LIST{"E04_LIST"};
    ui::Button BU_PROCESSOS{"BU_PROCESSOS"}, BU_EXECUTAVEIS{"BU_EXECUTAVEIS"};
    // T05 - FUNÇÕES (an option group)
    ui::ListBox T05_FUNCOES{"T05_FUNCOES"};
    // T06 - WINZIP
    ui::Edit E06_ORIGEM{"E06_ORIGEM"}, E06_ARQUIVO{"E06_ARQUIVO"}, E06_EXCLUIR{"E06_EXCLUIR"},
        E06_DESTINO{"E06_DESTINO"}, E06_ARQDEST{"E06_ARQDEST"}, E06_EXTENSAO{"E06_EXTENSAO"};
    ui::ListBox E06_ARQUIVO1{"E06_ARQUIVO1"}, E06_EXCLUIR1{"E06_EXCLUIR1"};
    ui::CheckBox E_ZIP_LIMPAR{"E_ZIP_LIMPAR"};
    ui::Edit E06_MANTER{"E06_MANTER"};
    // The archive's password, typed twice; shown only while "mostrar" is ticked.
    ui::Edit E06_SENHA{"E06_SENHA"}, E06_SENHA2{"E06_SENHA2"};
    ui::CheckBox E06_MOSTRAR{"E06_MOSTRAR"};
    ui::Label E06_SENHA_AVISO{"E06_SENHA_AVISO"};   // a stored password this PC cannot read
    std::string zipPasswordStored;                    // the task's protected password as read
    ui::Button B06_ORIGEM{"B06_ORIGEM"}, B06_DESTINO{"B06_DESTINO"}, B06_ARQ_ORIGEM{"B06_ARQ_ORIGEM"},
        B06_ARQ_DESTINO{"B06_ARQ_DESTINO"};
    ui::Label SpeedButton2{"SpeedButton2"};   // names the exclusions field; it never was a command
    // T07 - GBAK - FIREBIRD
    ui::Edit E07_ARQUIVO{"E07_ARQUIVO"}, E07_PASTAEXE{"E07_PASTAEXE"}, E07_PEN{"E07_PEN"},
        E07_DESTINO{"E07_DESTINO"}, E07_EXTENSAO{"E07_EXTENSAO"};
    ui::Memo E07_MEMO{"E07_MEMO"};
    ui::Edit E07_MANTER{"E07_MANTER"};
    ui::Button B07_ARQUIVO{"B07_ARQUIVO"}, B07_PASTAEXE{"B07_PASTAEXE"}, B07_DESTINO{"B07_DESTINO"},
        B07_MONTA{"B07_MONTA"};
    // T08 - Enviar para Servidor: the local folder and mask, the server's address,
    // its login, how many it keeps and how long a silent connection is waited for.
    ui::Edit E08_ORIGEM{"E08_ORIGEM"}, E08_ARQUIVO{"E08_ARQUIVO"}, E08_SERVIDOR{"E08_SERVIDOR"},
        E08_USUARIO{"E08_USUARIO"}, E08_SENHA{"E08_SENHA"}, E08_MANTER{"E08_MANTER"}, E08_LIMITE{"E08_LIMITE"};
    ui::CheckBox E08_MOSTRAR{"E08_MOSTRAR"};
    ui::Label E08_SENHA_AVISO{"E08_SENHA_AVISO"};   // a stored password this PC cannot read
    std::string serverPasswordStored;                // the task's protected password as read
    ui::Button B08_ORIGEM{"B08_ORIGEM"}, B08_TESTAR{"B08_TESTAR"};
    ui::Label E08_TESTE{"E08_TESTE"};                // what "Testar conexão" found
    // T09 - Observações
    ui::Memo E09_MEMO{"E09_MEMO"};

    // The page names, "T00".."T09" and "T99", in order.
    static const std::vector<std::string>& pageNames();
    // A page's title ("T00 - XCOPY"); empty for T99.
    static std::string pageTitle(const std::string& page);
    // The controls on one page, labels included, in reading order.
    std::vector<ui::Control*> pageControls(const std::string& page) const;
    // Every control of every page.
    std::vector<ui::Control*> controls();
    // How a view shows an edit of these pages (defaults for other edits).
    EditLook look(const ui::Edit& edit) const;
    // The label standing beside a field ("LA_" + the field's name), or null.
    ui::Label* labelOf(const std::string& field) const;

private:
    void design();
    void designCopyPages();
    void designOtherPages();
    void designBackupPage();
    ui::Label& label(const std::string& field, const std::string& caption);
    void place(const std::string& page, std::initializer_list<ui::Control*> controls);
    void penField(ui::Edit& e);
    void extensaoField(ui::Edit& e);
    void keepField(ui::Edit& e);
    void designZipPassword();
    void designSendPage();

    std::vector<std::unique_ptr<ui::Label>> labels_;
    std::map<std::string, std::vector<ui::Control*>> onPage_;
    std::map<const ui::Edit*, EditLook> looks_;
};

}  // namespace tarvex::app
