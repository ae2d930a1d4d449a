// A program saving the task table, the settings and a log entry in a loop is
// killed at random moments (TARVEX_KILLS times, 40 unless set). After each kill
// every file reads back as one round whole and the log holds whole entries only;
// at the end the next save of each works.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <random>
#include <sstream>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

#include "platform/files.h"
#include "saving_round.h"
#include "testkit/tempdir.h"

namespace tarvex::faults {
namespace {

[[noreturn]] void saveForever(const std::string& folder, long round) {
    for (;; ++round) {
        saveTasks(folder, round);
        saveSettings(folder, round);
        logEntry(folder, round);
    }
}

int kills() {
    const char* set = std::getenv("TARVEX_KILLS");
    return set ? std::atoi(set) : 40;
}

// A piece of an entry is allowed only where the system itself may cut a write
// that a kill interrupts: at a 4 KB block of the file. The next entry then starts
// on a line of its own.
void expectWholeEntries(const std::string& log, int kill) {
    std::istringstream lines(log);
    size_t offset = 0;
    for (std::string line; std::getline(lines, line);) {
        offset += line.size() + 1;
        const bool ended = !line.empty() && line.back() == '\r';
        if (ended) line.pop_back();
        if (line.empty() || wholeEntry(line)) continue;
        const size_t end = offset - (ended ? 2 : 1);
        EXPECT_EQ(end % 4096, 0u) << "kill " << kill << ": torn entry \"" << line << "\"";
    }
}

TEST(KillWhileSaving, EveryFileIsOneRoundWholeAndTheNextSaveWorks) {
    testkit::TempDir dir;
    const std::string folder = dir.folder();
    std::mt19937 random(std::random_device{}());
    long round = 0;
    for (int kill = 0; kill < kills(); ++kill) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) saveForever(folder, round);
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 30000));
        ::kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        round += 1000;

        if (auto bytes = platform::readFile(folder + tasks::TASK_FILE_NAME))
            EXPECT_TRUE(tasksRound(*bytes).has_value()) << "kill " << kill;
        if (dir.exists(settings::kFileName)) {
            const settings::Settings s = settings::readSettingsFile(folder);
            ASSERT_EQ(s.fontName.substr(0, 1), "F") << "kill " << kill;
            EXPECT_EQ(s.width, 260 + std::stol(s.fontName.substr(1)) % 1000) << "kill " << kill;
        }
        expectWholeEntries(platform::readFile(folder + "LOG_TIMER.TXT").value_or(""), kill);
        if (::testing::Test::HasFailure()) break;
    }
    platform::removeLeftoverTemps(folder);   // as the next start does
    EXPECT_NO_THROW(saveTasks(folder, round));
    EXPECT_EQ(tasksRound(dir.read(tasks::TASK_FILE_NAME)), round);
    saveSettings(folder, round);
    EXPECT_EQ(settings::readSettingsFile(folder).fontName, "F" + std::to_string(round));
    const std::string before = dir.read("LOG_TIMER.TXT");
    logEntry(folder, round);
    const std::string after = dir.read("LOG_TIMER.TXT");
    ASSERT_EQ(after.compare(0, before.size(), before), 0);
    std::string added = after.substr(before.size());
    if (!before.empty() && before.back() != '\n') added.erase(0, 2);   // a torn line was ended first
    ASSERT_GE(added.size(), 2u);
    EXPECT_EQ(added.substr(added.size() - 2), "\r\n");
    EXPECT_TRUE(wholeEntry(added.substr(0, added.size() - 2))) << added;
    EXPECT_NE(added.find("#EXE#R" + std::to_string(round) + " "), std::string::npos) << added;
}

}  // namespace
}  // namespace tarvex::faults
