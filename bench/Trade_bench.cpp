// The trade calculator on a generated universe of 100 systems, 1,000 bases and 60
// commodities, and on the demo game's test universe:
//   reading the trade files and building the travel graph   target <= 10x reading and
//                                                            parsing the large set's six files
//   the best routes for one ship, one way and round trips   target < 200 ms each, the ship's
//                                                            travel times included
//   a typed price and every figure of the shown tables      target < 16 ms
// and on two crafted universes, each read, built and searched for one ship in under a second:
// 3,000 bases in one system, and one system of 100,000 lane rings (ten lanes).
#include "DataSetGenerator.h"
#include "TradeUniverseGenerator.h"
#include "gamedata/IniEngine.h"
#include "platform/Files.h"
#include "support/TestFiles.h"
#include "trade/Calculator.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <random>
#include <string>

namespace {

using namespace skarvel;
namespace fs = std::filesystem;

std::vector<fs::path> filesBelow(const fs::path& folder) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files.push_back(entry.path());
        }
    }
    return files;
}

struct Universe {
    Universe() {
        bench::generateTradeUniverse(dir.path() / "DATA");
        files = filesBelow(dir.path());
    }
    std::string dataDir() const { return dir.folder() + "DATA/"; }
    test::TempDir dir;
    std::vector<fs::path> files;
};

const Universe& universe() {
    static const Universe generated;
    return generated;
}

// A new change time for every file: the parser's cache reads them again.
void touch(const std::vector<fs::path>& files) {
    static auto when = fs::file_time_type::clock::now();
    when += std::chrono::seconds(1);
    for (const fs::path& file : files) {
        fs::last_write_time(file, when);
    }
}

double cpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Wall and processor seconds of reading and parsing the large set's six files once, the best
// of a few rounds.
struct Baseline {
    double wall = 1e9, cpu = 1e9;
};

const Baseline& parseSix() {
    static const Baseline best = [] {
        const bench::GeneratedDataSet large(bench::DataSetSize::Large);
        Baseline fastest;
        for (int round = 0; round < 5; ++round) {
            const auto start = std::chrono::steady_clock::now();
            const double cpuStart = cpuSeconds();
            for (const fs::path& file : large.files()) {
                const ini::ParsedIni parsed(readFile(file.string()));
                benchmark::DoNotOptimize(parsed.sections().data());
            }
            fastest.cpu = std::min(fastest.cpu, cpuSeconds() - cpuStart);
            fastest.wall = std::min(fastest.wall, secondsSince(start));
        }
        return fastest;
    }();
    return best;
}

void readAndBuild(benchmark::State& state, const std::string& dataDir,
                  const std::vector<fs::path>& files) {
    double seconds = 0, cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        touch(files);
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = cpuSeconds();
        const trade::Calculator calculator(trade::readTradeData(dataDir, {}));
        cpu += cpuSeconds() - cpuStart;
        seconds += secondsSince(start);
        benchmark::DoNotOptimize(calculator.graph().hubs().size());
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters["x_parse"] = seconds / runs / parseSix().wall;
    state.counters["cpu_x_parse"] = cpu / runs / parseSix().cpu;
    state.counters["parse_ms"] = parseSix().wall * 1000;
    state.counters["parse_cpu_ms"] = parseSix().cpu * 1000;
}

void BM_TradeReadAndGraph(benchmark::State& state) {
    readAndBuild(state, universe().dataDir(), universe().files);
}
BENCHMARK(BM_TradeReadAndGraph)->Unit(benchmark::kMillisecond);

void BM_TradeReadAndGraphTestUniverse(benchmark::State& state) {
    // A copy: the fixture's files are not touched.
    const test::TempDir copy;
    test::copyFixture("game-trade/game", copy.path());
    readAndBuild(state, copy.folder() + "DATA/", filesBelow(copy.path()));
}
BENCHMARK(BM_TradeReadAndGraphTestUniverse)->Unit(benchmark::kMillisecond);

// Two ships of other engines in turn: each query works out the ship's travel times anew.
void bestRoutes(benchmark::State& state, trade::RouteOrder order) {
    const trade::Calculator calculator(trade::readTradeData(universe().dataDir(), {}));
    double charge = 5;
    for (auto _ : state) {
        charge = charge == 5 ? 6 : 5;
        benchmark::DoNotOptimize(
            calculator.routes({100, trade::kNone, trade::kNone, 200, {0, charge}, order}).size());
    }
}

void BM_TradeBestRoutes(benchmark::State& state) {
    bestRoutes(state, trade::RouteOrder::OneWay);
}
BENCHMARK(BM_TradeBestRoutes)->Unit(benchmark::kMillisecond);

void BM_TradeRoundTrips(benchmark::State& state) {
    bestRoutes(state, trade::RouteOrder::RoundTrip);
}
BENCHMARK(BM_TradeRoundTrips)->Unit(benchmark::kMillisecond);

// A price typed: the commodity rows, the shown markets and the routes as the page asks them.
void BM_TradePriceEdit(benchmark::State& state) {
    trade::Calculator calculator(trade::readTradeData(universe().dataDir(), {}));
    const trade::RouteQuery query{100, trade::kNone, trade::kNone, 200, {0, 5}};
    calculator.routes(query);
    int price = 100;
    for (auto _ : state) {
        price = price == 100 ? 101 : 100;
        calculator.setBasePrice(7, std::to_string(price));
        for (std::size_t c = 0; c < calculator.data().commodities.size(); ++c) {
            benchmark::DoNotOptimize(calculator.commodityRow(c).margin);
        }
        for (std::size_t m : calculator.marketsOf(7)) {
            benchmark::DoNotOptimize(calculator.price(m));
        }
        benchmark::DoNotOptimize(calculator.routes(query).size());
    }
}
BENCHMARK(BM_TradePriceEdit)->Unit(benchmark::kMillisecond);

// A crafted universe read, built and searched for one ship (one way), as the page does it.
void crowded(benchmark::State& state, int bases, int lanes, int rings) {
    std::vector<fs::path> files;
    {
        const test::TempDir dir;
        bench::generateCrowdedSystem(dir.path() / "DATA", bases, lanes, rings);
        files = filesBelow(dir.path());
        for (auto _ : state) {
            const trade::Calculator calculator(trade::readTradeData(dir.folder() + "DATA/", {}));
            benchmark::DoNotOptimize(
                calculator.routes({100, trade::kNone, trade::kNone, 200, {0, 5}}).size());
        }
    }
    // The files are gone: the parser's cache lets go of their parses at the next look.
    for (const fs::path& file : files) {
        benchmark::DoNotOptimize(ini::currentIni(file.string()));
    }
}

void BM_TradeCrowdedSystem(benchmark::State& state) {
    crowded(state, 3000, 1, 12);
}
BENCHMARK(BM_TradeCrowdedSystem)->Unit(benchmark::kMillisecond);

void BM_TradeManyRings(benchmark::State& state) {
    crowded(state, 20, 10, 10000);
}
BENCHMARK(BM_TradeManyRings)->Unit(benchmark::kMillisecond);

} // namespace
