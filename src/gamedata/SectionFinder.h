#pragma once

#include "gamedata/IniEngine.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

// Finding a section by what it holds rather than by its name: the sections of a repeated kind
// ("Ship", "Good", "Power", "Engine") share a name, or carry numbers that change when another
// program adds or removes one, but each names itself by its nickname.

// Whether the section's header opens a section of that kind, plain or numbered, by the one
// header rule.
bool isKindSection(const ini::ParsedIni& ini, const ini::ParsedIni::Section& section,
                   std::string_view kind);

// The names the sections of that kind answer to, in file order: numbered, or counted in
// memory for a file kept plain ("Ship1", "Ship2"): what the section lists hold.
std::vector<std::string> kindSectionNames(const ini::ParsedIni& ini, std::string_view kind);

// The value of the section's first nickname key (key name in any letter case); empty when it
// has none.
std::string nicknameOf(const ini::ParsedIni& ini, const ini::ParsedIni::Section& section);

// The positions in ini.sections() of the sections of kind whose nickname is nickname, letter
// case ignored. An empty nickname names no section.
std::vector<std::size_t> sectionsWithNickname(const ini::ParsedIni& ini, std::string_view kind,
                                              std::string_view nickname);

// The same with another key than nickname naming the section ([BaseGood] by its base).
std::vector<std::size_t> sectionsWithKeyValue(const ini::ParsedIni& ini, std::string_view kind,
                                              std::string_view key, std::string_view value);

// The positions in ini.keys() of the section's keys of that name whose value's first field
// (up to the first comma, trimmed) is field, letter case ignored: a MarketGood line by its good.
std::vector<std::size_t> keysWithFirstField(const ini::ParsedIni& ini, std::size_t section,
                                            std::string_view key, std::string_view field);

} // namespace skarvel
