#pragma once

#include "check/ModFiles.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace skarvel::check {

// A section that defines a nickname.
struct Definition {
    const SourceFile* file = nullptr;
    const ini::ParsedIni::Section* section = nullptr;
    std::string nickname;

    const ini::ParsedIni& ini() const { return *file->ini; }
    int line() const { return file->lineOf(section->lineBegin); }
    // The line of its nickname key.
    int nicknameLine() const;
    // The value of the first key of that name in the section; empty when there is none.
    std::string value(std::string_view key) const;
    // Every key of that name in the section, in file order.
    std::vector<const ini::ParsedIni::Key*> keys(std::string_view key) const;
    // The problem at a line of this section.
    Problem problem(Severity severity, std::string_view rule, int line, std::string message) const;
};

// Definitions of one kind, found by nickname without regard to letter case (as the game
// hashes nicknames).
class NameTable {
public:
    void add(Definition definition);
    const std::vector<Definition>& all() const { return all_; }
    // The first definition of the name, or null.
    const Definition* find(std::string_view nickname) const;

private:
    std::vector<Definition> all_;
    std::unordered_map<std::string, std::size_t> first_;
};

// The kind of a section: its name, with the number an open set left on a numbered kind
// removed ("Ship3" is "Ship").
std::string_view sectionKind(std::string_view name);

// What the rules look things up in.
struct ModIndex {
    NameTable ships;     // [Ship] of the ships files
    NameTable goods;     // [Good] of the goods files
    NameTable equipment; // every section with a nickname in the equipment files
    NameTable bases;     // [Base] of the universe files
    NameTable systems;   // [System] of the universe files
    NameTable solars;    // every section with a nickname in the solar files
    NameTable loadouts;  // [Loadout] of the loadouts files
    NameTable npcShips;  // [NPCShipArch] of the npcships files
    NameTable factions;  // [Group] of initialworld.ini
    // The archetypes the game hashes into one space: every section with a nickname in the
    // equipment and ships files, and the solars.
    NameTable archetypes;
    // The [Object]s of each system's file, by the system's nickname in lower case.
    std::unordered_map<std::string, NameTable> objects;

    bool defined(std::string_view nickname) const {
        return equipment.find(nickname) || goods.find(nickname);
    }
};

ModIndex indexOf(const ModFiles& mod);

// The text with A-Z made lower case: the key of a nickname.
std::string lowered(std::string_view text);

// The items of a list value ("a, b , 1" gives a, b, 1), trimmed.
std::vector<std::string> listItems(std::string_view value);

} // namespace skarvel::check
