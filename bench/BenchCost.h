#pragma once

#include <chrono>
#include <ctime>

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

} // namespace skarvel::bench
