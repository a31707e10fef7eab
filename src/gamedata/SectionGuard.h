#pragma once

#include <string_view>

namespace skarvel {

class TUserIniFile;

// Whether the file holds a section of that name (names compared without regard to case).
// The save asks before it writes: a write to a missing section would add the section to
// the game's file.
bool hasSection(const TUserIniFile& ini, std::string_view section);

// Writes the value only when it differs from the text the file holds for the key, so that
// a save without a change leaves the file byte for byte as it was (and journals no write).
// An empty value writes nothing, as WriteString.
void writeChangedValue(TUserIniFile& ini, std::string_view section, std::string_view key,
                       std::string_view value);

} // namespace skarvel
