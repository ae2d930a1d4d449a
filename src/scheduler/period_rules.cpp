#include "scheduler/period_rules.h"

#include "lib/mrqr.h"

namespace tarvex::scheduler {

namespace {

// Weekly: due unless the last run lies in the current Sunday-to-Saturday week.
// A stamp that cannot be read counts as a run long ago: running a backup once too
// often is safer than never running it again.
bool weeklyDue(const std::string& ultimaExec, const Date& today) {
    std::string date = slice(ultimaExec, 0, 8);
    if (MRQ_DATA_VAZIA(date)) return true;
    std::optional<Date> last = readDate(date);
    if (!last) return true;
    Date sunday = addDays(today, 1 - dayOfWeek(today));
    return *last < sunday;
}

}  // namespace

std::string codeOf(const std::string& label) { return trim(label.substr(0, 2)); }

bool periodAllows(const std::string& code, const std::string& ultimaExec, const Date& today) {
    const std::string hoje = formatDate(today);
    const int dow = dayOfWeek(today);
    if (code == "00" || code == "20") return false;
    if (code >= "02" && code <= "08" && code.size() == 2) return dow == code[1] - '0' - 1;
    if (code == "09") return dow != 1 && dow != 7;
    if (code == "10") return MRQ_DATA_VAZIA(slice(ultimaExec, 0, 8));
    if (code == "11") return weeklyDue(ultimaExec, today);
    if (code == "12") return slice(ultimaExec, 3, 2) != slice(hoje, 3, 2);
    if (code == "13") return slice(ultimaExec, 6, 2) != slice(hoje, 6, 2);
    if (code == "14") return slice(ultimaExec, 3, 5) != slice(hoje, 3, 5);
    return true;
}

int staleDays(const TaskTiming& task, const Date& today) {
    const std::string periodo = codeOf(task.periodo), tipo = codeOf(task.tipo);
    if (tipo.empty() || tipo == "09") return 0;
    int allowed = 0;
    if (periodo == "01") allowed = 2;
    else if (periodo == "09") allowed = 4;   // Friday's run is still fresh on Monday
    else if ((periodo >= "02" && periodo <= "08") || periodo == "11") allowed = 8;
    else if (periodo == "12" || periodo == "14") allowed = 32;
    else if (periodo == "13") allowed = 366;
    const auto last = readDate(slice(task.ultimaExec, 0, 8));
    if (!allowed || !last) return 0;
    const long days = daysFromCivil(today) - daysFromCivil(*last);
    return days > allowed ? static_cast<int>(days) : 0;
}

bool dueToday(const TaskTiming& task, const Date& today) {
    const std::string periodo = codeOf(task.periodo);
    const std::string tipo = codeOf(task.tipo);
    if (periodo == "00" || periodo == "20") return false;
    if (tipo.empty() || tipo == "09") return false;
    if (MRQ_DATA_VAZIA(task.hora)) return false;
    if (slice(task.ultimaExec, 0, 8) == formatDate(today)) return false;
    return periodAllows(periodo, task.ultimaExec, today);
}

}  // namespace tarvex::scheduler
