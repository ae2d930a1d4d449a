// The real window while a ten-second batch runs: it keeps answering messages and
// shows what runs for how long; Windows' end of session waits for the run, then
// ends the program without a question, the end logged. And while a ZIP archive
// of about 100 MB is written: it answers and shows how far the packing is.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "tasks/columns.h"
#include "tasks/task_file.h"
#include "tasks/task_store.h"
#include "ui/controls.h"
#include "win32/window/test_app_process.h"

namespace tarvex::testui {
namespace {

class PcEventsWindow : public ::testing::Test {
protected:
    void SetUp() override {
        dir.write("TARVEX_SISTEMA.TXT", settingsLine(0, 0));
        tasks::TaskTable g;
        g.setColCount(col::COUNT);
        g.setRowCount(3);
        tasks::numberRows(g);
        g.setCell(col::NOME, 1, "DEMORADA");
        g.setCell(col::TIPO, 1, "00 - XCOPY - Copia Arq.");
        g.setCell(col::PERIODO, 1, "01 - Todos os Dias");
        g.setCell(col::HORA, 1, "00:01");   // overdue: it runs about 30 s after the start
        g.setCell(col::MEMO, 1, "ping -n 11 127.0.0.1 >NUL");
        taskfile::save(g, dir.path(tasks::TASK_FILE_NAME));
    }
    bool answers(UINT msg, WPARAM wp, DWORD_PTR& result, UINT ms) {
        return SendMessageTimeoutW(app.window(), msg, wp, 0, SMTO_ABORTIFHUNG, ms, &result) != 0;
    }

    AppFolder dir;
    AppProcess app{dir};
};

TEST_F(PcEventsWindow, ALongBatchLeavesTheWindowAliveAndTheSessionEndsCleanly) {
    ASSERT_NE(app.window(), nullptr);
    ASSERT_TRUE(waitFor([&] { return readText(app.find("LA_MSG")).rfind("Executando", 0) == 0; }, 120000));

    int slow = 0, probes = 0;
    bool shownTime = false, sessionHeld = false;
    while (logCount(dir, "EXE") == 0 && probes < 600) {
        DWORD_PTR r = 0;
        ++probes;
        if (!answers(WM_NULL, 0, r, 200)) ++slow;
        shownTime = shownTime || readText(app.find("LA_MSG")).find("DEMORADA - 00:0") != std::string::npos;
        if (!sessionHeld && answers(WM_QUERYENDSESSION, 0, r, 2000)) sessionHeld = r == FALSE;
        waitFor([] { return false; }, 100);
    }
    EXPECT_EQ(logCount(dir, "EXE"), 1);
    EXPECT_GT(probes, 20) << "the batch did not run long enough to tell";
    EXPECT_EQ(slow, 0) << "the window did not answer within 200 ms during the run";
    EXPECT_TRUE(shownTime);
    EXPECT_TRUE(sessionHeld) << "Windows was not asked to wait for the running task";

    DWORD_PTR r = 0;
    ASSERT_TRUE(waitFor([&] { return answers(WM_QUERYENDSESSION, 0, r, 2000) && r == TRUE; }, 30000));
    answers(WM_ENDSESSION, TRUE, r, 10000);
    EXPECT_EQ(logCount(dir, "TER"), 1);
    EXPECT_NE(dir.read(tasks::TASK_FILE_NAME).value_or("").find("DEMORADA"), std::string::npos);
}

// The folder, the files and the task are ready before the program starts.
struct ZipTaskFolder {
    static constexpr int kFiles = 300;
    explicit ZipTaskFolder(AppFolder& dir) {
        dir.write("TARVEX_SISTEMA.TXT", settingsLine(0, 0));
        const std::filesystem::path source = std::filesystem::path(win32::widen(dir.folder() + "orig"));
        std::filesystem::create_directories(source / L"sub");
        std::mt19937 gen(7);
        for (int i = 0; i < kFiles; ++i) {
            std::string data;
            if (i % 2) {
                data.resize(320 << 10);
                for (char& c : data) c = static_cast<char>(gen() >> 24);
            } else {
                while (data.size() < (320u << 10)) data += "registro " + std::to_string(gen() % 100000) + ";OK\r\n";
            }
            std::ofstream(source / (i % 3 ? L"sub" : L".") / (L"f" + std::to_wstring(i) + L".dat"), std::ios::binary)
                << data;
        }
        tasks::TaskTable g;
        g.setColCount(col::COUNT);
        g.setRowCount(2);
        tasks::numberRows(g);
        g.setCell(col::NOME, 1, "ZIPADA");
        g.setCell(col::TIPO, 1, "06 - WINZIP");
        g.setCell(col::PERIODO, 1, "01 - Todos os Dias");
        g.setCell(col::HORA, 1, "00:01");   // overdue: it runs about 30 s after the start
        g.setCell(col::DIR_ORIGEM, 1, dir.folder() + "orig");
        g.setCell(col::DIR_DESTINO, 1, dir.folder() + "dest\\");
        g.setCell(col::ARQDEST, 1, "PACOTE");
        taskfile::save(g, dir.path(tasks::TASK_FILE_NAME));
    }
};

class ZipWindow : public ::testing::Test {
protected:
    bool answers(UINT msg, WPARAM wp, DWORD_PTR& result, UINT ms) {
        return SendMessageTimeoutW(app.window(), msg, wp, 0, SMTO_ABORTIFHUNG, ms, &result) != 0;
    }
    AppFolder dir;
    ZipTaskFolder files{dir};
    AppProcess app{dir};
};

TEST_F(ZipWindow, TheWindowAnswersAndShowsTheProgressWhileTheArchiveIsWritten) {
    ASSERT_NE(app.window(), nullptr);
    ASSERT_TRUE(waitFor([&] { return readText(app.find("LA_MSG")).rfind("Compactando ZIPADA: ", 0) == 0; }, 120000))
        << readText(app.find("LA_MSG"));
    const std::string shown = readText(app.find("LA_MSG"));
    EXPECT_NE(shown.find(" de 300 arquivos ("), std::string::npos) << shown;

    int slow = 0, probes = 0;
    while (logCount(dir, "EXE") + logCount(dir, "ERR") == 0 && probes < 3000) {
        DWORD_PTR r = 0;
        ++probes;
        if (!answers(WM_NULL, 0, r, 200)) ++slow;
        waitFor([] { return false; }, 20);
    }
    EXPECT_EQ(logCount(dir, "EXE"), 1);
    EXPECT_GT(probes, 10) << "the archive was written too fast to tell";
    EXPECT_EQ(slow, 0) << "the window did not answer within 200 ms while the archive was written";
    EXPECT_GT(dir.read("dest\\PACOTE.ZIP").value_or("").size(), std::size_t{40} << 20);
    EXPECT_TRUE(waitFor([&] { return readText(app.find("LA_MSG")).rfind("Compactando", 0) != 0; }, 30000))
        << "the progress stayed after the run";
}

}  // namespace
}  // namespace tarvex::testui
