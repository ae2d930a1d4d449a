// "Salvar": every check with its message, what a save writes, and what a refused
// save leaves behind.
#include <functional>

#include "editor_fixture.h"

namespace tarvex::testing {
namespace {

const std::string T00 = "00 - XCOPY - Copia Arq.", T02 = "02 - Copiar Arquivo", T03 = "03 - Executar Programa",
                  T04 = "04 - Fechar Programa", T06 = "06 - WINZIP", T07 = "07 - GBAK - Firebird",
                  T09 = "09 - Observações", T10 = "10 - Mensagem", DIARIO = "01 - Todos os Dias";

class Save : public EditorTest {
public:
    // A valid type-00 task in row 2, shown in the editor.
    void SetUp() override {
        task(2, {{col::NOME, "COPIA"}, {col::TIPO, T00}, {col::PERIODO, DIARIO}, {col::HORA, "08:30"},
                 {col::PAUSE, "N"}, {col::DIR_ORIGEM, "\"D:\\DADOS\""}, {col::MEMO, "XCOPY A B"}});
        select(2);
    }
    void type(const std::string& label) {
        editor.E_TIPO.setText(label);
    }
};

struct Refusal {
    const char* what;
    std::function<void(Save&)> edit;
    std::string message;   // a "*" stands for the test's folder
};

class SaveRefusal : public Save, public ::testing::WithParamInterface<Refusal> {};

// Every refusal tells its one message, writes no file and leaves the row as it was.
TEST_P(SaveRefusal, TellsWhyAndChangesNothing) {
    const auto before = row(2);
    GetParam().edit(*this);
    editor.saveTask();
    std::string expected = GetParam().message;
    if (auto star = expected.find('*'); star != std::string::npos) expected.replace(star, 1, folder("TOOLS"));
    EXPECT_EQ(told(), (Lines{expected}));
    EXPECT_EQ(saves, 0);
    EXPECT_EQ(row(2), before);
}

INSTANTIATE_TEST_SUITE_P(
    EveryCheck, SaveRefusal,
    ::testing::Values(
        Refusal{"NoName", [](Save& s) { s.editor.E_NOME.setText(""); }, "Deve informar o NOME da Tarefa"},
        Refusal{"BlankName", [](Save& s) { s.editor.E_NOME.setText("   "); }, "Deve informar o NOME da Tarefa"},
        Refusal{"NoType", [](Save& s) { s.type(" "); }, "Deve informar o TIPO DE TAREFA"},
        Refusal{"NoPeriod", [](Save& s) { s.editor.E_PERIODO.setText("  "); }, "Deve informar o PERIODO"},
        Refusal{"NoHour", [](Save& s) { s.editor.E_HORA.setText(""); }, "Deve informar a HORA"},
        Refusal{"MidnightIsNoHour", [](Save& s) { s.editor.E_HORA.setText("00:00"); }, "Deve informar a HORA"},
        Refusal{"MessageTaskWithoutMessage",
                [](Save& s) {
                    s.type(T10);
                    s.editor.E_MSG.setText("   ");
                },
                "Deve informar a MENSAGEM"},
        Refusal{"FileCopyWithoutFolders",
                [](Save& s) {
                    s.type(T02);
                    s.p.E02_ORIGEM.setText(s.folder());
                    s.p.E02_DESTINO.setText("  ");
                },
                "Diretório de Origem e Destino devem ser informados"},
        Refusal{"FileCopyWithoutFile",
                [](Save& s) {
                    s.type(T02);
                    s.p.E02_ORIGEM.setText(s.folder());
                    s.p.E02_DESTINO.setText("F:\\B");
                    s.p.E02_ARQUIVO.setText("");
                },
                "Arquivo de Origem deve ser informado"},
        Refusal{"FileCopyFromNowhere",
                [](Save& s) {
                    s.type(T02);
                    s.p.E02_ORIGEM.setText(s.folder("NADA"));
                    s.p.E02_DESTINO.setText("F:\\B");
                    s.p.E02_ARQUIVO.setText("*.FDB");
                },
                "Diretório de Origem não existe"},
        Refusal{"ProgramWithoutName",
                [](Save& s) {
                    s.type(T03);
                    s.p.E03_EXECUTAVEL.setText(" ");
                },
                "O nome do programa EXECUTÁVEL deve ser informado"},
        Refusal{"CloseWithoutName",
                [](Save& s) {
                    s.type(T04);
                    s.p.T04_EXECUTAVEL.setText("");
                },
                "O nome do programa EXECUTÁVEL deve ser informado"},
        Refusal{"ZipWithoutOrigin",
                [](Save& s) {
                    s.type(T06);
                    s.p.E06_ORIGEM.setText("  ");
                },
                "A pasta de ORIGEM deve ser informada"},
        Refusal{"ZipWithoutDestination",
                [](Save& s) {
                    s.type(T06);
                    s.p.E06_ORIGEM.setText("D:\\DADOS");
                    s.p.E06_DESTINO.setText(" ");
                },
                "A pasta de DESTINO deve ser informada"},
        Refusal{"ZipDestinationUnderAFile",
                [](Save& s) {
                    s.dir.write("ARQ", "x");
                    s.type(T06);
                    s.p.E06_ORIGEM.setText("D:\\DADOS");
                    s.p.E06_DESTINO.setText(s.folder("ARQ\\BKP"));
                },
                "Deve criar a pasta de DESTINO"},
        Refusal{"ZipWithoutArchiveName",
                [](Save& s) {
                    s.type(T06);
                    s.p.E06_ORIGEM.setText("D:\\DADOS");
                    s.p.E06_DESTINO.setText(s.folder());
                    s.p.E06_ARQDEST.setText(" ");
                },
                "O nome do arquivo de DESTINO deve ser informada"},
        Refusal{"BackupWithoutTool",
                [](Save& s) {
                    s.type(T07);
                    s.p.E07_PASTAEXE.setText(s.folder("TOOLS"));
                },
                "Arquivo GBAK.EXE não existe na pasta *"}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(Save, WritesTheGeneralCellsTrimmedAndTheFile) {
    editor.E_NOME.setText("  cópia diária ");
    editor.E_MSG.setText("  Confirma? ");
    E_ULTEXEC.setText("05/12/26 08:30:00");
    editor.CB_PAUSE.setChecked(true);
    GRID.setCell(col::VER_EXEC, 2, "X");
    editor.saveTask();
    EXPECT_EQ(saves, 1);
    EXPECT_TRUE(told().empty());
    EXPECT_EQ(editor.E_NOME.text(), "CÓPIA DIÁRIA");
    const auto r = row(2);
    EXPECT_EQ(r[col::NOME], "CÓPIA DIÁRIA");
    EXPECT_EQ(r[col::ULTIMA_EXEC], "05/12/26 08:30:00");
    EXPECT_EQ(r[col::MENSAGEM], "Confirma?");
    EXPECT_EQ(r[col::VER_EXEC], "");
    EXPECT_EQ(r[col::PAUSE], "S");
}

TEST_F(Save, NotesNeedNoPeriodOrHourAndInactiveTasksNoHour) {
    type(T09);
    editor.E_PERIODO.setText("");
    editor.E_HORA.setText("");
    p.E09_MEMO.setText("\r\nlinha 1\r\nlinha 2\r\n\r\n");
    editor.saveTask();
    EXPECT_EQ(GRID.cell(col::MEMO, 2), "linha 1||linha 2");
    for (const char* period : {"00 - Inativo", "20 - Chamada Manual"}) {
        type(T00);
        editor.E_PERIODO.setText(period);
        editor.saveTask();
        EXPECT_EQ(GRID.cell(col::PERIODO, 2), period);
        EXPECT_EQ(GRID.cell(col::HORA, 2), "  :  ");
    }
    EXPECT_EQ(saves, 3);
    EXPECT_TRUE(told().empty());
}

TEST_F(Save, MessageIsOptionalExceptForMessageTasks) {
    editor.E_MSG.setText("");
    editor.saveTask();
    type(T10);
    editor.E_MSG.setText("Trocar o backup");
    editor.saveTask();
    EXPECT_EQ(saves, 2);
    EXPECT_EQ(GRID.cell(col::MENSAGEM, 2), "Trocar o backup");
}

TEST_F(Save, ZipCreatesItsDestinationAndDefaultsTheMask) {
    type(T06);
    p.E06_ORIGEM.setText("D:\\DADOS");
    p.E06_DESTINO.setText(folder("BKP\\ZIP"));
    p.E06_ARQDEST.setText("DADOS");
    p.E06_ARQUIVO.setText("  ");
    editor.saveTask();
    EXPECT_TRUE(dir.exists("BKP/ZIP"));
    EXPECT_EQ(p.E06_ARQUIVO.text(), "*.*");
    EXPECT_EQ(GRID.cell(col::ARQUIVO, 2), "*.*");
    EXPECT_EQ(saves, 1);
}

// A refused type check changes no cell at all, so a later save of another row
// cannot carry a half-edited task into the file.
TEST_F(Save, RefusedTypeCheckLeavesTheGeneralCellsToo) {
    type(T07);
    editor.E_NOME.setText("OUTRO NOME");
    p.E07_PASTAEXE.setText(folder());
    editor.saveTask();
    EXPECT_EQ(GRID.cell(col::NOME, 2), "COPIA");
    EXPECT_EQ(GRID.cell(col::TIPO, 2), T00);
    dir.write("GBAK.EXE", "");
    editor.saveTask();
    EXPECT_EQ(GRID.cell(col::NOME, 2), "OUTRO NOME");
    EXPECT_EQ(GRID.cell(col::PASTA_EXE, 2), folder());
    EXPECT_EQ(saves, 1);
}

TEST_F(Save, NothingBeforeARowIsSelectedAndANarrowTableIsWidened) {
    editorRow = 0;
    editor.saveTask();
    EXPECT_EQ(saves, 0);
    GRID.setColCount(31);
    editorRow = 2;
    editor.saveTask();
    EXPECT_EQ(GRID.colCount(), col::COUNT);
    EXPECT_EQ(saves, 1);
}

}  // namespace
}  // namespace tarvex::testing
