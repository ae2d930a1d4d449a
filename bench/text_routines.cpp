// Text routines on command texts of the size real copy tasks reach.
#include <benchmark/benchmark.h>

#include <string>

#include "lib/routines.h"

namespace {

std::string commandText(int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i)
        text += "XCOPY  C:\\DADOS\\PASTA" + std::to_string(i) +
                "  ===>>  [PEN]:\\DADOS\\PASTA[EXT]      /E /D /Y /R /C /V||";
    return text;
}

void BM_TrocaEveryPlaceholder(benchmark::State& state) {
    const std::string text = commandText(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(tarvex::replaceText(text, "[PEN]", "E", 0));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_TrocaEveryPlaceholder)->Arg(1)->Arg(40)->Arg(400);

void BM_CampoTaskRow(benchmark::State& state) {
    std::string row;
    for (int i = 0; i < 35; ++i) row += "campo " + std::to_string(i) + "\xA6";
    for (auto _ : state) benchmark::DoNotOptimize(tarvex::fieldOf(row, 35, '\xA6'));
}
BENCHMARK(BM_CampoTaskRow);

}  // namespace
