// Batches nobody sits in front of: a question in one gets no answer and fails it
// with its reason, its "Pause" holds no later task, and a killed TARVEX takes its
// batches with it and runs the next one when started again.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tasks/columns.h"
#include "tasks/task_file.h"
#include "tasks/task_store.h"
#include "win32/window/test_app_process.h"

namespace tarvex::testui {
namespace {

struct Task {
    std::string nome, hora, pausa;
    std::vector<std::string> lines;
};

// The ids of running processes named `exe` (any case), those whose parent is
// `parent` when it is given.
std::vector<DWORD> processesNamed(const std::wstring& exe, DWORD parent = 0) {
    std::vector<DWORD> found;
    const HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return found;
    PROCESSENTRY32W e{};
    e.dwSize = sizeof e;
    for (BOOL more = Process32FirstW(snap, &e); more; more = Process32NextW(snap, &e))
        if (!_wcsicmp(e.szExeFile, exe.c_str()) && (!parent || e.th32ParentProcessID == parent))
            found.push_back(e.th32ProcessID);
    CloseHandle(snap);
    return found;
}

void endProcess(DWORD pid) {
    if (const HANDLE h = OpenProcess(PROCESS_TERMINATE, FALSE, pid)) {
        TerminateProcess(h, 1);
        CloseHandle(h);
    }
}

class BatchesAlone : public ::testing::Test {
protected:
    void TearDown() override {
        for (DWORD pid : processesNamed(L"ping.exe")) endProcess(pid);
    }
    void write(std::initializer_list<Task> list) {
        std::vector<std::vector<std::pair<int, std::string>>> rows;
        for (const Task& t : list) {
            std::string text;
            for (const std::string& line : t.lines) text += (text.empty() ? "" : "\r\n") + line;
            rows.push_back({{col::NOME, t.nome}, {col::TIPO, "00 - XCOPY - Copia Arq."}, {col::HORA, t.hora},
                            {col::PAUSE, t.pausa}, {col::MEMO, tasks::linesToCell(text)}});
        }
        writeDailyTasks(dir, rows);
    }
    void start() {
        app = std::make_unique<AppProcess>(dir);
        ASSERT_NE(app->window(), nullptr);
    }
    std::string log() const { return dir.read("LOG_TIMER.TXT").value_or(""); }
    bool logged(const std::string& text, int ms = 120000) {
        return waitFor([&] { return log().find(text) != std::string::npos; }, ms);
    }

    AppFolder dir;
    std::unique_ptr<AppProcess> app;
};

TEST_F(BatchesAlone, AQuestionFailsItsTaskAndThePauseHoldsNoOther) {
    dir.write("pasta\\a.txt", "fica");
    write({{"PERGUNTA", "00:01", "S",
            {"SET /P RESPOSTA=Qual a pasta?", "PAUSE", "DEL \"" + dir.path("pasta") + "\""}},
           {"DEPOIS", "00:02", "N", {"ECHO ok> \"" + dir.path("depois.txt") + "\""}}});
    start();

    ASSERT_TRUE(logged("#02#EXE#DEPOIS#")) << log();
    EXPECT_EQ(dir.read("depois.txt"), "ok\r\n");
    EXPECT_TRUE(logged("#01#ERR#", 0)) << log();
    EXPECT_TRUE(logged("O comando parou numa pergunta que ninguém responde e foi encerrado: ", 0)) << log();
    EXPECT_EQ(dir.read("pasta\\a.txt"), "fica");
    // The pause asked for: a console of its own still waits for a key, after the
    // next task has run.
    const std::vector<DWORD> paused = processesNamed(L"tarvex.exe", app->pid());
    EXPECT_EQ(paused.size(), 1u);
    for (DWORD pid : paused) endProcess(pid);
}

TEST_F(BatchesAlone, AKilledTarvexLeavesNoBatchRunningAndTheNextRunWorks) {
    write({{"LONGA", "00:01", "N", {"ping -n 60 127.0.0.1 >NUL"}}});
    start();
    ASSERT_TRUE(waitFor([] { return !processesNamed(L"ping.exe").empty(); }, 120000));
    app.reset();   // TerminateProcess, as a crash or the task manager ends it

    EXPECT_TRUE(waitFor([] { return processesNamed(L"ping.exe").empty(); }, 15000));
    EXPECT_TRUE(waitFor([] { return processesNamed(L"cmd.exe").empty(); }, 5000));

    write({{"LONGA", "00:01", "N", {"ECHO fim> \"" + dir.path("fim.txt") + "\""}}});
    start();
    EXPECT_TRUE(logged("#01#EXE#LONGA#")) << log();
    EXPECT_EQ(dir.read("fim.txt"), "fim\r\n");
}

}  // namespace
}  // namespace tarvex::testui
