#include "log/log.h"

#include "lib/datetime.h"
#include "lib/mrqr.h"

namespace tarvex::log {

namespace {

constexpr int kDay = 24 * 60 * 60;

}  // namespace

std::optional<std::string> Log::entry(const LocalTime& now, int item, const std::string& code,
                                      const std::string& text, const RunContext& context) {
    std::optional<int> start = readTime(context.HORA_INICIO);
    if (!start) return std::nullopt;
    const int end = secondsOfDay(now);
    // An operation that began before midnight and ends after it: the elapsed
    // time is what really passed, never a negative time of day.
    int elapsed = end - *start;
    if (elapsed < 0) elapsed += kDay;

    std::string line;
    for (const std::string& field :
         {formatDate(Date{now.year, now.month, now.day}), MRQ_ZEROS(item, 2), code, text,
          context.HORA_INICIO, formatTime(end), formatTime(elapsed), context.TIPO_TAREFA,
          context.PERIODO_TAREFA}) {
        // A "#" inside a field (a task named "NF #123") would shift the columns.
        for (char c : field) line += c == '#' ? ' ' : c;
        line += '#';
    }
    return line;
}

void Log::MRQ_ADDLOG(int item, const std::string& code, const std::string& text) const noexcept {
    try {
        // One reading of the clock, so the date and the end time agree at midnight.
        auto line = entry(platform::clock().now(), item, code, text, context_);
        if (line) MRQ_ADDLINHA(path(), *line);
    } catch (...) {
        // A log entry that cannot be written is lost; the logged operation goes on.
    }
}

void Log::logNow(int item, const std::string& code, const std::string& text) const noexcept {
    try {
        const LocalTime now = platform::clock().now();
        RunContext context = context_;
        context.HORA_INICIO = formatTime(secondsOfDay(now));
        if (auto line = entry(now, item, code, text, context)) MRQ_ADDLINHA(path(), *line);
    } catch (...) {
        // lost, as every entry that cannot be written
    }
}

}  // namespace tarvex::log
