// Where a nickname is used, on the largest generated set made a whole mod. The index of every
// name, built from the mod read and parsed anew (every file touched first, so that the parse
// cache parses it again), against reading and parsing the same files once: target at most 5x.
// One lookup of a gun every loadout names, its uses made: target under 1 ms.
#include "BenchCost.h"
#include "DataSetGenerator.h"
#include "check/ModFiles.h"
#include "gamedata/IniEngine.h"
#include "platform/Files.h"
#include "usage/WhereUsed.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

using namespace skarvel;
using bench::Cost;
using bench::measure;
using bench::releaseParses;

// The files the index reads: every file of the mod.
std::vector<std::string> modFiles(const bench::GeneratedDataSet& set) {
    std::vector<std::string> paths;
    for (const auto& file : check::readModFiles(set.gameDir().string()).files) {
        paths.push_back((set.gameDir() / file.shown).string());
    }
    return paths;
}

void indexSet(benchmark::State& state, const bench::GeneratedDataSet& set,
              const std::vector<std::string>& files) {
    const Cost baseline = bench::parseOnce(files);
    Cost total;
    Cost building;
    std::size_t names = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (const std::string& file : files) {
            ::utimensat(AT_FDCWD, file.c_str(), nullptr, 0); // a new change time: parse again
        }
        state.ResumeTiming();
        const Cost once = measure([&] {
            const check::ModFiles mod = check::readModFiles(set.gameDir().string());
            const Cost build = measure([&] {
                const auto index = usage::UsageIndex::build(mod);
                names = index.nameCount();
            });
            building = {building.wall + build.wall, building.cpu + build.cpu};
        });
        total = {total.wall + once.wall, total.cpu + once.cpu};
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters["x_parse"] = total.wall / runs / baseline.wall;
    state.counters["cpu_x_parse"] = total.cpu / runs / baseline.cpu;
    state.counters["build_cpu_x_parse"] = building.cpu / runs / baseline.cpu;
    state.counters["build_ms"] = building.wall / runs * 1000.0;
    state.counters["parse_ms"] = baseline.wall * 1000.0;
    state.counters["parse_cpu_ms"] = baseline.cpu * 1000.0;
    state.counters["names"] = static_cast<double>(names);
    state.counters["files"] = static_cast<double>(files.size());
}

void BM_WhereUsedIndex(benchmark::State& state, bench::DataSetSize size) {
    std::vector<std::string> files;
    {
        const bench::GeneratedDataSet set(size);
        bench::generateModFiles(set.gameDir(), size);
        files = modFiles(set);
        indexSet(state, set, files);
    }
    releaseParses(files);
}

void BM_WhereUsedLookup(benchmark::State& state, bench::DataSetSize size) {
    std::vector<std::string> files;
    std::size_t uses = 0;
    {
        const bench::GeneratedDataSet set(size);
        bench::generateModFiles(set.gameDir(), size);
        files = modFiles(set);
        const auto index = usage::UsageIndex::build(check::readModFiles(set.gameDir().string()));
        for (auto _ : state) {
            const auto found = index.uses("GE_GUN_1");
            uses = found.size();
            benchmark::DoNotOptimize(found.data());
        }
    }
    releaseParses(files);
    if (uses == 0) {
        state.SkipWithError("the generated set names no ge_gun_1");
    }
    state.counters["uses"] = static_cast<double>(uses);
}

BENCHMARK_CAPTURE(BM_WhereUsedIndex, large, bench::DataSetSize::Large)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WhereUsedLookup, large, bench::DataSetSize::Large)
    ->Unit(benchmark::kMicrosecond);

} // namespace
