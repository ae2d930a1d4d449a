// A task keeps its identity while the operator reorders and deletes rows under the
// armed timer: the armed task runs at its hour, never the one now in its old row;
// a failed task's back-off moves with it. Real time: the first arming waits 30 s,
// each later one 10 s, and every operator step happens inside such a wait.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "lib/routines.h"
#include "platform/clock.h"
#include "tasks/columns.h"
#include "tasks/task_file.h"
#include "tasks/task_store.h"
#include "ui/controls.h"
#include "win32/window/test_app_process.h"

namespace tarvex::testui {
namespace {

struct Task {
    std::string nome, tipo, hora, programa;
};
struct Row {
    std::string nome, ultima;   // the name and the last-run stamp
};

// The one place the task file is written.
void writeTasks(const AppFolder& dir, const std::vector<Task>& list) {
    tasks::TaskTable g;
    g.setColCount(col::COUNT);
    g.setRowCount(static_cast<int>(list.size()) + 1);
    tasks::numberRows(g);
    for (int row = 1; row <= static_cast<int>(list.size()); ++row) {
        const Task& t = list[row - 1];
        g.setCell(col::NOME, row, t.nome);
        g.setCell(col::TIPO, row, t.tipo);
        g.setCell(col::PERIODO, row, "01 - Todos os Dias");
        g.setCell(col::HORA, row, t.hora);
        g.setCell(col::EXECUTAVEL, row, t.programa);
    }
    taskfile::save(g, dir.path(tasks::TASK_FILE_NAME));
}

// The one place it is read back, in row order.
std::vector<Row> readTasks(const AppFolder& dir) {
    tasks::TaskTable g;
    std::vector<Row> list;
    try {
        taskfile::load(g, dir.path(tasks::TASK_FILE_NAME));
    } catch (const std::exception&) {
        return list;
    }
    for (int row = 1; row < g.rowCount(); ++row)
        list.push_back({trim(g.cell(col::NOME, row)), trim(g.cell(col::ULTIMA_EXEC, row))});
    return list;
}

const char* const kClose = "04 - Fechar Programa";   // no such window: succeeds and stamps at once

class TaskIdentityWindow : public ::testing::Test {
protected:
    // Before the program starts: it reads both files at start-up.
    bool prepare() {
        dir.write("TARVEX_SISTEMA.TXT", settingsLine(0, 0));
        // Early hours are overdue, so they run one after the other; late ones wait.
        writeTasks(dir, {{"PRIMEIRA", kClose, "00:01", "[NENHUMA JANELA]"},
                         {"TARDE", kClose, "23:59", "[NENHUMA JANELA]"},
                         {"APAGAR", kClose, "23:58", "[NENHUMA JANELA]"},
                         {"SEGUNDA", kClose, "00:02", "[NENHUMA JANELA]"},
                         {"VIZINHA", kClose, "23:57", "[NENHUMA JANELA]"},
                         {"TERCEIRA", kClose, "00:03", "[NENHUMA JANELA]"},
                         {"NOITE", kClose, "23:56", "[NENHUMA JANELA]"},
                         {"FALHA", "03 - Executar Programa", "00:04", "C:\\NAO_EXISTE\\NENHUM.EXE"},
                         {"DEPOIS", kClose, "00:05", "[NENHUMA JANELA]"}});
        return true;
    }
    int rowOf(const std::string& nome) {
        const std::vector<Row> list = readTasks(dir);
        for (size_t i = 0; i < list.size(); ++i)
            if (list[i].nome == nome) return static_cast<int>(i) + 1;
        return 0;
    }
    std::set<std::string> stamped() {
        std::set<std::string> names;
        for (const Row& t : readTasks(dir))
            if (!t.ultima.empty()) names.insert(t.nome);
        return names;
    }
    // The log's runs and failures, whole lines only, as "EXE NAME" / "ERR NAME".
    std::vector<std::string> runs() {
        const std::string log = dir.read("LOG_TIMER.TXT").value_or("");
        std::vector<std::string> out;
        for (size_t from = 0, end; (end = log.find('\n', from)) != std::string::npos; from = end + 1) {
            std::vector<std::string> f;
            for (size_t a = from, b; (b = log.find('#', a)) != std::string::npos && b < end; a = b + 1)
                f.push_back(log.substr(a, b - a));
            if (f.size() > 3 && (f[2] == "EXE" || f[2] == "ERR"))
                out.push_back(f[2] + " " + f[3].substr(f[3].find_last_of(' ') + 1));
        }
        return out;
    }
    // The next run or failure logged after the `seen` ones; empty if none comes.
    std::string nextRun(int ms = 40000) {
        if (!waitFor([&] { return runs().size() > seen; }, ms)) return "";
        return runs()[seen++];
    }
    // "Próximo" on the cover: "NN - NAME" of the armed task.
    std::string armed() { return readText(app.find("E_PROX_NOME")); }
    bool armedNow(const std::string& nome) {
        const std::string a = armed();
        return a.size() > nome.size() && a.compare(a.size() - nome.size(), nome.size(), nome) == 0;
    }
    bool armedIs(const std::string& nome) { return waitFor([&] { return armedNow(nome); }, 30000); }
    // Selects the row holding `nome` in the editor, as a click on it does.
    bool select(const std::string& nome) {
        PostMessageW(app.find("GRID"), RegisterWindowMessageW(L"TARVEX.GridSelect"), 1, rowOf(nome));
        return app.textBecomes("E_NOME", nome);
    }
    void press(const std::string& name) { PostMessageW(app.find(name), BM_CLICK, 0, 0); }
    std::string answer(int button) { return app.answer(button, 10000); }
    void remove(const std::string& nome) {
        ASSERT_TRUE(select(nome));
        const std::string question = "Confirma Exclusão da tarefa " + zeroPad(rowOf(nome), 2) + " - " + nome + " ?";
        press("BU_EXCLUI");
        EXPECT_EQ(answer(IDOK), question);
        EXPECT_TRUE(waitFor([&] { return rowOf(nome) == 0; }, 10000)) << nome << " not deleted";
    }

