// Stored task cells reach the run-time expansion and the day agenda as they
// are. The expansion takes any text; the agenda marks every row "S" or "N",
// arms TIMER1 only for a due row and a wait it can take, and fails, if at all,
// only with a conversion error.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "exec/placeholders.h"
#include "lib/errors.h"
#include "platform/clock.h"
#include "scheduler/agenda.h"
#include "tasks/columns.h"
#include "ui/controls.h"

using namespace tarvex;

namespace {
void check(bool condition) {
    if (!condition) std::abort();
}

std::vector<std::string> cells(const std::string& input) {
    std::vector<std::string> out(1);
    for (char c : input) {
        if (c == '\0') out.emplace_back();
        else out.back() += c;
    }
    return out;
}

struct Window {
    tasks::TaskTable GRID;
    tasks::ScheduleState schedule;
    ui::Timer TIMER1{"TIMER1"};
    scheduler::Agenda agenda{{GRID, schedule, TIMER1}, [](const std::string&) {}};
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    static platform::FixedClock clock;
    platform::setClock(&clock);
    LocalTime now;
    now.year = 2026, now.month = 1 + data[0] % 12, now.day = 1 + data[1] % 28, now.hour = data[0] % 24;
    clock.set(now);
    const std::vector<std::string> c = cells(std::string(reinterpret_cast<const char*>(data) + 2, size - 2));
    auto at = [&](size_t i) { return i < c.size() ? c[i] : std::string(); };

    RunContext ctx;
    ctx.EXTENSAO_TAREFA = at(1), ctx.DATA_HOJE = at(2), ctx.PEN_TAREFA = at(3), ctx.DIA_SEMANA = at(4);
    exec::expandPlaceholders(ctx, at(0));

    Window w;
    const int rows = 1 + static_cast<int>(c.size() > 5 ? (c.size() - 5) / 4 : 0);
    w.GRID.setColCount(col::COUNT);
    w.GRID.setRowCount(std::min(rows, 40) + 1);
    for (int row = 1; row < w.GRID.rowCount(); ++row) {
        const size_t base = 5 + static_cast<size_t>(row - 1) * 4;
        w.GRID.setCell(col::TIPO, row, at(base));
        w.GRID.setCell(col::PERIODO, row, at(base + 1));
        w.GRID.setCell(col::ULTIMA_EXEC, row, at(base + 2));
        w.GRID.setCell(col::HORA, row, at(base + 3));
    }
    try {
        w.agenda.compute();
    } catch (const ConvertError&) {
        return 0;
    }
    for (int row = 1; row < w.GRID.rowCount(); ++row) {
        const std::string_view sn = w.GRID.cell(col::SN_EXE, row);
        check(sn == "S" || sn == "N");
    }
    if (w.TIMER1.isEnabled()) {
        check(w.TIMER1.interval() >= 10'000 && w.TIMER1.interval() <= 86'400'000);
        check(w.GRID.cell(col::SN_EXE, w.GRID.rowOf(w.schedule.armed)) == "S");
    }
    return 0;
}
