// The equipment tables on the largest generated set made a whole mod (as many guns, each with
// a munition of its own, as engines): every kind's rows, with the munitions' keys, the game's
// names, the prices and the derived values, from the equipment and goods files read and
// parsed anew, against reading and parsing those files once: target at most 5x.
#include "BenchCost.h"
#include "DataSetGenerator.h"
#include "check/ModFiles.h"
#include "gamedata/GameNames.h"
#include "gamedata/IniEngine.h"
#include "platform/Files.h"
#include "tables/EquipmentTable.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

using namespace skarvel;
using bench::Cost;
using bench::measure;

// The files the tables read: the equipment and goods files of the mod.
std::vector<std::string> tableFiles(const bench::GeneratedDataSet& set) {
    std::vector<std::string> paths;
    for (const auto& file : check::readModFiles(set.gameDir().string()).files) {
        if (file.role == check::FileRole::Equipment || file.role == check::FileRole::Goods) {
            paths.push_back((set.gameDir() / file.shown).string());
        }
    }
    return paths;
}

void BM_EquipmentTables(benchmark::State& state, bench::DataSetSize size) {
    std::vector<std::string> files;
    {
        const bench::GeneratedDataSet set(size);
        bench::generateModFiles(set.gameDir(), size);
        files = tableFiles(set);
        const Cost baseline = bench::parseOnce(files);
        // Only the files a table reads are kept: the page reads the others for Where used.
        check::ModFiles read = check::readModFiles(set.gameDir().string());
        std::erase_if(read.files, [](const check::SourceFile& file) {
            return file.role != check::FileRole::Equipment && file.role != check::FileRole::Goods;
        });
        const GameNames names;
        Cost total;
        std::size_t guns = 0;
        for (auto _ : state) {
            state.PauseTiming();
            for (const std::string& file : files) {
                ::utimensat(AT_FDCWD, file.c_str(), nullptr, 0); // a new change time: parse again
            }
            state.ResumeTiming();
            total += measure([&] {
                for (check::SourceFile& file : read.files) {
                    if (file.role == check::FileRole::Equipment ||
                        file.role == check::FileRole::Goods) {
                        file.ini = ini::currentIni((set.gameDir() / file.shown).string());
                    }
                }
                const EquipmentTables tables = EquipmentTables::read(read, names);
                guns = tables.find("Gun") ? tables.find("Gun")->rows.size() : 0;
            });
        }
        const auto runs = static_cast<double>(state.iterations());
        state.counters["x_parse"] = total.wall / runs / baseline.wall;
        state.counters["cpu_x_parse"] = total.cpu / runs / baseline.cpu;
        state.counters["parse_ms"] = baseline.wall * 1000.0;
        state.counters["parse_cpu_ms"] = baseline.cpu * 1000.0;
        state.counters["guns"] = static_cast<double>(guns);
        state.counters["files"] = static_cast<double>(files.size());
    }
    bench::releaseParses(files);
}

BENCHMARK_CAPTURE(BM_EquipmentTables, large, bench::DataSetSize::Large)
    ->Unit(benchmark::kMillisecond);

} // namespace
