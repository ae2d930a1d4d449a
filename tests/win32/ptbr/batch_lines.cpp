// Generated batches run for real by Wine's cmd with a Brazilian office PC's code
// pages (ANSI 1252, console 850), TARVEX itself in a folder named "P&D Ação":
// hostile values stay one argument, files land where pointed, an accented path
// reaches the program intact and a failing first line fails the run.
#include <filesystem>
#include <fstream>
#include <functional>

#include "exec/builder_lines.h"
#include "platform/cp1252.h"
#include "../support/tasks_fixture.h"

namespace tarvex::win32test {
namespace {

// Copied as GBAK.EXE, this program stands in for the backup tool: it keeps the
// command line it was given beside itself, in UTF-8, and ends.
const bool kActsAsGbak = [] {
    wchar_t self[MAX_PATH];
    const std::wstring path(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
    if (!path.ends_with(L"\\GBAK.EXE")) return false;
    const std::wstring line = GetCommandLineW();
    std::string utf8(line.size() * 4, '\0');
    utf8.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()),
                                                        utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr)));
    std::ofstream(std::filesystem::path(path).parent_path() / "args.txt", std::ios::binary) << utf8;
    ExitProcess(0);
}();

using Text = std::function<std::string(const TempFolder&)>;

struct Case {
    const char* what;
    std::function<Row(const TempFolder&)> task;   // the task, after writing the files it needs
    std::vector<std::string> files;                // must exist after the run; "!name": must not
    std::string logged;                            // the run's log entry, code and start of text
    Text toolGot;                                  // one argument the backup tool must have received
};

const std::string kMarker = "PWNED.txt";
const std::string kXcopy = "00 - XCOPY - Copia Arq.";
const std::string kGbak = "07 - GBAK - Firebird";
const std::string kFailed = "ERR ***   ERRO   ***   T";

std::string xcopy(const TempFolder& d, const std::string& from, const std::string& to) {
    return exec::xcopyLine("\"" + d.path(from) + "\"", "\"" + d.path(to) + "[EXT]\\\"");
}
std::string gbak(const TempFolder& d, const std::string& source) {
    const std::string tool = d.path("Program Files\\FB\\bin");
    std::filesystem::create_directories(platform::fsPath(tool));
    std::filesystem::copy_file(platform::fsPath(platform::exePath()), platform::fsPath(tool + "\\GBAK.EXE"));
    return exec::gbakLine(tool, source, d.path("bkp"), "");
}
std::string chained(const TempFolder& d) { return " & echo PWNED > " + d.path(kMarker) + " & rem "; }
std::string database(const TempFolder& d) { return d.path("db\\BASE.FDB") + chained(d); }
std::string accented(const TempFolder& d) { return d.path("Dados\\Ação\\EMPRESA.FDB"); }

const std::vector<Case> kCases = {
    {"a suffix that closes the quote and chains a command",
     [](const TempFolder& d) {
         return Row{{col::TIPO, kXcopy}, {col::EXTENSAO, "_[DIA]\"" + chained(d) + "\""},
                    {col::MEMO, memo({xcopy(d, "Ação Fiscal", "destino")})}};
     },
     {"!destino_09"}, kFailed},
    {"percent signs and a variable's name in folder names",
     [](const TempFolder& d) {
         d.write("Vendas 50% %USERNAME%\\Ação.txt", "a");
         return Row{{col::TIPO, kXcopy}, {col::MEMO, memo({xcopy(d, "Vendas 50% %USERNAME%", "Cópia 50% %USERNAME%")})}};
     },
     {"Cópia 50% %USERNAME%\\Ação.txt"}, "EXE T"},
    {"a character the console's code page has not",
     [](const TempFolder& d) {
         d.write("Ação Fiscal\\a.txt", "a");
         return Row{{col::TIPO, kXcopy}, {col::MEMO, memo({xcopy(d, "Ação Fiscal", "Preço €")})}};
     },
     {"!Preço €"}, kFailed},
    {"two copy lines, the first failing",
     [](const TempFolder& d) {
         d.write("Ação Fiscal\\a.txt", "a");
         return Row{{col::TIPO, kXcopy},
                    {col::MEMO, memo({xcopy(d, "NaoExiste", "M01a"), xcopy(d, "Ação Fiscal", "M01b")})}};
     },
     {"!M01a", "!M01b"}, kFailed + " (linha 1, código "},
    {"a database path with a chained command, the tool under Program Files",
     [](const TempFolder& d) { return Row{{col::TIPO, kGbak}, {col::MEMO, memo({gbak(d, database(d))})}}; },
     {}, "EXE T", database},
    {"an accented database path",
     [](const TempFolder& d) { return Row{{col::TIPO, kGbak}, {col::MEMO, memo({gbak(d, accented(d))})}}; },
     {}, "EXE T", accented},
};

class BatchLines : public TasksTest, public ::testing::WithParamInterface<Case> {
protected:
    void SetUp() override {
        TasksTest::SetUp();
        // TARVEX in "...\P&D Ação\": started unquoted, cmd would run "...\P.bat".
        param = dir.path("P&D Ação\\");
        std::filesystem::create_directories(platform::fsPath(param));
        dir.write("P.bat", "echo PWNED > \"" + dir.path(kMarker) + "\"\r\n");
    }
};

TEST_P(BatchLines, EachValueIsOneArgumentAndAFailingLineFailsTheRun) {
    ASSERT_EQ(GetOEMCP(), 850u) << "the prefix must be made with LANG=pt_BR.UTF-8";
    Row row = GetParam().task(dir);
    row.push_back({col::NOME, "T"});
    runOne(row);

    EXPECT_FALSE(dir.exists(kMarker));
    const std::vector<std::string> events = runEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].rfind(GetParam().logged, 0), 0u) << events[0];
    for (const std::string& file : GetParam().files)
        EXPECT_EQ(dir.exists(file.substr(file[0] == '!')), file[0] != '!') << file;
    if (GetParam().toolGot) {
        const auto got = dir.read("Program Files\\FB\\bin\\args.txt");
        ASSERT_TRUE(got);
        EXPECT_NE(got->find("\"" + platform::cp1252ToUtf8(GetParam().toolGot(dir)) + "\""), std::string::npos) << *got;
    }
}

INSTANTIATE_TEST_SUITE_P(HostileValues, BatchLines, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

}  // namespace
}  // namespace tarvex::win32test
