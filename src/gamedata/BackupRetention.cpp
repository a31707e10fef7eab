#include "gamedata/BackupRetention.h"

#include <ctime>
#include <set>
#include <utility>

namespace skarvel {

namespace {

// The local calendar day and month: what a user means by "each day".
std::pair<int, int> localDayAndMonth(std::int64_t micros) {
    const std::time_t seconds = static_cast<std::time_t>(micros / 1000000);
    std::tm local{};
    localtime_r(&seconds, &local);
    const int month = (local.tm_year + 1900) * 12 + local.tm_mon;
    return {month * 31 + local.tm_mday, month};
}

} // namespace

std::vector<bool> keptByAge(const std::vector<std::int64_t>& newestFirst, std::int64_t now,
                            int days) {
    std::vector<bool> kept(newestFirst.size(), true);
    if (days <= 0 || newestFirst.empty()) {
        return kept;
    }
    std::set<int> daysSeen;
    std::set<int> monthsSeen;
    for (std::size_t i = 0; i + 1 < newestFirst.size(); ++i) {
        const std::int64_t age = now - newestFirst[i];
        const auto [day, month] = localDayAndMonth(newestFirst[i]);
        // Newest first: the first backup met of a day or month is its newest.
        const bool newestOfDay = daysSeen.insert(day).second;
        const bool newestOfMonth = monthsSeen.insert(month).second;
        if (age < 24 * kMicrosecondsPerHour) {
            continue;
        }
        kept[i] = age < days * 24 * kMicrosecondsPerHour ? newestOfDay : newestOfMonth;
    }
    return kept;
}

} // namespace skarvel
