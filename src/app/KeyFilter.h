#pragma once

#include <QClipboard>
#include <QObject>
#include <functional>

class QKeyEvent;
class QLineEdit;
class QPoint;
class QWidget;

namespace skarvel {

class EngineValues;
class TJournal;

// Windows virtual-key code of a key press, the code the key handlers work with: digits of
// the main keyboard 48-57, of the keypad 96-105, letters their upper-case ASCII code, and so
// on; 0 for a key that has none.
int virtualKeyCode(const QKeyEvent& event);

// The key-down handlers of the numeric fields: every field with the dynamic property
// "keyHandler" hands its key presses to that handler of the engine values, and a key the
// handler clears never reaches the field, except the keys that move, select, copy and delete.
// A paste keeps only the characters the handler's keys type. An error in a handler goes to
// the journal and the key still reaches the field.
class KeyFilter : public QObject {
public:
    KeyFilter(EngineValues& handlers, TJournal& journal, QObject* parent = nullptr);

    void wireAll(QWidget& root);
    void wire(QWidget& field);

    // Runs the named handler on key; false when the name is unknown.
    bool callHandler(const QString& name, int& key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void pasteInto(QLineEdit& field, const QString& handler, QClipboard::Mode mode);
    void showMenu(QLineEdit& field, const QString& handler, const QPoint& where);

    EngineValues& handlers_;
    TJournal& journal_;
};

} // namespace skarvel
