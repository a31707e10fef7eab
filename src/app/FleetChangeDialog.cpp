#include "app/FleetChangeDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace skarvel {

FleetChangeDialog::FleetChangeDialog(const QString& header, int ships, const QString& sharedWith,
                                     QWidget* parent)
    : QDialog(parent), operation_(new QComboBox(this)), operand_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("FleetChangeDialog"));
    setWindowTitle(QStringLiteral("Change"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("%1 of %2 ship(s)").arg(header).arg(ships), this));
    auto* form = new QFormLayout;
    operation_->setObjectName(QStringLiteral("cbFleetOperation"));
    operation_->addItems(
        {QStringLiteral("Set to"), QStringLiteral("Add"), QStringLiteral("Multiply by %")});
    operand_->setObjectName(QStringLiteral("edFleetOperand"));
    form->addRow(QStringLiteral("Change"), operation_);
    form->addRow(QStringLiteral("Value"), operand_);
    layout->addLayout(form);
    if (!sharedWith.isEmpty()) {
        auto* shared = new QLabel(
            QStringLiteral("The value lives in shared equipment and changes once for it, also "
                           "for: %1")
                .arg(sharedWith),
            this);
        shared->setObjectName(QStringLiteral("labFleetShared"));
        shared->setWordWrap(true);
        layout->addWidget(shared);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
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
