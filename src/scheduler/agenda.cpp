#include "scheduler/agenda.h"

#include <algorithm>

#include "lib/datetime.h"
#include "lib/routines.h"
#include "scheduler/period_rules.h"
#include "tasks/columns.h"

namespace tarvex::scheduler {

// Rounded up, and a short wait only ever lengthened: a task never starts before
// its minute (its mail and log would say 14:27:59 for a task of 14:28).
int waitSeconds(long long nowMs, int targetSecond, bool armedOnce) {
    const long long targetMs = targetSecond * 1000LL;
    long long wait = nowMs > targetMs ? 0 : (targetMs - nowMs + 999) / 1000;
    if (wait < 31) wait = std::max<long long>(wait, armedOnce ? 10 : 30);
    return static_cast<int>(wait);
}

Agenda::Agenda(AgendaLinks links, Tell tell) : c_(links), tell_(std::move(tell)) {}

void Agenda::compute() {
    tasks::ScheduleState& s = c_.state;
    if (s.running) return;
    if (s.stopped) {
        s.stopped = false;
        s.trayHint = "Tarvex em Espera";
    }
    s.status = "Tarvex Ativo";
    ++s.computations;

    std::vector<std::string> late;
    std::vector<std::string> warnings = markDue(late);
    s.nextName = "Sem tarefas para o dia";
    s.nextHour.clear();
    s.nextWait.clear();
    std::string bestHour;
    const int row = chooseNext(bestHour);
    int retryMinute = 0;
    const int retryRow = nextRetry(retryMinute);
    if (retryRow && (!row || retryMinute * 60 < readTime(bestHour + ":00").value_or(0))) {
        armRetry(retryRow, retryMinute);
    } else if (row) {
        arm(row, bestHour);
    } else {
        s.armed = 0;
        c_.timer.stop();
    }
    s.changed();
    if (onComputed) onComputed(late);

    // Told after the computation is complete (a modal box lets timers through),
    // all in one text however many tasks there are.
    if (!warnings.empty() && tell_) {
        std::string text = "Tarefas com a hora inválida, que não serão executadas até que ela seja corrigida:";
        for (size_t i = 0; i < warnings.size(); ++i) text += (i ? ", " : " ") + warnings[i];
        tell_(text + ".");
    }
}

// Writes "S" or "N" into "S/N EXE" of every task row, in one pass that also
// finds the late tasks; returns the tasks whose hours cannot be read and are
// news to the operator, as "03 (25:00)".
std::vector<std::string> Agenda::markDue(std::vector<std::string>& late) {
    const Today day(today());
    if (day.text != warnedDay_) {
        warnedDay_ = day.text;
        warned_.clear();
    }
    std::vector<std::string> warnings;
    tasks::TaskTable& g = c_.table;
    due_.clear();
    // A cell is written only when it changes: each write tells the grid's view.
    for (int row = 1; row < g.rowCount(); ++row) {
        const TaskTiming t{g.cell(col::TIPO, row), g.cell(col::PERIODO, row), g.cell(col::ULTIMA_EXEC, row),
                           g.cell(col::HORA, row)};
        const bool due = dueToday(t, day) && hourReadable(row, warnings);
        if (due) due_.push_back(row);
        const char* mark = due ? "S" : "N";
        if (g.cell(col::SN_EXE, row) != mark) g.setCell(col::SN_EXE, row, mark);
        if (const int days = staleDays(t, day))
            late.push_back("Sem backup há " + std::to_string(days) + " dias: " + zeroPad(row, 2) + " - " +
                           trim(g.cell(col::NOME, row)));
    }
    return warnings;
}

namespace {
// The hour cell read as the timer reads it: "hh:mm" with ":00" after it.
bool readableHour(std::string_view hora) {
    char text[32];
    if (hora.size() + 3 > sizeof text) return readTime(std::string(hora) + ":00").has_value();
    std::copy(hora.begin(), hora.end(), text);
    std::copy_n(":00", 3, text + hora.size());
    return readTime(std::string_view(text, hora.size() + 3)).has_value();
}
}  // namespace

// A due task whose hour is no time of day is left out of the day, so the others
// still run; the operator hears of it once a day.
bool Agenda::hourReadable(int row, std::vector<std::string>& warnings) {
    const std::string_view hora = trimmed(c_.table.cell(col::HORA, row));
    if (readableHour(hora)) return true;
    if (warned_.insert({c_.table.idAt(row), std::string(hora)}).second)
        warnings.push_back(zeroPad(row, 2) + " (" + std::string(hora) + ")");
    return false;
}

namespace {
// Minutes since an arbitrary start, across days: comparable over midnight.
long long minuteNow() {
    const LocalTime t = platform::clock().now();
    return daysFromCivil(Date{t.year, t.month, t.day}) * 1440LL + t.hour * 60 + t.minute;
}
constexpr long long kFirstWait = 10, kLongestWait = 240;   // minutes
}  // namespace

void Agenda::deferRetry(tasks::TaskId task) {
    auto it = retries_.find(task);
    const long long wait = it == retries_.end() ? kFirstWait : std::min(it->second.wait * 2, kLongestWait);
    retries_[task] = {minuteNow() + wait, wait};
}

void Agenda::restoreRetry(tasks::TaskId task, int failures, const Date& day, int endSecond) {
    if (failures < 1) return;
    long long wait = kFirstWait;
    for (int i = 1; i < failures && wait < kLongestWait; ++i) wait = std::min(wait * 2, kLongestWait);
    retries_[task] = {daysFromCivil(day) * 1440LL + endSecond / 60 + wait, wait};
}

void Agenda::holdForDrive(tasks::TaskId task) { retries_[task] = {minuteNow() + 1, kFirstWait / 2}; }

int Agenda::chooseNext(std::string& bestHour) const {
    std::string_view best = "99:99";
    const std::string today = todayText();
    int chosen = 0;
    const long long now = minuteNow();
    for (const int row : due_) {
        const tasks::TaskId id = c_.table.idAt(row);
        if (!retries_.empty())
            if (auto it = retries_.find(id); it != retries_.end() && it->second.after > now) continue;
        if (!c_.state.questions.empty() && c_.state.waitsForAnswer(id, today)) continue;
        const std::string_view hora = trimmed(c_.table.cell(col::HORA, row));
        if (hora < best) {
            best = hora;
            chosen = row;
        }
    }
    bestHour = best;
    return chosen;
}

// The due task whose retry comes first today, and its minute of the day; 0: none.
int Agenda::nextRetry(int& minuteOfDay) const {
    const long long now = minuteNow();
    const long long dayStart = now - now % 1440;
    long long best = dayStart + 1440;   // tomorrow is another agenda
    int chosen = 0;
    if (retries_.empty()) {
        minuteOfDay = static_cast<int>(best - dayStart);
        return 0;
    }
    for (const int row : due_) {
        auto it = retries_.find(c_.table.idAt(row));
        if (it == retries_.end() || it->second.after <= now || it->second.after >= best) continue;
        best = it->second.after;
        chosen = row;
    }
    minuteOfDay = static_cast<int>(best - dayStart);
    return chosen;
}

// A failed task shows when it is tried again, and the timer wakes for it then.
void Agenda::armRetry(int row, int minuteOfDay) {
    tasks::ScheduleState& s = c_.state;
    const std::string at = zeroPad(minuteOfDay / 60, 2) + ":" + zeroPad(minuteOfDay % 60, 2);
    s.nextName = zeroPad(row, 2) + " - " + trim(c_.table.cell(col::NOME, row)) + " (nova tentativa às " + at + ")";
    s.nextHour = at;
    s.armed = c_.table.idAt(row);
    s.armedHour = trim(c_.table.cell(col::HORA, row));   // the loop runs the task it armed
    const LocalTime now = platform::clock().now();
    const int wait = waitSeconds(secondsOfDay(now) * 1000LL + now.millisecond, minuteOfDay * 60, s.armedOnce);
    s.armedOnce = true;
    s.nextWait = std::to_string(wait);
    c_.timer.start(wait * 1000);
}

void Agenda::arm(int row, const std::string& hour) {
    tasks::ScheduleState& s = c_.state;
    s.nextName = zeroPad(row, 2) + " - " + std::string(c_.table.cell(col::NOME, row));
    s.nextHour = hour;
    s.armed = c_.table.idAt(row);
    s.armedHour = hour;
    const LocalTime now = platform::clock().now();
    const long long nowMs = secondsOfDay(now) * 1000LL + now.millisecond;
    const int wait = waitSeconds(nowMs, *readTime(hour + ":00"), s.armedOnce);
    s.armedOnce = true;
    s.nextWait = std::to_string(wait);
    c_.timer.start(wait * 1000);
}

}  // namespace tarvex::scheduler
