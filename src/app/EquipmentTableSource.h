#pragma once

#include "app/TableModel.h"
#include "tables/EquipmentCommands.h"

#include <cstddef>
#include <string>

namespace skarvel {

// One equipment kind's table as the table model shows it.
class EquipmentTableSource final : public TableSource {
public:
    explicit EquipmentTableSource(EquipmentCommands& equipment) : equipment_(equipment) {}
    void setKind(std::size_t kind) { kind_ = kind; }
    std::size_t kind() const { return kind_; }
    const EquipmentKind* table() const;

    int rowCount() const override;
    int columnCount() const override;
    QString header(int column) const override;
    QString headerTip(int column) const override;
    bool numeric(int column) const override;
    bool utf8(int column) const override;
    std::string shown(int row, int column) const override;
    std::string asRead(int row, int column) const override;
    bool edited(int row, int column) const override;
    bool changeable(int row, int column) const override;
    std::string set(int row, int column, const std::string& typed) override;

private:
    EquipmentCommands& equipment_;
    std::size_t kind_ = 0;
};

} // namespace skarvel
