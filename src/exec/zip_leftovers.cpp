#include "exec/executor.h"

#include "exec/keep_last.h"
#include "exec/placeholders.h"
#include "lib/routines.h"
#include "platform/files.h"
#include "tasks/columns.h"

namespace tarvex::exec {

namespace {

// A local drive that is there now. A network share is left to the task's run: one
// that does not answer would hold the start-up for as long as Windows waits on it.
bool answersNow(platform::Shell& shell, const std::string& folder) {
    if (folder.size() < 2 || folder[1] != ':') return false;
    return shell.driveExists(folder[0]) && platform::dirExists(folder);
}

}  // namespace

// A ZIP cut short by a power cut left its temporary in the destination, as big as
// the archive; the task's next run removes it too, but that may be a month away.
void Executor::removeZipLeftovers() {
    for (int row = 1; row < GRID_.rowCount(); ++row) {
        if (tasks::typeOf(GRID_.cell(col::TIPO, row)).run != tasks::RunKind::Zip) continue;
        RunContext day;
        day.DATA_HOJE = sqlDate("");
        day.DIA_SEMANA = weekdayName(todayText());
        day.EXTENSAO_TAREFA = cell(col::EXTENSAO, row);
        const std::string pen = trim(cell(col::PEN, row));
        day.PEN_TAREFA = pen;
        if (pen.size() > 1)
            if (const char letter = platform::penDrive(services_.shell, pen)) day.PEN_TAREFA = std::string(1, letter);
        const std::string name = trim(cell(col::ARQDEST, row)) + day.EXTENSAO_TAREFA + ".ZIP";
        const std::string archive = expandPlaceholders(day, trim(cell(col::DIR_DESTINO, row)) + "\\" + name);
        const std::string folder = platform::fromFsPath(platform::fsPath(archive).parent_path());
        if (answersNow(services_.shell, folder)) removeLeftovers(folder, replaceText(name, "[EXT]", day.EXTENSAO_TAREFA));
    }
}

}  // namespace tarvex::exec
