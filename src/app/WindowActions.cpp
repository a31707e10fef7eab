#include "app/WindowActions.h"

#include "app/ControlName.h"
#include "ui_MainWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QUndoStack>

namespace skarvel {

namespace {

QAction* addEntry(QMenu& menu, const QString& text, const QList<QKeySequence>& keys,
                  std::function<void()> run) {
    QAction* action = menu.addAction(text);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(action, &QAction::triggered, &menu, [run = std::move(run)] { run(); });
    return action;
}

// The button's own click: its handler, and nothing while it is disabled.
std::function<void()> press(QAbstractButton* button) {
    return [button] {
        if (button->isEnabled()) {
            button->click();
        }
    };
}

void setTip(QAbstractButton* button, const QString& text) {
    button->setToolTip(text);
}

} // namespace

WindowActions::WindowActions(QMainWindow& window, Ui::TformSkarvel& ui, QUndoStack& history,
                             Commands commands)
    : QObject(&window) {
    QMenuBar& bar = *window.menuBar();
    bar.setObjectName(qtName(controls::menuBarMain));

    QMenu& file = *bar.addMenu(QStringLiteral("&File"));
    addEntry(file, QStringLiteral("&Open or reload the data files"),
             {QKeySequence(Qt::CTRL | Qt::Key_O), QKeySequence(Qt::Key_F5)}, press(ui.btRelload));
    addEntry(file, QStringLiteral("&Save"), {QKeySequence(Qt::CTRL | Qt::Key_S)}, press(ui.btSave));
    addEntry(file, QStringLiteral("&Close the data set"), {QKeySequence(Qt::CTRL | Qt::Key_W)},
             press(ui.btCloseSet));
    file.addSeparator();
    addEntry(file, QStringLiteral("E&xit"), {QKeySequence(Qt::CTRL | Qt::Key_Q)},
             press(ui.btBeenden));

    QMenu& edit = *bar.addMenu(QStringLiteral("&Edit"));
    QAction* undo = history.createUndoAction(&edit, QStringLiteral("&Undo"));
    undo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z)});
    QAction* redo = history.createRedoAction(&edit, QStringLiteral("&Redo"));
    redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    edit.addAction(undo);
    edit.addAction(redo);
    addEntry(edit, QStringLiteral("Undo last save\u2026"), {}, std::move(commands.undoLastSave));
    edit.addSeparator();
    QLineEdit* filter = ui.edShipFilter;
    addEntry(edit, QStringLiteral("&Find a ship"), {QKeySequence(Qt::CTRL | Qt::Key_F)}, [filter] {
        filter->setFocus(Qt::ShortcutFocusReason);
        filter->selectAll();
    });

    QMenu& help = *bar.addMenu(QStringLiteral("&Help"));
    addEntry(help, QStringLiteral("&Help"), {QKeySequence(Qt::Key_F1)}, commands.showHelp);
    addEntry(help, QStringLiteral("&About Skarvel"), {}, press(ui.btInfo));

    ui.btHelp->setEnabled(true);
    connect(ui.btHelp, &QAbstractButton::clicked, this,
            [show = std::move(commands.showHelp)] { show(); });

    setTip(ui.btBeenden, QStringLiteral("Exit (Ctrl+Q)"));
    setTip(ui.btRelload, QStringLiteral("Open or reload the data files (Ctrl+O, F5)"));
    setTip(ui.btSave, QStringLiteral("Save (Ctrl+S)"));
    setTip(ui.btCloseSet, QStringLiteral("Close the data set (Ctrl+W)"));
    setTip(ui.btHelp, QStringLiteral("Help (F1)"));
    setTip(ui.btInfo, QStringLiteral("About Skarvel"));
}

} // namespace skarvel
