#pragma once
// One round of saving as the program does it, every file stamped with the
// round's number, and the checks that a file read back is one round whole.
#include <optional>
#include <string>

#include "lib/run_context.h"
#include "lib/routines.h"
#include "log/log.h"
#include "platform/operator.h"
#include "settings/settings_file.h"
#include "tasks/columns.h"
#include "tasks/task_file.h"
#include "tasks/task_store.h"

namespace tarvex::faults {

// A table whose size and every cell follow from `round`; the memo makes the
// file several 4 KB blocks long.
inline std::string tableOf(long round) {
    tasks::TaskTable g;
    g.setColCount(col::COUNT);
    g.setRowCount(3 + static_cast<int>(round % 5));
    for (int r = 1; r < g.rowCount(); ++r) {
        g.setCell(col::NOME, r, "R" + std::to_string(round));
        g.setCell(col::MEMO, r, std::string(1500 + round % 700, 'm'));
    }
    return taskfile::encode(g);
}

inline void saveTasks(const std::string& folder, long round) {
    tasks::TaskTable g;
    taskfile::decode(tableOf(round), "T", g);
    taskfile::save(g, folder + tasks::TASK_FILE_NAME);
}

inline void saveSettings(const std::string& folder, long round) {
    settings::Settings s;
    s.fontName = "F" + std::to_string(round);
    s.width = 260 + static_cast<int>(round % 1000);
    settings::writeSettingsFile(folder, s, [](const std::string& text) { platform::op().message("TARVEX", text); });
}

inline void logEntry(const std::string& folder, long round) {
    RunContext context;
    context.HORA_INICIO = "08:00:00";
    log::Log(folder, context).addEntry(1, "EXE", "R" + std::to_string(round) + " " + std::string(60, 'l'));
}

// The round a task file holds, when it is one round whole.
inline std::optional<long> tasksRound(const std::string& bytes) {
    tasks::TaskTable g;
    try {
        taskfile::decode(bytes, "T", g);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    const std::string name(g.rowCount() > 1 ? g.cell(col::NOME, 1) : "");
    if (name.size() < 2 || name[0] != 'R') return std::nullopt;
    const long round = std::stol(name.substr(1));
    if (tableOf(round) != bytes) return std::nullopt;
    return round;
}

// Whether a log line is a whole entry of some round.
inline bool wholeEntry(const std::string& line) {
    return line.size() > 20 && line.find("#EXE#R") != std::string::npos &&
           line.find(std::string(60, 'l') + "#08:00:00#") != std::string::npos && line.back() == '#';
}

}  // namespace tarvex::faults
