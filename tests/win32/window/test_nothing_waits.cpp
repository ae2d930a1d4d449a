// A day nobody watches: a message and a confirmation left on screen hold no other
// task, a program that will not close is a failure with its reason, and the
// window's X answered with Enter keeps the schedule running.
#include <gtest/gtest.h>

#include <string>

#include "tasks/columns.h"
#include "tasks/task_file.h"
#include "tasks/task_store.h"
#include "win32/support/tasks_fixture.h"
#include "win32/window/test_app_process.h"

namespace tarvex::testui {
namespace {

const std::wstring kStubborn = L"Recusa Fechar " + std::to_wstring(GetCurrentProcessId());

// A window that, like an editor with unsaved text, stays open when asked to close.
LRESULT CALLBACK stubbornProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    return msg == WM_CLOSE ? 0 : DefWindowProcW(h, msg, wp, lp);
}

struct Task {
    std::string nome, tipo, hora, mensagem, programa;
};

class NothingWaits : public ::testing::Test {
protected:
    void start(std::initializer_list<Task> list) {
        std::vector<std::vector<std::pair<int, std::string>>> rows;
        for (const Task& t : list)
            rows.push_back({{col::NOME, t.nome}, {col::TIPO, t.tipo}, {col::HORA, t.hora},
                            {col::MENSAGEM, t.mensagem}, {col::EXECUTAVEL, t.programa}});
        writeDailyTasks(dir, rows);
        app = std::make_unique<AppProcess>(dir);
        ASSERT_NE(app->window(), nullptr);
    }
    std::string log() const { return dir.read("LOG_TIMER.TXT").value_or(""); }
    bool logged(const std::string& text, int ms = 120000) {
        return waitFor([&] { return log().find(text) != std::string::npos; }, ms);
    }
    // The program's box that shows `text`, answered with `button`.
    bool answerBoxWith(const std::string& text, int button) {
        HWND box = nullptr;
        waitFor([&] {
            for (HWND h = FindWindowW(L"#32770", nullptr); h; h = FindWindowExW(nullptr, h, L"#32770", nullptr)) {
                DWORD pid = 0;
                GetWindowThreadProcessId(h, &pid);
                if (pid == app->pid() && findByText(h, text)) box = h;
            }
            return box != nullptr;
        }, 60000);
        if (!box) return false;
        PostMessageW(GetDlgItem(box, button), BM_CLICK, 0, 0);
        return waitFor([&] { return !IsWindow(box); });
    }

