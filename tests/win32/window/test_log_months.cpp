// tarvex.exe on a 6 MB log of four months: once the window is up the three older
// months move to their own files (no line lost or doubled), an old month opens on the log page
// and its filters keep one task's failures; "Simular" on an XCOPY and a ZIP task
// tells the batch and the files without writing anything.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>

#include "win32/window/test_app_process.h"

namespace tarvex::testui {
namespace {

struct Month {
    int year, month;
    std::string key() const { return std::to_string(year) + (month < 10 ? "-0" : "-") + std::to_string(month); }
    Month before() const { return month == 1 ? Month{year - 1, 12} : Month{year, month - 1}; }
};

std::string entry(const Month& m, int day, const std::string& code, const std::string& text) {
    char date[16];
    std::snprintf(date, sizeof date, "%02d/%02d/%02d", day, m.month, m.year % 100);
    return std::string(date) + "#01#" + code + "#" + text + "#08:00:00#08:00:09#00:00:09#00 - XCOPY#01 - Todos#\r\n";
}

std::string taskFile(const std::string& base) {
    std::vector<std::string> rows[3], &x = rows[1], &z = rows[2];
    for (auto& row : rows) row.resize(35);
    x[0] = "01", x[1] = "COPIA XCOPY", x[2] = "00 - XCOPY - Copia Arq.", x[3] = "20 - Chamada Manual";
    x[30] = "CHCP 1252 >NUL||XCOPY  \"" + base + "origem\"  ===>>  \"" + base + "destino_[DIA]\"      /E /D /Y";
    z[0] = "02", z[1] = "ZIP DOCS", z[2] = "06 - WINZIP", z[3] = "01 - Todos os Dias", z[5] = "23:59";
    z[15] = base + "origem", z[16] = base + "zipdest", z[18] = "_[DIA]", z[19] = "*.*", z[22] = "DOCS";
    std::string file = "35\r\n3\r\n";
    for (const auto& row : rows) {
        for (const auto& c : row) file += c + "\xA6";
        file += "\r\n";
    }
    return file;
}

// Every file below the folder with its size.
std::map<std::string, std::uintmax_t> listing(const std::string& folder) {
    std::map<std::string, std::uintmax_t> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(std::filesystem::path(win32::widen(folder))))
        files[e.path().string()] = e.is_regular_file() ? e.file_size() : 0;
    return files;
}

void choose(HWND list, int index) {
    SendMessageW(list, CB_SETCURSEL, index, 0);
    SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

int gridRows(HWND grid) {
    DWORD_PTR n = 0;
    SendMessageTimeoutW(grid, RegisterWindowMessageW(L"TARVEX.GridRows"), 0, 0, SMTO_ABORTIFHUNG, 2000, &n);
    return static_cast<int>(n);
}

TEST(LogMonths, OldMonthsMoveOutAtStartUpAndOpenFilteredOnTheLogPage) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    if (now.wHour == 23 && now.wMinute >= 50) GTEST_SKIP() << "the ZIP task's hour 23:59 is too near";
    AppFolder dir;
    dir.write("TARVEX_SISTEMA.TXT", settingsLine(0, 1));
    dir.write("TARVEX_TAREFAS.TXT", taskFile(dir.folder()));
    for (const char* name : {"a.txt", "b.txt", "c.doc"}) dir.write(std::string("origem\\") + name, "conteudo");

    // Three older months of about 2 MB each, then a few lines of this one.
    const Month m0{now.wYear, now.wMonth}, m1 = m0.before(), m2 = m1.before(), m3 = m2.before();
    std::map<std::string, std::string> old;
    int zipFailures = 0;
    for (const Month& m : {m3, m2, m1})
        for (int i = 0; i < 28000; ++i) {
            const bool failure = m.key() == m1.key() && i % 1000 == 7;
            zipFailures += failure ? 1 : 0;
            old[m.key()] += failure ? entry(m, 1 + i % 28, "ERR", "***   ERRO   ***   ZIP DOCS")
                                    : entry(m, 1 + i % 28, "EXE", i % 2 ? "ZIP DOCS" : "COPIA XCOPY");
        }
    std::string current;
    for (int i = 0; i < 50; ++i) current += entry(m0, 1, "EXE", "COPIA XCOPY");
    dir.write("LOG_TIMER.TXT", old[m3.key()] + old[m2.key()] + old[m1.key()] + current);
    ASSERT_GT(dir.read("LOG_TIMER.TXT")->size(), 6u << 20);

    AppProcess app(dir);
    ASSERT_NE(app.window(), nullptr);
    ASSERT_TRUE(waitFor([&] { return logCount(dir, "INI") == 1; }, 30000));
    // They move behind the window; the log is watched by its size only, as a
    // reader holding it would stand in the way of its replacing.
    ASSERT_TRUE(waitFor([&] {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        return GetFileAttributesExW(win32::widen(dir.path("LOG_TIMER.TXT")).c_str(), GetFileExInfoStandard, &data) &&
               data.nFileSizeHigh == 0 && data.nFileSizeLow < (1u << 20);
    }, 60000));
    for (const Month& m : {m3, m2, m1})
        EXPECT_EQ(dir.read("LOG_TIMER_" + m.key() + ".TXT").value_or(""), old[m.key()]) << m.key();
    const std::string log = dir.read("LOG_TIMER.TXT").value_or("");
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 50 + 1) << "this month's lines and the start entry";

