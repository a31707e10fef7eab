#pragma once

#include "trade/TravelSettings.h"

#include <QDialog>
#include <array>

class QDoubleSpinBox;

namespace skarvel {

// The travel model's constants, one field each with its unit, range and reason; "Defaults"
// puts the table's defaults back. The story's gates are the page's own check box.
class TravelSettingsDialog : public QDialog {
public:
    TravelSettingsDialog(const trade::TravelSettings& settings, QWidget* parent);
    trade::TravelSettings settings() const;

private:
    trade::TravelSettings settings_;
    std::array<QDoubleSpinBox*, 5> fields_{};
};

} // namespace skarvel
