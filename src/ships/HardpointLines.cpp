#include "ships/HardpointLines.h"

#include "ships/TextParts.h"

namespace skarvel {

namespace {

std::string_view trimLeft(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) {
        text.remove_prefix(1);
    }
    return text;
}

bool startsWithIgnoreCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

} // namespace

std::optional<std::string> hpTypeValue(std::string_view line) {
    const std::string_view text = trimLeft(line);
    if (text.empty() || text.front() == ';') {
        return std::nullopt;
    }
    const auto equals = text.find('=');
    if (equals == std::string_view::npos || trimControl(text.substr(0, equals)) != "hp_type") {
        return std::nullopt;
    }
    std::string_view value = text.substr(equals + 1);
    const auto comment = value.find(';');
    if (comment != std::string_view::npos) {
        value = value.substr(0, comment);
    }
    return trimControl(value);
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

bool isSectionHeader(std::string_view line) {
    const std::string_view text = trimLeft(line);
    return !text.empty() && text.front() == '[';
}

bool isHeaderLine(std::string_view line, std::string_view header) {
    const std::string_view text = trimLeft(line);
    if (!startsWithIgnoreCase(text, header)) {
        return false;
    }
    const std::string rest = trimControl(text.substr(header.size()));
    return rest.empty() || rest.front() == ';';
}

} // namespace skarvel
