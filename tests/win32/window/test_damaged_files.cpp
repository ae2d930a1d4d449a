// A task file TARVEX does not write as it stands (a spreadsheet's round trip,
// another editor, a cut-short copy) meets the real program, and Windows' end of
// session then forces the save nobody confirms. Either the file is held and left
// byte for byte, or every task is saved, and a copy of the file as it was is
// kept beside it in both cases; the log says which and where. The lock file's place taken by a folder: the
// program says so and runs nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/cp1252.h"
#include "tasks/columns.h"
#include "tasks/task_file.h"
#include "tasks/task_store.h"
#include "win32/window/test_app_process.h"

namespace tarvex::testui {
namespace {

const char* const kNames[] = {"C\xD3PIA DI\xC1RIA", "BACKUP", "NOTAS"};
const char* const kMemo = "XCOPY \"C:\\dados\" \"D:\\bkp\\\" /E /D /Y";

// Three inactive tasks (none runs or is late), the memo in the last titled column.
std::string goodFile() {
    tasks::TaskTable g;
    g.setColCount(col::COUNT);
    g.setRowCount(4);
    tasks::numberRows(g);
    for (int r = 1; r <= 3; ++r) {
        g.setCell(col::NOME, r, kNames[r - 1]);
        g.setCell(col::TIPO, r, "00 - XCOPY - Copia Arq.");
        g.setCell(col::PERIODO, r, "00 - Inativo");
        g.setCell(col::MEMO, r, kMemo);
    }
    g.setCell(col::NOME, 0, "Nome");
    g.setCell(col::TIPO, 0, "Tipo Tarefa");
    return taskfile::encode(g);
}

std::string replaced(std::string s, const std::string& from, const std::string& to) {
    for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size())) s.replace(at, from.size(), to);
    return s;
}

std::string withoutLine(const std::string& s, int n) {
    size_t from = 0;
    for (int i = 1; i < n; ++i) from = s.find('\n', from) + 1;
    return s.substr(0, from) + s.substr(s.find('\n', from) + 1);
}

struct Damage {
    const char* name;
    std::string bytes;   // "<folder>": a folder in the file's place
    bool held;           // else every task is loaded and saved
    const char* says;
};

class DamagedTaskFile : public ::testing::TestWithParam<Damage> {};

std::vector<std::string> copiesIn(const AppFolder& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(platform::fsPath(dir.folder()))) {
        const std::string name = win32::narrow(e.path().filename().wstring());
        if (name.rfind("TARVEX_TAREFAS.TXT.ilegivel-", 0) == 0) names.push_back(name);
    }
    return names;
}

TEST_P(DamagedTaskFile, SurvivesTheEndOfTheSession) {
    const Damage& d = GetParam();
    AppFolder dir;
    dir.write("TARVEX_SISTEMA.TXT", settingsLine(0, 0));
    const bool folder = d.bytes == "<folder>";
    if (folder) std::filesystem::create_directories(platform::fsPath(dir.path(tasks::TASK_FILE_NAME)));
    else dir.write(tasks::TASK_FILE_NAME, d.bytes);

    AppProcess app(dir);
    ASSERT_NE(app.window(), nullptr);
    // Told by the log, after the start's entry: no box waits for anyone.
    ASSERT_TRUE(waitFor([&] { return logCount(dir, "ERR") == 1; }, 60000));
    const std::string log = dir.read("LOG_TIMER.TXT").value_or("");
    const std::string told = log.substr(log.find("#00#ERR#"));
    EXPECT_NE(told.find(d.says), std::string::npos) << told;
    ASSERT_EQ(logCount(dir, "INI"), 1);

    DWORD_PTR r = 0;
    ASSERT_TRUE(SendMessageTimeoutW(app.window(), WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 10000, &r) && r);
    SendMessageTimeoutW(app.window(), WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 10000, &r);
    ASSERT_EQ(logCount(dir, "TER"), 1);

    const std::vector<std::string> copies = copiesIn(dir);
    if (folder || d.bytes.empty()) {
        EXPECT_TRUE(copies.empty());
    } else {
        ASSERT_EQ(copies.size(), 1u);
        EXPECT_EQ(dir.read(copies[0]), d.bytes);
        EXPECT_NE(told.find(copies[0]), std::string::npos) << told;
    }
    if (folder) {
        EXPECT_TRUE(std::filesystem::is_directory(platform::fsPath(dir.path(tasks::TASK_FILE_NAME))));
    } else if (d.held) {
        EXPECT_EQ(dir.read(tasks::TASK_FILE_NAME), d.bytes);
    } else {
        tasks::TaskTable saved;
        const taskfile::Verdict v = taskfile::read(dir.read(tasks::TASK_FILE_NAME).value_or(""), "T", saved);
        EXPECT_TRUE(v.sound()) << v.refused;
        ASSERT_GE(saved.rowCount(), 4);
        for (int r = 1; r <= 3; ++r) {
            EXPECT_EQ(saved.cell(col::NOME, r), kNames[r - 1]);
            EXPECT_EQ(saved.cell(col::MEMO, r), kMemo);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Window, DamagedTaskFile,
    ::testing::Values(
        Damage{"Semicolons", replaced(goodFile(), "\xA6", ";"), true, "\";\""},
        Damage{"Tabs", replaced(goodFile(), "\xA6", "\t"), true, "tabula"},
        Damage{"Utf8", platform::cp1252ToUtf8(goodFile()), false, "UTF-8"},
        Damage{"ColumnCountShort", "20" + goodFile().substr(2), false, "declara 20 colunas"},
        Damage{"CutMidRow", goodFile().substr(0, goodFile().size() - 30), true, "incompleta"},
        Damage{"NoTitleRow", withoutLine(goodFile(), 3), false, "títulos"},
        Damage{"Empty", "", true, "vazio"},
        Damage{"CountsOnly", "35\r\n4\r\n", true, "linhas de contagem"},
        Damage{"FolderInItsPlace", "<folder>", true, "há uma pasta"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LockFile, AFolderInItsPlaceIsToldAndNoTaskRuns) {
    AppFolder dir;
    dir.write("TARVEX_SISTEMA.TXT", settingsLine(0, 0));
    std::filesystem::create_directories(platform::fsPath(dir.path("TARVEX.LCK")));
    AppProcess app(dir);
    const std::string told = app.answer(IDOK, 60000);
    EXPECT_NE(told.find("TARVEX.LCK"), std::string::npos) << told;
    EXPECT_NE(told.find("nenhuma tarefa"), std::string::npos) << told;
    EXPECT_TRUE(app.ended(20000));
    EXPECT_EQ(logCount(dir, "INI"), 0);
}

}  // namespace
}  // namespace tarvex::testui
