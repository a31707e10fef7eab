#pragma once

#include <QObject>
#include <functional>

class QMainWindow;
class QUndoStack;

namespace Ui {
class TformSkarvel;
}

namespace skarvel {

// The menu bar (File, Edit, Help) with the window's shortcuts, and the tool bar buttons'
// tool tips naming them. Each entry does what its button does, through the button, so a
// disabled button's shortcut does nothing.
class WindowActions : public QObject {
public:
    struct Commands {
        std::function<void()> undoLastSave;
        std::function<void()> showHelp;
    };
    WindowActions(QMainWindow& window, Ui::TformSkarvel& ui, QUndoStack& history,
                  Commands commands);
};

} // namespace skarvel
