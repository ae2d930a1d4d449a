// Start mode, start page and the window rectangle the settings keep.
#include <gtest/gtest.h>

#include <string>

#include "settings/start_options.h"
#include "settings/window_bounds.h"

namespace tarvex::settings {
namespace {

TEST(StartOptions, WindowStartForEachOption) {
    EXPECT_EQ(windowStart(0), WindowStart::Normal);
    EXPECT_EQ(windowStart(1), WindowStart::Maximized);
    EXPECT_EQ(windowStart(2), WindowStart::Hidden);
    EXPECT_EQ(windowStart(-1), WindowStart::Hidden);  // the designed minimised state
}

TEST(StartOptions, PageForEachOption) {
    const std::pair<int, std::string> cases[] = {
        {0, "TS_CAPA"}, {1, "TS_TAREFAS"}, {2, "TS_CALEND"}, {-1, "TS_CAPA"}};
    for (const auto& [option, page] : cases) EXPECT_EQ(startPage(option).name, page) << option;
    EXPECT_EQ(std::string(startPage(2).caption), "Calend");
}

TEST(WindowBounds, OnlyTheNormalStateRectangleIsKept) {
    NormalBounds nb({20, 30, 800, 600});
    nb.moved({-32000, -32000, 160, 28}, false);  // minimised
    nb.moved({0, 0, 1920, 1050}, false);         // maximised
    EXPECT_EQ(nb.bounds(), (Bounds{20, 30, 800, 600}));
    nb.moved({40, 50, 1000, 700}, true);
    EXPECT_EQ(nb.bounds(), (Bounds{40, 50, 1000, 700}));

    Settings s;
    setBounds(s, nb.bounds());
    EXPECT_EQ(boundsOf(s), nb.bounds());
    EXPECT_EQ(s.left, 50);
}

}  // namespace
}  // namespace tarvex::settings
