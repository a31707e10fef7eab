#pragma once

#include "platform/AsciiText.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace skarvel {

// A UTF-8 byte order mark counts only at the very start of a file: in front of a later line
// it is a byte like any other, and that line opens no section.
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The line without the byte order mark that may stand before the file's first line.
constexpr std::string_view withoutFileStartMark(std::string_view line, bool atFileStart) {
    return atFileStart && line.starts_with(kByteOrderMark) ? line.substr(kByteOrderMark.size())
                                                           : line;
}

// Whether the line opens a section at all, of whatever name: its first byte that is not a
// blank is "[". The settings-file parser, the numbering, the section lists and the hardpoint
// search all go by this rule. atFileStart: the line is the first of its file.
constexpr bool opensSection(std::string_view line, bool atFileStart = false) {
    return trimBlanks(withoutFileStartMark(line, atFileStart)).starts_with('[');
}

// The header of a section kind that the open numbers (Ship, Good, Power, Engine): after
// blanks (and a byte order mark on the file's first line), exactly "[" + kind + "]" or, while the
// set is open,
// "[" + kind + digits + "]" (exact letter case). Whatever follows the "]" belongs to the
// line, not to the header. "[ship]", "[ Ship ]" and "[ShipDefaults]" are not headers.
struct KindHeader {
    std::size_t open = 0;    // position of "["
    std::size_t end = 0;     // position after "]"
    std::string_view digits; // empty for a plain header
};

// The kinds of section the open numbers, in the order of the numbering.
inline constexpr std::string_view kNumberedKinds[] = {"Good", "Ship", "Power", "Engine"};

// This one rule decides for numbering, removing the numbers, section lists, the hardpoint
// search and the exported copies.
std::optional<KindHeader> matchKindHeader(std::string_view line, std::string_view kind,
                                          bool atFileStart = false);

// Whether the line is the header of section kind + number.
bool isNumberedHeader(std::string_view line, std::string_view kind, int number,
                      bool atFileStart = false);

// A line that was meant as such a header but does not follow the rule ("[ Ship ]", "[ship]",
// "[Ship" without its "]"): worth a warning, since it opens no section of the kind.
bool looksLikeBrokenHeader(std::string_view line, std::string_view kind, bool atFileStart = false);

} // namespace skarvel
