#pragma once
// The texts of the messages TARVEX sends, in Portuguese.
#include <string>
#include <vector>

#include "mail/message.h"
#include "tasks/task_table.h"

namespace tarvex::mail {

// Which PC and which TARVEX wrote, for a person who looks after several.
struct Origin {
    std::string pc;
    std::string folder;
    std::string prefix;   // the subject's prefix from the settings
};

// One task of the day as the report shows it.
struct DayRow {
    std::string task;       // "NN - NOME"
    std::string hour;
    std::string status;     // OK, ERRO, não rodou, pendente (its hour is still to come)
    std::string duration;   // hh:mm:ss, when it ran
    std::string detail;     // the failure's reason
    std::string size;       // the archive or copy it made ("480 MB"), when known
};

// `lines`: the batch's last lines of output (`output`), or else its last command lines.
Letter failureLetter(const Origin& o, const std::string& task, const std::string& when, const std::string& reason,
                     const std::vector<std::string>& lines, bool output = false);
// A task that had failed ran well again.
Letter recoveredLetter(const Origin& o, const std::string& task, const std::string& when);
// Whether a letter's body (as sent, CR LF line ends) is whole: every letter ends
// with its signature, so a message cut short misses that last line.
bool letterWhole(const std::string& body);
// `jumps`: the day's sizes far from their task's usual ("NOME: 12 MB hoje, mediana 480 MB").
Letter reportLetter(const Origin& o, const std::string& day, const std::vector<DayRow>& rows,
                    const std::vector<std::string>& stale, const std::vector<std::string>& jumps = {});

// The size each task's last run of `day` made, from the run history of `folder`.
void addSizes(std::vector<DayRow>& rows, const std::string& folder, const std::string& day);
Letter alarmLetter(const Origin& o, const std::vector<std::string>& stale);
Letter testLetter(const Origin& o, const std::string& when);

// The day's tasks from the task list and the log's bytes: a task due today or
// run today, with its last result of `day` (dd/mm/yy) from the log; one not run
// whose hour is after `hourNow` (hh:mm) is still to come.
std::vector<DayRow> dayRows(const tasks::TaskTable& table, const std::string& logBytes, const std::string& day,
                            const std::string& hourNow = "");

}  // namespace tarvex::mail
