// tarvex.exe started in a prepared folder: the start page each option of the
// settings file gives.
#include <tuple>

#include "test_app_process.h"

namespace tarvex::testui {
namespace {

// RG_TELAINI as stored -> the page shown once the window is up.
class StartPage : public ::testing::TestWithParam<std::tuple<int, const char*>> {};

TEST_P(StartPage, OpensOnItsPage) {
    const auto [option, page] = GetParam();
    AppFolder dir;
    dir.write("TARVEX_SISTEMA.TXT", settingsLine(0, option));
    AppProcess app(dir);
    HWND main = app.window();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(waitFor([&] { return IsWindowVisible(main) != FALSE; }, 30000));
    EXPECT_TRUE(app.showing(page));
    for (const char* other : {"TS_CAPA", "TS_TAREFAS", "TS_CALEND"}) {
        if (std::string(other) != page) EXPECT_FALSE(IsWindowVisible(app.find(other))) << other;
    }
}

INSTANTIATE_TEST_SUITE_P(Options, StartPage,
                         ::testing::Values(std::make_tuple(0, "TS_CAPA"), std::make_tuple(1, "TS_TAREFAS"),
                                           std::make_tuple(2, "TS_CALEND")));

}  // namespace
}  // namespace tarvex::testui
