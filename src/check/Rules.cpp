#include "check/Rules.h"

#include "check/RuleFunctions.h"
#include "platform/AsciiText.h"

#include <algorithm>
#include <array>

namespace skarvel::check {

namespace {

using S = Severity;

constexpr auto kRules = std::to_array<Rule>({
    {"dup-nickname", S::Error, "a nickname defined twice among ships, goods, equipment or bases",
     rule::duplicateNicknames},
    {"ship-hull", S::Error, "a hull good naming no ship; a ship no hull good names (warning)",
     rule::shipHulls},
    {"package-hull", S::Error, "a ship package whose hull names no hull good", rule::packageHulls},
    {"addon-missing", S::Error, "an addon or market good naming nothing any file defines",
     rule::missingAddons},
    {"addon-hardpoint", S::Warning, "an addon on a hardpoint no hp_type line of its ship names",
     rule::addonHardpoints},
    {"number", S::Error, "a number field that is no number, or below or at zero where it must not",
     rule::numbers},
    {"name", S::Warning, "a ship or commodity whose ids_name the game's DLLs do not resolve",
     rule::names},
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
