// The task list's commands: moving by one and by five, deleting, adding rows.
#include "editor_fixture.h"
#include "lib/routines.h"

namespace tarvex::testing {
namespace {

class Moves : public EditorTest {
public:
    // Tasks A..G in rows 1..7 (the last row), each with a name and a type.
    void SetUp() override {
        for (int r = 1; r < GRID.rowCount(); ++r)
            task(r, {{col::NOME, std::string(1, char('A' + r - 1))}, {col::TIPO, "09 - Observações"}});
    }
    std::string names() const {
        std::string out;
        for (int r = 1; r < GRID.rowCount(); ++r) out += trim(GRID.cell(col::NOME, r));
        return out;
    }
};

TEST_F(Moves, OneStepExchangesTheRowsAndFollowsTheTask) {
    task(3, {{col::MEMO, "nota"}});
    select(3);
    editor.BU_TAREFA_SOBE.click();
    EXPECT_EQ(names(), "ACBDEFG");
    EXPECT_EQ(editorRow, 2);
    EXPECT_EQ(view.row(), 2);
    EXPECT_EQ(editor.E_NOME.text(), "C");
    EXPECT_EQ(p.E09_MEMO.text(), "nota");
    EXPECT_EQ(GRID.cell(0, 2), "02");
    EXPECT_EQ(GRID.cell(0, 3), "03");
    EXPECT_EQ(GRID.cell(col::MEMO, 3), "");
    EXPECT_EQ(GRID.cell(col::HORA, 2), "");
    EXPECT_EQ(saves, 1);
    editor.BU_TAREFA_DESCE.click();
    EXPECT_EQ(names(), "ABCDEFG");
    EXPECT_EQ(editorRow, 3);
    EXPECT_EQ(saves, 2);
}

TEST_F(Moves, EdgeRowsDoNotMove) {
    select(1);
    editor.BU_TAREFA_SOBE.click();
    select(7);
    editor.BU_TAREFA_DESCE.click();
    editorRow = 0;   // nothing selected yet: the title row stays where it is
    editor.BU_TAREFA_DESCE.click();
    EXPECT_EQ(names(), "ABCDEFG");
    EXPECT_EQ(GRID.cell(col::NOME, 0), "");
    EXPECT_EQ(saves, 0);
}

TEST_F(Moves, FiveStepsStopAtTheEnds) {
    select(3);
    editor.BU_TAREFA_SOBE5.click();
    EXPECT_EQ(names(), "CABDEFG");
    EXPECT_EQ(editorRow, 1);
    EXPECT_EQ(saves, 2);
    select(2);
    editor.BU_TAREFA_DESCE5.click();
    EXPECT_EQ(names(), "CBDEFGA");
    EXPECT_EQ(editorRow, 7);
    EXPECT_EQ(saves, 7);
}

TEST_F(Moves, DeleteAsksThenEmptiesTheRowKeptOnDisk) {
    select(4);
    op.answers = {false, true};
    editor.BU_EXCLUI.click();
    EXPECT_EQ(names(), "ABCDEFG");
    editor.BU_EXCLUI.click();
    ASSERT_EQ(op.boxes.size(), 2u);
    EXPECT_EQ(op.boxes[1].caption, "Mensagem do Sistema");
    EXPECT_EQ(op.boxes[1].text, "Confirma Exclusão da tarefa 04 - D ?");
    EXPECT_EQ(names(), "ABCEFG");
    EXPECT_EQ(GRID.cell(0, 4), "04");
    EXPECT_EQ(GRID.cell(col::TIPO, 4), "");
    EXPECT_EQ(editor.E_NOME.text(), "");   // the editor shows the emptied row
    EXPECT_EQ(saves, 1);

    editor.BU_TAREFAS_SALVA.click();   // nothing of the deleted task comes back
    EXPECT_EQ(names(), "ABCEFG");
}

TEST_F(Moves, AddRowsAppendsThreeNumberedEmptyRows) {
    editor.BU_ANOTA_MAIS.click();
    ASSERT_EQ(GRID.rowCount(), 11);
    for (int r = 8; r < 11; ++r)
        for (int c = 1; c < col::COUNT; ++c) EXPECT_EQ(GRID.cell(c, r), "") << c << "," << r;
    EXPECT_EQ(GRID.cell(0, 8), "08");
    EXPECT_EQ(GRID.cell(0, 9), "09");
    EXPECT_EQ(GRID.cell(0, 10), "10");
    EXPECT_EQ(saves, 1);
}

}  // namespace
}  // namespace tarvex::testing
