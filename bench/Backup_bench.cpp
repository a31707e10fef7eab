// A backup of the six files of the largest generated set, into a folder in RAM (/dev/shm
// when there is one), against reading and parsing the six files once: target <= 2. Each run
// makes a whole new backup: the files read in their closed form, hashed, the objects
// checked or written, synced and read back, the manifest renamed into place, old backups
// pruned. Then 1,000 backups with one file changed each time: the store may grow by at most
// that file's size per backup, and listing the Backup page's rows takes under 100 ms.
#include "DataSetGenerator.h"
#include "gamedata/GameBackups.h"
#include "gamedata/IniEngine.h"
#include "journal/Journal.h"
#include "platform/Files.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <string>

namespace {

using namespace skarvel;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Times {
    double wall = 0;
    double cpu = 0;
};

template <class Work> Times timed(Work&& work) {
    const auto wall = Clock::now();
    const std::clock_t cpu = std::clock();
    work();
    return {std::chrono::duration<double>(Clock::now() - wall).count(),
            static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC};
}

fs::path ramFolder() {
    const fs::path shm = "/dev/shm";
    return fs::is_directory(shm) ? shm : fs::temp_directory_path();
}

void BM_BackupOfTheLargeSet(benchmark::State& state) {
    const bench::GeneratedDataSet set(bench::DataSetSize::Large);
    const fs::path root = ramFolder() / ("skarvel-bench-backups-" + std::to_string(::getpid()));
    TJournal journal(root.string() + "/journal/", "DebugOut");
    const std::string gameFolder = set.gameDir().string() + "/";
    GameBackups backups(journal,
                        {(root / "backups").string(), (root / "state").string(), 30, "bench", {}},
                        gameFolder, makeDataFileSet(gameFolder));

    Times parse{1e9, 1e9};
    for (int i = 0; i < 5; ++i) {
        const Times once = timed([&] {
            for (const auto& file : set.files()) {
                const ini::ParsedIni parsed(readFile(file.string()));
                benchmark::DoNotOptimize(parsed.sections().data());
            }
        });
        parse.wall = std::min(parse.wall, once.wall);
        parse.cpu = std::min(parse.cpu, once.cpu);
    }

    Times total;
    for (auto _ : state) {
        const Times once = timed([&] {
            backups.store().add(backups.closedForm(), "manual", "bench");
            backups.store().prune(30, {});
        });
        total.wall += once.wall;
        total.cpu += once.cpu;
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters["x_parse"] = total.wall / runs / parse.wall;
    state.counters["cpu_x_parse"] = total.cpu / runs / parse.cpu;
    state.counters["parse_ms"] = parse.wall * 1000.0;
    state.counters["parse_cpu_ms"] = parse.cpu * 1000.0;
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

BENCHMARK(BM_BackupOfTheLargeSet)->Unit(benchmark::kMillisecond);

// The bytes of the files below a folder.
double folderBytes(const fs::path& folder) {
    std::uintmax_t total = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            total += entry.file_size();
        }
    }
    return static_cast<double>(total);
}

void BM_ThousandBackupsOfOneChangedFile(benchmark::State& state) {
    constexpr int kBackups = 1000;
    constexpr std::size_t kShipArch = 4; // the largest file
    const bench::GeneratedDataSet set(bench::DataSetSize::Large);
    const fs::path root = ramFolder() / ("skarvel-bench-store-" + std::to_string(::getpid()));
    TJournal journal(root.string() + "/journal/", "DebugOut");
    const std::string gameFolder = set.gameDir().string() + "/";
    GameBackups backups(journal,
                        {(root / "backups").string(), (root / "state").string(), 30, "bench", {}},
                        gameFolder, makeDataFileSet(gameFolder));
    std::vector<FileContent> contents = backups.closedForm();
    const std::string shipArch = contents[kShipArch].bytes;
    backups.store().add(contents, "open", "bench");
    const double first = folderBytes(root / "backups");

    double listMs = 0;
    for (auto _ : state) {
        for (int i = 0; i < kBackups; ++i) {
            contents[kShipArch].bytes = shipArch + "; save " + std::to_string(i) + "\r\n";
            backups.store().add(contents, "save", "bench");
        }
        constexpr int kLists = 5;
        const auto start = Clock::now();
        for (int i = 0; i < kLists; ++i) {
            benchmark::DoNotOptimize(backups.rows().size());
        }
        listMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count() / kLists;
    }
    const double growth = (folderBytes(root / "backups") - first) / kBackups;
    state.counters["growth_per_backup"] = growth;
    state.counters["changed_file"] = static_cast<double>(shipArch.size());
    state.counters["growth_x_file"] = growth / static_cast<double>(shipArch.size());
    state.counters["list_ms"] = listMs;
    state.counters["backups"] = static_cast<double>(backups.store().list().size());
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

BENCHMARK(BM_ThousandBackupsOfOneChangedFile)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
