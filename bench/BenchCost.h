#pragma once

#include "gamedata/IniEngine.h"
#include "platform/Files.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <string>
#include <vector>

namespace skarvel::bench {

// The processor time this process has used, in seconds: the rows' ratios are taken of it, as
// the wall clock of a shared machine varies with its other work.
inline double cpuSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

struct Cost {
    double wall = 0;
    double cpu = 0;
    Cost& operator+=(const Cost& other) {
        wall += other.wall;
        cpu += other.cpu;
        return *this;
    }
};

// The wall and processor time of one run of the work.
template <typename Work> Cost measure(Work&& work) {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const double cpuStart = cpuSeconds();
    work();
    return {std::chrono::duration<double>(Clock::now() - start).count(), cpuSeconds() - cpuStart};
}

// Reading and parsing the files once, the best of five rounds: what a row's ratio is set
// against.
inline Cost parseOnce(const std::vector<std::string>& files) {
    Cost best{1e9, 1e9};
    for (int round = 0; round < 5; ++round) {
        const Cost once = measure([&] {
            for (const std::string& file : files) {
                const ini::ParsedIni parsed(readFile(file));
                benchmark::DoNotOptimize(parsed.sections().data());
            }
        });
        best = {std::min(best.wall, once.wall), std::min(best.cpu, once.cpu)};
    }
    return best;
}

// Once a generated set is gone, the parse cache lets go of its files' parses: asked again, a
// file that is no longer there leaves the cache.
inline void releaseParses(const std::vector<std::string>& files) {
    for (const std::string& file : files) {
        benchmark::DoNotOptimize(ini::currentIni(file));
    }
}

} // namespace skarvel::bench
