#pragma once

#include "tables/FleetEdits.h"

#include <QDialog>
#include <QString>

class QComboBox;
class QLineEdit;

namespace skarvel {

// "Change…": set the selected cells to a value, add a number to them, or multiply them by a
// percentage. Names the other ships that share the value.
class FleetChangeDialog : public QDialog {
public:
    // rows: what the rows are, as "ship(s)".
    FleetChangeDialog(const QString& header, int ships, const QString& sharedWith,
                      QWidget* parent = nullptr, const QString& rows = QStringLiteral("ship(s)"));

    FleetEdits::Operation operation() const;
    QString operand() const;

private:
    QComboBox* operation_;
    QLineEdit* operand_;
};

} // namespace skarvel
