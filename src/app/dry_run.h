#pragma once
// "Simular": what a task would do if it ran now, told to the operator without
// running, writing or creating anything (not even its batch file).
#include <string>

#include "platform/services.h"
#include "tasks/task_table.h"

namespace tarvex::app {

// The report for the task in `row` as saved: whether and when it is due today,
// the drives it needs and whether they are there, and its work: the batch with
// every placeholder filled in, the copies, or the files a ZIP would take.
// `batchFolder` is where its batch file would be written.
std::string dryRunText(const tasks::TaskTable& table, int row, platform::Shell& shell,
                       const std::string& batchFolder);

}  // namespace tarvex::app
