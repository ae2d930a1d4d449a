// The shell's file copy and "open", for real.
#include <gtest/gtest.h>

#include "win32/services_win32.h"
#include "win32_test_util.h"

namespace tarvex {
namespace {

using namespace platform;

constexpr unsigned kFolderFlags = FOF_SILENT_ | FOF_NOCONFIRMATION_ | FOF_NOCONFIRMMKDIR_;   // 0x214

class Shell : public ::testing::Test {
protected:
    void SetUp() override {
        dir.write("origem\\a.txt", "alfa");
        dir.write("origem\\Relatório.TXT", "beta");
        dir.write("origem\\c.dat", "gama");
        dir.write("origem\\sub\\d.txt", "delta");
    }
    win32test::TempFolder dir;
    win32::Win32Shell shell;
};

TEST_F(Shell, CopiesAWholeFolder) {
    EXPECT_FALSE(shell.copy(dir.path("origem"), dir.path("copia"), kFolderFlags));
    EXPECT_EQ(dir.read("copia\\a.txt"), "alfa");
    EXPECT_EQ(dir.read("copia\\Relatório.TXT"), "beta");
    EXPECT_EQ(dir.read("copia\\sub\\d.txt"), "delta");
}

TEST_F(Shell, CopiesFilesByMaskIntoAFolder) {
    ASSERT_TRUE(createDir(dir.path("novo")));
    EXPECT_FALSE(shell.copy(dir.path("origem\\*.txt"), dir.path("novo"), kFolderFlags));
    EXPECT_EQ(dir.read("novo\\a.txt"), "alfa");
    EXPECT_EQ(dir.read("novo\\Relatório.TXT"), "beta");
    EXPECT_FALSE(dir.exists("novo\\c.dat"));
}

TEST_F(Shell, CopiesOneFileOverAnOlderOneWithTheFileCopyFlags) {
    dir.write("alvo\\a.txt", "velho");
    constexpr unsigned kFileFlags = FOF_NOCONFIRMATION_ | FOF_ALLOWUNDO_ | FOF_SIMPLEPROGRESS_;   // 0x150
    EXPECT_FALSE(shell.copy(dir.path("origem\\a.txt"), dir.path("alvo"), kFileFlags));
    EXPECT_EQ(dir.read("alvo\\a.txt"), "alfa");
}

TEST_F(Shell, AMissingSourceIsAFailure) {
    const platform::IoResult error = shell.copy(dir.path("nao_existe"), dir.path("copia"), kFolderFlags);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->text.rfind("Erro na cópia: " + dir.path("nao_existe") + " => ", 0), 0u) << error->text;
    EXPECT_FALSE(dir.exists("copia\\a.txt"));
}

TEST_F(Shell, OpensAProgramWithParameters) {
    dir.write("grava.BAT", "@echo %1-%2> \"" + dir.path("aberto.txt") + "\"\r\n");
    EXPECT_TRUE(shell.open(dir.path("grava.BAT"), "alfa beta", "", SW_HIDE_));
    EXPECT_EQ(dir.readWithin("aberto.txt", std::chrono::seconds(30)), "alfa-beta\r\n");
}

TEST_F(Shell, OpeningAMissingFileIsRefused) {
    EXPECT_FALSE(shell.open(dir.path("nao_existe.exe"), "", "", SW_NORMAL_));
}

}  // namespace
}  // namespace tarvex
