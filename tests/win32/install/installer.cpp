// The installer as an operator meets it, in a Wine prefix of its own: a silent
// install, the installed program started and closed, an install over it, silent
// uninstalls. TARVEX_SETUP names the installer (a Unix path).
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "win32/window/test_app_process.h"

namespace fs = std::filesystem;
using namespace tarvex;
using namespace tarvex::testui;

namespace {

std::wstring knownFolder(REFKNOWNFOLDERID id) {
    PWSTR p = nullptr;
    std::wstring out = SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &p)) ? p : L"";
    CoTaskMemFree(p);
    return out;
}

// Runs a program to its end: its exit code, or -1.
long runToEnd(const std::wstring& exe, const std::wstring& args) {
    std::wstring line = L"\"" + exe + L"\" " + args;
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(pi.hProcess, 300000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return static_cast<long>(code);
}

std::optional<std::wstring> regString(const std::wstring& key, const wchar_t* name) {
    wchar_t data[2048];
    DWORD bytes = sizeof(data);
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_SZ, nullptr, data, &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(data);
}

std::string bytesOf(const fs::path& p) { return platform::readFile(win32::narrow(p.wstring())).value_or("<none>"); }

// The exe's embedded manifest (resource 1 of type 24).
std::string manifestOf(const fs::path& exe) {
    HMODULE m = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    std::string text;
    if (HRSRC r = m ? FindResourceW(m, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)) : nullptr)
        text.assign(static_cast<const char*>(LockResource(LoadResource(m, r))), SizeofResource(m, r));
    if (m) FreeLibrary(m);
    return text;
}

std::string productVersion(const fs::path& exe) {
    DWORD ignored = 0, size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
    std::string block(size, '\0');
    wchar_t* text = nullptr;
    UINT len = 0;
    if (!size || !GetFileVersionInfoW(exe.c_str(), 0, size, block.data()) ||
        !VerQueryValueW(block.data(), L"\\StringFileInfo\\041604E4\\ProductVersion", reinterpret_cast<void**>(&text),
                        &len))
        return {};
    return win32::narrow(std::wstring(text, len ? len - 1 : 0));
}

const std::wstring kUninstall = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TARVEX";
const std::wstring kRun = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

}  // namespace

TEST(Installer, InstallRunUpgradeUninstall) {
    const char* setupVar = std::getenv("TARVEX_SETUP");
    ASSERT_NE(setupVar, nullptr);
    const std::wstring setup = L"Z:" + fs::path(setupVar).make_preferred().wstring();
    ASSERT_TRUE(fs::exists(setup)) << setupVar;
    const fs::path dir = fs::path(knownFolder(FOLDERID_LocalAppData)) / L"Programs" / L"TARVEX";
    const fs::path exe = dir / L"tarvex.exe";
    const fs::path menu = fs::path(knownFolder(FOLDERID_Programs)) / L"TARVEX" / L"TARVEX.lnk";

    // Silent, for the user alone, with the logon start asked for.
    ASSERT_EQ(runToEnd(setup, L"/S /INICIAR"), 0);
    ASSERT_TRUE(fs::exists(exe)) << exe.string();
    EXPECT_TRUE(fs::exists(menu)) << menu.string();
    EXPECT_EQ(regString(kUninstall, L"DisplayName"), L"TARVEX");
    EXPECT_EQ(regString(kUninstall, L"InstallLocation"), dir.wstring());
    const std::wstring uninstaller = (dir / L"desinstalar.exe").wstring();
    EXPECT_EQ(regString(kUninstall, L"UninstallString"), L"\"" + uninstaller + L"\"");
    // The logon value as the settings page writes it: upper case, quoted when it holds a blank.
    std::wstring path = exe.wstring();
    CharUpperW(path.data());
    std::string run = win32::narrow(path);
    if (run.find(' ') != std::string::npos) run = '"' + run + '"';
    EXPECT_EQ(win32::narrow(regString(kRun, L"TARVEX").value_or(L"")), run);

    // The release exe: a quarter of the debug build's 26 MB at most, its manifest, its version.
    EXPECT_LT(fs::file_size(exe), 26u * 1024 * 1024 / 4);
    const std::string manifest = manifestOf(exe);
    for (const char* entry : {"Microsoft.Windows.Common-Controls", "PerMonitorV2", "true/pm", "asInvoker",
                              "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"})
        EXPECT_NE(manifest.find(entry), std::string::npos) << entry;
    EXPECT_EQ(manifest.find("activeCodePage"), std::string::npos);
    const std::string version = productVersion(exe);
    ASSERT_FALSE(version.empty());

    // First run, found by its control names: adding rows writes the task file,
    // closing writes the settings (with the logon box as the installer left it).
    {
        AppFolder unused;
        AppProcess app(unused, win32::narrow(dir.wstring()) + "\\");
        ASSERT_NE(app.window(120000), nullptr);
        EXPECT_EQ(readText(app.window()), "TARVEX - V: " + version);
        ASSERT_TRUE(waitFor([&] { return readText(app.find("LA_PROXIMO")) != "000"; }, 60000));   // start-up done
        PostMessageW(app.find("BU_ANOTA_MAIS"), BM_CLICK, 0, 0);
        ASSERT_TRUE(waitFor([&] { return fs::exists(dir / L"TARVEX_TAREFAS.TXT"); }, 60000));
        PostMessageW(app.window(), WM_CLOSE, 0, 0);
        ASSERT_TRUE(app.answerClose(IDOK));
        ASSERT_TRUE(app.ended(60000));
    }
    const std::string tasks = bytesOf(dir / L"TARVEX_TAREFAS.TXT");
    const std::string settings = bytesOf(dir / L"TARVEX_SISTEMA.TXT");
    const std::string log = bytesOf(dir / L"LOG_TIMER.TXT");
    EXPECT_NE(settings.find("#S#"), std::string::npos) << settings;
    EXPECT_EQ(win32::narrow(regString(kRun, L"TARVEX").value_or(L"")), run);

    // Over it: the program replaced, the operator's files untouched.
    ASSERT_EQ(runToEnd(setup, L"/S"), 0);
    EXPECT_EQ(bytesOf(dir / L"TARVEX_TAREFAS.TXT"), tasks);
    EXPECT_EQ(bytesOf(dir / L"TARVEX_SISTEMA.TXT"), settings);
    EXPECT_EQ(bytesOf(dir / L"LOG_TIMER.TXT"), log);

    // Uninstalled silently: program, menu entry and registry entries go, the files
    // stay. The uninstaller goes on from a copy of itself after its first process ends.
    ASSERT_EQ(runToEnd(uninstaller, L"/S"), 0);
    EXPECT_TRUE(waitFor([&] { return !regString(kUninstall, L"DisplayName") && !fs::exists(uninstaller); }, 120000));
    EXPECT_FALSE(fs::exists(exe));
    EXPECT_FALSE(fs::exists(menu));
    EXPECT_FALSE(regString(kRun, L"TARVEX").has_value());
    EXPECT_EQ(bytesOf(dir / L"TARVEX_TAREFAS.TXT"), tasks);
    EXPECT_EQ(bytesOf(dir / L"TARVEX_SISTEMA.TXT"), settings);

    // Installed again and removed with the data asked for: nothing is left.
    ASSERT_EQ(runToEnd(setup, L"/S"), 0);
    ASSERT_EQ(runToEnd(uninstaller, L"/S /REMOVERDADOS"), 0);
    EXPECT_TRUE(waitFor([&] { return !fs::exists(dir); }, 120000)) << "left in " << dir.string();
}
