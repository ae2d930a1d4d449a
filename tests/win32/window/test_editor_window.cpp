// The Tarefas screen of tarvex.exe, driven by control names from another process:
// tasks of several types typed in, chosen from the lists and built with the page
// buttons, saved, and the task file read back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/editor_pages.h"
#include "app/page_builders.h"
#include "platform/files.h"
#include "settings/settings_file.h"
#include "tasks/task_file.h"
#include "tasks/task_store.h"
#include "win32/support/test_ui_driver.h"
#include "win32/window/test_app_process.h"
#include "win32/ui_base.h"

namespace tarvex::testui {
namespace {

// Where a choice stands in the lists, which leave out the free codes ("08 -", "14 -"...).
constexpr int kSend = 8;          // "08 - Enviar para Servidor"
constexpr int kNotes = 9;         // "09 - Observações"
constexpr int kMessage = 10;      // "10 - Mensagem"
constexpr int kManualCall = 14;   // "20 - Chamada Manual"

// The task file as read back, row by row.
struct TaskFile {
    std::vector<std::vector<std::string>> rows;
    int rowCount() const { return static_cast<int>(rows.size()); }
    std::string cell(int c, int r) const {
        return r < rowCount() && c < static_cast<int>(rows[r].size()) ? rows[r][c] : std::string();
    }
};

bool folderExists(const std::string& path) {
    DWORD a = GetFileAttributesW(win32::widen(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

class EditorWindowTest : public ::testing::Test {
protected:
    // The program in a folder of its own, its memo font set to 14 points.
    static void SetUpTestSuite() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder = win32::narrow(std::wstring(temp) + L"tarvex_editor_" + std::to_wstring(GetCurrentProcessId()) + L"\\");
        std::wstring wFolder = win32::widen(folder);
        CreateDirectoryW(wFolder.c_str(), nullptr);
        CopyFileW(productPath().c_str(), (wFolder + L"tarvex.exe").c_str(), FALSE);
        settings::Settings s;
        s.textFontSize = "14";
        settings::writeSettingsFile(folder, s);
        tasks::TaskTable empty;   // seven empty task rows to fill
        empty.setColCount(col::COUNT);
        empty.setRowCount(8);
        taskfile::save(empty, folder + tasks::TASK_FILE_NAME);
        std::wstring line = L"\"" + wFolder + L"tarvex.exe\"";
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, wFolder.c_str(), &si, &child))
            return;
        waitFor([] { return (main = findTopByName("F_TARVEX", child.dwProcessId)) != nullptr; }, 60000);
        waitFor([] { return IsWindowVisible(main) != FALSE; }, 30000);
    }
    static void TearDownTestSuite() {
        if (!child.hProcess) return;
        TerminateProcess(child.hProcess, 1);
        WaitForSingleObject(child.hProcess, 10000);
        CloseHandle(child.hProcess);
        CloseHandle(child.hThread);
    }
    void SetUp() override {
        ASSERT_NE(main, nullptr) << "tarvex.exe did not open its window";
        if (!IsWindowVisible(find("TS_TAREFAS"))) click(find("BU_TAREFAS"));
        ASSERT_TRUE(visible("TS_TAREFAS"));
    }

    HWND find(const std::string& name) {
        HWND h = findByName(main, name);
        EXPECT_NE(h, nullptr) << name;
        return h;
    }
    bool visible(const std::string& name) {
        return waitFor([&] { return IsWindowVisible(find(name)) != FALSE; });
    }
    // The window painted before its picture is taken: the paint is sent, not waited for.
    void paintNow() { RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW); }
    static LRESULT send(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
        DWORD_PTR r = 0;
        SendMessageTimeoutW(h, msg, wp, lp, SMTO_ABORTIFHUNG, 5000, &r);
        return static_cast<LRESULT>(r);
    }
    // A field's text set at once, as a paste does.
    void set(const std::string& name, const std::string& text) {
        std::wstring w = win32::widen(text);
        send(find(name), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(w.c_str()));
    }
    // An item chosen from a drop-down or a list, as the operator's pick does.
    void choose(const std::string& name, int index) {
        HWND h = find(name);
        wchar_t cls[32] = {};
        GetClassNameW(h, cls, 32);
        const bool combo = std::wstring(cls) == L"ComboBox";
        send(h, combo ? CB_SETCURSEL : LB_SETCURSEL, index, 0);
        send(GetParent(h), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), combo ? CBN_SELCHANGE : LBN_SELCHANGE),
             reinterpret_cast<LPARAM>(h));
    }
    void selectRow(int row) {
        send(find("GRID"), RegisterWindowMessageW(L"TARVEX.GridSelect"), 1, row);
    }
    // A click; `wait` false for one that may open a modal box.
    void press(const std::string& name, bool wait = true) {
        if (wait) send(find(name), BM_CLICK, 0, 0);
        else PostMessageW(find(name), BM_CLICK, 0, 0);
    }
    // The general fields of a new task: a name, the type and period picked from their lists.
    void general(int row, const std::string& nome, int tipo, int periodo) {
        selectRow(row);
        set("E_NOME", nome);
        choose("E_TIPO1", tipo);
        if (periodo >= 0) choose("E_PERIODO1", periodo);
    }
    static TaskFile taskFile() {
        tasks::TaskTable g;
        try {
            taskfile::load(g, folder + tasks::TASK_FILE_NAME);
        } catch (...) {
            return {};
        }
        TaskFile f;
        for (int r = 0; r < g.rowCount(); ++r) f.rows.push_back(g.rowCells(r));
        return f;
    }
    // Saves and reads the file back once the click has been handled: reading
    // while the program writes would make its save fail.
    TaskFile save(int row, const std::string& nome) {
        press("BU_TAREFAS_SALVA");
        TaskFile g;
        if (!waitFor([&] { g = taskFile(); return g.rowCount() > row && g.cell(col::NOME, row) == nome; }, 10000))
            ADD_FAILURE() << "not saved; the program says: " << answerBox(2000);
        return g;
    }
    // Another row chosen and the typed changes dropped ("Não").
    void dropChanges() {
        PostMessageW(find("GRID"), RegisterWindowMessageW(L"TARVEX.GridSelect"), 1, 1);
        answerMessageBox(child.dwProcessId, IDNO, 5000);
    }
    // The message box the program shows, its text read and the box closed.
    std::string answerBox(int ms = 10000) { return answerMessageBox(child.dwProcessId, IDOK, ms); }

    static std::string folder;
    static PROCESS_INFORMATION child;
    static HWND main;
};
std::string EditorWindowTest::folder;
PROCESS_INFORMATION EditorWindowTest::child{};
HWND EditorWindowTest::main = nullptr;