    AppFolder dir;
    std::unique_ptr<AppProcess> app;
};

TEST_F(NothingWaits, AMessageAndAQuestionLeftOnScreenHoldNoOtherTask) {
    start({{"LEMBRETE", "10 - Mensagem", "00:01", "Trocar a fita", ""},
           {"PERGUNTA", "04 - Fechar Programa", "00:02", "(Stop) Enviar Mensagem", "Titulo[NENHUMA]"},
           {"DEPOIS", "04 - Fechar Programa", "00:03", "", "Titulo[NENHUMA]"}});
    ASSERT_TRUE(logged("#03#EXE#DEPOIS#")) << log();   // while both boxes are still open
    EXPECT_TRUE(logged("#01#EXE#LEMBRETE >> Trocar a fita#", 0));
    EXPECT_EQ(log().find("#02#EXE#"), std::string::npos);
    ASSERT_TRUE(answerBoxWith("(Stop) Enviar Mensagem", IDOK));
    EXPECT_TRUE(logged("#02#EXE#PERGUNTA#")) << log();
    EXPECT_TRUE(answerBoxWith("Trocar a fita", IDOK));
}

TEST_F(NothingWaits, AProgramThatStaysOpenIsAFailureWithItsReasonAndARetry) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = stubbornProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TarvexTesteRecusa";
    RegisterClassW(&wc);
    HWND stubborn = CreateWindowExW(0, wc.lpszClassName, kStubborn.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                    nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(stubborn, nullptr);
    const std::string title = win32::narrow(kStubborn);
    start({{"FECHA", "04 - Fechar Programa", "00:01", "", "Titulo[" + title + "]"}});
    EXPECT_TRUE(logged("#01#ERR#***   ERRO   ***   FECHA#")) << log();
    EXPECT_TRUE(logged("#o programa " + title + " não fechou (pode estar pedindo para salvar)#", 0)) << log();
    EXPECT_TRUE(IsWindow(stubborn));
    // The retry shows on the cover, unless its wait ends after midnight.
    SYSTEMTIME now;
    GetLocalTime(&now);
    const bool retryTomorrow = now.wHour == 23 && now.wMinute >= 45;
    EXPECT_TRUE(waitFor([&] {
        const std::string next = readText(app->find("E_PROX_NOME"));
        return next.rfind("01 - FECHA (nova tentativa às ", 0) == 0 || (retryTomorrow && next == "Sem tarefas para o dia");
    }, 30000)) << readText(app->find("E_PROX_NOME"));
    DestroyWindow(stubborn);
}

TEST_F(NothingWaits, EnterOnTheCloseQuestionKeepsTheProgramRunning) {
    start({{"NOITE", "04 - Fechar Programa", "23:59", "", "Titulo[NENHUMA]"}});
    ASSERT_TRUE(app->textBecomes("E_PROX_HORA", "23:59"));
    PostMessageW(app->window(), WM_CLOSE, 0, 0);
    HWND box = nullptr;
    ASSERT_TRUE(waitFor([&] {
        box = FindWindowW(L"#32770", win32::widen("Saindo do programa, não serão executadas as tarefas").c_str());
        return box != nullptr;
    }, 30000));
    EXPECT_NE(findByText(box, "Saindo do programa, não serão executadas as tarefas.\r\n\r\n"
                              "A tarefa 01 - NOITE das 23:59 não será executada.\r\n\r\nSair assim mesmo ?"),
              nullptr);
    pressKey(box, VK_RETURN);
    ASSERT_TRUE(waitFor([&] { return !IsWindow(box); }, 10000));
    EXPECT_FALSE(app->ended(0));
    EXPECT_TRUE(IsWindow(app->window()));
    EXPECT_EQ(logCount(dir, "TER"), 0);
}

// The "(Stop)" question stays on screen until the test answers it.
struct LateOperator : testkit::ScriptedOperator {
    std::function<void(bool)> answer;
    bool withdrawn = false;
    int askLater(const std::string&, const std::string&, std::function<void(bool)> answered) override {
        answer = std::move(answered);
        return 7;
    }
    void withdraw(int question) override { withdrawn = withdrawn || question == 7; }
};

struct UnansweredOverMidnight : win32test::TasksTest {
    UnansweredOverMidnight() : TasksTest(win32test::at(2026, 12, 9, 23, 48, 0)) {}
    std::string codes() const {   // code and reason (the last field) of PERGUNTA's entries
        std::string all;
        for (const std::string& line : logLines())
            if (const auto f = fields(line); f.size() > 3 && f[3].find("PERGUNTA") != std::string::npos)
                all += f[2] + " " + f[3] + " " + (f.size() > 9 ? f[9] : "") + ";";
        return all;
    }
};

TEST_F(UnansweredOverMidnight, IsLoggedNotConfirmedAndALateAnswerRunsNothing) {
    LateOperator late;
    late.onPump = op.onPump;
    platform::setOperator(&late);
    writeTasks({{{col::NOME, "PERGUNTA"}, {col::TIPO, "04 - Fechar Programa"}, {col::PERIODO, win32test::DAILY},
                 {col::HORA, "23:50"}, {col::MENSAGEM, "(Stop) Enviar Mensagem"}, {col::EXECUTAVEL, "Titulo[X]"}}});
    start();
    host.runUntil(win32test::at(2026, 12, 10, 0, 12, 0));   // the supervisor's agenda after midnight
    ASSERT_TRUE(late.answer) << "the question was never asked";
    EXPECT_TRUE(late.withdrawn);
    const std::string notConfirmed =
        "ERR ***   NÃO CONFIRMADA   ***   PERGUNTA Confirmação não respondida até o fim do dia;";
    EXPECT_EQ(codes(), notConfirmed);
    late.answer(true);   // answered after all, the next morning
    host.runUntil(win32test::at(2026, 12, 10, 0, 30, 0));
    EXPECT_EQ(codes(), notConfirmed);
    platform::setOperator(&op);
}

}  // namespace
}  // namespace tarvex::testui
