// tarvex.exe over a million-line log and a sparse 2 GB one, pinged by another
// program every 100 ms: "Histórico" shows the last 30 days, the log page ends with
// the last entry, an older month moves out first, and no answer takes 250 ms.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "lib/datetime.h"
#include "win32/window/test_app_process.h"

namespace tarvex::testui {
namespace {

std::string entry(const Date& day, int i) {
    const std::string task = "TAREFA " + std::to_string(i % 50);
    const bool failed = i % 10 == 5;
    return formatDate(day) + (failed ? "#01#ERR#***   ERRO   ***   " + task : "#01#EXE#" + task + " >> " + std::to_string(i) + " arquivos conferidos") +
           "#04:00:00#04:02:15#00:02:15#06 - WINZIP#01 - Todos os Dias#\r\n";
}

// A thousand entries a day, the last of them today.
void millionLines(const std::string& path) {
    std::ofstream out(std::filesystem::path(win32::widen(path)), std::ios::binary);
    for (int i = 0; i < 1000000; ++i) out << entry(addDays(today(), -(999999 - i) / 1000), i);
}

// Three entries 40 days ago (another month), a hole up to 2 GB (seek and write:
// it costs no disk), three today.
void sparse2GB(const std::string& path) {
    ULARGE_INTEGER free{};
    GetDiskFreeSpaceExW(nullptr, &free, nullptr, nullptr);
    ASSERT_GT(free.QuadPart, 64ull << 20) << "a sparse file still wants a little room";
    std::ofstream out(std::filesystem::path(win32::widen(path)), std::ios::binary);
    for (int i = 0; i < 3; ++i) out << entry(addDays(today(), -40), i * 10 + 1);
    out.seekp(2LL << 30);
    for (int i = 997; i < 1000; ++i) out << entry(today(), i);
}

// The other program, started on the main window, stopped at the end.
struct Ping {
    std::string file;
    PROCESS_INFORMATION info{};
    bool started;
    Ping(HWND window, std::string to) : file(std::move(to)) {
        std::wstring line = productPath();
        line = L"\"" + line.substr(0, line.find_last_of(L'\\') + 1) + L"tarvex_ping.exe\" " +
               std::to_wstring(reinterpret_cast<UINT_PTR>(window)) + L" \"" + win32::widen(file) + L"\"";
        STARTUPINFOW si{sizeof si};
        started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si,
                                 &info) != FALSE;
    }
    ~Ping() {
        TerminateProcess(info.hProcess, 0);
        WaitForSingleObject(info.hProcess, 10000);
        CloseHandle(info.hProcess), CloseHandle(info.hThread);
    }
    // Pings answered so far, and the slowest answer in ms.
    std::pair<long, double> seen() const {
        std::pair<long, double> got{0, 0};
        return std::ifstream(std::filesystem::path(win32::widen(file))) >> got.first >> got.second, got;
    }
};

struct BigLog {
    const char* name;
    void (*make)(const std::string& path);
    bool usualBound;   // else the bound at its most: nothing moves out
    int shown;         // entries the log page shows at the end
    const char* last;  // the TEXTO of the last one
    const char* summary;
};

class WindowAnswers : public ::testing::TestWithParam<BigLog> {};

TEST_P(WindowAnswers, WhileHistoryAndTheLogPageReadABigLog) {
    const BigLog& log = GetParam();
    AppFolder dir;
    std::string settings = settingsLine(0, 0);
    if (!log.usualBound) settings.insert(settings.size() - 1, "4096");
    dir.write("TARVEX_SISTEMA.TXT", settings);
    log.make(dir.path("LOG_TIMER.TXT"));
    if (HasFatalFailure()) return;

    AppProcess app(dir);
    ASSERT_NE(app.window(), nullptr);
    ASSERT_TRUE(waitFor([&] { return IsWindowVisible(app.window()) != FALSE; }, 60000));
    Ping ping(app.window(), dir.path("ping.txt"));
    ASSERT_TRUE(ping.started);
    ASSERT_TRUE(waitFor([&] { return ping.seen().first > 0; }, 30000));

    if (log.usualBound) {
        // The month moves out: the log is watched by its size, as a reader would hold it.
        ASSERT_TRUE(waitFor([&] {
            WIN32_FILE_ATTRIBUTE_DATA data{};
            GetFileAttributesExW(win32::widen(dir.path("LOG_TIMER.TXT")).c_str(), GetFileExInfoStandard, &data);
            return data.nFileSizeHigh == 0 && data.nFileSizeLow < 4096;
        }, 300000));
    }
    click(app.find("BU_HISTORICO"));
    HWND history = nullptr, summary = nullptr;
    ASSERT_TRUE(waitFor([&] {
        history = findTopByName("F_HISTORICO", app.pid());
        return history && (summary = findByName(history, "LA_HIST_RESUMO")) != nullptr;
    }, 30000));
    ASSERT_TRUE(waitFor([&] { return readText(summary).rfind("OK ", 0) == 0; }, 300000)) << readText(summary);
    EXPECT_EQ(readText(summary), log.summary);
    // The window stays open: hiding a window under Xvfb with no window manager
    // holds its thread in Wine's own wait for the unmapping, about 2 s.

    click(app.find("BU_LOG"));
    ASSERT_TRUE(app.showing("TS_LOG"));
    HWND grid = app.find("GRID_LOG");
    // Then the start-up entry, and the grid's empty last row.
    const auto rows = [&] {
        DWORD_PTR n = 0;
        SendMessageTimeoutW(grid, RegisterWindowMessageW(L"TARVEX.GridRows"), 0, 0, SMTO_ABORTIFHUNG, 2000, &n);
        return static_cast<int>(n);
    };
    ASSERT_TRUE(waitFor([&] { return rows() == log.shown + 3; }, 300000)) << rows();
    SendMessageW(grid, RegisterWindowMessageW(L"TARVEX.GridSelect"), 6, log.shown);
    EXPECT_EQ(readText(grid), log.last);

    const auto [pings, slowest] = ping.seen();
    std::printf("%s: %ld pings, slowest answer %.0f ms\n", log.name, pings, slowest);
    EXPECT_GT(pings, 5);
    EXPECT_LT(slowest, 250.0);
}

INSTANTIATE_TEST_SUITE_P(
    Logs, WindowAnswers,
    ::testing::Values(BigLog{"MillionLines", millionLines, false, 1000000, "TAREFA 49 >> 999999 arquivos conferidos",
                             "OK 27000    ERRO 3000    não rodou 0    saltos de tamanho 0"},
                      BigLog{"Sparse2GB", sparse2GB, false, 6, "TAREFA 49 >> 999 arquivos conferidos",
                             "OK 3    ERRO 0    não rodou 0    saltos de tamanho 0"},
                      BigLog{"Sparse2GBMovedOut", sparse2GB, true, 3, "TAREFA 49 >> 999 arquivos conferidos",
                             "OK 3    ERRO 0    não rodou 0    saltos de tamanho 0"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tarvex::testui
