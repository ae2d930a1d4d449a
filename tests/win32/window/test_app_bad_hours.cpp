// tarvex.exe started with twenty tasks whose hours are no time of day: one box
// lists them all, and it comes once the main window is on the screen.
#include <vector>

#include "app/main_form.h"
#include "tasks/columns.h"
#include "test_app_process.h"
#include "testkit/task_file.h"

namespace tarvex::testui {
namespace {

void writeBadHours(const AppFolder& dir) {
    testkit::TaskFile writer(dir.folder());
    writer.taskStore().load();
    writer.table().setRowCount(22);
    for (int row = 1; row <= 20; ++row) {
        writer.table().setCell(col::NOME, row, "TAREFA");
        writer.table().setCell(col::TIPO, row, "10 - Mensagem");
        writer.table().setCell(col::PERIODO, row, "01 - Todos os Dias");
        writer.table().setCell(col::HORA, row, "25:00");
    }
    writer.taskStore().save();
}

// The message boxes the program `pid` has open.
std::vector<HWND> boxesOf(DWORD pid) {
    std::vector<HWND> boxes;
    for (HWND h = FindWindowW(L"#32770", nullptr); h; h = FindWindowExW(nullptr, h, L"#32770", nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        if (owner == pid && IsWindowVisible(h)) boxes.push_back(h);
    }
    return boxes;
}

TEST(BadHoursAtStartUp, OneBoxListsThemAllOnceTheWindowIsUp) {
    AppFolder dir;
    dir.write("TARVEX_SISTEMA.TXT", settingsLine(0, 0));
    writeBadHours(dir);
    AppProcess app(dir);
    std::vector<HWND> boxes;
    ASSERT_TRUE(waitFor([&] { return !(boxes = boxesOf(app.pid())).empty(); }, 60000));
    HWND main = app.window(0);
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(IsWindowVisible(main));   // the box came after the window
    EXPECT_EQ(boxes.size(), 1u);
    const std::string text = readText(GetDlgItem(boxes[0], 0xFFFF));
    for (const char* item : {"01 (25:00)", "20 (25:00)"}) EXPECT_NE(text.find(item), std::string::npos) << text;
    PostMessageW(GetDlgItem(boxes[0], IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(waitFor([&] { return boxesOf(app.pid()).empty(); }, 10000));
    EXPECT_TRUE(app.textBecomes("E_PROX_NOME", "Sem tarefas para o dia"));
}

}  // namespace
}  // namespace tarvex::testui
