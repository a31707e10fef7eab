#pragma once

#include <string_view>

namespace skarvel {

class TUserIniFile;

// Whether the file holds a section of that name (names compared without regard to case).
// The save asks before it writes: a write to a missing section would add the section to
// the game's file.
bool hasSection(const TUserIniFile& ini, std::string_view section);

} // namespace skarvel
