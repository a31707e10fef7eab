#pragma once

#include "ports/Controls.h"

#include <QLatin1String>

namespace skarvel {

// A control's name as Qt's object names hold it (the names are ASCII).
inline QLatin1String qtName(const Control& control) {
    return QLatin1String(control.name.data(), static_cast<qsizetype>(control.name.size()));
}

} // namespace skarvel
