// The task file, the agenda and the log page at the sizes a long-lived
// installation reaches, each beside its floor, the plainest way to do the same
// work: the task file's bytes read and written, one pass reading every cell the
// agenda reads, the log read line by line. scripts/bench prints the ratios.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "lib/routines.h"
#include "app/cover.h"
#include "app/log_page.h"
#include "log/log_rows.h"
#include "platform/files.h"
#include "scheduler/agenda.h"
#include "tasks/columns.h"
#include "tasks/task_file.h"
#include "tasks/task_store.h"
#include "ui/controls.h"

namespace {

namespace fs = std::filesystem;
using namespace tarvex;

constexpr int kRows = 9999;   // with the title row, the most a task file may hold
constexpr int kLogLines = 1000000;

const char* const kPeriods[] = {"01 - Todos os Dias", "02 - Segunda a Sexta", "05 - Semanal", "10 - Mensal",
                                "03 - Segunda a Sabado"};
const char* const kTypes[] = {"00 - XCOPY - Copia Arq.", "06 - WINZIP", "03 - Executar Programa", "10 - Mensagem"};

// A folder of this run's files, gone when the run ends (a million-line log is
// 90 MB).
fs::path scratch() {
    struct Folder {
        fs::path path = fs::temp_directory_path() / ("tarvex-bench-" + std::to_string(::getpid()));
        Folder() { fs::create_directories(path); }
        ~Folder() {
            std::error_code ec;
            fs::remove_all(path, ec);
        }
    };
    static const Folder dir;
    return dir.path;
}

void fillTasks(tasks::TaskTable& g) {
    g.setColCount(col::COUNT);
    g.setRowCount(kRows + 1);
    for (int r = 1; r <= kRows; ++r) {
        g.setCell(col::TAREFA, r, zeroPad(r, 2));
        g.setCell(col::NOME, r, "TAREFA " + std::to_string(r));
        g.setCell(col::TIPO, r, kTypes[r % 4]);
        g.setCell(col::PERIODO, r, kPeriods[r % 5]);
        g.setCell(col::ULTIMA_EXEC, r, "0" + std::to_string(1 + r % 9) + "/11/26 08:00:00");
        g.setCell(col::HORA, r, zeroPad(r % 24, 2) + ":" + zeroPad(r % 60, 2));
        g.setCell(col::PAUSE, r, "N");
        g.setCell(col::DIR_ORIGEM, r, "C:\\DADOS\\PASTA" + std::to_string(r));
        g.setCell(col::DIR_DESTINO, r, "E:\\BACKUP\\");
        g.setCell(col::MEMO, r, "CHCP 1252 >NUL||XCOPY  C:\\DADOS  ===>>  [PEN]:\\DADOS[EXT]      /E /D /Y /R /C /V");
    }
}

const std::string& taskFile() {
    static const std::string path = [] {
        tasks::TaskTable g;
        fillTasks(g);
        const std::string p = platform::fromFsPath(scratch() / "TARVEX_TAREFAS.TXT");
        taskfile::save(g, p);
        return p;
    }();
    return path;
}

// The program's whole load action (read, checked, mended, titled and numbered,
// each task given its identity) as at start-up, then its save.
void BM_TaskFile10k_LoadSave(benchmark::State& state) {
    const std::string folder = platform::fromFsPath(scratch()) + "/";
    taskFile();
    for (auto _ : state) {
        tasks::TaskTable g;
        tasks::TaskStore store(g, folder);
        store.load();
        store.save();
    }
}
BENCHMARK(BM_TaskFile10k_LoadSave)->Unit(benchmark::kMillisecond);

void BM_TaskFile10k_Floor(benchmark::State& state) {
    const std::string path = taskFile();
    const std::string copy = platform::fromFsPath(scratch() / "copia.txt");
    for (auto _ : state) {
        std::string bytes;
        platform::readFile(path, bytes);
        platform::overwriteFile(copy, bytes);
    }
}
BENCHMARK(BM_TaskFile10k_Floor)->Unit(benchmark::kMillisecond);

void BM_Agenda10k(benchmark::State& state) {
    tasks::TaskTable GRID;
    ui::Grid GRID_C{"GRID_C"};
    fillTasks(GRID);
    ui::Timer timer{"TIMER1"};
    tasks::ScheduleState schedule;
    scheduler::Agenda agenda({GRID, schedule, timer}, [](const std::string&) {});
    // The window redraws the cover after each computation: part of the work.
    agenda.onComputed = [&](const std::vector<std::string>&) { app::showCover(GRID, GRID_C); };
    for (auto _ : state) agenda.compute();
}
BENCHMARK(BM_Agenda10k)->Unit(benchmark::kMillisecond);

// The agenda's floor: one pass reading every cell the agenda and the cover
// read (its size and first byte: the least a look at a cell is).
void BM_Agenda10k_Floor(benchmark::State& state) {
    tasks::TaskTable GRID;
    fillTasks(GRID);
    for (auto _ : state) {
        size_t n = 0;
        for (int r = 1; r <= kRows; ++r)
            for (int c : {col::NOME, col::TIPO, col::PERIODO, col::ULTIMA_EXEC, col::HORA, col::SN_EXE,
                          col::ULTIMO_ERRO})
                if (const std::string_view cell = GRID.cell(c, r); !cell.empty())
                    n += cell.size() + static_cast<unsigned char>(cell.front());
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_Agenda10k_Floor)->Unit(benchmark::kMillisecond);

const std::string& logFile() {
    static const std::string path = [] {
        const fs::path p = scratch() / "LOG_TIMER.TXT";
        std::ofstream out(p, std::ios::binary);
        const char* codes[] = {"EXE", "EXE", "EXE", "ERR", "INI", "TER"};
        for (int i = 0; i < kLogLines; ++i)
            out << zeroPad(1 + i % 28, 2) << "/" << zeroPad(1 + i / 28 % 12, 2) << "/26#" << zeroPad(i % 99, 2)
                << "#" << codes[i % 6] << "#TAREFA " << i % 500 << "#08:00:00#08:00:" << zeroPad(i % 60, 2)
                << "#00:00:" << zeroPad(i % 60, 2) << "#" << kTypes[i % 4] << "#" << kPeriods[i % 5] << "#\r\n";
        return platform::fromFsPath(p);
    }();
    return path;
}

void BM_LogPage1M(benchmark::State& state) {
    const std::string path = logFile();
    const std::uint64_t size = platform::fileSize(path).value_or(0);
    for (auto _ : state) {
        // What the page does: the file's end for the raw-lines box, one pass over
        // the file for where its entries are, the grid reading its last rows back.
        std::string end;
        platform::readFileAt(path, size - std::min<std::uint64_t>(size, log::kMemoLogBytes), log::kMemoLogBytes, end);
        benchmark::DoNotOptimize(log::tailStart(end, true, log::kMemoLogLines));
        auto file = std::make_shared<log::LogFileRows>(path, size, true, true);
        file->index(std::stop_token());
        ui::Grid grid{"GRID_LOG"};
        grid.assignSource(log::kLogColumns, std::make_shared<const app::LogGridRows>(file));
        for (int r = grid.rowCount() - 40; r < grid.rowCount(); ++r) benchmark::DoNotOptimize(grid.cell(6, r));
    }
}
BENCHMARK(BM_LogPage1M)->Unit(benchmark::kMillisecond);

// Reading the file's lines plainly, none kept.
void BM_LogPage1M_Floor(benchmark::State& state) {
    const fs::path path = platform::fsPath(logFile());
    for (auto _ : state) {
        std::ifstream in(path, std::ios::binary);
        size_t lines = 0;
        for (std::string line; std::getline(in, line);) ++lines;
        benchmark::DoNotOptimize(lines);
    }
}
BENCHMARK(BM_LogPage1M_Floor)->Unit(benchmark::kMillisecond);

}  // namespace
