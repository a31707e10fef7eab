// A rename across the largest generated set made a whole mod: a gun every loadout names,
// renamed (the mod read and indexed, the rename planned) and saved (one backup, one batch,
// the files read again), back and forth; against reading and parsing the mod's files once:
// target at most 10x.
#include "BenchCost.h"
#include "BenchSession.h"
#include "check/ModFiles.h"
#include "gamedata/IniEngine.h"
#include "platform/Files.h"
#include "usage/RenameCommands.h"

#include <algorithm>
#include <benchmark/benchmark.h>

namespace {

using namespace skarvel;
using bench::Cost;
using bench::measure;

void renameSaved(benchmark::State& state, std::vector<std::string>& files) {
    bench::Session s(bench::DataSetSize::Large, /*withModFiles=*/true);
    RenameCommands renames(s.journal(), s.editor());
    for (const auto& file : check::readModFiles(s.gameDir().string() + "/").files) {
        files.push_back((s.gameDir() / file.shown).string());
    }
    const Cost baseline = bench::parseOnce(files);
    std::string from = "ge_gun_1";
    std::string to = "ge_gun_1_renamed";
    std::size_t lines = 0;
    Cost total;
    for (auto _ : state) {
        std::string refusal;
        total += measure([&] {
            refusal = renames.rename(from, to);
            if (refusal.empty()) {
                lines = renames.pending().front().lines.size();
                if (s.editor().SAVE_INI_VALUES() == SaveOutcome::Saved) {
                    s.editor().reloadFromFiles();
                }
            }
        });
        if (!refusal.empty() || !renames.pending().empty()) {
            state.SkipWithError(refusal.empty() ? "the rename was not saved" : refusal.c_str());
            break;
        }
        std::swap(from, to);
    }
    const auto runs =
        static_cast<double>(std::max<benchmark::IterationCount>(1, state.iterations()));
    state.counters["x_parse"] = total.wall / runs / baseline.wall;
    state.counters["cpu_x_parse"] = total.cpu / runs / baseline.cpu;
    state.counters["parse_ms"] = baseline.wall * 1000.0;
    state.counters["parse_cpu_ms"] = baseline.cpu * 1000.0;
    state.counters["lines"] = static_cast<double>(lines);
    state.counters["files"] = static_cast<double>(files.size());
}

void BM_RenameSaved(benchmark::State& state) {
    std::vector<std::string> files;
    renameSaved(state, files);
    bench::releaseParses(files);
}

BENCHMARK(BM_RenameSaved)->Unit(benchmark::kMillisecond)->Iterations(4);

} // namespace
