// The real main window on the virtual clock: a sleep over a task's hour followed by
// Windows' resume message runs the missed task once; a clock corrected while the
// program waits re-arms the timer from the new time; a pen drive named by its label
// is waited for, then mapped in Wine's mount manager and announced, and the task runs.
#include <windows.h>
#include <winioctl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "lib/routines.h"
#include "win32/main_window.h"
#include "win32/support/tasks_fixture.h"
#include "win32/support/test_ui_driver.h"

namespace tarvex::win32test {
namespace {

// A removable drive mapped onto a folder through Wine's mount manager, the way its
// configuration tool maps one; the label is read from ".windows-label" in the folder.
class WineDrive {
public:
    explicit WineDrive(const std::string& folder) {
        using Unix = char*(CDECL*)(const wchar_t*);
        auto toUnix = reinterpret_cast<Unix>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name"));
        const DWORD used = GetLogicalDrives();
        for (wchar_t l = L'P'; l <= L'Y' && !letter; ++l)
            if (!(used & (1u << (l - L'A')))) letter = l;
        char* unixPath = toUnix ? toUnix(win32::widen(folder).c_str()) : nullptr;
        if (letter && unixPath) mapped = define(unixPath);
        if (unixPath) HeapFree(GetProcessHeap(), 0, unixPath);
    }
    ~WineDrive() {
        if (mapped) define(nullptr);
    }
    wchar_t letter = 0;
    bool mapped = false;

private:
    struct Request {   // the mount manager's own layout
        ULONG size, type, fsType;
        DWORD serial;
        ULONGLONG unixDev;
        WCHAR letter;
        USHORT mountPointOffset, deviceOffset, labelOffset;
    };
    bool define(const char* unixPath) {
        HANDLE manager = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (manager == INVALID_HANDLE_VALUE) return false;
        std::vector<char> bytes(sizeof(Request) + (unixPath ? std::strlen(unixPath) + 1 : 0));
        auto* r = reinterpret_cast<Request*>(bytes.data());
        r->size = static_cast<ULONG>(bytes.size());
        r->type = DRIVE_REMOVABLE;
        r->letter = static_cast<WCHAR>(letter + (L'a' - L'A'));
        if (unixPath) {
            std::strcpy(bytes.data() + sizeof(Request), unixPath);
            r->mountPointOffset = sizeof(Request);
        }
        constexpr DWORD kDefineUnixDrive = CTL_CODE(0x6D, 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
        DWORD n = 0;
        const BOOL ok = DeviceIoControl(manager, kDefineUnixDrive, bytes.data(), static_cast<DWORD>(bytes.size()),
                                        nullptr, 0, &n, nullptr);
        CloseHandle(manager);
        return ok != FALSE;
    }
};

class PcClockWindow : public TasksTest {
protected:
    PcClockWindow() : TasksTest(at(2026, 12, 9, 7, 0, 0)) {}

    void SetUp() override {
        TasksTest::SetUp();
        writeTasks({{{col::NOME, "AVISO"}, {col::TIPO, "10 - Mensagem"}, {col::PERIODO, DAILY},
                     {col::HORA, "08:00"}, {col::MENSAGEM, "Bom dia"}}});
        form = std::make_unique<app::MainForm>(app::Wiring{services, param, param + "tarvex.exe"});
        window = std::make_unique<win32::MainWindow>(*form);
        form->startUp();
    }
    void TearDown() override {
        window.reset();
        TasksTest::TearDown();
    }
    std::string shown(const std::string& control) {
        return testui::readText(testui::findByName(window->hwnd(), control));
    }
    void send(UINT msg, WPARAM wp) { SendMessageW(window->hwnd(), msg, wp, 0); }

