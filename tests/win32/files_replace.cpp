// The task file is replaced in one step even while another program holds the
// old one open for a moment, as a backup tool or an editor does.
#include <windows.h>

#include <gtest/gtest.h>

#include <thread>

#include "platform/files.h"
#include "win32/wide.h"

namespace tarvex {
namespace {

TEST(FileReplace, WaitsOutAReaderHoldingTheOldFile) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::string path = win32::narrow(std::wstring(temp)) + "tarvex_replace_" +
                             std::to_string(GetCurrentProcessId()) + ".txt";
    ASSERT_FALSE(platform::overwriteFile(path, "old"));

    HANDLE reader = CreateFileW(win32::widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    std::thread release([reader] {
        Sleep(150);
        CloseHandle(reader);
    });
    const platform::IoResult error = platform::replaceFile(path, "new");
    release.join();

    EXPECT_FALSE(error) << error->text;
    EXPECT_EQ(platform::readFile(path).value_or(""), "new");
    platform::removeFile(path);
}

}  // namespace
}  // namespace tarvex