TEST_F(EditorWindowTest, EveryControlOfTheEditorIsOnTheScreenByName) {
    app::EditorPages model;
    for (ui::Control* c : model.controls()) find(c->name());
    for (const char* name : {"GRID", "BU_ANOTA_MAIS", "BU_TAREFA_SOBE", "BU_TAREFA_SOBE5", "BU_TAREFA_DESCE",
                             "BU_TAREFA_DESCE5", "BU_MONTAR", "BU_EXCLUI", "BU_TAREFAS_SALVA", "PA_GERAL", "E_NOME",
                             "E_TIPO", "E_TIPO1", "E_PERIODO", "E_PERIODO1", "E_HORA", "E_MSG", "E_ULTEXEC",
                             "CB_PAUSE", "T_EXEC", "BU_REAGENDAR", "LA_E_NOME", "LA_E_TIPO", "LA_E_PERIODO",
                             "LA_E_HORA", "LA_E_MSG", "LA_E_ULTEXEC"})
        find(name);
    RECT grid;
    GetWindowRect(find("GRID"), &grid);
    EXPECT_EQ(grid.right - grid.left, 250);
    EXPECT_EQ(readText(find("BU_TAREFAS_SALVA")), "Salvar");
    EXPECT_EQ(readText(find("LA_E00_EXTENSAO")), "Extensão ao nome do arquivo");
    EXPECT_EQ(readText(find("E_HORA")), "  :  ");
}

