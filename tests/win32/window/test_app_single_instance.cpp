// One tarvex.exe per folder: a second start in the same folder hands over to the
// running program and ends; a start in another folder runs alongside.
#include "test_app_process.h"

#include "win32/single_instance.h"

namespace tarvex::testui {
namespace {

int visibleMainWindows(DWORD a, DWORD b) {
    int n = 0;
    for (DWORD pid : {a, b})
        if (HWND h = findTopByName("F_TARVEX", pid); h && IsWindowVisible(h)) ++n;
    return n;
}

TEST(SingleInstance, SecondStartInTheSameFolderBringsTheFirstForwardAndEnds) {
    AppFolder dir;
    dir.write("TARVEX_SISTEMA.TXT", settingsLine(2, 0));   // starts with only the notification icon
    AppProcess first(dir);
    HWND main = first.window();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(waitFor([&] { return logCount(dir, "INI") == 1; }, 30000));
    EXPECT_FALSE(IsWindowVisible(main));

    AppProcess second(dir);
    EXPECT_TRUE(second.ended(20000));
    EXPECT_TRUE(waitFor([&] { return IsWindowVisible(main) && !IsIconic(main); }, 10000));
    EXPECT_EQ(visibleMainWindows(first.pid(), second.pid()), 1);
    EXPECT_FALSE(first.ended(0));
    EXPECT_EQ(logCount(dir, "INI"), 1);
}

// The folder by another drive letter: under Wine its root file system's Z:, on
// Windows a substituted drive. Empty when neither reaches it.
std::string otherDrive(const std::string& folder) {
    auto reaches = [](const std::string& alias) {
        return GetFileAttributesW(win32::widen(alias + "tarvex.exe").c_str()) != INVALID_FILE_ATTRIBUTES;
    };
    using UnixName = char*(CDECL*)(LPCWSTR);
    if (auto unixName = reinterpret_cast<UnixName>(
            GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name"))) {
        if (char* name = unixName(win32::widen(folder).c_str())) {
            std::string path = name;
            HeapFree(GetProcessHeap(), 0, name);
            // The prefix reaches drive C: through a link Windows paths cannot name.
            if (size_t at = path.find("/dosdevices/c:/"); at != std::string::npos)
                path.replace(at, 15, "/drive_c/");
            for (char& c : path)
                if (c == '/') c = '\\';
            if (reaches("Z:" + path)) return "Z:" + path;
        }
    }
    std::string folderNoSlash = folder.substr(0, folder.size() - 1);
    for (char letter = 'Z'; letter > 'D'; --letter) {
        if (GetLogicalDrives() & (1u << (letter - 'A'))) continue;
        const std::string drive = {letter, ':'};
        if (DefineDosDeviceW(0, win32::widen(drive).c_str(), win32::widen(folderNoSlash).c_str()) &&
            reaches(drive + "\\"))
            return drive + "\\";
        DefineDosDeviceW(DDD_REMOVE_DEFINITION, win32::widen(drive).c_str(), nullptr);
        break;
    }
    return {};
}

TEST(SingleInstance, TheSameFolderByAnotherDriveLetterIsTheSameFolder) {
    AppFolder dir;
    dir.write("TARVEX_SISTEMA.TXT", settingsLine(2, 0));
    const std::string alias = otherDrive(dir.folder());
    if (alias.empty()) GTEST_SKIP() << "no other drive letter reaches " << dir.folder();
    AppProcess first(dir);
    HWND main = first.window();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(waitFor([&] { return logCount(dir, "INI") == 1; }, 30000));

    AppProcess second(dir, alias);
    EXPECT_TRUE(second.ended(20000)) << alias;
    EXPECT_TRUE(waitFor([&] { return IsWindowVisible(main) && !IsIconic(main); }, 10000));
    EXPECT_FALSE(first.ended(0));
    EXPECT_EQ(logCount(dir, "INI"), 1);
}

TEST(SingleInstance, StartInAnotherFolderRunsAlongside) {
    AppFolder one, two;
    one.write("TARVEX_SISTEMA.TXT", settingsLine(0, 0));
    two.write("TARVEX_SISTEMA.TXT", settingsLine(0, 0));
    AppProcess first(one);
    ASSERT_NE(first.window(), nullptr);
    AppProcess other(two);
    ASSERT_NE(other.window(), nullptr);
    EXPECT_TRUE(waitFor([&] { return visibleMainWindows(first.pid(), other.pid()) == 2; }, 30000));
    EXPECT_FALSE(first.ended(0));
    EXPECT_FALSE(other.ended(0));
    EXPECT_TRUE(waitFor([&] { return logCount(one, "INI") == 1 && logCount(two, "INI") == 1; }));
}

}  // namespace
}  // namespace tarvex::testui
