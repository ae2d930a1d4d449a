// A full disk: a small file system mounted for the test (skipped where the test
// may not mount one). Each save fails with the system's reason and leaves the
// old file; once there is room again the next save works.
#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>

#include <sys/mount.h>

#include "lib/errors.h"
#include "platform/files.h"
#include "saving_round.h"
#include "testkit/operator.h"
#include "testkit/tempdir.h"

namespace tarvex::faults {
namespace {

class FullDisk : public ::testing::Test {
protected:
    void SetUp() override {
        if (::mount("tmpfs", dir.path().c_str(), "tmpfs", 0, "size=128k") != 0)
            GTEST_SKIP() << "no small file system may be mounted here";
        mounted = true;
    }
    void TearDown() override {
        if (mounted) ::umount2(dir.path().c_str(), MNT_DETACH);
    }
    // Fills the disk to its last byte.
    void fill() {
        std::ofstream filler(dir.path() / "filler", std::ios::binary);
        const std::string block(512, 'f');
        while (filler.write(block.data(), block.size()) && filler.flush()) {}
        filler.close();
    }
    testkit::TempDir dir;
    bool mounted = false;
    testkit::ScriptedOperator op;
    testkit::OperatorScope scope{op};
};

TEST_F(FullDisk, EachSaveFailsWithTheReasonAndLeavesTheOldFile) {
    const std::string folder = dir.folder();
    saveTasks(folder, 1);
    saveSettings(folder, 1);
    dir.write("LOG_TIMER.TXT", std::string(4094, 'x') + "\r\n");   // a whole block: an entry needs a new one
    const std::string tasksBefore = dir.read(tasks::TASK_FILE_NAME), settingsBefore = dir.read(settings::kFileName);
    fill();

    const std::string full = platform::systemMessage(platform::diskFull());
    try {
        saveTasks(folder, 2);
        ADD_FAILURE() << "the task file was saved on a full disk";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find(full), std::string::npos) << e.what();
    }
    saveSettings(folder, 2);
    ASSERT_FALSE(op.messages().empty());
    EXPECT_NE(op.messages().back().find(full), std::string::npos) << op.messages().back();
    // The log keeps what it could not write, says so once, and writes it, in
    // order, with the first entry there is room for.
    RunContext context;
    context.HORA_INICIO = "08:00:00";
    log::Log log(folder, context);
    std::vector<std::string> logTold;
    log.onUnwritten = [&](const std::string& text) { logTold.push_back(text); };
    for (const char* entry : {"R2a", "R2b"}) log.addEntry(1, "EXE", entry);
    ASSERT_EQ(logTold.size(), 1u);
    EXPECT_NE(logTold[0].find(full), std::string::npos) << logTold[0];
    EXPECT_EQ(dir.read(tasks::TASK_FILE_NAME), tasksBefore);
    EXPECT_EQ(dir.read(settings::kFileName), settingsBefore);
    EXPECT_EQ(dir.read("LOG_TIMER.TXT"), std::string(4094, 'x') + "\r\n");

    std::filesystem::remove(dir.path() / "filler");
    saveTasks(folder, 3);
    EXPECT_EQ(tasksRound(dir.read(tasks::TASK_FILE_NAME)), 3);
    log.addEntry(1, "EXE", "R3");
    const std::string written = dir.read("LOG_TIMER.TXT");
    EXPECT_LT(written.find("#EXE#R2a#"), written.find("#EXE#R2b#"));
    EXPECT_LT(written.find("#EXE#R2b#"), written.find("#EXE#R3#"));
    EXPECT_NE(written.find("#EXE#R3#"), std::string::npos);
    EXPECT_EQ(logTold.size(), 2u);
}

}  // namespace
}  // namespace tarvex::faults
