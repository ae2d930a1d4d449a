#include <gtest/gtest.h>

#include "exec/zip_task.h"

namespace tarvex::exec {
namespace {

struct MaskCase {
    const char* mask;
    const char* name;
    bool matches;
};

class MaskMatch : public ::testing::TestWithParam<MaskCase> {};

TEST_P(MaskMatch, AsWindowsMatchesFileNames) {
    const MaskCase& c = GetParam();
    EXPECT_EQ(maskMatches(c.mask, c.name), c.matches) << c.mask << " vs " << c.name;
}

INSTANTIATE_TEST_SUITE_P(Cases, MaskMatch, ::testing::Values(
    MaskCase{"*.*", "DADOS.FDB", true},
    MaskCase{"*.*", "LEIAME", true},               // no extension still matches
    MaskCase{"*.*", ".hidden", true},
    MaskCase{"DADOS.*", "DADOS", true},
    MaskCase{"DADOS.*", "DADOS2", false},
    MaskCase{"*.FDB", "dados.fdb", true},          // case ignored
    MaskCase{"*.fdb", "DADOS.FDB", true},
    MaskCase{"*.FDB", "DADOS.FDB1", false},
    MaskCase{"*.FDB", "FDB", false},
    MaskCase{"A?C.TXT", "abc.txt", true},
    MaskCase{"A?C.TXT", "ac.txt", false},
    MaskCase{"*B*", "aaBaa", true},
    MaskCase{"*.ZIP", "BKP.ZIP.OLD", false},
    MaskCase{"*a*a*a", "aaaaaaaaaaaaaaaaaaaaaaaaab", false},
    MaskCase{"RELATÓRIO*.TXT", "relatório_06.txt", true},   // Windows-1252 letters fold too
    MaskCase{"AÇÃO.TXT", "ação.txt", true},
    MaskCase{"A.TXT", "Á.TXT", false},
    MaskCase{"*", "", true},
    MaskCase{"?", "", false}));

}  // namespace
}  // namespace tarvex::exec
