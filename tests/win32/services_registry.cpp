// The logon auto-start values and the database application's value, in the
// test prefix's real registry.
#include <windows.h>

#include <gtest/gtest.h>

#include "win32/services_win32.h"

namespace tarvex {
namespace {

class Registry : public ::testing::Test {
protected:
    void TearDown() override {
        registry.deleteRun(false, name);
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VALDRIN");
    }
    const std::string name = "TARVEX_TESTE_" + std::to_string(GetCurrentProcessId());
    win32::Win32Registry registry;
};

TEST_F(Registry, SetGetAndDeleteTheUsersRunValue) {
    std::string value;
    EXPECT_FALSE(registry.getRun(false, name, value));
    ASSERT_TRUE(registry.setRun(name, "C:\\ARQUIVOS DE PROGRAMAS\\TARVEX\\TARVEX.EXE"));
    ASSERT_TRUE(registry.getRun(false, name, value));
    EXPECT_EQ(value, "C:\\ARQUIVOS DE PROGRAMAS\\TARVEX\\TARVEX.EXE");
    EXPECT_FALSE(registry.getRun(true, name, value));   // the machine's key is another place
    EXPECT_TRUE(registry.deleteRun(false, name));
    EXPECT_FALSE(registry.getRun(false, name, value));
    EXPECT_FALSE(registry.deleteRun(false, name));
    EXPECT_FALSE(registry.deleteRun(true, name));
}

TEST_F(Registry, Windows1252TextsSurviveTheWideRegistry) {
    ASSERT_TRUE(registry.setRun(name, "C:\\AÇÃO\\TARVEX.EXE"));
    std::string value;
    ASSERT_TRUE(registry.getRun(false, name, value));
    EXPECT_EQ(value, "C:\\AÇÃO\\TARVEX.EXE");
}

TEST_F(Registry, ReadsGbDir5WhenTheApplicationKeptIt) {
    EXPECT_EQ(registry.readGbDir5(), "");
    const wchar_t data[] = L"C:\\DADOS\\BANCO.FDB";
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\VALDRIN\\USER\\GLOBAIS_FB", L"GB_DIR5", REG_SZ,
                              data, sizeof data),
              ERROR_SUCCESS);
    EXPECT_EQ(registry.readGbDir5(), "C:\\DADOS\\BANCO.FDB");
}

}  // namespace
}  // namespace tarvex
