#pragma once
// What the schedule is doing right now. The agenda, the loop and the executor
// change it; the window only shows it (its check boxes and labels hold nothing).
#include <functional>
#include <map>
#include <string>

#include "tasks/task_table.h"

namespace tarvex::tasks {

struct ScheduleState {
    bool running = false;       // a task is running: nothing else may start
    bool stopped = false;       // the operator stopped the schedule
    int computations = 0;       // agendas computed since start-up
    TaskId armed = 0;           // the task the one-shot timer runs
    std::string armedHour;      // its hour when it was armed
    bool armedOnce = false;     // the timer was armed at least once since start-up
    std::string nextName, nextHour, nextWait;   // the next task, its hour, seconds to it
    std::string status = "___";                 // the status line
    std::string trayHint = "Tarvex em Espera";
    int trayImage = 0;          // 0 at rest, 1 running, 2 a failure not yet seen
    std::string batchText;      // the batch the last run wrote, line by line (CR LF)
    std::string batchFolder;    // where batches are written: the program's folder

    // A confirmation asked before a scheduled run: the task waits for its answer
    // (a "Não" keeps it waiting for the rest of the day) while others run.
    struct Question {
        enum class Answer { Open, Yes, No };
        std::string day;            // the day it was asked
        Answer answer = Answer::Open;
        int box = 0;                // the box on screen, to take it away
    };
    std::map<TaskId, Question> questions;
    bool waitsForAnswer(TaskId task, const std::string& day) const {
        auto it = questions.find(task);
        return it != questions.end() && it->second.day == day && it->second.answer != Question::Answer::Yes;
    }

    // Told after each change, so the window can show it.
    std::function<void()> onChange;
    void changed() const {
        if (onChange) onChange();
    }
};

}  // namespace tarvex::tasks