    AppFolder dir;
    bool prepared = prepare();
    AppProcess app{dir};
    size_t seen = 0;
};

TEST_F(TaskIdentityWindow, RowsMovedOrDeletedUnderTheArmedTaskNeverRunAnotherTask) {
    const LocalTime now = platform::clock().now();
    if (now.hour * 60 + now.minute < 6 || now.hour * 60 + now.minute > 23 * 60 + 53)
        GTEST_SKIP() << "the early hours must have passed and the late ones stay ahead for the whole run";
    ASSERT_TRUE(waitFor([&] { return app.window() && IsWindowVisible(app.window()); }, 30000));
    click(app.find("BU_TAREFAS"));
    ASSERT_TRUE(app.showing("TS_TAREFAS"));

    // The late task moved above the armed one takes its row, not its hour.
    ASSERT_TRUE(armedIs("PRIMEIRA"));
    ASSERT_TRUE(select("TARDE"));
    press("BU_TAREFA_SOBE");
    ASSERT_TRUE(waitFor([&] { return rowOf("TARDE") == 1 && rowOf("PRIMEIRA") == 2; }, 10000));
    ASSERT_TRUE(waitFor([&] { return stamped().count("PRIMEIRA") == 1; }, 60000)) << "the armed task never ran";
    EXPECT_EQ(runs(), std::vector<std::string>{"EXE PRIMEIRA"}) << "a task ran at another task's hour";
    EXPECT_EQ(stamped().count("TARDE"), 0u);
    seen = runs().size();

    // A row deleted above the armed task, then the armed task itself: no task below
    // them runs in the armed one's place.
    ASSERT_TRUE(armedIs("SEGUNDA"));
    remove("APAGAR");
    EXPECT_EQ(nextRun(), "EXE SEGUNDA");
    ASSERT_TRUE(armedIs("TERCEIRA"));
    remove("TERCEIRA");
    EXPECT_EQ(nextRun(), "ERR FALHA") << "something ran at the deleted task's hour";

    // The failed task, moved down one row while held back, takes its back-off along:
    // the task now in its old row runs at its own hour, and the failed one stays held.
    ASSERT_TRUE(armedIs("DEPOIS"));
    const int failed = rowOf("FALHA");
    ASSERT_TRUE(select("FALHA"));
    press("BU_TAREFA_DESCE");
    ASSERT_TRUE(waitFor([&] { return rowOf("FALHA") == failed + 1; }, 10000));
    EXPECT_EQ(nextRun(), "EXE DEPOIS");
    // Read at once: a FALHA armed without its back-off would fail again at once.
    waitFor([&] { const std::string a = armed(); return a.find(" - ") != a.npos && a.find("DEPOIS") == a.npos; }, 15000);
    // "Próximo" shows the failed task's pending retry: its back-off went with it.
    EXPECT_NE(armed().find("FALHA (nova tentativa"), std::string::npos) << "armed instead: " << armed();

    const std::set<std::string> ran{"PRIMEIRA", "SEGUNDA", "DEPOIS"};
    waitFor([&] { return stamped() == ran; }, 10000);
    EXPECT_EQ(stamped(), ran);
    EXPECT_EQ(runs(), (std::vector<std::string>{"EXE PRIMEIRA", "EXE SEGUNDA", "ERR FALHA", "EXE DEPOIS"}));
}

}  // namespace
}  // namespace tarvex::testui
