#include "app/TravelSettingsDialog.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace skarvel {

namespace {

QString utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

TravelSettingsDialog::TravelSettingsDialog(const trade::TravelSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setWindowTitle(QStringLiteral("Travel settings"));
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(
        QStringLiteral(
            "Times the game's files do not give. Each default is an estimate of the game's "
            "behaviour; the reason is in each field's tool tip."),
        this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto* form = new QFormLayout;
    const auto& constants = trade::travelConstants();
    for (std::size_t i = 0; i < constants.size(); ++i) {
        const trade::TravelConstant& constant = constants[i];
        auto* field = new QDoubleSpinBox(this);
        field->setObjectName(utf8(constant.preference));
        field->setDecimals(constant.unit == "s" ? 1 : 0);
        field->setRange(constant.minimum, constant.maximum);
        field->setSuffix(QStringLiteral(" ") + utf8(constant.unit));
        field->setValue(settings.*constant.value);
        const QString reason =
            utf8(constant.reason) +
            QStringLiteral(" (default %1 %2)").arg(constant.defaultValue).arg(utf8(constant.unit));
        field->setToolTip(reason);
        auto* label = new QLabel(utf8(constant.label), this);
        label->setToolTip(reason);
        form->addRow(label, field);
        fields_[i] = field;
    }
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::RestoreDefaults, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons->button(QDialogButtonBox::RestoreDefaults), &QPushButton::clicked, this,
            [this] {
                const auto& table = trade::travelConstants();
                for (std::size_t i = 0; i < table.size(); ++i) {
                    fields_[i]->setValue(table[i].defaultValue);
                }
            });
    layout->addWidget(buttons);
}

trade::TravelSettings TravelSettingsDialog::settings() const {
    trade::TravelSettings settings = settings_;
    const auto& constants = trade::travelConstants();
    for (std::size_t i = 0; i < constants.size(); ++i) {
        settings.*constants[i].value = fields_[i]->value();
    }
    return settings;
}

} // namespace skarvel