    std::unique_ptr<win32::MainWindow> window;
};

TEST_F(PcClockWindow, AResumeAfterASleepOverTheHourRunsTheMissedTaskOnce) {
    EXPECT_EQ(shown("E_PROX_INTERVALO"), "3600");
    clock.set(at(2026, 12, 9, 8, 30, 0));   // asleep from 07:00: no timer fired meanwhile
    send(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC);
    EXPECT_TRUE(testui::waitFor([&] { return !runEvents().empty(); }, 60000));
    send(WM_POWERBROADCAST, PBT_APMRESUMESUSPEND);
    EXPECT_EQ(shown("E_PROX_NOME"), "Sem tarefas para o dia");
    EXPECT_EQ(runEvents(), std::vector<std::string>{"EXE AVISO >> Bom dia"});
}

TEST_F(PcClockWindow, AChangedClockReArmsTheTimerFromTheNewTime) {
    struct Change { LocalTime to; const char* wait; };
    for (const Change& c : {Change{at(2026, 12, 9, 7, 50, 0), "600"}, Change{at(2026, 12, 9, 6, 0, 0), "7200"}}) {
        clock.set(c.to);
        send(WM_TIMECHANGE, 0);
        EXPECT_EQ(shown("E_PROX_INTERVALO"), c.wait);
        EXPECT_EQ(form->TIMER1.interval(), std::stoi(c.wait) * 1000);
    }
    EXPECT_TRUE(runEvents().empty());
}

class PenByLabelWindow : public TasksTest {
protected:
    PenByLabelWindow() : TasksTest(at(2026, 12, 9, 8, 30, 0)) {}
};

// The waiting task is moved one row down meanwhile: its wait goes with it.
TEST_F(PenByLabelWindow, AMissingLabelWaitsAcrossAMoveAndTheMappedDriveRunsTheTask) {
    dir.write("dados\\a.txt", "alfa");
    dir.write("pen\\.windows-label", "TARVEXPEN\n");
    writeTasks({{{col::NOME, "COPIA PEN"}, {col::TIPO, "02 - Copiar Arquivo"}, {col::PERIODO, DAILY},
                 {col::HORA, "08:00"}, {col::PEN, "tarvexpen"}, {col::DIR_ORIGEM, dir.path("dados\\")},
                 {col::ARQUIVO, "*.txt"}, {col::DIR_DESTINO, "[PEN]:\\copia\\"}},
                {{col::NOME, "NOTA"}, {col::TIPO, "09 - Observações"}, {col::PERIODO, DAILY}}});
    form = std::make_unique<app::MainForm>(app::Wiring{services, param, param + "tarvex.exe"});
    win32::MainWindow window(*form);
    form->startUp();
    const auto send = [&](UINT msg, WPARAM wp) { SendMessageW(window.hwnd(), msg, wp, 0); };

    send(WM_TIMECHANGE, 0);   // the overdue task is taken up in ten seconds rather than thirty
    ASSERT_TRUE(testui::waitFor([&] { return form->TrayIcon1.balloonCount() > 0; }, 60000));
    EXPECT_EQ(form->TrayIcon1.balloon().text, "Insira o pen drive tarvexpen para a tarefa COPIA PEN");
    EXPECT_TRUE(runEvents().empty());

    form->editor().BU_TAREFA_DESCE.click();   // the editor shows row 1, the waiting task
    ASSERT_EQ(tarvex::trim(form->table().cell(col::NOME, 2)), "COPIA PEN");
    send(WM_TIMECHANGE, 0);
    std::vector<std::string> waiting;   // the cover's rows that show a wait: the task's new number
    ASSERT_TRUE(testui::waitFor([&] {
        waiting.clear();
        for (int r = 1; r < form->GRID_C.rowCount(); ++r)
            if (form->GRID_C.cell(3, r) == "AGUARDANDO o pen drive tarvexpen") waiting.emplace_back(form->GRID_C.cell(0, r));
        return waiting == std::vector<std::string>{"02"};
    }, 30000)) << (waiting.empty() ? "no wait shown" : waiting[0]);
    EXPECT_EQ(form->TrayIcon1.balloonCount(), 1) << "asked again after the move";

    WineDrive drive(dir.path("pen"));
    ASSERT_TRUE(drive.mapped) << "the mount manager did not map the drive";
    send(WM_DEVICECHANGE, 0x8000 /* a device arrived */);
    ASSERT_TRUE(testui::waitFor([&] { return !runEvents().empty(); }, 60000));
    EXPECT_EQ(runEvents(), std::vector<std::string>{"EXE COPIA PEN >> 1 arquivo conferido"});
    EXPECT_EQ(dir.read("pen\\copia\\a.txt"), "alfa");
}

}  // namespace
}  // namespace tarvex::win32test
