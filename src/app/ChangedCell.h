#pragma once

#include <QBrush>
#include <QColor>
#include <QVariant>

namespace skarvel {

// How a table shows a cell whose value differs from the file: one colour on every page.
inline QVariant changedCellBackground(bool changed) {
    return changed ? QVariant(QBrush(QColor(255, 236, 160))) : QVariant();
}

} // namespace skarvel
