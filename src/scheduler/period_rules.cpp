#include "scheduler/period_rules.h"

#include "lib/routines.h"
#include "platform/clock.h"
#include "tasks/task_types.h"

namespace tarvex::scheduler {

namespace {

// Views into the task's cells: the agenda reads every row on each pass.
std::string_view part(std::string_view text, size_t from, size_t count) {
    return from < text.size() ? text.substr(from, count) : std::string_view();
}

std::string_view code(std::string_view label) { return trimmed(label.substr(0, 2)); }

bool digits(std::string_view s, size_t at) { return s[at] >= '0' && s[at] <= '9' && s[at + 1] >= '0' && s[at + 1] <= '9'; }
int number(std::string_view s, size_t at) { return (s[at] - '0') * 10 + (s[at + 1] - '0'); }

// The stamp's date as readDate reads it. The stamps the executor writes are read
// here straight, without asking the clock for the century on every row.
std::optional<Date> stampDate(std::string_view ultimaExec, const Today& today) {
    const std::string_view s = part(ultimaExec, 0, 8);
    if (s.size() != 8 || s[2] != '/' || s[5] != '/' || !digits(s, 0) || !digits(s, 3) || !digits(s, 6))
        return readDate(s);
    const int from = today.centuryFrom;
    int year = number(s, 6) + from - from % 100;
    if (year < from) year += 100;
    if (!isValidDate(year, number(s, 3), number(s, 0))) return std::nullopt;
    return Date{year, number(s, 3), number(s, 0)};
}

// Weekly: due unless the last run lies in the current Sunday-to-Saturday week.
// A stamp that cannot be read counts as a run long ago: running a backup once too
// often is safer than never running it again.
bool weeklyDue(std::string_view ultimaExec, const Today& today) {
    if (isBlankText(part(ultimaExec, 0, 8))) return true;
    std::optional<Date> last = stampDate(ultimaExec, today);
    if (!last) return true;
    Date sunday = addDays(today.date, 1 - dayOfWeek(today.date));
    return *last < sunday;
}

bool allows(std::string_view code, std::string_view ultimaExec, const Today& today) {
    const std::string_view hoje = today.text;
    const int dow = dayOfWeek(today.date);
    if (code == "00" || code == "20") return false;
    if (code >= "02" && code <= "08" && code.size() == 2) return dow == code[1] - '0' - 1;
    if (code == "09") return dow != 1 && dow != 7;
    if (code == "10") return isBlankText(part(ultimaExec, 0, 8));
    if (code == "11") return weeklyDue(ultimaExec, today);
    if (code == "12") return part(ultimaExec, 3, 2) != part(hoje, 3, 2);
    if (code == "13") return part(ultimaExec, 6, 2) != part(hoje, 6, 2);
    if (code == "14") return part(ultimaExec, 3, 5) != part(hoje, 3, 5);
    return true;
}

}  // namespace

Today::Today(const Date& day) : date(day), text(formatDate(day)), centuryFrom(platform::clock().now().year - 50) {}

std::string codeOf(const std::string& label) { return std::string(code(label)); }

bool periodAllows(const std::string& code, const std::string& ultimaExec, const Date& today) {
    return allows(code, ultimaExec, Today(today));
}

int staleDays(const TaskTiming& task, const Date& today) { return staleDays(task, Today(today)); }

int staleDays(const TaskTiming& task, const Today& today) {
    const std::string_view periodo = code(task.periodo);
    if (!tasks::typeOf(task.tipo).scheduled) return 0;
    int allowed = 0;
    if (periodo == "01") allowed = 2;
    else if (periodo == "09") allowed = 4;   // Friday's run is still fresh on Monday
    else if ((periodo >= "02" && periodo <= "08") || periodo == "11") allowed = 8;
    else if (periodo == "12" || periodo == "14") allowed = 32;
    else if (periodo == "13") allowed = 366;
    if (!allowed) return 0;
    const auto last = stampDate(task.ultimaExec, today);
    if (!last) return 0;
    const long days = daysFromCivil(today.date) - daysFromCivil(*last);
    return days > allowed ? static_cast<int>(days) : 0;
}

bool dueToday(const TaskTiming& task, const Date& today) { return dueToday(task, Today(today)); }

bool dueToday(const TaskTiming& task, const Today& today) {
    const std::string_view periodo = code(task.periodo);
    if (periodo == "00" || periodo == "20") return false;
    if (!tasks::typeOf(task.tipo).scheduled) return false;
    if (isBlankText(task.hora)) return false;
    if (part(task.ultimaExec, 0, 8) == today.text) return false;
    return allows(periodo, task.ultimaExec, today);
}

}  // namespace tarvex::scheduler
