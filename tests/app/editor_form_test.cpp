// The editor plugged into the main window: its save writes the real task file,
// and "Executar agora" saves the edited task before running it.
#include "app/editor.h"
#include "platform/files.h"
#include "testkit/dialogs.h"
#include "wired_fixture.h"

namespace tarvex::testing {
namespace {

class EditorOnForm : public WiredTest {
public:
    void startWithEditor() {
        start();
        editor = std::make_unique<app::TaskEditor>(
            app::EditorLinks{form->table(), form->GRID, form->E_ULTEXEC, [this] { return form->editorRow(); },
                             [this](int r) { form->setEditorRow(r); }, [this] { form->saveTasks(); },
                             [this] { form->taskStore().load(); }, nullptr},
            app::EditorServices{op, dialogs, fake.registry, fake.windows});
        form->setEditor(editor.get());
    }
    // The editor holds the window's grid, so it goes first.
    void TearDown() override {
        editor.reset();
        WiredTest::TearDown();
    }
    // The task file's row line for task `row`.
    std::string fileRow(int row) const {
        const std::string text = dir.read("TARVEX_TAREFAS.TXT");
        size_t pos = 0;
        for (int line = 0; line < row + 2; ++line) pos = text.find("\r\n", pos) + 2;
        return text.substr(pos, text.find("\r\n", pos) - pos);
    }

    testkit::ScriptedDialogs dialogs;
    std::unique_ptr<app::TaskEditor> editor;
};

TEST_F(EditorOnForm, SavedTaskIsOneLineOfTheTaskFile) {
    writeTasks({{{col::NOME, "NOTA"}, {col::TIPO, "09 - Observações"}}});
    startWithEditor();
    bool can = true;
    form->GRID.onSelectCell(1, 2, can);
    editor->E_NOME.setText("backup");
    editor->E_TIPO1.setItemIndex(7);
    editor->E_PERIODO1.setItemIndex(1);
    editor->E_HORA.setText("2200");
    dir.write("FB/GBAK.EXE", "");
    const std::string fb = platform::fromFsPath(dir.path() / "FB");
    editor->pages.E07_PASTAEXE.setText(fb);
    editor->pages.E07_ARQUIVO.setText("D:\\DADOS\\BASE.FDB");
    editor->pages.E07_DESTINO.setText("[PEN]:\\BKP");
    editor->pages.E07_PEN.setText("f");
    editor->pages.E07_EXTENSAO.setText("_[DIA]");
    editor->pages.B07_MONTA.click();
    editor->BU_TAREFAS_SALVA.click();
    ASSERT_TRUE(op.messages().empty()) << op.messages()[0];

    std::string expected = "02¦BACKUP¦07 - GBAK - Firebird¦01 - Todos os Dias¦¦22:00¦¦¦N¦" + std::string(7, '\xA6') +
                           "[PEN]:\\BKP¦F¦_[DIA]¦D:\\DADOS\\BASE.FDB¦" + std::string(8, '\xA6') + fb + "¦" +
                           std::string(form->table().cell(col::SN_EXE, 2)) + "¦" +
                           "REM set isc_user=SYSDBA ||REM set isc_password=zanquiber ||"
                           "REM set firebird_msg=C:\\VALDRINB\\EXE ||\"" + fb +
                           "\\GBAK\" -G -B -V -T -Z  -user SYSDBA -password zanquiber   \"D:\\DADOS\\BASE.FDB\"   "
                           "\"[PEN]:\\BKP\\BASE_[DIA].GDK\"¦" + std::string(4, '\xA6');
    EXPECT_EQ(fileRow(2), expected);
}

TEST_F(EditorOnForm, RunNowSavesTheEditedTaskFirst) {
    writeTasks({{{col::NOME, "AVISO"}, {col::TIPO, "10 - Mensagem"}, {col::PERIODO, "20 - Chamada Manual"},
                 {col::MENSAGEM, "antigo"}}});
    startWithEditor();
    bool can = true;
    form->GRID.onSelectCell(1, 1, can);
    editor->E_MSG.setText("Trocar a fita");
    op.answers = {true};
    form->runNowButton.click();
    EXPECT_EQ(form->table().cell(col::MENSAGEM, 1), "Trocar a fita");
    EXPECT_NE(dir.read("TARVEX_TAREFAS.TXT").find("¦Trocar a fita¦"), std::string::npos);
    ASSERT_FALSE(op.messages().empty());
    EXPECT_EQ(op.messages().back(), "Trocar a fita");
}

}  // namespace
}  // namespace tarvex::testing