TEST_F(EditorWindowTest, ASaveWithoutANameIsRefusedWithItsMessage) {
    selectRow(1);
    set("E_NOME", "   ");
    press("BU_TAREFAS_SALVA", false);
    EXPECT_EQ(answerBox(), "Deve informar o NOME da Tarefa");
}

TEST_F(EditorWindowTest, XcopyTaskTypedAndBuiltIsSavedAsShown) {
    selectRow(1);
    HWND nome = find("E_NOME");
    set("E_NOME", "");
    typeText(nome, "copia diária");
    ASSERT_TRUE(waitFor([&] { return readText(nome) == "COPIA DIÁRIA"; }));
    choose("E_TIPO1", 0);
    EXPECT_EQ(readText(find("E_TIPO")), tasks::TYPE_LABELS[0]);
    EXPECT_TRUE(visible("T00"));
    choose("E_PERIODO1", 0);
    HWND hora = find("E_HORA");
    send(hora, EM_SETSEL, 0, 0);
    typeText(hora, "0915");   // the colon is stepped over
    ASSERT_TRUE(waitFor([&] { return readText(hora) == "09:15"; }));
    set("E00_ORIGEM", "C:\\DADOS\\ORIGEM");
    set("E00_DESTINO", "[PEN]:\\COPIA[EXT]\\");
    typeText(find("E00_PEN"), "e");
    ASSERT_TRUE(waitFor([&] { return readText(find("E00_PEN")) == "E"; }));
    choose("E00_EXTENSAO", 0);
    press("B00_MONTA");
    const std::string line = exec::xcopyLine("C:\\DADOS\\ORIGEM", "[PEN]:\\COPIA[EXT]\\");
    ASSERT_TRUE(waitFor([&] { return readText(find("E00_MEMO")) == line; }));

    TaskFile g = save(1, "COPIA DIÁRIA");
    EXPECT_EQ(g.cell(col::TIPO, 1), tasks::TYPE_LABELS[0]);
    EXPECT_EQ(g.cell(col::PERIODO, 1), tasks::PERIOD_LABELS[0]);
    EXPECT_EQ(g.cell(col::HORA, 1), "09:15");
    EXPECT_EQ(g.cell(col::PAUSE, 1), "N");
    EXPECT_EQ(g.cell(col::DIR_ORIGEM, 1), "C:\\DADOS\\ORIGEM");
    EXPECT_EQ(g.cell(col::DIR_DESTINO, 1), "[PEN]:\\COPIA[EXT]\\");
    EXPECT_EQ(g.cell(col::PEN, 1), "E");
    EXPECT_EQ(g.cell(col::EXTENSAO, 1), app::EXTENSAO_SUGESTOES[0]);
    EXPECT_EQ(g.cell(col::MEMO, 1), tasks::linesToCell(line));
}

TEST_F(EditorWindowTest, TheCommandMemoShowsTheTextFontOfTheSettings) {
    selectRow(1);
    ASSERT_TRUE(visible("T00"));
    HWND memo = find("E00_MEMO");
    SetWindowTextW(memo, L"XCOPY A B\r\nXCOPY C D");   // only the screen's lines are measured
    // The second line's top is the line height: 14 points are at least 18 pixels.
    EXPECT_TRUE(waitFor([&] { return HIWORD(send(memo, EM_POSFROMCHAR, readText(memo).find('\n') + 1, 0)) >= 18; }));
}

