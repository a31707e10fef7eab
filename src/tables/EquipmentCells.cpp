#include "tables/EquipmentCells.h"

#include "check/ModFiles.h"
#include "check/ModIndex.h"
#include "ships/Numbers.h"
#include "ships/ShipFields.h"

namespace skarvel {

SectionRef EquipmentCells::sectionRef(const EquipmentSection& at) const {
    const check::SourceFile& file = mod_.files[at.file];
    const ini::ParsedIni& parsed = *file.ini;
    const ini::ParsedIni::Section& section = parsed.sections()[at.section];
    const ini::ParsedIni::Key* nickname = parsed.findKey(section, "nickname");
    const std::string kind(check::sectionKind(parsed.name(section)));
    const std::string value = nickname ? parsed.value(*nickname) : std::string();
    std::string path = mod_.gameFolder + file.shown;
    if (const std::optional<SettingsFile> setFile = setFileOf_ ? setFileOf_(path) : std::nullopt) {
        return SectionRef::withNickname(*setFile, kind, value);
    }
    return SectionRef::inModFile(std::move(path), kind, value);
}

std::optional<PendingChange> EquipmentCells::place(std::size_t row, std::size_t column) const {
    if (row >= kind_.rows.size() || column >= kind_.columns.size()) {
        return std::nullopt;
    }
    const EquipmentRow& equipment = kind_.rows[row];
    const EquipmentColumn& shown = kind_.columns[column];
    const EquipmentSection* section = nullptr;
    std::string key;
    if (shown.source == EquipmentSource::Key && !equipment.joined[column]) {
        section = &equipment.sections[static_cast<std::size_t>(shown.link)];
        key = shown.fileKey;
    } else if (shown.source == EquipmentSource::Price) {
        section = &equipment.good;
        key = "price";
    }
    if (!section || !section->found()) {
        return std::nullopt;
    }
    return PendingChange{sectionRef(*section), std::move(key), equipment.cells[column],
                         equipment.cells[column], std::string(kEquipmentField)};
}

std::string EquipmentCells::textForFile(const PendingChange& place, const std::string& text) const {
    // A number keeps the file's decimal separator; a text is written as typed.
    return readNumber(place.loaded) ? inNotationOf(text, place.loaded) : text;
}

} // namespace skarvel
