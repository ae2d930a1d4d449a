#include "history/history_chart.h"

#include <algorithm>
#include <map>

#include "lib/routines.h"
#include "scheduler/period_rules.h"
#include "tasks/columns.h"
#include "tasks/task_types.h"

namespace tarvex::history {

namespace {

std::string stampOf(const log::RunRecord& run) { return formatDate(run.day) + " " + formatTime(run.hour); }

bool schedulable(const TaskTiming& task) {
    const std::string period = scheduler::codeOf(task.periodo);
    return tasks::typeOf(task.tipo).scheduled && period != "00" && period != "20" && !isBlankText(task.hora);
}

// The days in [from, today) the task was due and has no run at all. Before its
// first known run (in the history or its stamp) nothing can be said: the task
// may not have existed.
void addMissed(Chart& chart, const TaskTiming& task, const std::vector<const log::RunRecord*>& runs,
               const Date& from, const Date& today) {
    if (!schedulable(task)) return;
    const auto stamped = readDate(slice(task.ultimaExec, 0, 8));
    std::optional<Date> known = runs.empty() ? stamped : std::optional<Date>(runs.front()->day);
    if (stamped && known && *stamped < *known) known = stamped;
    if (!known) return;
    const std::string code = scheduler::codeOf(task.periodo);
    const int hour = readTime(task.hora).value_or(-1);
    std::size_t next = 0;
    std::string lastOk;
    if (stamped && *stamped < from) lastOk = task.ultimaExec;
    for (Day& day : chart.days) {
        bool ran = false;
        for (; next < runs.size() && runs[next]->day <= day.day; ++next) {
            if (runs[next]->day == day.day) ran = true;
            else if (runs[next]->ok) lastOk = stampOf(*runs[next]);
        }
        if (ran || day.day < *known || day.day < from || !(day.day < today)) continue;
        // Runs of the day itself were looked at above; later ones are not the past.
        if (!scheduler::periodAllows(code, lastOk, day.day)) continue;
        day.bars.push_back({task.name, hour, Result::Missed});
        ++chart.missed;
    }
}

}  // namespace

std::vector<TaskTiming> timingsOf(const tasks::TaskTable& table) {
    std::vector<TaskTiming> out;
    for (int row = 1; row < table.rowCount(); ++row) {
        TaskTiming t{trim(table.cell(col::NOME, row)), std::string(table.cell(col::TIPO, row)),
                     std::string(table.cell(col::PERIODO, row)), std::string(table.cell(col::HORA, row)),
                     std::string(table.cell(col::ULTIMA_EXEC, row))};
        if (!t.name.empty()) out.push_back(std::move(t));
    }
    return out;
}

Chart buildChart(const std::vector<log::RunRecord>& runs, const std::vector<TaskTiming>& tasks,
                 const std::string& only, const Date& today, int count) {
    Chart chart;
    const Date from = addDays(today, 1 - count);
    for (int i = 0; i < count; ++i) chart.days.push_back({addDays(from, i), {}});

    // Each task's runs in order, kept apart once, so medians and due days need
    // no pass over everyone's runs.
    std::map<std::string, std::vector<const log::RunRecord*>> byTask;
    for (const log::RunRecord& run : runs)
        if (only.empty() || run.name == only) byTask[run.name].push_back(&run);
    // The file is in order of writing; a clock set back would put a run out of place.
    for (auto& [name, own] : byTask)
        std::stable_sort(own.begin(), own.end(), [](const log::RunRecord* a, const log::RunRecord* b) {
            return a->day != b->day ? a->day < b->day : a->hour < b->hour;
        });

    for (const auto& [name, own] : byTask) {
        std::vector<std::int64_t> sizes;   // the task's last sizes, newest last
        for (const log::RunRecord* run : own) {
            const bool sized = run->ok && run->bytes >= 0;
            if (run->day >= from && run->day <= today) {
                Bar bar{name, run->hour, run->ok ? Result::Ok : Result::Error, run->seconds, run->bytes};
                if (sized) {
                    const std::size_t n = std::min(sizes.size(), log::kMedianRuns);
                    const auto median = log::medianOf({sizes.end() - static_cast<long>(n), sizes.end()});
                    if (median && *median > 0 && log::farFrom(run->bytes, *median)) {
                        bar.sizeJump = true;
                        chart.jumps.push_back(log::sizeJumpText({name, run->day, run->bytes, *median}, today));
                    }
                }
                chart.longest = std::max(chart.longest, run->seconds);
                chart.largest = std::max(chart.largest, run->bytes);
                ++(run->ok ? chart.ok : chart.errors);
                chart.days[static_cast<std::size_t>(daysFromCivil(run->day) - daysFromCivil(from))].bars.push_back(bar);
            }
            if (sized) sizes.push_back(run->bytes);
        }
    }
    static const std::vector<const log::RunRecord*> none;
    for (const TaskTiming& task : tasks) {
        if (!only.empty() && task.name != only) continue;
        const auto own = byTask.find(task.name);
        addMissed(chart, task, own == byTask.end() ? none : own->second, from, today);
    }
    for (Day& day : chart.days)
        std::stable_sort(day.bars.begin(), day.bars.end(), [](const Bar& a, const Bar& b) { return a.hour < b.hour; });
    return chart;
}

Chart loadChart(const std::string& folder, const tasks::TaskTable& table, const std::string& only,
                const Date& today, int count) {
    return buildChart(log::recentRuns(folder, today, addDays(today, 1 - count)), timingsOf(table), only, today, count);
}

std::string durationText(std::int64_t seconds) {
    if (seconds < 0) return "duração desconhecida";
    if (seconds < 60) return std::to_string(seconds) + " s";
    if (seconds < 3600) return std::to_string(seconds / 60) + " min " + std::to_string(seconds % 60) + " s";
    return std::to_string(seconds / 3600) + " h " + std::to_string(seconds / 60 % 60) + " min";
}

std::string barText(const Day& day, const Bar& bar) {
    std::string text = formatDate(day.day).substr(0, 5) + " " + (bar.hour < 0 ? "--:--" : formatTime(bar.hour).substr(0, 5)) +
                       "  " + bar.name + "  ";
    if (bar.result == Result::Missed) return text + "NÃO RODOU";
    text += bar.result == Result::Ok ? "OK" : "ERRO";
    text += "  " + durationText(bar.seconds);
    if (bar.bytes >= 0) text += "  " + log::sizeText(bar.bytes);
    if (bar.sizeJump) text += "  (tamanho fora do comum)";
    return text;
}

}  // namespace tarvex::history
