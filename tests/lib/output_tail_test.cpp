#include <gtest/gtest.h>

#include "lib/output_tail.h"

namespace tarvex {
namespace {

using Lines = std::vector<std::string>;

Lines tailOf(const std::vector<std::string>& chunks, std::size_t maxLines = 3, std::size_t maxLength = 10) {
    OutputTail tail(maxLines, maxLength);
    for (const auto& c : chunks) tail.add(c);
    return tail.lines();
}

TEST(OutputTail, KeepsTheLastShortLinesAsTheConsoleShowsThem) {
    struct Case { std::vector<std::string> chunks; Lines expected; };
    const Case cases[] = {
        {{"um\r\ndo", "is\r\n\r\n   \r\ntr", "es"}, {"um", "dois", "tres"}},               // split anywhere, blanks out
        {{"1\n2\n3\n4\n5\n"}, {"3", "4", "5"}},                                          // only the last lines
        {{"a\nb\nc\nd"}, {"b", "c", "d"}},                                               // the unfinished one counts
        {{"copiado 10%\rcopiado 90%\r", "\n"}, {"copiado 90"}},                           // a redrawn line, cut at its length
        {{"bip\a\b!\n"}, {"bip!"}},                                                       // control characters left out
        {{std::string(1 << 20, 'x') + "\nfim"}, {"xxxxxxxxxx", "fim"}},                  // one huge line stays short
    };
    for (const auto& c : cases) EXPECT_EQ(tailOf(c.chunks), c.expected) << c.chunks.front().substr(0, 20);
}

}  // namespace
}  // namespace tarvex
