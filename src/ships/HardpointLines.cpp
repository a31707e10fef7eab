#include "ships/HardpointLines.h"

#include "gamedata/SectionFinder.h"
#include "gamedata/TextParts.h"
#include "platform/AsciiText.h"

namespace skarvel {

namespace {

bool isControlOrBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

// The span [begin, end) without characters 0 to 32 at both ends.
std::pair<std::size_t, std::size_t> trimmedSpan(std::string_view line, std::size_t begin,
                                                std::size_t end) {
    while (begin < end && isControlOrBlank(line[begin])) {
        ++begin;
    }
    while (end > begin && isControlOrBlank(line[end - 1])) {
        --end;
    }
    return {begin, end};
}

} // namespace

std::optional<HpTypeLineParts> parseHpTypeLine(std::string_view line) {
    std::size_t first = 0;
    while (first < line.size() && isControlOrBlank(line[first])) {
        ++first;
    }
    if (first == line.size() || line[first] == ';') {
        return std::nullopt;
    }
    const std::size_t equals = line.find('=', first);
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    const auto [keyBegin, keyEnd] = trimmedSpan(line, first, equals);
    if (line.substr(keyBegin, keyEnd - keyBegin) != "hp_type") {
        return std::nullopt;
    }
    std::size_t valueEnd = line.find(';', equals + 1);
    if (valueEnd == std::string_view::npos) {
        valueEnd = line.size();
    }
    HpTypeLineParts parts;
    parts.blanksAroundEquals =
        keyEnd < equals || (equals + 1 < line.size() && isControlOrBlank(line[equals + 1]));
    parts.valueEnd = trimmedSpan(line, equals + 1, valueEnd).second;
    std::size_t from = equals + 1;
    while (true) {
        const std::size_t comma = line.find(',', from);
        const std::size_t end = comma < parts.valueEnd ? comma : parts.valueEnd;
        parts.items.push_back(trimmedSpan(line, from, end));
        if (end == parts.valueEnd) {
            return parts;
        }
        from = comma + 1;
    }
}

std::optional<std::string> hpTypeValue(std::string_view line) {
    const auto parts = parseHpTypeLine(line);
    if (!parts) {
        return std::nullopt;
    }
    const std::size_t begin = parts->items.front().first;
    return std::string(line.substr(begin, parts->valueEnd - begin));
}

SpecialMount specialMount(std::string_view value) {
    if (value.find("_gun_special_") != std::string_view::npos) {
        return SpecialMount::Gun;
    }
    if (value.find("_turret_special_") != std::string_view::npos) {
        return SpecialMount::Turret;
    }
    if (value.find("_shield_special_") != std::string_view::npos) {
        return SpecialMount::Shield;
    }
    return SpecialMount::None;
}

std::vector<std::string> splitItems(std::string_view value) {
    std::vector<std::string> items;
    std::size_t from = 0;
    while (true) {
        const auto comma = value.find(',', from);
        items.push_back(trimControl(value.substr(from, comma - from)));
        if (comma == std::string_view::npos) {
            return items;
        }
        from = comma + 1;
    }
}

bool isSectionHeader(std::string_view line, bool atFileStart) {
    return opensSection(line, atFileStart);
}

std::optional<std::size_t> shipHeaderOffset(const ini::ParsedIni& parsed,
                                            std::string_view nickname) {
    const std::vector<std::size_t> found = sectionsWithNickname(parsed, "Ship", nickname);
    if (found.size() != 1) {
        return std::nullopt;
    }
    return parsed.sections()[found.front()].lineBegin;
}

std::string specialLinesOf(const ini::ParsedIni& parsed, std::string_view shipNickname) {
    const std::vector<std::size_t> found = sectionsWithNickname(parsed, "Ship", shipNickname);
    if (found.size() != 1) {
        return {};
    }
    const ini::ParsedIni::Section& section = parsed.sections()[found.front()];
    std::string lines;
    for (std::size_t i = section.firstKey; i < section.firstKey + section.keyCount; ++i) {
        const ini::ParsedIni::Key& key = parsed.keys()[i];
        if (!equalsIgnoringCase(parsed.name(key), "hp_type")) {
            continue;
        }
        std::string value = parsed.value(key);
        if (specialMount(value) != SpecialMount::None) {
            lines += value + '\n';
        }
    }
    return lines;
}

} // namespace skarvel
