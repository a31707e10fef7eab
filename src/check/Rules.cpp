#include "check/Rules.h"

#include "check/RuleFunctions.h"
#include "platform/AsciiText.h"

#include <algorithm>
#include <array>

namespace skarvel::check {

namespace {

using S = Severity;

constexpr auto kRules = std::to_array<Rule>({
    {"dup-nickname", S::Error,
     "a nickname defined twice: among the archetypes (equipment, ships, solars), goods, bases, "
     "systems, loadouts, NPC ships or factions",
     rule::duplicateNicknames},
    {"market-dup", S::Error,
     "a second [BaseGood] for a base in one file; a market good listed twice",
     rule::marketDuplicates},
    {"ship-hull", S::Error, "a hull good naming no ship", rule::shipHulls},
    {"package-hull", S::Error, "a ship package whose hull names no hull good", rule::packageHulls},
    {"addon-missing", S::Error, "an addon or market good naming nothing any file defines",
     rule::missingAddons},
    {"addon-hardpoint", S::Error,
     "an addon of a hardpoint type on a hardpoint no hp_type line of its ship gives that type",
     rule::addonHardpoints},
    {"loadout-item", S::Error, "a loadout's equip or cargo naming nothing any file defines",
     rule::loadoutItems},
    {"loadout-hardpoint", S::Error,
     "a loadout's equipment of a hardpoint type on a hardpoint no hp_type line of its ship names",
     rule::loadoutHardpoints},
    {"archetype", S::Error,
     "an archetype or loadout of a loadout, NPC ship or system object that no file defines",
     rule::archetypes},
    {"base-system", S::Error, "a base whose system is no system, or whose file is missing",
     rule::baseSystems},
    {"system-link", S::Error,
     "a goto, base, dock_with or lane ring of a system naming what does not exist",
     rule::systemLinks},
    {"unknown-key", S::Error, "a key that no section of its kind knows", rule::unknownKeys},
    {"missing-key", S::Error, "a key that a section of its kind needs is missing",
     rule::missingKeys},
    {"field-count", S::Error, "a value with too few or too many fields", rule::fieldCounts},
    {"number", S::Error, "a number field that is no number, or below or at zero where it must not",
     rule::numbers},
    {"name", S::Warning, "an ids_name or strid_name the game's DLLs do not resolve", rule::names},
    {"market-base", S::Error, "a market for a base universe.ini does not define",
     rule::marketBases},
    {"character", S::Error, "a new character's base or ship package that does not exist",
     rule::character},
    {"file", S::Error, "a file named in freelancer.ini that is missing or cannot be read",
     rule::files},
    {"named-file", S::Error,
     "a DA_archetype, material_library or file path that names no file of the game folder",
     rule::namedFiles},
    {"hidden-section", S::Error,
     "a section header that a byte order mark or other invisible bytes hide from the game",
     rule::hiddenSections},
});

} // namespace

std::string rule::quoted(std::string_view text) {
    return "'" + std::string(text) + "'";
}

std::vector<Definition> rule::sectionsOf(const ModFiles& mod, FileRole role) {
    std::vector<Definition> found;
    for (const SourceFile& file : mod.files) {
        if (file.role != role) {
            continue;
        }
        for (const auto& section : file.ini->sections()) {
            Definition definition{&file, &section, {}};
            definition.nickname = definition.value("nickname");
            found.push_back(std::move(definition));
        }
    }
    return found;
}

std::vector<Definition> rule::markets(const ModFiles& mod) {
    std::vector<Definition> found;
    for (const SourceFile& file : mod.files) {
        if (file.role != FileRole::Markets) {
            continue;
        }
        for (const auto& section : file.ini->sections()) {
            if (equalsIgnoringCase(file.ini->name(section), "BaseGood")) {
                Definition market{&file, &section, {}};
                market.nickname = market.value("base");
                found.push_back(std::move(market));
            }
        }
    }
    return found;
}

int rule::lineOf(const Definition& definition, const ini::ParsedIni::Key& key) {
    return definition.file->lineOf(key.nameBegin);
}

std::span<const Rule> rules() {
    return kRules;
}

const Rule* findRule(std::string_view id) {
    const auto found = std::ranges::find(kRules, id, &Rule::id);
    return found == kRules.end() ? nullptr : &*found;
}

} // namespace skarvel::check
