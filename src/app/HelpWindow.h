#pragma once

#include <QDialog>

namespace skarvel {

// The help window of F1 and the "?" button: the read-first text and the shortcuts.
class HelpWindow : public QDialog {
public:
    HelpWindow(QWidget* owner, const QString& readFirst);
};

// The shortcuts, one "keys: what they do" line each, as the help window lists them.
QString shortcutList();

} // namespace skarvel
