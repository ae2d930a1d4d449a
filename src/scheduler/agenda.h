#pragma once
// The day agenda: marks today's due tasks, chooses the next one and arms the
// one-shot timer for it.
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "lib/datetime.h"
#include "platform/timer.h"
#include "tasks/schedule_state.h"
#include "tasks/task_table.h"

namespace tarvex::scheduler {

// What the agenda reads and changes.
struct AgendaLinks {
    tasks::TaskTable& table;
    tasks::ScheduleState& state;
    platform::Timer& timer;     // runs the armed task when it fires
};

// The wait before a task at `targetSecond` (of the day) starts, seen at `nowMs`
// (of the day): the seconds to go rounded up, an overdue task as "now"; short
// waits become at least 30 s at the first arming and 10 s after it.
int waitSeconds(long long nowMs, int targetSecond, bool armedOnce);

class Agenda {
public:
    // `tell` shows a text to the operator: after a computation that found tasks
    // with bad hours not told yet today, one text that lists them.
    using Tell = std::function<void(const std::string&)>;
    Agenda(AgendaLinks links, Tell tell);

    // Computes the day again; nothing happens while a task runs. A stopped
    // schedule resumes first.
    void compute();
    // A run of `task` failed: the task stays due but waits before it is chosen again,
    // ten minutes after a first failure and twice as long after each further one
    // (four hours at most), so a missing drive is not retried every ten seconds.
    void deferRetry(tasks::TaskId task);
    // After a restart: `task` failed `failures` times in a row on `day`, the last
    // one ending at `endSecond` of it; it waits as long as if the program had not stopped.
    void restoreRetry(tasks::TaskId task, int failures, const Date& day, int endSecond);
    // `task` waits for its pen drive: looked at again a minute from now, at the next
    // computation (the supervisor's, or a drive's arrival).
    void holdForDrive(tasks::TaskId task);
    // A run of `task` succeeded: its next failure waits ten minutes again.
    void clearRetry(tasks::TaskId task) { retries_.erase(task); }
    // Told after every computation, with "Sem backup há N dias: NN - NOME" for
    // each late task: the window redraws the cover from the table.
    std::function<void(const std::vector<std::string>& late)> onComputed;

private:
    std::vector<std::string> markDue(std::vector<std::string>& late);
    int chooseNext(std::string& bestHour) const;
    void arm(int row, const std::string& hour);
    int nextRetry(int& minuteOfDay) const;
    void armRetry(int row, int minuteOfDay);
    bool hourReadable(int row, std::vector<std::string>& warnings);

    AgendaLinks c_;
    Tell tell_;
    std::string warnedDay_;
    std::set<std::pair<tasks::TaskId, std::string>> warned_;   // (task, hour) told today
    struct Retry {
        long long after;   // first minute (minuteNow) it may run again
        long long wait;    // the last wait, doubled at the next failure
    };
    std::map<tasks::TaskId, Retry> retries_;
    std::vector<int> due_;   // the rows the last pass marked due, in order
};

}  // namespace tarvex::scheduler
