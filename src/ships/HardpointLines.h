#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

// Recognising the ship's hp_type lines and its section in shiparch.ini read as lines.

enum class SpecialMount { None, Gun, Turret, Shield };

// The value of an hp_type line ("hp_gun_special_1, HpWeapon01"): the key "hp_type" with or
// without blanks around "=", read as if they were not there; a trailing ";" comment is not
// part of the value. Nothing for other lines and for lines commented out.
std::optional<std::string> hpTypeValue(std::string_view line);

// The first of the patterns "_gun_special_", "_turret_special_", "_shield_special_" that
// the value holds.
SpecialMount specialMount(std::string_view value);

// The comma-separated items of a value, each trimmed.
std::vector<std::string> splitItems(std::string_view value);

// A line that opens a section: its first non-blank character is "[".
bool isSectionHeader(std::string_view line);

// Whether the line is the header (letter case ignored, a trailing comment allowed).
bool isHeaderLine(std::string_view line, std::string_view header);

// The index of the line "[Ship<k>]" at or after from.
template <typename Lines>
std::optional<std::size_t> findShipHeader(const Lines& lines, int shipIndex, std::size_t from = 0) {
    const std::string header = "[Ship" + std::to_string(shipIndex) + "]";
    for (std::size_t i = from; i < lines.size(); ++i) {
        if (isHeaderLine(lines[i], header)) {
            return i;
        }
    }
    return std::nullopt;
}

} // namespace skarvel
