#pragma once

#include "gamedata/DataSet.h"
#include "tables/EquipmentTable.h"
#include "tables/TableEdits.h"

#include <functional>
#include <optional>

namespace skarvel {

namespace check {
struct ModFiles;
}

// The set's file that a path of the mod is, if it is one of them: its changes then go through
// that file's object like every other page's.
using SetFileOf = std::function<std::optional<SettingsFile>(const std::string& path)>;

// One kind's table as the table engine sees it: a key's cell changes that key of the section
// it comes from (the gun's own, or the munition, motor or explosion it names), the price its
// [Good]. Derived values, the name and joined values take no change.
class EquipmentCells final : public TableCells {
public:
    EquipmentCells(const EquipmentKind& kind, const check::ModFiles& mod, SetFileOf setFileOf)
        : kind_(kind), mod_(mod), setFileOf_(std::move(setFileOf)) {}

    const EquipmentKind& kind() const { return kind_; }
    std::size_t rowCount() const override { return kind_.rows.size(); }
    std::string rowName(std::size_t row) const override { return kind_.rows[row].nickname; }
    std::string asRead(std::size_t row, std::size_t column) const override {
        return kind_.rows[row].cells.at(column);
    }
    std::optional<PendingChange> place(std::size_t row, std::size_t column) const override;
    bool numeric(std::size_t column) const override { return kind_.columns[column].numeric; }
    bool whole(std::size_t) const override { return false; }
    std::string textForFile(const PendingChange& place, const std::string& text) const override;

    // How the file's section is found again when the save writes: by kind and nickname.
    SectionRef sectionRef(const EquipmentSection& section) const;

private:
    const EquipmentKind& kind_;
    const check::ModFiles& mod_;
    SetFileOf setFileOf_;
};

// The field name the equipment tables' changes carry.
inline constexpr std::string_view kEquipmentField = "EquipmentTable";

} // namespace skarvel
