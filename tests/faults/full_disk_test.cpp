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
    logEntry(folder, 2);
    EXPECT_EQ(dir.read(tasks::TASK_FILE_NAME), tasksBefore);
    EXPECT_EQ(dir.read(settings::kFileName), settingsBefore);
    EXPECT_EQ(dir.read("LOG_TIMER.TXT"), std::string(4094, 'x') + "\r\n");

    std::filesystem::remove(dir.path() / "filler");
    saveTasks(folder, 3);
    EXPECT_EQ(tasksRound(dir.read(tasks::TASK_FILE_NAME)), 3);
    logEntry(folder, 3);
    EXPECT_NE(dir.read("LOG_TIMER.TXT").find("#EXE#R3 "), std::string::npos);
}

}  // namespace
}  // namespace tarvex::faults
