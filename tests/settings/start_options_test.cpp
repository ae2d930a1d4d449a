// Start mode, start page and the window rectangle the settings keep.
#include <gtest/gtest.h>

#include <string>

#include "settings/start_options.h"

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

}  // namespace
}  // namespace tarvex::settings
