#pragma once

#include "platform/AsciiText.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace skarvel {

// Whether the line opens a section at all, of whatever name: its first byte that is not a
// blank is "[". The settings-file parser goes by this rule.
constexpr bool opensSection(std::string_view line) {
    return trimBlanks(line).starts_with('[');
}

// The header of a section kind that the open numbers (Ship, Good, Power, Engine): after an
// optional byte order mark and blanks, exactly "[" + kind + "]" or, while the set is open,
// "[" + kind + digits + "]" (exact letter case). Whatever follows the "]" belongs to the
// line, not to the header. "[ship]", "[ Ship ]" and "[ShipDefaults]" are not headers.
struct KindHeader {
    std::size_t open = 0;    // position of "["
    std::size_t end = 0;     // position after "]"
    std::string_view digits; // empty for a plain header
};

// This one rule decides for numbering, removing the numbers, section lists, the hardpoint
// search and the exported copies.
std::optional<KindHeader> matchKindHeader(std::string_view line, std::string_view kind);

// Whether the line is the header of section kind + number.
bool isNumberedHeader(std::string_view line, std::string_view kind, int number);

// A line that was meant as such a header but does not follow the rule ("[ Ship ]", "[ship]",
// "[Ship" without its "]"): worth a warning, since it opens no section of the kind.
bool looksLikeBrokenHeader(std::string_view line, std::string_view kind);

} // namespace skarvel
