#include "exec/placeholders.h"

#include <gtest/gtest.h>

namespace tarvex::exec {
namespace {

struct Case { const char* pen; const char* ext; const char* in; const char* out; };

class AcertaTest : public ::testing::TestWithParam<Case> {};

TEST_P(AcertaTest, ExpandsAndTidies) {
    const Case& c = GetParam();
    RunContext ctx;
    ctx.DATA_HOJE = "'06.12.2026'";
    ctx.DIA_SEMANA = "Domingo";
    ctx.PEN_TAREFA = c.pen;
    ctx.EXTENSAO_TAREFA = c.ext;
    EXPECT_EQ(expandPlaceholders(ctx, c.in), c.out);
}

INSTANTIATE_TEST_SUITE_P(
    Placeholders, AcertaTest,
    ::testing::Values(
        Case{"E", "_[ANO]_[MES]", "[PEN]:\\BACKUP\\DADOS[EXT]\\", "E:\\BACKUP\\DADOS_2026_12\\"},
        Case{"E", "_[ANO]_[MES]", "BKP_[DIA]-[MES]-[ANO]_[SEMANA]", "BKP_06-12-2026_Domingo"},
        Case{"E", "_[ANO]_[MES]", "D:\\COPIA\\\\[EXT].ZIP", "D:\\COPIA\\_2026_12.ZIP"},
        Case{"E", "_[ANO]_[MES]", "XCOPY  C:\\A     D:\\B /E", "XCOPY C:\\A D:\\B /E"},
        // No pen letter: its placeholder stays; the empty suffix's goes.
        Case{"", "", "[PEN]:\\BACKUP[EXT]", "[PEN]:\\BACKUP"},
        // A network path keeps the backslashes that open it, quoted or not; the rest are singled.
        Case{"", "", "\\\\SERVIDOR\\BACKUP\\\\X", "\\\\SERVIDOR\\BACKUP\\X"},
        Case{"", "_[DIA]", "XCOPY \"\\\\SRV\\B[EXT]\\\" \\\\SRV\\C", "XCOPY \"\\\\SRV\\B_06\\\" \\\\SRV\\C"},
        Case{"", "", "C:\\DADOS\\ARQ.TXT", "C:\\DADOS\\ARQ.TXT"},
        Case{"", "", "", ""},
        // Matching is exact: lower case is not a placeholder.
        Case{"E", "_X", "[dia][pen][ext]", "[dia][pen][ext]"},
        // One pass per rule: three backslashes become two, four become two.
        Case{"", "", "A\\\\\\B\\\\\\\\C", "A\\\\B\\\\C"},
        // Each placeholder everywhere, on every line.
        Case{"F", "", "[DIA][DIA]\r\n[PEN]:[SEMANA]", "0606\r\nF:Domingo"}));

// Runs of spaces: 2..38 end as one; 39 keep two.
class SpaceRunTest : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(SpaceRunTest, ShortensRuns) {
    auto [run, left] = GetParam();
    RunContext ctx;
    EXPECT_EQ(expandPlaceholders(ctx, "A" + std::string(run, ' ') + "B"), "A" + std::string(left, ' ') + "B");
}

INSTANTIATE_TEST_SUITE_P(Runs, SpaceRunTest,
                         ::testing::Values(std::pair{1, 1}, std::pair{2, 1}, std::pair{5, 1},
                                           std::pair{7, 1}, std::pair{38, 1}, std::pair{39, 2}));

TEST(Acerta, ShortDateTextGivesEmptyParts) {
    RunContext ctx;
    ctx.DATA_HOJE = "";
    EXPECT_EQ(expandPlaceholders(ctx, "X[DIA][MES][ANO]Y"), "XY");
}

}  // namespace
}  // namespace tarvex::exec
