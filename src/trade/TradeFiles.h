#pragma once

#include "gamedata/IniEngine.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace skarvel::trade {

inline constexpr std::uint64_t kTradeFileSizeCap = 64ull * 1024 * 1024;

// One game file as the calculator reads it; ini is null when it was refused.
struct TradeFile {
    std::shared_ptr<const ini::ParsedIni> ini;
    std::string path;    // absolute
    std::string shown;   // below the game folder
    std::string refusal; // why it was not read: "is missing", "names a file outside ...", ...
    bool ok() const { return ini != nullptr; }
};

// Reads what a data file names (named, '\' or '/', any letter case) relative to base, a
// folder below the game folder root: never outside it, only a regular file up to the size
// cap, a compressed file converted in memory. Reads the disk anew (no shared cache), so
// that it may run off the window's thread.
TradeFile readTradeFile(const std::string& root, std::string_view base, std::string_view named);

// The first value of the key in the section's keys, letter case ignored; empty when missing.
std::string keyValue(const ini::ParsedIni& ini, const ini::ParsedIni::Section& section,
                     std::string_view key);

} // namespace skarvel::trade