    // The month before, on the log page: then only the ZIP task's failures.
    click(app.find("BU_LOG"));
    ASSERT_TRUE(app.showing("TS_LOG"));
    HWND grid = app.find("GRID_LOG");
    choose(app.find("E_LOG_MES"), 1);   // newest first, after the current log
    ASSERT_TRUE(waitFor([&] { return gridRows(grid) == 28000 + 2; }, 60000)) << gridRows(grid);
    choose(app.find("E_LOG_TAREFA"), 2);
    choose(app.find("E_LOG_RESULTADO"), 2);
    ASSERT_TRUE(waitFor([&] { return gridRows(grid) == zipFailures + 2; }, 60000)) << gridRows(grid);
    SendMessageW(grid, RegisterWindowMessageW(L"TARVEX.GridSelect"), 6, zipFailures);
    EXPECT_EQ(readText(grid), "***   ERRO   ***   ZIP DOCS");

    // "Simular" writes nothing: no batch file, no archive, no destination folder.
    click(app.find("BU_TAREFAS"));
    ASSERT_TRUE(app.showing("TS_TAREFAS"));
    const auto before = listing(dir.folder());
    char day[4];
    std::snprintf(day, sizeof day, "%02d", now.wDay);
    PostMessageW(app.find("GRID"), RegisterWindowMessageW(L"TARVEX.GridSelect"), 1, 1);
    ASSERT_TRUE(app.textBecomes("E_NOME", "COPIA XCOPY"));
    click(app.find("BU_SIMULAR"));
    const std::string xcopy = app.answer(IDOK);
    EXPECT_NE(xcopy.find("destino_" + std::string(day) + "\""), std::string::npos) << xcopy;

    PostMessageW(app.find("GRID"), RegisterWindowMessageW(L"TARVEX.GridSelect"), 1, 2);
    ASSERT_TRUE(app.textBecomes("E_NOME", "ZIP DOCS"));
    click(app.find("BU_SIMULAR"));
    const std::string zip = app.answer(IDOK);
    EXPECT_NE(zip.find("Arquivos: 3, 24 bytes"), std::string::npos) << zip;
    EXPECT_NE(zip.find("DOCS_" + std::string(day) + ".ZIP"), std::string::npos) << zip;
    EXPECT_NE(zip.find("executa às 23:59"), std::string::npos) << zip;
    EXPECT_EQ(listing(dir.folder()), before);
}

}  // namespace
}  // namespace tarvex::testui
