#pragma once

#include "app/TableModel.h"

namespace skarvel {

class FleetCommands;

// The Fleet table as the table model shows it: the core's rows and pending changes.
class FleetTableSource final : public TableSource {
public:
    explicit FleetTableSource(FleetCommands& fleet) : fleet_(fleet) {}

    int rowCount() const override;
    int columnCount() const override;
    QString header(int column) const override;
    bool numeric(int column) const override;
    bool utf8(int column) const override;
    std::string shown(int row, int column) const override;
    std::string asRead(int row, int column) const override;
    bool edited(int row, int column) const override;
    bool changeable(int row, int column) const override;
    std::string set(int row, int column, const std::string& typed) override;
    QString linkTip(int column) const override;

    // The columns the filter looks in: name, nickname, type and class.
    static std::vector<int> filterColumns();

private:
    FleetCommands& fleet_;
};

} // namespace skarvel
