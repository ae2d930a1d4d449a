#pragma once
// What the history picture shows: for one task or all, the last days, each with
// its runs (result, hour, time taken, size) and the days a task was due and did
// not run. Plain data; the window only draws it.
#include <cstdint>
#include <string>
#include <vector>

#include "lib/datetime.h"
#include "log/run_history.h"
#include "tasks/task_table.h"

namespace tarvex::history {

enum class Result { Ok, Error, Missed };

struct Bar {
    std::string name;
    int hour = -1;               // seconds since midnight; -1 unknown
    Result result = Result::Ok;
    std::int64_t seconds = -1;   // -1 unknown
    std::int64_t bytes = -1;     // -1 unknown
    bool sizeJump = false;
};

struct Day {
    Date day;
    std::vector<Bar> bars;       // by hour
};

struct Chart {
    std::vector<Day> days;            // oldest first, ending today
    std::vector<std::string> jumps;   // the size jumps of those days, as told
    std::int64_t longest = 0;         // the longest run, seconds
    std::int64_t largest = 0;         // the largest size, bytes
    int ok = 0, errors = 0, missed = 0;
};

// The cells of a task that say when it is due.
struct TaskTiming {
    std::string name, tipo, periodo, hora, ultimaExec;
};
std::vector<TaskTiming> timingsOf(const tasks::TaskTable& table);

// `only`: a task's name, or empty for all tasks. `count` days up to `today`.
Chart buildChart(const std::vector<log::RunRecord>& runs, const std::vector<TaskTiming>& tasks,
                 const std::string& only, const Date& today, int count);
// The same from the history file of `folder`.
Chart loadChart(const std::string& folder, const tasks::TaskTable& table, const std::string& only,
                const Date& today, int count);

// "14/11 04:10  OK  12 min  480 MB": one bar as the status line says it.
std::string barText(const Day& day, const Bar& bar);
std::string durationText(std::int64_t seconds);

}  // namespace tarvex::history
