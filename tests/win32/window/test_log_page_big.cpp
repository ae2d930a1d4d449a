// The log page of tarvex.exe on big logs: a million lines, and 2 GB that are
// nearly all a hole (a sparse file with a few lines at each end). The grid ends
// with the file's last entry, the raw-lines box holds only the end, the window
// answers all the while and the process stays far below the file's size in
// memory. How long the page took is printed, never asserted.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "win32/window/test_app_process.h"

#include <psapi.h>

namespace tarvex::testui {
namespace {

std::string entry(int i) {
    return "06/12/26#03#EXE#COPIA " + std::to_string(i) +
           "#08:10:00#08:12:15#00:02:15#00 - XCOPY - Copia Arq.#01 - Todos os Dias#\r\n";
}

void millionLines(const std::string& path) {
    std::string log;
    log.reserve(100u << 20);
    for (int i = 0; i < 1000000; ++i) log += entry(i);
    HANDLE f = CreateFileW(win32::widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD put = 0;
    WriteFile(f, log.data(), static_cast<DWORD>(log.size()), &put, nullptr);
    CloseHandle(f);
}

// Three entries, a hole up to 2 GB, three more: the hole is never written.
void sparse2GB(const std::string& path) {
    HANDLE f = CreateFileW(win32::widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD put = 0;
    const auto write = [&](int from) {
        for (int i = from; i < from + 3; ++i) WriteFile(f, entry(i).data(), static_cast<DWORD>(entry(i).size()), &put, nullptr);
    };
    write(0);
    DeviceIoControl(f, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &put, nullptr);
    LARGE_INTEGER at;
    at.QuadPart = 2LL << 30;
    SetFilePointerEx(f, at, nullptr, FILE_BEGIN);
    write(3);
    CloseHandle(f);
}

struct BigLog {
    const char* name;
    std::function<void(const std::string&)> make;
    int entries;
    const char* last;   // the TEXTO of the last entry
};

class LogPageBig : public ::testing::TestWithParam<BigLog> {};

TEST_P(LogPageBig, ShowsTheEndWhileTheWindowAnswersInBoundedMemory) {
    AppFolder dir;
    // The log's bound at its most, so no month moves out whatever today is.
    std::string settings = settingsLine(0, 0);
    dir.write("TARVEX_SISTEMA.TXT", settings.insert(settings.size() - 1, "4096"));
    GetParam().make(dir.path("LOG_TIMER.TXT"));

    AppProcess app(dir);
    ASSERT_NE(app.window(), nullptr);
    ASSERT_TRUE(waitFor([&] { return IsWindowVisible(app.window()) != FALSE; }, 30000));
    HWND grid = app.find("GRID_LOG");
    const UINT rowsMsg = RegisterWindowMessageW(L"TARVEX.GridRows");
    // A frozen window misses every probe for seconds; on a machine shared with
    // builds a few probes may miss, so five in a row (a second) are what counts.
    int unanswered = 0, inARow = 0, mostInARow = 0;
    const auto answers = [&](HWND h, UINT msg, DWORD_PTR& result) {
        const bool ok = SendMessageTimeoutW(h, msg, 0, 0, SMTO_ABORTIFHUNG, 200, &result) != 0;
        unanswered += ok ? 0 : 1;
        inARow = ok ? 0 : inARow + 1;
        mostInARow = std::max(mostInARow, inARow);
        return ok;
    };
    const auto rows = [&] {
        DWORD_PTR n = 0, r = 0;
        answers(app.window(), WM_NULL, r);
        return answers(grid, rowsMsg, n) ? static_cast<int>(n) : -1;
    };
    const DWORD start = GetTickCount();
    click(app.find("BU_LOG"));
    // The start-up entry is the file's last line, and hidden: the grid ends with ours.
    ASSERT_TRUE(waitFor([&] { return rows() >= GetParam().entries + 2; }, 300000)) << rows();
    std::printf("%s: log page ready in %lu ms, %d probes of 200 ms unanswered\n", GetParam().name,
                GetTickCount() - start, unanswered);
    EXPECT_LT(mostInARow, 5);

    SendMessageW(grid, RegisterWindowMessageW(L"TARVEX.GridSelect"), 6, GetParam().entries);
    EXPECT_EQ(readText(grid), GetParam().last);
    EXPECT_EQ(readText(app.find("E_MEMO_LOG")).rfind("(... ", 0), 0u);

    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_VM_READ, FALSE, app.pid());
    PROCESS_MEMORY_COUNTERS memory{};
    ASSERT_TRUE(GetProcessMemoryInfo(process, &memory, sizeof memory));
    CloseHandle(process);
    std::printf("%s: peak working set %zu MB, peak committed %zu MB\n", GetParam().name,
                memory.PeakWorkingSetSize >> 20, memory.PeakPagefileUsage >> 20);
    EXPECT_LT(memory.PeakWorkingSetSize, 1u << 30);
    EXPECT_LT(memory.PeakPagefileUsage, 1u << 30);
}

INSTANTIATE_TEST_SUITE_P(Logs, LogPageBig,
                         ::testing::Values(BigLog{"MillionLines", millionLines, 1000000, "COPIA 999999"},
                                           BigLog{"Sparse2GB", sparse2GB, 6, "COPIA 5"}),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace tarvex::testui
