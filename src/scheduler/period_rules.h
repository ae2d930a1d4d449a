#pragma once
// Whether a task falls due today, from its period code, its last-execution stamp
// and its hour. Pure text and date logic: the agenda feeds it the task's cells.
#include <string>
#include <string_view>

#include "lib/datetime.h"

namespace tarvex::scheduler {

// The cells of a task row the decision reads, as stored; views into the
// grid's cells, valid while they are.
struct TaskTiming {
    std::string_view tipo;        // "Tipo Tarefa"
    std::string_view periodo;     // "Periodo"
    std::string_view ultimaExec;  // "Ultima Exec", "dd/mm/yy hh:mm:ss" or empty
    std::string_view hora;        // "Hora", "hh:mm"
};

// The first two characters of a label, trimmed ("01" of "01 - Todos os Dias").
std::string codeOf(const std::string& label);

// The period code's own rule; codes without a rule (and unknown codes) are due
// every day.
bool periodAllows(const std::string& periodCode, const std::string& ultimaExec, const Date& today);

// Today as every row of one agenda pass reads it: worked out once, not per row.
struct Today {
    explicit Today(const Date& date);
    Date date;
    std::string text;     // dd/mm/yy
    int centuryFrom;      // a two-digit year is read into the hundred years from here
};

// All the conditions together: active period, a schedulable type, an hour, not yet
// run today, and the period rule.
bool dueToday(const TaskTiming& task, const Date& today);
bool dueToday(const TaskTiming& task, const Today& today);

// Days since the task's last successful run when that is longer than its period
// allows (daily 2, Monday to Friday 4, weekly and a fixed weekday 8, monthly 32,
// yearly 366); 0 when it is not late, has never run, or has no such period.
int staleDays(const TaskTiming& task, const Date& today);
int staleDays(const TaskTiming& task, const Today& today);

}  // namespace tarvex::scheduler
