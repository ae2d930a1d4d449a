// The program-close task run by the main window against real windows that this
// test program opens; the close message reaches them through the run's message pump.
#include "../support/tasks_fixture.h"
#include "win32/wide.h"

namespace tarvex::win32test {
namespace {

const std::string kPid = std::to_string(GetCurrentProcessId());
const std::string kClass = "TarvexTarefaFecha" + kPid;
const std::string kOtherClass = "TarvexTarefaFica" + kPid;
const std::string kTitle = "Relatório Diário " + kPid;
const std::string kOtherTitle = "Planilha " + kPid;

// Left hidden: the close search finds hidden windows too, and showing one costs
// Wine seconds on a display without a window manager.
HWND open(const std::string& cls, const std::string& title) {
    HWND h = CreateWindowExW(0, win32::widen(cls).c_str(), win32::widen(title).c_str(), WS_OVERLAPPEDWINDOW,
                             20, 20, 300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    EXPECT_NE(h, nullptr) << title;
    return h;
}

class CloseTask : public TasksTest, public ::testing::WithParamInterface<std::string> {
protected:
    static void SetUpTestSuite() {
        registerClass(kClass);
        registerClass(kOtherClass);
    }
    void SetUp() override {
        TasksTest::SetUp();
        target = open(kClass, kTitle);
        other = open(kOtherClass, kOtherTitle);
        pumpWindows();
    }
    void TearDown() override {
        TasksTest::TearDown();
        for (HWND h : {target, other})
            if (IsWindow(h)) DestroyWindow(h);
    }
    HWND target = nullptr, other = nullptr;
};

TEST_P(CloseTask, ClosesTheNamedWindowOnly) {
    runOne({{col::NOME, "FECHA"}, {col::TIPO, "04 - Fechar Programa"}, {col::EXECUTAVEL, GetParam()}});

    EXPECT_FALSE(IsWindow(target));
    EXPECT_TRUE(IsWindow(other));
    EXPECT_EQ(runEvents(), std::vector<std::string>{"EXE FECHA"});
    EXPECT_EQ(stamps(1), std::vector<std::string>{"09/12/26 08:00:00"});
}

INSTANTIATE_TEST_SUITE_P(Forms, CloseTask,
                         ::testing::Values("Titulo[" + kTitle + "]", "Classe[" + kClass + "]",
                                           kTitle,                        // bare text: a title
                                           kClass,                        // bare text: else a class
                                           "Titulo[relatório diário " + kPid + "]"));   // case ignored

// A name that no window bears still counts as done: the close is only a request.
class CloseNothing : public CloseTask {};

TEST_F(CloseNothing, ANameNoWindowBearsClosesNothing) {
    runOne({{col::NOME, "FECHA"}, {col::TIPO, "04 - Fechar Programa"}, {col::EXECUTAVEL, "Titulo[Ninguém]"}});

    EXPECT_TRUE(IsWindow(target));
    EXPECT_TRUE(IsWindow(other));
    EXPECT_EQ(runEvents(), std::vector<std::string>{"EXE FECHA"});
}

}  // namespace
}  // namespace tarvex::win32test
