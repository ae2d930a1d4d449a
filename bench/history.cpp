// The history picture over a 1,000,000-line log: opened with its companion file
// in place (every opening after the first), and the first opening that fills the
// companion from the log; each against reading the log file once. Beside it, what
// else reads a big log: the log's older months moving out (time against reading
// and writing the same bytes, and the memory it adds against the file's size),
// and the log page's last line against a plain getline through the file.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#include <algorithm>

#include "history/history_chart.h"
#include "log/log_months.h"
#include "log/log_rows.h"
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

// Resident memory, and its peak since resetPeak(), in MB (Linux's own counts).
double memoryMB(const char* field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field, 0) == 0) return std::stod(line.substr(std::string(field).size())) / 1024;
    return 0;
}
// Freed memory is given back first, so what a run adds is what it holds at its peak.
void resetPeak() {
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
}

// Opened as the window opens it: every task, 30 days; with the memory it adds.
void BM_History1M_Open30(benchmark::State& state) {
    history::loadChart(folder(), table(), "", today(), 30);   // the companion, made once
    double added = 0;
    for (auto _ : state) {
        state.PauseTiming();
        resetPeak();
        const double before = memoryMB("VmRSS:");
        state.ResumeTiming();
        benchmark::DoNotOptimize(history::loadChart(folder(), table(), "", today(), 30));
        state.PauseTiming();
        added = std::max(added, memoryMB("VmHWM:") - before);
        state.ResumeTiming();
    }
    state.counters["added_MB"] = added;
    state.counters["file_MB"] = static_cast<double>(platform::fileSize(folder() + "LOG_TIMER.TXT").value_or(0) >> 20);
}
BENCHMARK(BM_History1M_Open30)->Unit(benchmark::kMillisecond);

// 24 months of 10 MB, the last of them this month.
const std::string& monthsLog() {
    static const std::string path = [] {
        const std::string p = folder() + "months/";
        fs::create_directories(platform::fsPath(p));
        std::ofstream out(platform::fsPath(p + "SOURCE.TXT"), std::ios::binary);
        const Date last = today();
        for (int back = 23; back >= 0; --back) {
            const Date month{last.year - (back >= last.month ? 1 + (back - last.month) / 12 : 0),
                             (last.month - back % 12 + 11) % 12 + 1, 1};
            for (int i = 0; i < 100000; ++i)
                out << formatDate(Date{month.year, month.month, 1 + i % 28}) << "#07#EXE#TAREFA " << i % kTasks
                    << " >> 12 arquivos conferidos#04:00:00#04:02:10#00:02:10#06 - WINZIP#01 - Todos os Dias#\r\n";
        }
        return p;
    }();
    return path;
}

void copyFile(const std::string& from, const std::string& to) {
    std::ifstream in(platform::fsPath(from), std::ios::binary);
    std::ofstream out(platform::fsPath(to), std::ios::binary);
    std::vector<char> block(1 << 20);
    while (in.read(block.data(), static_cast<std::streamsize>(block.size())) || in.gcount() > 0)
        out.write(block.data(), in.gcount());
}

void BM_LogRotation(benchmark::State& state) {
    const std::string dir = monthsLog(), source = dir + "SOURCE.TXT", logPath = dir + "LOG_TIMER.TXT";
    const Date now = today();
    const std::string month = std::to_string(now.year) + "-" + zeroPad(now.month, 2);
    double added = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (const std::string& m : log::monthsBeside(logPath)) platform::removeFile(log::monthFilePath(logPath, m));
        copyFile(source, logPath);
        resetPeak();
        const double before = memoryMB("VmRSS:");
        state.ResumeTiming();
        benchmark::DoNotOptimize(log::rotateLog(logPath, 5 << 20, month));
        state.PauseTiming();
        added = std::max(added, memoryMB("VmHWM:") - before);
        state.ResumeTiming();
    }
    state.counters["added_MB"] = added;
    state.counters["file_MB"] = static_cast<double>(platform::fileSize(source).value_or(0) >> 20);
}
BENCHMARK(BM_LogRotation)->Unit(benchmark::kMillisecond)->Iterations(2);

// Reading the same bytes and writing them once.
void BM_LogRotation_Floor(benchmark::State& state) {
    const std::string dir = monthsLog();
    for (auto _ : state) copyFile(dir + "SOURCE.TXT", dir + "COPY.TXT");
}
BENCHMARK(BM_LogRotation_Floor)->Unit(benchmark::kMillisecond)->Iterations(2);

// What the log page shows first: the cells of the last entry, from the file's end.
void BM_LogPageLastLine(benchmark::State& state) {
    const std::string path = folder() + "LOG_TIMER.TXT";
    const std::uint64_t size = platform::fileSize(path).value_or(0);
    std::vector<std::string> cells;
    for (auto _ : state) {
        std::string end;
        const std::uint64_t from = size - std::min<std::uint64_t>(size, log::kMemoLogBytes);
        platform::readFileAt(path, from, log::kMemoLogBytes, end);
        const std::size_t whole = from == 0 ? 0 : end.find('\n') + 1;
        const log::LogRows rows(end.substr(whole), log::LogFilter{});
        rows.row(rows.rows() - 2, cells);
        benchmark::DoNotOptimize(cells);
    }
}
BENCHMARK(BM_LogPageLastLine)->Unit(benchmark::kMillisecond);

// The plainest way to the last line: getline through the file.
void BM_LogPageLastLine_Floor(benchmark::State& state) {
    for (auto _ : state) {
        std::ifstream in(platform::fsPath(folder() + "LOG_TIMER.TXT"), std::ios::binary);
        std::string line, last;
        while (std::getline(in, line))
            if (!line.empty()) last.swap(line);
        benchmark::DoNotOptimize(last);
    }
}
BENCHMARK(BM_LogPageLastLine_Floor)->Unit(benchmark::kMillisecond);

// Reading the log file once, whole.
void BM_History1M_Floor(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(platform::readFile(folder() + "LOG_TIMER.TXT"));
}
BENCHMARK(BM_History1M_Floor)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarvex
