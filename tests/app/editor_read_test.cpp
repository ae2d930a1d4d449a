// Reading a row into the editor, the type pages, and a save that writes back
// exactly what was read.
#include <functional>
#include <set>

#include "editor_fixture.h"

namespace tarvex::testing {
namespace {

TEST_F(EditorTest, SelectingACellShowsItsRowAndItsTypesPage) {
    task(3, {{col::NOME, "ZIP"}, {col::TIPO, "06 - WINZIP"}, {col::PERIODO, "12 - 1 vez por Mes"},
             {col::ULTIMA_EXEC, "01/12/26 07:00:00"}, {col::HORA, "07:00"}, {col::MENSAGEM, "Pode?"},
             {col::PAUSE, "S"}, {col::DIR_ORIGEM, "D:\\DADOS"}, {col::ARQDEST, "DADOS"}});
    task(4, {{col::NOME, "AVISO"}, {col::TIPO, "10 - Mensagem"}, {col::PAUSE, "s"}});
    select(3);
    EXPECT_EQ(editorRow, 3);
    EXPECT_EQ(editor.E_NOME.text(), "ZIP");
    EXPECT_EQ(editor.E_PERIODO.text(), "12 - 1 vez por Mes");
    EXPECT_EQ(E_ULTEXEC.text(), "01/12/26 07:00:00");
    EXPECT_EQ(editor.E_HORA.text(), "07:00");
    EXPECT_EQ(editor.E_MSG.text(), "Pode?");
    EXPECT_TRUE(editor.CB_PAUSE.checked());
    EXPECT_EQ(p.PC_TIPO.active(), "T06");
    EXPECT_EQ(p.E06_ORIGEM.text(), "D:\\DADOS");
    EXPECT_EQ(p.E06_ARQDEST.text(), "DADOS");

    select(4);
    EXPECT_EQ(p.PC_TIPO.active(), "T99");
    EXPECT_FALSE(editor.CB_PAUSE.checked());
    EXPECT_EQ(editor.E_HORA.text(), "  :  ");
    EXPECT_EQ(p.E06_ORIGEM.text(), "D:\\DADOS");   // other pages keep their fields

    editor.E_TIPO.setText("09 - Observações");
    EXPECT_EQ(p.PC_TIPO.active(), "T09");
    editor.E_TIPO.setText("10");
    EXPECT_EQ(p.PC_TIPO.active(), "T09");          // no page for "10": the page stays
}

TEST_F(EditorTest, ChangingTheTypeFrom00To06FillsThePageFromTheRow) {
    task(2, {{col::NOME, "COPIA"}, {col::TIPO, "00 - XCOPY - Copia Arq."}, {col::DIR_ORIGEM, "\"D:\\DADOS\""},
             {col::DIR_DESTINO, "\"[PEN]:\\DADOS[EXT]\\\""}, {col::EXTENSAO, "_[DIA]"}, {col::ARQUIVO, "*.FDB"},
             {col::ARQDEST, "VELHO"}, {col::EXCLUIR, "*.EXE"}, {col::MEMO, "CHCP 1252 >NUL||XCOPY"}});
    select(2);
    EXPECT_EQ(p.PC_TIPO.active(), "T00");
    EXPECT_EQ(p.E00_MEMO.lines(), (Lines{"CHCP 1252 >NUL", "XCOPY"}));
    p.E06_ORIGEM.setText("typed, then lost");
    editor.E_TIPO1.setItemIndex(6);
    EXPECT_EQ(editor.E_TIPO.text(), "06 - WINZIP");
    EXPECT_EQ(p.PC_TIPO.active(), "T06");
    EXPECT_EQ(p.E06_ORIGEM.text(), "\"D:\\DADOS\"");
    EXPECT_EQ(p.E06_DESTINO.text(), "\"[PEN]:\\DADOS[EXT]\\\"");
    EXPECT_EQ(p.E06_EXTENSAO.text(), "_[DIA]");
    EXPECT_EQ(p.E06_ARQUIVO.text(), "*.FDB");
    EXPECT_EQ(p.E06_ARQDEST.text(), "VELHO");
    EXPECT_EQ(p.E06_EXCLUIR.text(), "*.EXE");
    editor.E_PERIODO1.setItemIndex(14);   // the free codes 14-19 are not offered
    EXPECT_EQ(editor.E_PERIODO.text(), "20 - Chamada Manual");
}

// A task saved by the editor, selected again and saved without touching a field,
// keeps every cell.
struct Filling {
    const char* label;
    std::function<void(EditorTest&)> fill;
};

class SavedTwice : public EditorTest, public ::testing::WithParamInterface<Filling> {};

TEST_P(SavedTwice, KeepsEveryCellOfItsType) {
    dir.write("TOOLS/GBAK.EXE", "");
    dir.write("DADOS/A.FDB", "");
    task(5, {{col::NOME, "OUTRA"}, {col::TIPO, "09 - Observações"}});
    select(2);
    editor.E_NOME.setText("TAREFA");
    editor.E_TIPO.setText(GetParam().label);
    editor.E_PERIODO.setText("01 - Todos os Dias");
    editor.E_HORA.setText("23:15");
    GetParam().fill(*this);
    editor.saveTask();
    ASSERT_EQ(saves, 1) << (told().empty() ? "" : told()[0]);
    const auto first = row(2);
    select(5);
    select(2);
    editor.saveTask();
    EXPECT_EQ(saves, 2);
    EXPECT_EQ(row(2), first);
}

INSTANTIATE_TEST_SUITE_P(
    EveryType, SavedTwice,
    ::testing::Values(
        Filling{"00 - XCOPY - Copia Arq.",
                [](EditorTest& t) {
                    t.p.E00_ORIGEM.setText("\"D:\\DADOS\"");
                    t.p.B00_DEST.click();
                    t.p.E00_PEN.setText("f");
                    t.p.E00_EXTENSAO.setText("_[SEMANA]");
                    t.p.B00_MONTA.click();
                    t.p.B00_MONTA.click();
                }},
        Filling{"01 - Copiar Diretório",
                [](EditorTest& t) {
                    t.p.E01_ORIGEM.setText(t.folder("DADOS"));
                    t.p.E01_DESTINO.setText("F:\\B[EXT]\\");
                    t.p.T01_MONTA.click();
                    t.p.E01_MEMO.addLine("");
                }},
        Filling{"02 - Copiar Arquivo",
                [](EditorTest& t) {
                    t.p.E02_ORIGEM.setText(t.folder("DADOS") + "\\");
                    t.p.E02_ARQUIVO.setText("*.FDB");
                    t.p.E02_DESTINO.setText("[PEN]:\\B\\");
                    t.p.E02_PEN.setText("G");
                }},
        Filling{"03 - Executar Programa", [](EditorTest& t) { t.p.E03_EXECUTAVEL.setText("C:\\APP\\X.EXE /S"); }},
        Filling{"04 - Fechar Programa", [](EditorTest& t) { t.p.T04_EXECUTAVEL.setText("Titulo[Calculadora]"); }},
        Filling{"05 - FUNÇÕES", [](EditorTest& t) { t.p.T05_FUNCOES.setItemIndex(3); }},
        Filling{"06 - WINZIP",
                [](EditorTest& t) {
                    t.p.E06_ORIGEM.setText("D:\\DADOS");
                    t.p.E06_DESTINO.setText(t.folder("ZIP") + "\\");
                    t.p.E06_ARQDEST.setText("DADOS");
                    t.p.E06_EXCLUIR1.setItemIndex(3);
                }},
        Filling{"07 - GBAK - Firebird",
                [](EditorTest& t) {
                    t.p.E07_ARQUIVO.setText("D:\\DADOS\\BASE.FDB");
                    t.p.E07_PASTAEXE.setText(t.folder("TOOLS"));
                    t.p.E07_DESTINO.setText(t.folder("BKP"));
                    t.p.B07_MONTA.click();
                    t.p.E07_MEMO.setText("\r\n" + t.p.E07_MEMO.text() + "\r\n\r\n");
                }},
        Filling{"08 - ", [](EditorTest&) {}},
        Filling{"09 - Observações", [](EditorTest& t) { t.p.E09_MEMO.setText("  nota\r\n\r\nfim ¦ok  "); }},
        Filling{"10 - Mensagem", [](EditorTest& t) { t.editor.E_MSG.setText("Trocar a fita"); }}),
    [](const auto& info) { return "T" + std::string(info.param.label).substr(0, 2); });

TEST_F(EditorTest, FunctionsOutsideTheListChooseNothing) {
    for (const auto& [cell, index] : std::vector<std::pair<std::string, int>>{{"2", 2}, {"", 0}, {"7", -1}, {"-1", -1}}) {
        task(2, {{col::TIPO, "05 - FUNÇÕES"}, {col::FUNCOES, cell}});
        select(2);
        EXPECT_EQ(p.T05_FUNCOES.itemIndex(), index) << cell;
    }
}

TEST_F(EditorTest, FieldsKeepTheirForm) {
    for (const auto& [typed, shown] : std::vector<std::pair<std::string, std::string>>{
             {"", "  :  "}, {"08:30", "08:30"}, {"0830", "08:30"}, {"8:30", "08:30"}, {"8h30", "08:30"},
             {"ab:cd", "  :  "}, {"23:5", "23:5 "}, {"12:345", "12:34"}})
        EXPECT_EQ(app::maskHour(typed), shown) << typed;
    editor.E_NOME.setText("cópia às sextas ÿ");
    EXPECT_EQ(editor.E_NOME.text(), "CÓPIA ÀS SEXTAS Ÿ");
    p.E07_PEN.setText("backup");   // a letter, or a volume label
    EXPECT_EQ(p.E07_PEN.text(), "BACKUP");
}

// A window finds every control by its name.
TEST_F(EditorTest, ControlNamesAreUnique) {
    std::set<std::string> names;
    for (ui::Control* c : editor.controls()) EXPECT_TRUE(names.insert(c->name()).second) << c->name();
    EXPECT_EQ(names.count("LA_E07_EXTENSAO"), 1u);
}

}  // namespace
}  // namespace tarvex::testing
