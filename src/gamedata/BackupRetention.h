#pragma once

#include <cstdint>
#include <vector>

namespace skarvel {

inline constexpr std::int64_t kMicrosecondsPerHour = std::int64_t{3600} * 1000000;

// Which backups are kept by age, for backups at `newestFirst` (microseconds since 1970, UTC)
// at the time `now`: every backup of the last 24 hours, the newest of each local day for
// `days` days, the newest of each local month before that, and always the oldest. days 0
// keeps every backup.
std::vector<bool> keptByAge(const std::vector<std::int64_t>& newestFirst, std::int64_t now,
                            int days);

} // namespace skarvel
