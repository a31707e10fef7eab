#pragma once

#include "gamedata/IniEngine.h"
#include "gamedata/SectionHeader.h"
#include "gamedata/TextLines.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace skarvel {

// Recognising the ship's hp_type lines and its section in shiparch.ini read as lines.

enum class SpecialMount { None, Gun, Turret, Shield };

// Where the parts of an hp_type line stand ("hp_type = hp_gun_special_1, HpWeapon01 ; c"):
// positions into the line, so that an edit can change one item and keep every other byte.
struct HpTypeLineParts {
    std::size_t valueEnd = 0; // after the last item, before trailing blanks and a comment
    std::vector<std::pair<std::size_t, std::size_t>> items; // each item trimmed, [begin, end)
    bool blanksAroundEquals = false;
};

// The parts of an hp_type line: the key "hp_type" with or without blanks around "=". A
// trailing ";" comment is not part of the value. Nothing for other lines and for lines
// commented out.
std::optional<HpTypeLineParts> parseHpTypeLine(std::string_view line);

// The value of an hp_type line ("hp_gun_special_1, HpWeapon01"), or nothing.
std::optional<std::string> hpTypeValue(std::string_view line);

// The first of the patterns "_gun_special_", "_turret_special_", "_shield_special_" that
// the value holds.
SpecialMount specialMount(std::string_view value);

// The comma-separated items of a value, each trimmed.
std::vector<std::string> splitItems(std::string_view value);

// A line that opens a section, by the one header rule (opensSection).
bool isSectionHeader(std::string_view line, bool atFileStart = false);

// The text of a line, whether it is held as a view or with its line end (EditableLine).
inline std::string_view lineText(std::string_view line) {
    return line;
}
inline std::size_t lineEndLength(const EditableLine& line) {
    return line.ending.size();
}

// Where the header line of the one ship section whose nickname is nickname starts in the
// file's bytes (after its byte order mark); nothing when no section or several have it.
std::optional<std::size_t> shipHeaderOffset(const ini::ParsedIni& parsed,
                                            std::string_view nickname);

// The index of the header of section "Ship" + shipIndex at or after from.
template <typename Lines>
std::optional<std::size_t> findShipHeader(const Lines& lines, int shipIndex, std::size_t from = 0) {
    for (std::size_t i = from; i < lines.size(); ++i) {
        if (isNumberedHeader(lineText(lines[i]), "Ship", shipIndex, i == 0)) {
            return i;
        }
    }
    return std::nullopt;
}

// The index of the header line of the one ship section whose nickname is nickname (letter
// case ignored) in the parse of the lines' bytes; nothing when no section or several have it.
template <typename Lines>
std::optional<std::size_t> findShipHeaderByNickname(const Lines& lines,
                                                    const ini::ParsedIni& parsed,
                                                    std::string_view nickname) {
    const std::optional<std::size_t> offset = shipHeaderOffset(parsed, nickname);
    if (!offset) {
        return std::nullopt;
    }
    std::size_t start = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::size_t length = lineText(lines[i]).size();
        if (*offset >= start && *offset <= start + length) {
            return i;
        }
        start += length + lineEndLength(lines[i]);
    }
    return std::nullopt;
}

// The values of the special hp_type lines (guns, turrets, shields) of the one ship section of
// that nickname, one per line in file order; empty when no section or several have it. What
// tells whether another program changed the levels since the load.
std::string specialLinesOf(const ini::ParsedIni& parsed, std::string_view shipNickname);

// The end of the section whose header is at index header: the next line that opens a
// section, or the end of the lines.
template <typename Lines> std::size_t sectionEnd(const Lines& lines, std::size_t header) {
    std::size_t end = header + 1;
    while (end < lines.size() && !isSectionHeader(lineText(lines[end]))) {
        ++end;
    }
    return end;
}

} // namespace skarvel
