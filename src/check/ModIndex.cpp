#include "check/ModIndex.h"

#include "gamedata/SectionHeader.h"
#include "platform/AsciiText.h"

#include <algorithm>

namespace skarvel::check {

std::string lowered(std::string_view text) {
    std::string lower(text);
    std::ranges::transform(lower, lower.begin(), lowerAscii);
    return lower;
}

std::string Definition::value(std::string_view key) const {
    const auto* found = ini().findKey(*section, key);
    return found ? ini().value(*found) : std::string();
}

int Definition::nicknameLine() const {
    const auto* key = ini().findKey(*section, "nickname");
    return key ? file->lineOf(key->nameBegin) : line();
}

std::vector<const ini::ParsedIni::Key*> Definition::keys(std::string_view key) const {
    std::vector<const ini::ParsedIni::Key*> found;
    const auto& all = ini().keys();
    for (std::size_t k = section->firstKey; k < section->firstKey + section->keyCount; ++k) {
        if (equalsIgnoringCase(ini().name(all[k]), key)) {
            found.push_back(&all[k]);
        }
    }
    return found;
}

Problem Definition::problem(Severity severity, std::string_view rule, int line,
                            std::string message) const {
    return {severity, rule, file->shown, line, nickname, std::move(message)};
}

void NameTable::add(Definition definition) {
    first_.try_emplace(lowered(definition.nickname), all_.size());
    all_.push_back(std::move(definition));
}

const Definition* NameTable::find(std::string_view nickname) const {
    const auto found = first_.find(lowered(nickname));
    return found == first_.end() ? nullptr : &all_[found->second];
}

std::string_view sectionKind(std::string_view name) {
    for (const std::string_view kind : kNumberedKinds) {
        if (name.starts_with(kind) && name.size() > kind.size() &&
            std::all_of(name.begin() + static_cast<std::ptrdiff_t>(kind.size()), name.end(),
                        [](char c) { return c >= '0' && c <= '9'; })) {
            return kind;
        }
    }
    return name;
}

namespace {

// The table a section of that kind in a file of that role belongs to, or null.
NameTable* tableOf(ModIndex& index, const SourceFile& file, std::string_view kind) {
    auto is = [kind](std::string_view wanted) { return equalsIgnoringCase(kind, wanted); };
    switch (file.role) {
    case FileRole::Ships:
        return is("Ship") ? &index.ships : nullptr;
    case FileRole::Goods:
        return is("Good") ? &index.goods : nullptr;
    case FileRole::Equipment:
        return &index.equipment;
    case FileRole::Universe:
        return is("Base") ? &index.bases : is("System") ? &index.systems : nullptr;
    case FileRole::Solar:
        return &index.solars;
    case FileRole::Loadouts:
        return is("Loadout") ? &index.loadouts : nullptr;
    case FileRole::NpcShips:
        return is("NPCShipArch") ? &index.npcShips : nullptr;
    case FileRole::InitialWorld:
        return is("Group") ? &index.factions : nullptr;
    case FileRole::System:
        return is("Object") ? &index.objects[lowered(file.system)] : nullptr;
    case FileRole::Markets:
    case FileRole::Character:
        break;
    }
    return nullptr;
}

bool isArchetype(const SourceFile& file, std::string_view kind) {
    return file.role == FileRole::Equipment || file.role == FileRole::Ships ||
           (file.role == FileRole::Solar && equalsIgnoringCase(kind, "Solar"));
}

} // namespace

ModIndex indexOf(const ModFiles& mod) {
    ModIndex index;
    for (const SourceFile& file : mod.files) {
        const auto& parsed = *file.ini;
        for (const auto& section : parsed.sections()) {
            const std::string_view kind = sectionKind(parsed.name(section));
            Definition definition{&file, &section, {}};
            definition.nickname = definition.value("nickname");
            if (definition.nickname.empty()) {
                continue;
            }
            if (isArchetype(file, kind)) {
                index.archetypes.add(definition);
            }
            if (NameTable* table = tableOf(index, file, kind)) {
                table->add(std::move(definition));
            }
        }
    }
    return index;
}

std::vector<std::string> listItems(std::string_view value) {
    std::vector<std::string> items;
    while (true) {
        const std::size_t comma = value.find(',');
        items.emplace_back(trimBlanks(value.substr(0, comma)));
        if (comma == std::string_view::npos) {
            return items;
        }
        value.remove_prefix(comma + 1);
    }
}

} // namespace skarvel::check
