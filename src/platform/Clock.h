#pragma once

#include <chrono>
#include <cstdint>
#include <ctime>

namespace skarvel {

// Time as the program sees it; tests replace it to control elapsed times and dates.
class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds from a fixed start; monotonic, 64 bits, never wraps.
    virtual std::int64_t tickMs() const = 0;
    // Local wall-clock time.
    virtual std::tm localNow() const = 0;
};

class SystemClock final : public Clock {
public:
    std::int64_t tickMs() const override;
    std::tm localNow() const override;
};

const Clock& systemClock();

} // namespace skarvel
