#include "app/FleetChangeDialog.h"

#include "app/ControlName.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace skarvel {

FleetChangeDialog::FleetChangeDialog(const QString& header, int ships, const QString& sharedWith,
                                     QWidget* parent, const QString& rows)
    : QDialog(parent), operation_(new QComboBox(this)), operand_(new QLineEdit(this)) {
    setObjectName(qtName(controls::FleetChangeDialog));
    setWindowTitle(QStringLiteral("Change"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("%1 of %2 %3").arg(header).arg(ships).arg(rows), this));
    auto* form = new QFormLayout;
    operation_->setObjectName(qtName(controls::cbFleetOperation));
    operation_->addItems(
        {QStringLiteral("Set to"), QStringLiteral("Add"), QStringLiteral("Multiply by %")});
    operand_->setObjectName(qtName(controls::edFleetOperand));
    form->addRow(QStringLiteral("Change"), operation_);
    form->addRow(QStringLiteral("Value"), operand_);
    layout->addLayout(form);
    if (!sharedWith.isEmpty()) {
        auto* shared = new QLabel(
            QStringLiteral("The value lives in shared equipment and changes once for it, also "
                           "for: %1")
                .arg(sharedWith),
            this);
        shared->setObjectName(qtName(controls::labFleetShared));
        shared->setWordWrap(true);
        layout->addWidget(shared);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(qtName(controls::btFleetChangeOk));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(qtName(controls::btFleetChangeCancel));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    // The value is what the user came to type.
    operand_->setFocus();
}

FleetEdits::Operation FleetChangeDialog::operation() const {
    switch (operation_->currentIndex()) {
    case 1:
        return FleetEdits::Operation::Add;
    case 2:
        return FleetEdits::Operation::Percent;
    default:
        return FleetEdits::Operation::Set;
    }
}

QString FleetChangeDialog::operand() const {
    return operand_->text();
}

} // namespace skarvel
