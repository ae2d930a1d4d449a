#pragma once
// Runs one task of the task table, from the confirmation to the stamp, the log
// entry and the task file.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "exec/exec_host.h"
#include "lib/run_context.h"
#include "exec/runner.h"
#include "lib/datetime.h"
#include "log/log.h"
#include "platform/services.h"
#include "tasks/task_runner.h"
#include "tasks/schedule_state.h"
#include "tasks/task_types.h"

namespace tarvex::exec {

struct ZipJob;
struct ZipLeftOut;
struct SendJob;
struct SendOutcome;

class Executor : public tasks::TaskRunner {
public:
    Executor(tasks::TaskTable& table, RunContext& context, tasks::ScheduleState& state, ExecHost& host,
             log::Log& log, CommandRunner& runner, platform::Services& services)
        : GRID_(table), ctx_(context), state_(state), host_(host), log_(log), runner_(runner),
          services_(services) {}

    void run(tasks::TaskId task) override;
    // A task that has waited all day for its pen drive: its failure, logged now.
    void penNeverCame(tasks::TaskId task, const std::string& pen);
    // The task's confirmation was not answered on the day it was asked: logged as
    // not confirmed, and the task's last result says so.
    void notConfirmed(tasks::TaskId task);
    // What ZIP runs cut short left in the destinations that answer now (start-up).
    void removeZipLeftovers();

private:
    void begin(int row);
    void dispatch(int row);
    void end(int row);
    // logText: the log entry's text, when not the usual error text.
    void fail(int row, const std::string& reason, const std::string& logText = "");
    std::string missingTarget(int row) const;
    bool waitsForPen(int row);
    void readRow(int row);
    void keepNewest(const std::filesystem::path& folder, const std::string& pattern, int row);

    bool confirm(int row);
    void stamp(int row);
    // Keeps the run's result, time and size for the history picture.
    void recordRun(int row, bool ok);
    void logExe(int row) { log_.addEntry(row, "EXE", ctx_.NOME_TAREFA); }
    std::string cell(int col, int row) const { return std::string(GRID_.cell(col, row)); }

    void runBatch(int row);        // "00", "07"
    void copyFolders(int row);     // "01"
    void copyFile(int row);        // "02"
    bool copied(int row, const std::string& from, const std::string& to, std::optional<std::size_t>& checked);
    bool judged(int row, const std::string& to, const platform::CopyCheck& check, std::optional<std::size_t>& checked);
    void logChecked(int row, const std::optional<std::size_t>& checked);
    bool batchCopiesProven(int row, std::optional<std::size_t>& checked);
    void startProgram(int row);    // "03"
    void closeProgram(int row);    // "04"
    void powerFunction(int row);   // "05"
    void zipFolder(int row);       // "06"
    ZipLeftOut writeZipPumping(const ZipJob& job);
    void sendFiles(int row);       // "08"
    SendOutcome sendPumping(const SendJob& job);
    void showMessage(int row);     // "10"

    // Writes the batch, under the next free name when the usual one is held, and
    // points the run context at it; why it cannot be written, or nothing.
    std::optional<std::string> writeBatchFile();
    void batchFailed(int row, int status, const std::string& markFile);
    void timedOut(int row, const std::string& what = "");

    tasks::TaskTable& GRID_;
    RunContext& ctx_;
    tasks::ScheduleState& state_;
    ExecHost& host_;
    log::Log& log_;
    CommandRunner& runner_;
    platform::Services& services_;
    Date startDay_;   // the day the run started (after its confirmation)
    std::int64_t runBytes_ = -1;   // what the run wrote, where known
    const tasks::TaskTypeInfo* type_ = &tasks::typeOf("");   // the running task's type
};

}  // namespace tarvex::exec
