#include "ships/Hardpoints.h"

#include "gamedata/IniEngine.h"
#include "gamedata/TextLines.h"
#include "gamedata/TextParts.h"
#include "journal/Journal.h"
#include "platform/Files.h"
#include "ports/Controls.h"
#include "ports/Form.h"
#include "ships/HardpointLines.h"
#include "ships/Numbers.h"
#include "ships/SpecialLines.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <stdexcept>

namespace skarvel {

namespace {

constexpr std::string_view kGunType = "hp_gun_special_";
constexpr std::string_view kTurretType = "hp_turret_special_";
constexpr std::string_view kShieldInfix = "_shield_special_";

constexpr const char* kSearching = "Durchsuche Liste nach \"hp_type=\"";

std::uint8_t levelFromText(const std::string& text) {
    const std::int32_t level = parseWholeNumber(text);
    if (level < 0 || level > 255) {
        throw std::range_error("Range check error");
    }
    return static_cast<std::uint8_t>(level);
}

std::string selectedItem(const Form& form, std::string_view list) {
    const int index = form.selectedIndex(list);
    const std::vector<std::string> items = form.items(list);
    if (index < 0 || index >= static_cast<int>(items.size())) {
        return {};
    }
    return items[static_cast<std::size_t>(index)];
}

void selectFirst(Form& form, std::string_view list) {
    form.setSelectedIndex(list, form.items(list).empty() ? -1 : 0);
}

} // namespace

Hardpoints::Hardpoints(TJournal& journal, Form& form) : journal_(journal), form_(form) {}

void Hardpoints::LoadHardpointValues(const std::string& shipArchPath, int shipIndex) {
    loadFrom(shipArchPath, shipIndex, [shipIndex](const std::vector<std::string_view>& lines) {
        return findShipHeader(lines, shipIndex);
    });
}

void Hardpoints::LoadHardpointValues(const std::string& shipArchPath,
                                     std::string_view sectionName) {
    // The settings-file engine knows the section, numbered on disk or only in memory.
    const auto parsed = ini::currentIni(shipArchPath);
    const auto* section = parsed ? parsed->findSection(sectionName) : nullptr;
    const std::optional<std::size_t> offset =
        section ? std::optional<std::size_t>(section->lineBegin) : std::nullopt;
    const std::optional<int> number = [&]() -> std::optional<int> {
        int value = 0;
        const std::string_view digits =
            sectionName.substr(std::min<std::size_t>(4, sectionName.size()));
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), value);
        return error == std::errc() && end == digits.data() + digits.size() ? std::optional(value)
                                                                            : std::nullopt;
    }();
    loadFrom(shipArchPath, number.value_or(-1),
             [&](const std::vector<std::string_view>& lines) -> std::optional<std::size_t> {
                 for (std::size_t i = 0; offset && i < lines.size(); ++i) {
                     const auto start = static_cast<std::size_t>(lines[i].data() - lines[0].data());
                     if (*offset >= start && *offset <= start + lines[i].size()) {
                         return i;
                     }
                 }
                 return std::nullopt;
             });
}

