#include "app/MainWindowLayout.h"

namespace skarvel {

void setupMainWindowLayout(Ui::TformSkarvel& ui, QMainWindow& window) {
    (void)ui;
    (void)window;
}

} // namespace skarvel
