// An operator at the real window while a task runs: what is typed stays, the
// run's stamp lands in its own row, leaving changed fields is asked about, a delete
// is on disk at once, and the ZIP page's pick lists open.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tasks/columns.h"
#include "tasks/task_file.h"
#include "tasks/task_store.h"
#include "ui/controls.h"
#include "win32/window/test_app_process.h"

namespace tarvex::testui {
namespace {

class OperatorDayWindow : public ::testing::Test {
protected:
    void SetUp() override {
        dir.write("TARVEX_SISTEMA.TXT", settingsLine(0, 0));
        tasks::TaskTable g;
        g.setColCount(col::COUNT);
        g.setRowCount(5);
        tasks::numberRows(g);
        // Due since 00:01 and never run: it runs about 30 s after the start.
        task(g, 1, "RODA", "04 - Fechar Programa", "00:01", "[NENHUMA JANELA]");
        task(g, 2, "EDITADA", "04 - Fechar Programa", "23:59", "[OUTRA]");
        task(g, 3, "APAGAR", "09 - Observações", "", "");
        taskfile::save(g, dir.path(tasks::TASK_FILE_NAME));
    }
    static void task(tasks::TaskTable& g, int row, const std::string& nome, const std::string& tipo,
                     const std::string& hora, const std::string& programa) {
        g.setCell(col::NOME, row, nome);
        g.setCell(col::TIPO, row, tipo);
        g.setCell(col::PERIODO, row, "01 - Todos os Dias");
        g.setCell(col::HORA, row, hora);
        g.setCell(col::EXECUTAVEL, row, programa);
    }
    // Read between the program's saves: one caught mid-replace is read again.
    std::vector<std::string> onDisk(int row) {
        tasks::TaskTable g;
        waitFor([&] {
            try {
                taskfile::load(g, dir.path(tasks::TASK_FILE_NAME));
                return true;
            } catch (const std::exception&) {
                return false;
            }
        });
        std::vector<std::string> cells = g.rowCells(row);
        cells.resize(std::max<size_t>(cells.size(), col::COUNT));
        return cells;
    }
    void set(const std::string& name, const std::string& text) {
        std::wstring w = win32::widen(text);
        DWORD_PTR r = 0;
        SendMessageTimeoutW(app.find(name), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(w.c_str()), SMTO_ABORTIFHUNG,
                            5000, &r);
    }
    // Posted: the program may answer with a modal box.
    void selectRow(int row) { PostMessageW(app.find("GRID"), RegisterWindowMessageW(L"TARVEX.GridSelect"), 1, row); }
    void press(const std::string& name) { PostMessageW(app.find(name), BM_CLICK, 0, 0); }
    std::string answer(int button) { return app.answer(button, 30000); }
    // The program's open drop-down list, showing more than one item.
    bool opens(HWND combo) {
        const bool open = waitFor([&] {
            for (HWND h = FindWindowW(L"ComboLBox", nullptr); h; h = FindWindowExW(nullptr, h, L"ComboLBox", nullptr)) {
                DWORD pid = 0;
                GetWindowThreadProcessId(h, &pid);
                RECT r{};
                if (pid == app.pid() && IsWindowVisible(h) && GetWindowRect(h, &r) && r.bottom - r.top > 25) return true;   // two items or more
            }
            return false;
        });
        PostMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
        waitFor([&] { return SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) == 0; });
        return open;
    }

    AppFolder dir;
    AppProcess app{dir};
};

TEST_F(OperatorDayWindow, TypingSurvivesARunAndEveryChangeIsKept) {
    ASSERT_NE(app.window(), nullptr);
    ASSERT_TRUE(waitFor([&] { return IsWindowVisible(app.window()) != FALSE; }, 30000));
    click(app.find("BU_TAREFAS"));
    ASSERT_TRUE(app.showing("TS_TAREFAS"));
    selectRow(2);
    ASSERT_TRUE(app.textBecomes("E_NOME", "EDITADA"));
    set("E_NOME", "NOME DIGITADO");

    ASSERT_TRUE(waitFor([&] { return logCount(dir, "EXE") == 1; }, 120000)) << "task 1 did not run";
    EXPECT_TRUE(IsWindowVisible(app.find("TS_TAREFAS")));
    EXPECT_EQ(readText(app.find("E_NOME")), "NOME DIGITADO");
    EXPECT_EQ(readText(app.find("E_ULTEXEC")), "");
    EXPECT_FALSE(onDisk(1)[col::ULTIMA_EXEC].empty());

    selectRow(3);   // changed fields: asked, and Cancelar stays
    EXPECT_EQ(answer(IDCANCEL), "Salvar as alterações da tarefa 02?");
    EXPECT_EQ(readText(app.find("E_NOME")), "NOME DIGITADO");
    press("BU_TAREFAS_SALVA");
    ASSERT_TRUE(waitFor([&] { return onDisk(2)[col::NOME] == "NOME DIGITADO"; }, 30000));
    EXPECT_EQ(onDisk(2)[col::ULTIMA_EXEC], "");

    selectRow(3);
    ASSERT_TRUE(app.textBecomes("E_NOME", "APAGAR"));
    press("BU_EXCLUI");
    EXPECT_EQ(answer(IDOK), "Confirma Exclusão da tarefa 03 - APAGAR ?");
    EXPECT_TRUE(waitFor([&] { return onDisk(3)[col::NOME].empty(); }, 30000));
    EXPECT_TRUE(app.textBecomes("E_NOME", ""));

    selectRow(2);
    PostMessageW(app.find("E_TIPO1"), CB_SETCURSEL, 6, 0);
    PostMessageW(GetParent(app.find("E_TIPO1")), WM_COMMAND,
                 MAKEWPARAM(GetDlgCtrlID(app.find("E_TIPO1")), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(app.find("E_TIPO1")));
    ASSERT_TRUE(app.showing("T06"));
    // The list a mouse click opens (injected clicks do not reach the combo under Xvfb), then F4.
    PostMessageW(app.find("E06_ARQUIVO1"), CB_SHOWDROPDOWN, TRUE, 0);
    EXPECT_TRUE(opens(app.find("E06_ARQUIVO1"))) << "the mask list opens without room for its items";
    pressKey(app.find("E06_EXCLUIR1"), VK_F4);
    EXPECT_TRUE(opens(app.find("E06_EXCLUIR1"))) << "the exclusion list does not open with F4";

    // Closing with the type changed: asked, Não drops it; then the close question.
    PostMessageW(app.window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(answer(IDNO), "Salvar as alterações da tarefa 02?");
    ASSERT_TRUE(app.answerClose(IDOK));
    ASSERT_TRUE(app.ended(30000));
    AppProcess again{dir};   // a restart shows the table as the operator left it
    ASSERT_NE(again.window(), nullptr);
    ASSERT_TRUE(again.textBecomes("E_NOME", "RODA"));   // start-up has read the table
    PostMessageW(again.find("GRID"), RegisterWindowMessageW(L"TARVEX.GridSelect"), 1, 2);
    EXPECT_TRUE(again.textBecomes("E_NOME", "NOME DIGITADO"));
    EXPECT_TRUE(again.textBecomes("E_TIPO", "04 - Fechar Programa"));
    PostMessageW(again.find("GRID"), RegisterWindowMessageW(L"TARVEX.GridSelect"), 1, 3);
    EXPECT_TRUE(again.textBecomes("E_NOME", ""));
}

}  // namespace
}  // namespace tarvex::testui