void Hardpoints::loadFrom(const std::string& shipArchPath, int shipIndex,
                          const LineFinder& findHeader) {
    weaponLevels_.clear();
    weaponLevels_.setSorted(true);
    turretLevels_.clear();
    turretLevels_.setSorted(true);
    weaponLevel_ = 0;
    turretLevel_ = 0;
    shieldLevel_ = 0;
    shieldType_.clear();
    shipShieldHardpoint_.clear();
    shieldLines_.clear();
    loadedShip_.reset();
    // The lists show this ship's hardpoints only, also when it has none.
    form_.setItems(controls::cbWeaponHP, {});
    form_.setItems(controls::cbTurretHP, {});

    journal_.Write("HardpointWerte laden", JournalEntryKind::Begin);
    const auto finish = [this] {
        weaponLevels_.setSorted(false);
        turretLevels_.setSorted(false);
        journal_.Write("HardpointWerte laden", JournalEntryKind::End);
    };
    try {
        loadShipLines(shipArchPath, shipIndex, findHeader);
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void Hardpoints::loadShipLines(const std::string& shipArchPath, int shipIndex,
                               const LineFinder& findHeader) {
    journal_.WriteFormatted("Lade Werte aus Datei [%s]", {shipArchPath}, JournalEntryKind::Action);
    const TextFileLines file(shipArchPath);
    const std::vector<std::string_view>& lines = file.lines();

    const auto header = findHeader(lines);
    journal_.WriteFormatted("Zeile des aktuellen Schiffs ist %d",
                            {header ? static_cast<long long>(*header) : -1LL},
                            JournalEntryKind::Action);
    if (header) {
        std::optional<std::size_t> nextShip;
        for (std::size_t i = *header + 1; i < lines.size() && !nextShip; ++i) {
            if (matchKindHeader(lines[i], "Ship")) {
                nextShip = i;
            }
        }
        const std::size_t last = nextShip ? *nextShip : lines.size() - 1;
        // Only the ship's own section counts: lines of a following section (its collision
        // groups, say) are not the ship's and the save would not replace them.
        const std::size_t ownEnd = sectionEnd(lines, *header);
        for (std::size_t i = *header; i <= last; ++i) {
            journal_.Write(kSearching, JournalEntryKind::Action);
            const auto value = i < ownEnd ? hpTypeValue(lines[i]) : std::nullopt;
            if (!value) {
                continue;
            }
            journal_.WriteFormatted("Eintrag hp_type gefunden in Zeile %d",
                                    {static_cast<long long>(i)}, JournalEntryKind::Action);
            switch (specialMount(*value)) {
            case SpecialMount::Gun:
                readGunOrTurretLine(*value, true);
                break;
            case SpecialMount::Turret:
                readGunOrTurretLine(*value, false);
                break;
            case SpecialMount::Shield:
                readShieldLine(*value);
                break;
            case SpecialMount::None:
                break;
            }
        }
    }

    showShield();
    selectFirst(form_, controls::cbWeaponHP);
    selectFirst(form_, controls::cbTurretHP);
    cbWeaponHPChange();
    cbTurretHPChange();
    rememberLoadedLevels();
    loadedShip_ = shipIndex;
}

// The class and hardpoint of the last shield line, at the highest level among the lines of
// that class that name that hardpoint.
void Hardpoints::showShield() {
    if (shieldLines_.empty()) {
        return;
    }
    const ShieldLine& last = shieldLines_.back();
    bool several = false;
    for (const ShieldLine& line : shieldLines_) {
        several = several || !equalsIgnoringCase(line.shieldClass, last.shieldClass) ||
                  line.hardpoints.size() > 1 ||
                  (!line.hardpoints.empty() &&
                   !equalsIgnoringCase(line.hardpoints.front(), shieldHardpoint_));
        if (!equalsIgnoringCase(line.shieldClass, last.shieldClass)) {
            continue;
        }
        for (const std::string& name : line.hardpoints) {
            if (equalsIgnoringCase(name, shieldHardpoint_)) {
                shieldLevel_ = std::max(shieldLevel_, line.level);
            }
        }
    }
    if (several) {
        journal_.WriteFormatted("Mehrere Schildklassen oder Hardpoints - angezeigt wird %s an %s",
                                {shieldType_, shieldHardpoint_}, JournalEntryKind::Info);
    }
    form_.setText(controls::edShieldHPLevel, std::to_string(shieldLevel_));
    edShieldHPLevelChange();
}

void Hardpoints::rememberLoadedLevels() {
    loadedWeaponLevels_ = weaponLevels_.entries();
    loadedTurretLevels_ = turretLevels_.entries();
    loadedShieldLevel_ = shieldLevel_;
    loadedShieldType_ = shieldType_;
}

// "hp_gun_special_2, HpWeapon01, HpWeapon02": every named hardpoint keeps its highest level.
void Hardpoints::readGunOrTurretLine(const std::string& value, bool gun) {
    LevelList& levels = gun ? weaponLevels_ : turretLevels_;
    const std::string_view type = gun ? kGunType : kTurretType;

    std::vector<std::string> items = splitItems(value);
    std::string levelText = items.front();
    if (levelText.starts_with(type)) {
        levelText.erase(0, type.size());
    }
    const std::uint8_t level = levelFromText(levelText);
    (gun ? weaponLevel_ : turretLevel_) = level;

    for (std::size_t i = 1; i < items.size(); ++i) {
        const std::string& name = items[i];
        if (name.empty()) {
            continue;
        }
        if (!levels.contains(name)) {
            levels.setLevel(name, std::to_string(level));
        } else if (parseWholeNumber(levels.levelOf(name)) < level) {
            levels.setLevel(name, std::to_string(level));
        }
    }
    form_.setItems(gun ? controls::cbWeaponHP : controls::cbTurretHP, levels.names());
}

// "hp_elite_shield_special_3, HpShield01": class elite, level 3, hardpoint HpShield01.
void Hardpoints::readShieldLine(const std::string& value) {
    const std::vector<std::string> items = splitItems(value);
    std::string_view type = items.front();
    if (type.starts_with("hp_")) {
        type.remove_prefix(3);
    }
    const auto infix = type.find(kShieldInfix);
    if (infix == std::string_view::npos || infix == 0) {
        throw ConversionError("'" + items.front() + "' is not a valid shield hardpoint type");
    }
    shieldType_ = std::string(type.substr(0, infix));
    const std::vector<std::string> typeItems = form_.items(controls::cbShieldTyp);
    const auto match =
        std::find_if(typeItems.begin(), typeItems.end(), [&](const std::string& item) {
            return equalsIgnoringCase(item, shieldType_);
        });
    form_.setSelectedIndex(controls::cbShieldTyp,
                           match == typeItems.end() ? -1
                                                    : static_cast<int>(match - typeItems.begin()));

    const std::uint8_t level = levelFromText(std::string(type.substr(infix + kShieldInfix.size())));
    shieldHardpoint_ = items.size() > 1 ? items[1] : std::string();
    shipShieldHardpoint_ = shieldHardpoint_;
    ShieldLine line{shieldType_, level, {}};
    for (std::size_t i = 1; i < items.size(); ++i) {
        if (!items[i].empty()) {
            line.hardpoints.push_back(items[i]);
        }
    }
    shieldLines_.push_back(std::move(line));
}

void Hardpoints::cbWeaponHPChange() {
    weaponLevels_.setSorted(false);
    form_.setText(controls::edWeaponHPLevel,
                  weaponLevels_.levelOf(selectedItem(form_, controls::cbWeaponHP)));
    edWeaponHPLevelChange();
}

void Hardpoints::edWeaponHPLevelChange() {
    weaponLevels_.setSorted(false);
    weaponLevels_.setLevel(selectedItem(form_, controls::cbWeaponHP),
                           form_.text(controls::edWeaponHPLevel));
}

void Hardpoints::cbTurretHPChange() {
    turretLevels_.setSorted(false);
    form_.setText(controls::edTurretHpLevel,
                  turretLevels_.levelOf(selectedItem(form_, controls::cbTurretHP)));
    edTurretHpLevelChange();
}

void Hardpoints::edTurretHpLevelChange() {
    turretLevels_.setSorted(false);
    turretLevels_.setLevel(selectedItem(form_, controls::cbTurretHP),
                           form_.text(controls::edTurretHpLevel));
}

void Hardpoints::edShieldHPLevelChange() {
    shieldLevel_ = levelFromText(form_.text(controls::edShieldHPLevel));
}

void Hardpoints::cbShieldTypChange() {
    std::string picked = selectedItem(form_, controls::cbShieldTyp);
    if (form_.selectedIndex(controls::cbShieldTyp) < 0) {
        picked = form_.text(controls::cbShieldTyp);
    }
    if (picked != "original") {
        shieldType_ = picked;
    }
}

void Hardpoints::SaveHardpointValues(const std::string& shipArchPath, int shipIndex) {
    journal_.Write("HardpointWerte speichern", JournalEntryKind::Begin);
    try {
        if (loadedShip_ != shipIndex) {
            journal_.WriteFormatted("Hardpoints von [Ship%d] nicht geladen - Hardpoints nicht "
                                    "gespeichert",
                                    {shipIndex}, JournalEntryKind::Error);
        } else {
            saveLines(shipArchPath, "[Ship" + std::to_string(shipIndex) + "]",
                      [shipIndex](const std::vector<EditableLine>& lines, const std::string&) {
                          return findShipHeader(lines, shipIndex);
                      });
        }
    } catch (...) {
        journal_.Write("HardpointWerte speichern", JournalEntryKind::End);
        throw;
    }
    journal_.Write("HardpointWerte speichern", JournalEntryKind::End);
}

void Hardpoints::SaveHardpointValues(const std::string& shipArchPath,
                                     std::string_view shipNickname) {
    journal_.Write("HardpointWerte speichern", JournalEntryKind::Begin);
    try {
        if (!loadedShip_) {
            journal_.WriteFormatted("Hardpoints von %s nicht geladen - Hardpoints nicht "
                                    "gespeichert",
                                    {shipNickname}, JournalEntryKind::Error);
        } else {
            saveLines(shipArchPath, std::string(shipNickname),
                      [&](const std::vector<EditableLine>& lines, const std::string& bytes) {
                          // The settings-file engine holds the file's parse already.
                          auto parsed = ini::currentIni(shipArchPath);
                          if (!parsed || parsed->bytes() != bytes) {
                              parsed = std::make_shared<const ini::ParsedIni>(bytes);
                          }
                          return findShipHeaderByNickname(lines, *parsed, shipNickname);
                      });
        }
    } catch (...) {
        journal_.Write("HardpointWerte speichern", JournalEntryKind::End);
        throw;
    }
    journal_.Write("HardpointWerte speichern", JournalEntryKind::End);
}

namespace {

// name -> level of a level list, levels as numbers; entries without a name are not the
// ship's hardpoints.
std::vector<std::pair<std::string, int>>
numericLevels(const std::vector<std::pair<std::string, std::string>>& entries) {
    std::vector<std::pair<std::string, int>> levels;
    for (const auto& [name, level] : entries) {
        if (!name.empty()) {
            levels.emplace_back(name, levelFromText(level));
        }
    }
    return levels;
}

int levelIn(const std::vector<std::pair<std::string, int>>& levels, const std::string& name) {
    for (const auto& [entry, level] : levels) {
        if (equalsIgnoringCase(entry, name)) {
            return level;
        }
    }
    return 0;
}

// Applies every hardpoint whose level differs from the one loaded.
void applyLevelChanges(ShipSpecialLines& lines, SpecialMount mount,
                       const std::vector<std::pair<std::string, int>>& loaded,
                       const std::vector<std::pair<std::string, int>>& current) {
    const MountKind kind{mount, {}};
    for (const auto& [name, level] : current) {
        lines.changeLevel(kind, name, levelIn(loaded, name), level);
    }
    for (const auto& [name, level] : loaded) {
        if (levelIn(current, name) == 0) {
            lines.changeLevel(kind, name, level, 0);
        }
    }
}

} // namespace

void Hardpoints::saveLines(const std::string& shipArchPath, const std::string& shipName,
                           const HeaderFinder& findHeader) {
    // Inside a save's batch: the bytes its values left, and the edit joins its one write.
    const auto current = ini::currentIni(shipArchPath);
    if (!current) {
        throw std::runtime_error("Unable to write to " + shipArchPath + ": it cannot be read");
    }
    const std::string& original = current->bytes();
    if (original.find('\0') != std::string::npos) {
        throw std::runtime_error(shipArchPath + " is not a text file");
    }
    std::vector<EditableLine> lines = splitEditableLines(original);
    const auto header = findHeader(lines, original);
    journal_.WriteFormatted("Zeile des aktuellen Schiffs ist %d",
                            {header ? static_cast<long long>(*header) + 1 : 0LL},
                            JournalEntryKind::Action);
    if (!header) {
        journal_.WriteFormatted("Schiff %s nicht gefunden - Hardpoints nicht gespeichert",
                                {shipName}, JournalEntryKind::Error);
        return;
    }
    const std::size_t end = sectionEnd(lines, *header);
    for (std::size_t i = *header + 1; i < end; ++i) {
        journal_.Write(kSearching, JournalEntryKind::Action);
        if (parseHpTypeLine(lines[i].text)) {
            journal_.WriteFormatted("Eintrag hp_type gefunden in Zeile %d",
                                    {static_cast<long long>(i)}, JournalEntryKind::Action);
        }
    }

    editLines(lines, *header, original);
    const std::string edited = joinEditableLines(lines);
    if (edited != original) {
        ini::replaceIniBytes(shipArchPath, edited);
    }
    // What the file holds now is the level a further save compares with.
    rememberLoadedLevels();
}

void Hardpoints::editLines(std::vector<EditableLine>& lines, std::size_t header,
                           std::string_view original) const {
    // A stored level that is not a number throws here, before any line is changed.
    const auto weapons = numericLevels(weaponLevels_.entries());
    const auto turrets = numericLevels(turretLevels_.entries());
    const auto loadedWeapons = numericLevels(loadedWeaponLevels_);
    const auto loadedTurrets = numericLevels(loadedTurretLevels_);

    // Only what the user changed since the load is edited; the rest stays byte for byte.
    ShipSpecialLines special(lines, header, commonLineEnd(original));
    applyLevelChanges(special, SpecialMount::Gun, loadedWeapons, weapons);
    applyLevelChanges(special, SpecialMount::Turret, loadedTurrets, turrets);
    if (shieldEditable()) {
        if (!equalsIgnoringCase(shieldType_, loadedShieldType_)) {
            special.moveShieldClass(loadedShieldType_, shieldType_, shieldHardpoint_);
        }
        special.changeLevel({SpecialMount::Shield, shieldType_}, shieldHardpoint_,
                            loadedShieldLevel_, shieldLevel_);
    }
}

std::string Hardpoints::previewHardpointValues(const std::string& bytes,
                                               std::string_view shipNickname) const {
    if (!loadedShip_ || bytes.find('\0') != std::string::npos) {
        return bytes;
    }
    std::vector<EditableLine> lines = splitEditableLines(bytes);
    const ini::ParsedIni parsed(bytes);
    const auto header = findShipHeaderByNickname(lines, parsed, shipNickname);
    if (!header) {
        return bytes;
    }
    editLines(lines, *header, bytes);
    return joinEditableLines(lines);
}

} // namespace skarvel

namespace skarvel {

// Only a class and a hardpoint read for this very ship name its shield mounts.
bool Hardpoints::shieldEditable() const {
    return !shieldType_.empty() && !shieldHardpoint_.empty() &&
           equalsIgnoringCase(shieldHardpoint_, shipShieldHardpoint_);
}

bool Hardpoints::hasChanges() const {
    if (!loadedShip_) {
        return false;
    }
    if (shieldEditable() && (!equalsIgnoringCase(shieldType_, loadedShieldType_) ||
                             shieldLevel_ != loadedShieldLevel_)) {
        return true;
    }
    try {
        return numericLevels(weaponLevels_.entries()) != numericLevels(loadedWeaponLevels_) ||
               numericLevels(turretLevels_.entries()) != numericLevels(loadedTurretLevels_);
    } catch (const std::exception&) {
        return true; // a level that is not a number: the save says so
    }
}

} // namespace skarvel
