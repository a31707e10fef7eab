#include "platform/Clock.h"

namespace skarvel {

std::int64_t SystemClock::tickMs() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::tm SystemClock::localNow() const {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

const Clock& systemClock() {
    static const SystemClock clock;
    return clock;
}

} // namespace skarvel
