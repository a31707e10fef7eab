#pragma once

#include <cstdint>
#include <string_view>

namespace skarvel {

// The game's hash of a nickname, as initialworld.ini's [locked_gates] and the saved games
// store it: letter case does not count ("li_elite" gives 3074863431).
std::uint32_t nicknameHash(std::string_view nickname);

} // namespace skarvel
