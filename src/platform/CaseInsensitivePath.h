#pragma once

#include <string>

namespace skarvel {

// Resolves a native path one component at a time without regard to letter case, the way
// the game's own platform finds "DATA/SHIPS/shiparch.ini" for "data/Ships/shiparch.ini".
// The result names each existing component as it is spelled on disk; from the first
// component that does not exist on, the given spelling is kept. A component that matches
// exactly wins over one that differs only in case.
std::string resolveCaseInsensitive(const std::string& path);

} // namespace skarvel
