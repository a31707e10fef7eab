// Parsing text whose lines end in a bare CR, as old Mac editors and some tools leave it:
// 4 MB and 50 MB of it against the same text with LF line ends. Linear splitting keeps the
// bare-CR text as fast as the LF text at both sizes (quadratic, 4 MB took ten seconds).
#include "gamedata/IniEngine.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <string>
#include <utility>

namespace {

using namespace skarvel;

// Sections of ten lines: a header, a few keys, comments; about 60 bytes a line.
std::string textOf(std::size_t megabytes, char lineEnd) {
    std::string text;
    text.reserve(megabytes * 1024 * 1024 + 256);
    for (std::size_t n = 0; text.size() < megabytes * 1024 * 1024; ++n) {
        text.append("[Ship]").push_back(lineEnd);
        text.append("nickname = ship_").append(std::to_string(n)).push_back(lineEnd);
        text.append("hit_pts = 1700 ; hull strength of this ship").push_back(lineEnd);
        for (int c = 0; c < 7; ++c) {
            text.append("; a line of comment that the game does not read at all..")
                .push_back(lineEnd);
        }
    }
    return text;
}

// The text is made anew for each round and moved into the parse: two copies of 50 MB would
// raise the run's peak memory.
void parseText(benchmark::State& state, std::size_t megabytes, char lineEnd) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::string text = textOf(megabytes, lineEnd);
        bytes = text.size();
        state.ResumeTiming();
        const skarvel::ini::ParsedIni parsed(std::move(text));
        benchmark::DoNotOptimize(parsed.keys().data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}

BENCHMARK_CAPTURE(parseText, BareCr4MB, 4, '\r')
    ->Name("BM_ParseBareCr/4")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(parseText, BareCr50MB, 50, '\r')
    ->Name("BM_ParseBareCr/50")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(parseText, Lf4MB, 4, '\n')->Name("BM_ParseLf/4")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(parseText, Lf50MB, 50, '\n')
    ->Name("BM_ParseLf/50")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace
