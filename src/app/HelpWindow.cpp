#include "app/HelpWindow.h"

#include "app/ControlName.h"

#include <QDialogButtonBox>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace skarvel {

QString shortcutList() {
    return QStringLiteral("Ctrl+O, F5: open or reload the data files\n"
                          "Ctrl+S: save\n"
                          "Ctrl+W: close the data set\n"
                          "Ctrl+Z: undo\n"
                          "Ctrl+Shift+Z, Ctrl+Y: redo\n"
                          "Ctrl+F: find a ship (the filter above the ship list)\n"
                          "F1: this help\n"
                          "Ctrl+Q: exit");
}

HelpWindow::HelpWindow(QWidget* owner, const QString& readFirst) : QDialog(owner) {
    setObjectName(qtName(controls::dlgHelp));
    setWindowTitle(QStringLiteral("Skarvel Help"));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QTextBrowser(this);
    text->setObjectName(qtName(controls::memoHelp));
    text->setPlainText(readFirst + QStringLiteral("\n\nSHORTCUTS\n\n") + shortcutList());
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(640, 520);
}

} // namespace skarvel
