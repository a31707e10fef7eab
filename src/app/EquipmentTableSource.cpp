#include "app/EquipmentTableSource.h"

#include <QString>

namespace skarvel {

namespace {

QString fromStd(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::size_t at(int index) {
    return static_cast<std::size_t>(index);
}

} // namespace

const EquipmentKind* EquipmentTableSource::table() const {
    const auto& kinds = equipment_.tables().kinds();
    return kind_ < kinds.size() ? &kinds[kind_] : nullptr;
}

int EquipmentTableSource::rowCount() const {
    return table() ? static_cast<int>(table()->rows.size()) : 0;
}

int EquipmentTableSource::columnCount() const {
    return table() ? static_cast<int>(table()->columns.size()) : 0;
}

QString EquipmentTableSource::header(int column) const {
    return fromStd(table()->columns[at(column)].key);
}

QString EquipmentTableSource::headerTip(int column) const {
    const EquipmentColumn& shown = table()->columns[at(column)];
    switch (shown.source) {
    case EquipmentSource::Derived:
        return fromStd(shown.formula);
    case EquipmentSource::Name:
        return QStringLiteral("The name the game shows, from its resource DLLs (ids_name)");
    case EquipmentSource::Price:
        return QStringLiteral("price of the [Good] that sells it");
    default:
        return shown.link == EquipmentLink::Own
                   ? QString()
                   : QStringLiteral("%1 of the section the row names: a change is that "
                                    "section's, for every row that names it")
                         .arg(fromStd(shown.fileKey));
    }
}

bool EquipmentTableSource::numeric(int column) const {
    return table()->columns[at(column)].numeric;
}

bool EquipmentTableSource::utf8(int column) const {
    return table()->columns[at(column)].source == EquipmentSource::Name;
}

std::string EquipmentTableSource::shown(int row, int column) const {
    return equipment_.shown(kind_, at(row), at(column));
}

std::string EquipmentTableSource::asRead(int row, int column) const {
    return table()->rows[at(row)].cells[at(column)];
}

bool EquipmentTableSource::edited(int row, int column) const {
    return equipment_.edited(kind_, at(row), at(column));
}

bool EquipmentTableSource::changeable(int row, int column) const {
    return equipment_.cells(kind_).place(at(row), at(column)).has_value();
}

std::string EquipmentTableSource::set(int row, int column, const std::string& typed) {
    return equipment_.set(kind_, at(row), at(column), typed);
}

} // namespace skarvel
