// The mod check (--check, every rule) on the generated sets made whole mods (freelancer.ini,
// loadouts, NPC ships, solars, a universe with its systems, markets), each iteration as a
// fresh run reads the files: every file is touched first, so that the parse cache reads and
// parses it again. Against the time to read and parse the files the check reads once;
// targets: the large set at most 10x that, the mid-size mod (300 ships) under a second.
#include "BenchCost.h"
#include "DataSetGenerator.h"
#include "check/Checker.h"
#include "gamedata/IniEngine.h"
#include "platform/Files.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>

namespace {

using namespace skarvel;
using bench::Cost;
using bench::measure;

// The data files the check reads: every .ini file of the mod but the bases' own, whose being
// there is all the check asks.
std::vector<std::string> checkedFiles(const bench::GeneratedDataSet& set) {
    std::vector<std::string> paths;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(set.gameDir())) {
        if (entry.is_regular_file() && entry.path().extension() == ".ini" &&
            entry.path().parent_path().filename() != "bases") {
            paths.push_back(entry.path().string());
        }
    }
    std::ranges::sort(paths);
    return paths;
}

// The check against reading and parsing the files it reads, measured in the same run.
void checkSet(benchmark::State& state, const bench::GeneratedDataSet& set,
              const std::vector<std::string>& files) {
    const Cost baseline = bench::parseOnce(files);
    Cost total;
    std::size_t problems = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (const std::string& file : files) {
            ::utimensat(AT_FDCWD, file.c_str(), nullptr, 0); // a new change time: parse again
        }
        state.ResumeTiming();
        const Cost once =
            measure([&] { problems = check::checkGame(set.gameDir().string()).size(); });
        total = {total.wall + once.wall, total.cpu + once.cpu};
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters["x_parse"] = total.wall / runs / baseline.wall;
    state.counters["cpu_x_parse"] = total.cpu / runs / baseline.cpu;
    state.counters["parse_ms"] = baseline.wall * 1000.0;
    state.counters["parse_cpu_ms"] = baseline.cpu * 1000.0;
    state.counters["problems"] = static_cast<double>(problems);
    state.counters["files"] = static_cast<double>(files.size());
}

void BM_CheckWholeSet(benchmark::State& state, bench::DataSetSize size) {
    std::vector<std::string> files;
    {
        const bench::GeneratedDataSet set(size);
        bench::generateModFiles(set.gameDir(), size);
        files = checkedFiles(set);
        checkSet(state, set, files);
    }
    for (const std::string& file : files) {
        benchmark::DoNotOptimize(ini::currentIni(file)); // gone: the cache lets go of its parse
    }
}

BENCHMARK_CAPTURE(BM_CheckWholeSet, mid, bench::DataSetSize::Mid)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CheckWholeSet, large, bench::DataSetSize::Large)
    ->Unit(benchmark::kMillisecond);

} // namespace