TEST_F(EditorWindowTest, ZipTaskCreatesItsFolderAndTakesEveryFileByDefault) {
    general(2, "ZIP DOS DADOS", 6, kManualCall);
    EXPECT_TRUE(visible("T06"));
    const std::string destino = folder + "zip destino";
    set("E06_ORIGEM", folder);
    set("E06_DESTINO", destino);
    set("E06_ARQDEST", "DADOS_[DIA]");
    choose("E06_EXCLUIR1", 1);
    const std::string excluir = readText(find("E06_EXCLUIR"));
    EXPECT_FALSE(excluir.empty());
    TaskFile g = save(2, "ZIP DOS DADOS");
    EXPECT_TRUE(folderExists(destino));
    EXPECT_EQ(readText(find("E06_ARQUIVO")), "*.*");
    EXPECT_EQ(g.cell(col::TIPO, 2), tasks::TYPE_LABELS[6]);
    EXPECT_EQ(g.cell(col::PERIODO, 2), tasks::PERIOD_LABELS[20]);
    EXPECT_EQ(g.cell(col::DIR_ORIGEM, 2), folder);
    EXPECT_EQ(g.cell(col::DIR_DESTINO, 2), destino);
    EXPECT_EQ(g.cell(col::ARQUIVO, 2), "*.*");
    EXPECT_EQ(g.cell(col::ARQDEST, 2), "DADOS_[DIA]");
    EXPECT_EQ(g.cell(col::EXCLUIR, 2), excluir);
}

TEST_F(EditorWindowTest, NoteSavesWithoutPeriodOrHour) {
    general(3, "NOTA", kNotes, -1);
    EXPECT_TRUE(visible("T09"));
    typeText(find("E09_MEMO"), "primeira linha\rsegunda linha");
    ASSERT_TRUE(waitFor([&] { return readText(find("E09_MEMO")) == "primeira linha\r\nsegunda linha"; }));
    TaskFile g = save(3, "NOTA");
    EXPECT_EQ(g.cell(col::TIPO, 3), tasks::TYPE_LABELS[9]);
    EXPECT_EQ(g.cell(col::PERIODO, 3), "");
    EXPECT_EQ(g.cell(col::MEMO, 3), "primeira linha||segunda linha");
}

TEST_F(EditorWindowTest, PowerProgramAndCloseTasksKeepTheirPageValues) {
    general(4, "DESLIGAR", 5, 0);
    ASSERT_TRUE(visible("T05"));
    HWND group = find("T05_FUNCOES");
    HWND option = nullptr;
    for (HWND b = FindWindowExW(group, nullptr, L"Button", nullptr); b; b = FindWindowExW(group, b, L"Button", nullptr))
        if (readText(b) == app::FUNCOES_ITENS[2]) option = b;
    ASSERT_NE(option, nullptr);
    send(option, BM_CLICK, 0, 0);
    EXPECT_EQ(save(4, "DESLIGAR").cell(col::FUNCOES, 4), "2");

    press("BU_ANOTA_MAIS");
    general(5, "PROGRAMA", 3, 0);
    ASSERT_TRUE(visible("T03"));
    set("E03_EXECUTAVEL", "C:\\windows\\notepad.exe");
    typeText(find("E03_PEN"), "f");
    ASSERT_TRUE(waitFor([&] { return readText(find("E03_PEN")) == "F"; }));
    TaskFile g = save(5, "PROGRAMA");
    EXPECT_EQ(g.cell(col::EXECUTAVEL, 5), "C:\\windows\\notepad.exe");
    EXPECT_EQ(g.cell(col::PEN, 5), "F");

    general(6, "FECHAR", 4, 0);
    ASSERT_TRUE(visible("T04"));
    set("T04_EXECUTAVEL", "Bloco de Notas");
    EXPECT_EQ(save(6, "FECHAR").cell(col::EXECUTAVEL, 6), "Bloco de Notas");
}

TEST_F(EditorWindowTest, MovingATaskDownRewritesBothRows) {
    selectRow(1);
    press("BU_TAREFA_DESCE");
    TaskFile g;
    ASSERT_TRUE(waitFor([&] { g = taskFile(); return g.rowCount() > 2 && g.cell(col::NOME, 2) == "COPIA DIÁRIA"; }));
    EXPECT_EQ(g.cell(col::NOME, 1), "ZIP DOS DADOS");
    EXPECT_EQ(readText(find("E_NOME")), "COPIA DIÁRIA");   // the moved task stays in the editor
}

// The main window's picture as a BMP file, for a person to look at.
void saveWindowPicture(HWND w, const std::wstring& path) {
    RECT rc;
    GetWindowRect(w, &rc);
    const int width = rc.right - rc.left, height = rc.bottom - rc.top;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(dc, bmp);
    BitBlt(dc, 0, 0, width, height, screen, rc.left, rc.top, SRCCOPY);
    SelectObject(dc, old);
    BITMAPINFOHEADER bi{};
    bi.biSize = sizeof(bi);
    bi.biWidth = width;
    bi.biHeight = height;
    bi.biPlanes = 1;
    bi.biBitCount = 24;
    const DWORD stride = ((width * 3 + 3) / 4) * 4;
    std::vector<char> pixels(static_cast<size_t>(stride) * height);
    GetDIBits(dc, bmp, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
    BITMAPFILEHEADER fh{0x4D42, static_cast<DWORD>(sizeof(fh) + sizeof(bi) + pixels.size()), 0, 0,
                        sizeof(fh) + sizeof(bi)};
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD n = 0;
    WriteFile(f, &fh, sizeof(fh), &n, nullptr);
    WriteFile(f, &bi, sizeof(bi), &n, nullptr);
    WriteFile(f, pixels.data(), static_cast<DWORD>(pixels.size()), &n, nullptr);
    CloseHandle(f);
    DeleteObject(bmp);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

TEST_F(EditorWindowTest, AnHourIsTypedAsTheOperatorWritesIt) {
    HWND hora = find("E_HORA");
    for (const char* typed : {"8:30", "0830", "8h30"}) {
        set("E_HORA", "");
        send(hora, EM_SETSEL, 0, 0);
        typeText(hora, typed);
        EXPECT_TRUE(waitFor([&] { return readText(hora) == "08:30"; })) << typed << " shows " << readText(hora);
    }
    dropChanges();
}

// Esc in the command box once closed the whole page; Tab stayed in it as a tab.
TEST_F(EditorWindowTest, EscKeepsTheXcopyPageAndTabLeavesTheCommandBox) {
    general(5, "TECLADO", 0, 0);
    ASSERT_TRUE(visible("T00"));
    HWND memo = find("E00_MEMO");
    click(memo);
    PostMessageW(memo, WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageW(memo, WM_CHAR, VK_ESCAPE, 1);
    typeText(memo, "x");   // behind the Esc and whatever it posted
    ASSERT_TRUE(waitFor([&] { return readText(memo) == "x"; }));
    typeText(memo, "y");
    ASSERT_TRUE(waitFor([&] { return readText(memo) == "xy"; }));
    EXPECT_TRUE(IsWindow(find("T00")) && IsWindowVisible(find("T00")));

    GUITHREADINFO gui{sizeof(gui)};
    auto focus = [&] { return GetGUIThreadInfo(child.dwThreadId, &gui) ? gui.hwndFocus : nullptr; };
    ASSERT_TRUE(waitFor([&] { return focus() == memo; }));
    pressKey(memo, VK_TAB);
    EXPECT_TRUE(waitFor([&] { return focus() != memo; })) << "Tab stays in the command box";
    EXPECT_EQ(readText(memo), "xy");

    // Tab on the general panel follows the screen, left to right, row by row.
    std::vector<std::string> order;
    HWND at = find("E_NOME");
    for (int i = 0; i < 7 && at; ++i, at = GetNextDlgTabItem(main, at, FALSE)) order.push_back(win32::controlName(at));
    EXPECT_EQ(order, (std::vector<std::string>{"E_NOME", "E_TIPO", "E_TIPO1", "E_HORA", "E_PERIODO", "E_PERIODO1",
                                               "E_MSG"}));
    dropChanges();
}

// The folders picked and "Monta as tarefas" forgotten: the save builds the line,
// or names what is missing.
TEST_F(EditorWindowTest, AnXcopyTaskSavedWithoutCommandsGetsThemBuilt) {
    general(6, "SEM COMANDOS", 0, kManualCall);
    set("E00_ORIGEM", "C:\\DADOS");
    set("E00_DESTINO", "");
    press("BU_TAREFAS_SALVA", false);
    EXPECT_NE(answerBox().find("pasta de DESTINO"), std::string::npos);
    set("E00_DESTINO", "D:\\COPIA\\");
    TaskFile g = save(6, "SEM COMANDOS");
    EXPECT_EQ(g.cell(col::MEMO, 6), tasks::linesToCell(exec::xcopyLine("C:\\DADOS", "D:\\COPIA\\")));
}

TEST_F(EditorWindowTest, FolderFileBackupAndMessageTasksKeepTheirPageValues) {
    press("BU_ANOTA_MAIS");
    press("BU_ANOTA_MAIS");

    general(11, "PASTAS", 1, 1);
    ASSERT_TRUE(visible("T01"));
    set("E_HORA", "07:30");
    // A memo is typed: setting a multi-line box's text from outside tells it nothing.
    const std::string pairs = "C:\\A ===>> D:\\A";
    typeText(find("E01_MEMO"), pairs);
    ASSERT_TRUE(waitFor([&] { return readText(find("E01_MEMO")) == pairs; }));
    TaskFile g = save(11, "PASTAS");
    EXPECT_EQ(g.cell(col::TIPO, 11), tasks::TYPE_LABELS[1]);
    EXPECT_EQ(g.cell(col::PERIODO, 11), tasks::PERIOD_LABELS[1]);
    EXPECT_EQ(g.cell(col::HORA, 11), "07:30");
    EXPECT_EQ(g.cell(col::MEMO, 11), tasks::linesToCell(pairs));

    general(12, "ARQUIVOS", 2, 0);
    ASSERT_TRUE(visible("T02"));
    set("E02_ORIGEM", folder);
    set("E02_DESTINO", "D:\\DESTINO\\");
    set("E02_ARQUIVO", "*.TXT");
    g = save(12, "ARQUIVOS");
    EXPECT_EQ(g.cell(col::DIR_ORIGEM, 12), folder);
    EXPECT_EQ(g.cell(col::DIR_DESTINO, 12), "D:\\DESTINO\\");
    EXPECT_EQ(g.cell(col::ARQUIVO, 12), "*.TXT");

    // The backup page wants GBAK.EXE where it says the tool is.
    CreateDirectoryW(win32::widen(folder + "gbak").c_str(), nullptr);
    CloseHandle(CreateFileW(win32::widen(folder + "gbak\\GBAK.EXE").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    general(13, "BACKUP", 7, 0);
    ASSERT_TRUE(visible("T07"));
    set("E07_PASTAEXE", folder + "gbak");
    set("E07_ARQUIVO", "C:\\DADOS\\LOJA.FDB");
    typeText(find("E07_MEMO"), "GBAK -b C:\\DADOS\\LOJA.FDB D:\\LOJA.FBK");
    ASSERT_TRUE(waitFor([&] { return readText(find("E07_MEMO")) == "GBAK -b C:\\DADOS\\LOJA.FDB D:\\LOJA.FBK"; }));
    g = save(13, "BACKUP");
    EXPECT_EQ(g.cell(col::PASTA_EXE, 13), folder + "gbak");
    EXPECT_EQ(g.cell(col::ARQUIVO, 13), "C:\\DADOS\\LOJA.FDB");
    EXPECT_EQ(g.cell(col::MEMO, 13), "GBAK -b C:\\DADOS\\LOJA.FDB D:\\LOJA.FBK");

    general(14, "AVISO", kMessage, 1);
    set("E_HORA", "12:00");
    set("E_MSG", "Hora do almoço");
    g = save(14, "AVISO");
    EXPECT_EQ(g.cell(col::TIPO, 14), tasks::TYPE_LABELS[10]);
    EXPECT_EQ(g.cell(col::MENSAGEM, 14), "Hora do almoço");
}

// The address is checked before the save; the password reaches the file only protected.
TEST_F(EditorWindowTest, ASendTaskKeepsItsServerAndItsPasswordOnlyProtected) {
    general(7, "ENVIO", kSend, kManualCall);
    ASSERT_TRUE(visible("T08"));
    set("E08_ORIGEM", folder);
    set("E08_SERVIDOR", "http://srv/copias");
    press("BU_TAREFAS_SALVA", false);
    EXPECT_NE(answerBox().find("deve começar com ftp://"), std::string::npos);
    set("E08_SERVIDOR", "ftp://127.0.0.1:1//copias");
    set("E08_USUARIO", "dono");
    set("E08_SENHA", "segredo-do-ftp");
    set("E08_MANTER", "3");
    set("E08_LIMITE", "60");
    press("B08_TESTAR");
    EXPECT_TRUE(waitFor([&] { return readText(find("E08_TESTE")).rfind("Falhou: ", 0) == 0; }, 30000))
        << readText(find("E08_TESTE"));   // nothing listens on port 1
    const TaskFile g = save(7, "ENVIO");
    std::vector<std::string> cells;
    for (int c : {col::TIPO, col::DIR_ORIGEM, col::ARQUIVO, col::DIR_DESTINO, col::USUARIO_SERVIDOR, col::MANTER,
                  col::LIMITE_SERVIDOR})
        cells.push_back(g.cell(c, 7));
    EXPECT_EQ(cells, (std::vector<std::string>{tasks::TYPE_LABELS[8], folder, "*.ZIP", "ftp://127.0.0.1:1//copias",
                                               "dono", "3", "60"}));
    EXPECT_NE(g.cell(col::SENHA_SERVIDOR, 7), "");
    EXPECT_EQ(platform::readFile(folder + tasks::TASK_FILE_NAME).value_or("segredo-do-ftp").find("segredo-do-ftp"),
              std::string::npos);
}

// Pictures of the screen with each type's page, when TARVEX_SHOTS names a folder.
TEST_F(EditorWindowTest, ZPicturesOfEveryTypePage) {
    wchar_t dir[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"TARVEX_SHOTS", dir, MAX_PATH)) GTEST_SKIP() << "TARVEX_SHOTS not set";
    selectRow(7);
    for (int tipo = 0; tipo <= kMessage; ++tipo) {
        choose("E_TIPO1", tipo);
        if (tipo < kNotes) visible("T0" + std::to_string(tipo));
        if (tipo == kNotes) visible("T09");   // "10" keeps the page in view
        paintNow();
        saveWindowPicture(main, std::wstring(dir) + L"\\tipo" + std::to_wstring(tipo) + L".bmp");
    }
    choose("E_TIPO1", 6);
    RECT before;
    GetWindowRect(main, &before);
    SetWindowPos(main, nullptr, 0, 0, 1200, 900, SWP_NOZORDER | SWP_NOMOVE);
    paintNow();
    saveWindowPicture(main, std::wstring(dir) + L"\\larger.bmp");
    SetWindowPos(main, nullptr, 0, 0, before.right - before.left, before.bottom - before.top, SWP_NOZORDER | SWP_NOMOVE);
}

}  // namespace
}  // namespace tarvex::testui
