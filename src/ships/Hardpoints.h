#pragma once

#include "gamedata/TextLines.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace skarvel {

class TJournal;
class Form;

// An ordered list of "name=level" entries whose keys compare without regard to case,
// sorted (by whole text, case ignored) only while a ship's levels are loaded.
class LevelList {
public:
    void clear();
    void setSorted(bool sorted);
    bool sorted() const { return sorted_; }
    // The level text stored for name; empty when there is none.
    std::string levelOf(const std::string& name) const;
    bool contains(const std::string& name) const;
    // Replaces the entry in place, appends a missing one (in order when sorted); an empty
    // level removes the entry.
    void setLevel(const std::string& name, const std::string& level);
    std::vector<std::string> names() const;
    const std::vector<std::pair<std::string, std::string>>& entries() const { return entries_; }

private:
    std::vector<std::pair<std::string, std::string>> entries_;
    bool sorted_ = false;
};

// The items of cbShieldTyp, in this order; "original" keeps the class read from the file.
inline constexpr auto kShieldTypeItems =
    std::to_array<std::string_view>({"original", "fighter", "elite", "freighter"});

// The special gun, turret and shield hp_type lines of the shown ship: their highest levels
// in the lists and fields; a save edits the lines only where the user changed a level.
class Hardpoints {
public:
    Hardpoints(TJournal& journal, Form& form);

    void LoadHardpointValues(const std::string& shipArchPath, int shipIndex);
    // The ship of that section name ("Ship3"), numbered in the file or only in memory.
    void LoadHardpointValues(const std::string& shipArchPath, std::string_view sectionName);
    // Edits the lines of section "Ship" + shipIndex, which must be the ship loaded last.
    void SaveHardpointValues(const std::string& shipArchPath, int shipIndex);
    // Edits the lines of the ship section whose nickname is shipNickname in the file as it is
    // now, wherever it stands; the file is left alone unless exactly one section has it.
    void SaveHardpointValues(const std::string& shipArchPath, std::string_view shipNickname);

    // The ship's lines in the bytes as a save would edit them; the bytes as they are when
    // the levels were not loaded or the ship is not there exactly once. Writes nothing.
    std::string previewHardpointValues(const std::string& bytes,
                                       std::string_view shipNickname) const;

    // A level or the shield class differs from what the load read.
    bool hasChanges() const;

    void cbWeaponHPChange();
    void edWeaponHPLevelChange();
    void cbTurretHPChange();
    void edTurretHpLevelChange();
    void edShieldHPLevelChange();
    void cbShieldTypChange();

    const LevelList& weaponLevels() const { return weaponLevels_; } // FWeaponLevels
    const LevelList& turretLevels() const { return turretLevels_; } // FTurretLevels
    std::uint8_t shieldLevel() const { return shieldLevel_; }
    const std::string& shieldType() const { return shieldType_; }
    const std::string& shieldHardpoint() const { return shieldHardpoint_; }

private:
    using LineFinder =
        std::function<std::optional<std::size_t>(const std::vector<std::string_view>& lines)>;
    void loadFrom(const std::string& shipArchPath, int shipIndex, const LineFinder& findHeader);
    void loadShipLines(const std::string& shipArchPath, int shipIndex,
                       const LineFinder& findHeader);
    void readGunOrTurretLine(const std::string& value, bool gun);
    void readShieldLine(const std::string& value);
    void showShield();
    void rememberLoadedLevels();
    // findHeader(lines, bytes): the index of the ship's header line, or nothing.
    using HeaderFinder = std::function<std::optional<std::size_t>(
        const std::vector<EditableLine>& lines, const std::string& bytes)>;
    void saveLines(const std::string& shipArchPath, const std::string& shipName,
                   const HeaderFinder& findHeader);
    void editLines(std::vector<EditableLine>& lines, std::size_t header,
                   std::string_view original) const;
    bool shieldEditable() const;

    // One shield line of the loaded ship.
    struct ShieldLine {
        std::string shieldClass;
        std::uint8_t level = 0;
        std::vector<std::string> hardpoints;
    };

    TJournal& journal_;
    Form& form_;
    LevelList weaponLevels_;
    LevelList turretLevels_;
    std::uint8_t weaponLevel_ = 0;
    std::uint8_t turretLevel_ = 0;
    std::uint8_t shieldLevel_ = 0;
    std::string shieldType_;
    std::string shieldHardpoint_;
    // The shield hardpoint read for the ship last loaded; a shield hardpoint kept from an
    // earlier ship is never written into this one.
    std::string shipShieldHardpoint_;
    std::vector<ShieldLine> shieldLines_;
    // The levels as the file holds them: a save changes the lines only where these differ.
    std::vector<std::pair<std::string, std::string>> loadedWeaponLevels_;
    std::vector<std::pair<std::string, std::string>> loadedTurretLevels_;
    std::uint8_t loadedShieldLevel_ = 0;
    std::string loadedShieldType_;
    // The ship whose levels were loaded completely; the save leaves any other ship alone.
    std::optional<int> loadedShip_;
};

} // namespace skarvel
