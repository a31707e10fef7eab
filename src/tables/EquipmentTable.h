#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

class GameNames;
namespace check {
struct ModFiles;
}

// The sections a row's values come from: its own, and those it names (the munition a gun or
// launcher fires, that munition's motor and explosion).
enum class EquipmentLink { Own, Munition, Motor, Explosion };
inline constexpr std::size_t kEquipmentLinks = 4;

// What a column of an equipment table shows.
enum class EquipmentSource {
    Nickname,
    Name,    // the game's name for its ids_name
    Price,   // the price of the [Good] that sells it
    Key,     // a key of the row's section or of a section it names
    Derived, // worked out from keys (EquipmentDerived.h)
};

struct EquipmentColumn {
    EquipmentSource source = EquipmentSource::Key;
    // The header's, the CSV's and the export's key: the file's key, with "munition.", "motor."
    // or "explosion." before a named section's; "name", "good.price", "derived.<name>".
    std::string key;
    std::string fileKey; // the key in its section
    EquipmentLink link = EquipmentLink::Own;
    std::string formula;  // how a derived value is worked out, for the header's tool tip
    bool numeric = false; // every value reads as one number: sorts and changes as one
};

// A section of the mod's files: the index of its file in ModFiles::files and of the section in
// that file's parse; no file when the row has no such section.
struct EquipmentSection {
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t file = kNone;
    std::size_t section = 0;
    bool found() const { return file != kNone; }
};

struct EquipmentRow {
    std::string nickname;
    std::array<EquipmentSection, kEquipmentLinks> sections; // by EquipmentLink
    EquipmentSection good;
    std::vector<std::string> cells;
    // By column: the key stands several times in its section, so the cell shows every value
    // joined and takes no change.
    std::vector<bool> joined;
};

// The sections of one kind ([Gun], [Munition], [ShieldGenerator] ...) of the equipment files.
struct EquipmentKind {
    std::string kind; // as its first section spells it
    std::vector<EquipmentColumn> columns;
    std::vector<EquipmentRow> rows;

    // The column of that key, or columns.size().
    std::size_t columnOf(std::string_view key) const;
};

// Every equipment of the mod by kind: the sections with a nickname of every file freelancer.ini
// names as equipment, in file order, read with the mod check's reader (read only).
class EquipmentTables {
public:
    static EquipmentTables read(const check::ModFiles& mod, const GameNames& names);

    // In the order of their first section.
    const std::vector<EquipmentKind>& kinds() const { return kinds_; }
    // The kind of that name, letter case aside, or null.
    const EquipmentKind* find(std::string_view kind) const;

private:
    std::vector<EquipmentKind> kinds_;
};

// "munition." before a key of the munition a row names ("" for the row's own).
std::string linkPrefix(EquipmentLink link);

// Values of a key that stands several times in a section are shown joined by this.
inline constexpr std::string_view kJoinedValues = " | ";

} // namespace skarvel
