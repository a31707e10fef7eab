#pragma once

#include "ui_MainWindow.h"

class QMainWindow;

namespace skarvel {

// Finishes the designed main window after Ui::TformSkarvel::setupUi: binds every spinner to
// its field, fills the Constants tables and the read-first texts, sets the icons, fonts,
// colours and the sizes of the splitters.
void setupMainWindowLayout(Ui::TformSkarvel& ui, QMainWindow& window);

} // namespace skarvel
