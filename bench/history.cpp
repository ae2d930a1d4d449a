// The history picture over a 1,000,000-line log: opened with its companion file
// in place (every opening after the first), and the first opening that fills the
// companion from the log; each against reading the log file once.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "history/history_chart.h"
#include "lib/routines.h"
#include "platform/files.h"
#include "tasks/columns.h"

namespace tarvex {
namespace {

namespace fs = std::filesystem;
constexpr int kLogLines = 1000000;
constexpr int kTasks = 500;

// This run's files, gone when it ends (the log is about 90 MB).
struct Scratch {
    fs::path path = fs::temp_directory_path() / ("tarvex-bench-history-" + std::to_string(::getpid()));
    Scratch() { fs::create_directories(path); }
    ~Scratch() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

const std::string& folder() {
    static const Scratch scratch;
    static const std::string path = [] {
        const fs::path& dir = scratch.path;
        // 1,000 entries a day, going back about three years: runs, failures, starts.
        std::ofstream out(dir / "LOG_TIMER.TXT", std::ios::binary);
        const char* codes[] = {"EXE", "EXE", "EXE", "ERR", "INI", "TER"};
        const Date last = today();
        for (int i = 0; i < kLogLines; ++i) {
            out << formatDate(addDays(last, (i - kLogLines) / 1000)) << "#" << zeroPad(i % 99, 2) << "#"
                << codes[i % 6] << "#TAREFA " << i % kTasks << " >> 12 arquivos conferidos#04:00:00#04:02:"
                << zeroPad(i % 60, 2) << "#00:02:" << zeroPad(i % 60, 2)
                << "#06 - WINZIP#01 - Todos os Dias#\r\n";
        }
        return platform::fromFsPath(dir) + "/";
    }();
    return path;
}

tasks::TaskTable& table() {
    static tasks::TaskTable t = [] {
        tasks::TaskTable g;
        g.setColCount(35);
        g.setRowCount(kTasks + 1);
        for (int r = 1; r <= kTasks; ++r) {
            g.setCell(col::NOME, r, "TAREFA " + std::to_string(r - 1));
            g.setCell(col::TIPO, r, "06 - WINZIP");
            g.setCell(col::PERIODO, r, "01 - Todos os Dias");
            g.setCell(col::HORA, r, "04:00");
        }
        return g;
    }();
    return t;
}

void BM_History1M_FirstOpen(benchmark::State& state) {
    for (auto _ : state) {
        platform::removeFile(folder() + log::kHistoryFile);
        benchmark::DoNotOptimize(history::loadChart(folder(), table(), "TAREFA 7", today(), 90));
    }
}
BENCHMARK(BM_History1M_FirstOpen)->Unit(benchmark::kMillisecond);

void BM_History1M_Open(benchmark::State& state) {
    history::loadChart(folder(), table(), "", today(), 30);   // the companion, made once
    for (auto _ : state) benchmark::DoNotOptimize(history::loadChart(folder(), table(), "TAREFA 7", today(), 90));
}
BENCHMARK(BM_History1M_Open)->Unit(benchmark::kMillisecond);

// Reading the log file once, whole.
void BM_History1M_Floor(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(platform::readFile(folder() + "LOG_TIMER.TXT"));
}
BENCHMARK(BM_History1M_Floor)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarvex
