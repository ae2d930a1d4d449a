// End to end: tarvex.exe started in a folder whose task file holds a daily XCOPY
// task already due today. The first arming waits 30 s, then the batch copies the
// tree, the log gets "INI" and "EXE", and the task file keeps today's stamp.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "win32/support/test_ui_driver.h"
#include "win32/window/test_app_process.h"
#include "win32/wide.h"

namespace tarvex::testui {
namespace {

void writeBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out << bytes;
}

std::string readBytes(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string today() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    char text[16];
    std::snprintf(text, sizeof text, "%02d/%02d/%02d", t.wDay, t.wMonth, t.wYear % 100);
    return text;
}

// A 35-column task file: the title row, the copy task in row 1, an empty row 2.
std::string taskFile(const std::string& origem, const std::string& destino) {
    std::vector<std::string> task(35);
    task[0] = "01";
    task[1] = "COPIA DIARIA";
    task[2] = "00 - XCOPY - Copia Arq.";
    task[3] = "01 - Todos os Dias";
    task[5] = "00:01";
    task[8] = "N";
    task[30] = "CHCP 1252 >NUL||XCOPY  \"" + origem + "\"  ===>>  \"" + destino + "\"      /E /D /Y /R /C /V";
    auto line = [](const std::vector<std::string>& cells) {
        std::string l;
        for (const auto& c : cells) l += c + "\xA6";
        return l + "\r\n";
    };
    std::vector<std::string> empty(35);
    std::vector<std::string> second(35);
    second[0] = "02";
    return "35\r\n3\r\n" + line(empty) + line(task) + line(second);
}

std::vector<std::string> cellsOfLine(const std::string& file, int lineIndex) {
    std::istringstream in(file);
    std::string line;
    for (int i = 0; i <= lineIndex; ++i) std::getline(in, line);
    std::vector<std::string> cells(1);
    for (char c : line) {
        if (c == '\xA6') cells.emplace_back();
        else cells.back() += c;
    }
    return cells;
}

TEST(EndToEnd, DailyCopyDueAtStartRunsAboutThirtySecondsLater) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    if (now.wHour == 0 && now.wMinute < 3) GTEST_SKIP() << "the task's hour 00:01 has not passed long enough";

    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder =
        std::wstring(temp) + L"tarvex_e2e_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
        std::to_wstring(GetTickCount()) + L"\\";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(CopyFileW(productPath().c_str(), (folder + L"tarvex.exe").c_str(), FALSE));
    CreateDirectoryW((folder + L"origem").c_str(), nullptr);
    CreateDirectoryW((folder + L"origem\\sub").c_str(), nullptr);
    writeBytes(folder + L"origem\\a.txt", "primeiro");
    writeBytes(folder + L"origem\\sub\\b.txt", "segundo");
    const std::string base = win32::narrow(folder);
    writeBytes(folder + L"TARVEX_TAREFAS.TXT", taskFile(base + "origem", base + "destino\\"));

    std::wstring line = L"\"" + folder + L"tarvex.exe\"";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION child{};
    ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si,
                               &child));
    const DWORD started = GetTickCount();

    const std::wstring log = folder + L"LOG_TIMER.TXT";
    const bool ran = waitFor([&] { return readBytes(log).find("#EXE#COPIA DIARIA >> 2 arquivos conferidos#") != std::string::npos; }, 120000);
    const DWORD elapsed = GetTickCount() - started;
    // The stamp reaches the file when the run ends, just after its log line.
    auto stamp = [&] {
        const auto row = cellsOfLine(readBytes(folder + L"TARVEX_TAREFAS.TXT"), 3);
        return row.size() > 4 ? row[4] : std::string();
    };
    waitFor([&] { return stamp().substr(0, 8) == today(); }, 10000);
    TerminateProcess(child.hProcess, 0);
    WaitForSingleObject(child.hProcess, 10000);
    CloseHandle(child.hProcess);
    CloseHandle(child.hThread);

    ASSERT_TRUE(ran) << readBytes(log);
    EXPECT_GE(elapsed, 25000u);  // the first arming waits 30 s, even for an overdue task
    EXPECT_EQ(readBytes(folder + L"destino\\a.txt"), "primeiro");
    EXPECT_EQ(readBytes(folder + L"destino\\sub\\b.txt"), "segundo");

    const std::string text = readBytes(log);
    const size_t ini = text.find(today() + "#00#INI#Start TARVEX#");
    const size_t exe = text.find(today() + "#01#EXE#COPIA DIARIA >> 2 arquivos conferidos#");
    EXPECT_NE(ini, std::string::npos) << text;
    EXPECT_NE(exe, std::string::npos) << text;
    EXPECT_LT(ini, exe);

    EXPECT_EQ(stamp().substr(0, 8), today());
}

}  // namespace
}  // namespace tarvex::testui
