#pragma once
// How a task's last runs went, read from the run history: what the program needs
// after a restart to go on as before (the retry's wait, whether a failure was
// already told) without a file of its own.
#include <string>
#include <vector>

#include "log/run_history.h"

namespace tarvex::log {

struct Streak {
    bool lastFailed = false;    // the task's last run failed, whatever the day
    int failuresToday = 0;      // its failed runs of `day` in a row, at the end
    int lastEndSecond = 0;      // when the last of them ended (seconds of `day`)
};

// `runs` oldest first, as loadRuns gives them; `name` trimmed, as they hold it.
Streak streakOf(const std::vector<RunRecord>& runs, const std::string& name, const Date& day);

}  // namespace tarvex::log
