#pragma once
// How a task reaches the operating system: run a command line and wait for it,
// run a command through a batch file, copy a folder or files with the shell.
#include <string>

#include "platform/services.h"

namespace tarvex::exec {

class CommandRunner {
public:
    // `exeFolder`: the folder of the program's executable, with its trailing
    // separator; "ArqBat.Bat" is written there.
    CommandRunner(platform::Services& services, std::string exeFolder)
        : services_(services), exeFolder_(std::move(exeFolder)) {}

    // Runs the cleaned command line in a new console and waits for it, up to the
    // time limit. The line is passed whole, however long.
    platform::ProcessEnd runCommandLine(const std::string& command, int show);
    // A text naming a ".BAT" runs as it is; any other command is written as the
    // one line of "ArqBat.Bat" and that file is run.
    platform::ProcessEnd runBatchCommand(const std::string& command, int show);
    // Runs a batch file by its full path in quotes, so a folder such as
    // "C:\P&D\TARVEX" stays one name, and waits for it.
    platform::ProcessEnd runBatchFile(const std::string& path, int show);
    // Copies a folder into another; why it was not copied. Past the time limit the
    // error's code is std::errc::timed_out (so for copyFiles).
    platform::IoResult copyFolder(const std::string& source, const std::string& destination);
    // Copies a file or a mask into a folder; mode "1" answers the shell's
    // questions with yes.
    platform::IoResult copyFiles(const std::string& source, const std::string& destination,
                                         const std::string& mode);

    const std::string& exeFolder() const { return exeFolder_; }
    // How long a command may run before it is ended with what it started; 0: no limit.
    void setTimeLimit(int seconds) { limitSeconds_ = seconds > 0 ? seconds : 0; }
    int timeLimit() const { return limitSeconds_; }

private:
    platform::Services& services_;
    std::string exeFolder_;
    int limitSeconds_ = 0;
};

}  // namespace tarvex::exec
