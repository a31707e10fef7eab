#pragma once

#include "platform/Clock.h"

namespace skarvel::test {

// A clock that moves only when told to.
class ManualClock : public Clock {
public:
    std::int64_t tickMs() const override { return ms; }
    std::tm localNow() const override { return now; }

    std::int64_t ms = 1000;
    std::tm now = [] {
        std::tm t{};
        t.tm_year = 2004 - 1900;
        t.tm_mon = 4;
        t.tm_mday = 1;
        t.tm_hour = 14;
        t.tm_min = 3;
        t.tm_sec = 12;
        return t;
    }();
};

} // namespace skarvel::test
