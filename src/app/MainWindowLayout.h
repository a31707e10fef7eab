#pragma once

#include "platform/OwnFolders.h"
#include "ui_MainWindow.h"

#include <QString>

class QMainWindow;

namespace skarvel {

// Finishes the designed main window after Ui::TformSkarvel::setupUi: binds every spinner to
// its field, fills the Constants tables and the read-first texts, sets the icons, fonts,
// colours and the sizes of the splitters. folders: where the journal and the copies go, named
// by the read-first text.
void setupMainWindowLayout(Ui::TformSkarvel& ui, QMainWindow& window,
                           const OwnFolders& folders = {});

// The texts of the read-first page: the short notice above the button and the instructions.
QString readMeText();
QString readFirstText(const OwnFolders& folders = {});

} // namespace skarvel
