#include "app/KeyFilter.h"

#include "app/ErrorHandler.h"
#include "ships/EngineValues.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QVariant>
#include <QWidget>
#include <memory>

namespace skarvel {

namespace {

const char kHandlerProperty[] = "keyHandler";

int keypadCode(int key) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        return 96 + (key - Qt::Key_0);
    }
    switch (key) {
    case Qt::Key_Asterisk:
        return 106;
    case Qt::Key_Plus:
        return vk::kAdd;
    case Qt::Key_Minus:
        return vk::kSubtract;
    case Qt::Key_Period:
    case Qt::Key_Comma:
        return vk::kDecimal; // whatever the layout makes it type
    case Qt::Key_Slash:
        return 111;
    case Qt::Key_Enter:
        return 13;
    default:
        return -1; // the navigation keys of the keypad map like the main ones
    }
}

// Home, End, the arrows (with Shift they select, with Ctrl they go by words), Delete,
// Backspace, select all, copy and cut.
bool isEditingKey(const QKeyEvent& press) {
    switch (press.key()) {
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        return true;
    default:
        return press.matches(QKeySequence::SelectAll) || press.matches(QKeySequence::Copy) ||
               press.matches(QKeySequence::Cut);
    }
}

} // namespace

int virtualKeyCode(const QKeyEvent& event) {
    const int key = event.key();
    if (event.modifiers().testFlag(Qt::KeypadModifier)) {
        if (const int code = keypadCode(key); code >= 0) {
            return code;
        }
    }
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        return vk::k0 + (key - Qt::Key_0);
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        return 'A' + (key - Qt::Key_A);
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) {
        return 112 + (key - Qt::Key_F1);
    }
    switch (key) {
    case Qt::Key_Backspace:
        return vk::kBack;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Pause:
        return 19;
    case Qt::Key_CapsLock:
        return 20;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        return vk::kOemPlus;
    case Qt::Key_Comma:
        return vk::kOemComma;
    case Qt::Key_Minus:
        return vk::kOemMinus;
    case Qt::Key_Period:
        return vk::kOemPeriod;
    default:
        return 0;
    }
}

KeyFilter::KeyFilter(EngineValues& handlers, TJournal& journal, QObject* parent)
    : QObject(parent), handlers_(handlers), journal_(journal) {}

void KeyFilter::wireAll(QWidget& root) {
    for (QWidget* child : root.findChildren<QWidget*>()) {
        if (child->property(kHandlerProperty).isValid()) {
            wire(*child);
        }
    }
}

void KeyFilter::wire(QWidget& field) {
    // An editable list types into its own line edit, which gets the key presses.
    auto* combo = qobject_cast<QComboBox*>(&field);
    QWidget& target = combo && combo->lineEdit() ? *combo->lineEdit() : field;
    if (&target != &field) {
        target.setProperty(kHandlerProperty, field.property(kHandlerProperty));
    }
    target.installEventFilter(this);
}

bool KeyFilter::callHandler(const QString& name, int& key) {
    if (name == QLatin1String("KeyDown")) {
        handlers_.KeyDown(key);
    } else if (name == QLatin1String("KeyDownFracted")) {
        handlers_.KeyDownFracted(key);
    } else if (name == QLatin1String("KeyDownDecimal")) {
        handlers_.KeyDownDecimal(key);
    } else if (name == QLatin1String("edEngineSpeedKeyDown")) {
        handlers_.edEngineSpeedKeyDown(key);
    } else if (name == QLatin1String("edEngineMaxForceKeyDown")) {
        handlers_.edEngineMaxForceKeyDown(key);
    } else if (name == QLatin1String("edEngineLinearDragKeyDown")) {
        handlers_.edEngineLinearDragKeyDown(key);
    } else if (name == QLatin1String("edReverseFractionKeyDown")) {
        handlers_.edReverseFractionKeyDown(key);
    } else if (name == QLatin1String("edReverseSpeedKeyDown")) {
        handlers_.edReverseSpeedKeyDown(key);
    } else {
        return false;
    }
    return true;
}

bool KeyFilter::eventFilter(QObject* watched, QEvent* event) {
    auto* field = qobject_cast<QLineEdit*>(watched);
    const QString name = watched->property(kHandlerProperty).toString();
    if (field && event->type() == QEvent::ContextMenu) {
        showMenu(*field, name, static_cast<const QContextMenuEvent&>(*event).globalPos());
        return true;
    }
    if (field && event->type() == QEvent::MouseButtonRelease &&
        static_cast<const QMouseEvent&>(*event).button() == Qt::MiddleButton) {
        if (QGuiApplication::clipboard()->supportsSelection()) {
            pasteInto(*field, name, QClipboard::Selection);
        }
        return true;
    }
    if (event->type() != QEvent::KeyPress) {
        return QObject::eventFilter(watched, event);
    }
    const auto& press = static_cast<const QKeyEvent&>(*event);
    // Tab and Backtab move the focus before a field sees them, as dialog keys do.
    if (press.key() == Qt::Key_Tab || press.key() == Qt::Key_Backtab) {
        return false;
    }
    int key = virtualKeyCode(press);
    bool known = true;
    const bool ranThrough = runHandler(journal_, [&] { known = callHandler(name, key); });
    if (field && press.matches(QKeySequence::Paste)) {
        pasteInto(*field, name, QClipboard::Clipboard);
        return true;
    }
    // The keys that move, select, copy and delete work in a number field as in any other.
    if (field && isEditingKey(press)) {
        return false;
    }
    // A key that the handler cleared is swallowed; after an error it still reaches the field.
    return ranThrough && known && key == 0;
}

void KeyFilter::pasteInto(QLineEdit& field, const QString& handler, QClipboard::Mode mode) {
    if (field.isReadOnly()) {
        return;
    }
    const std::string name = handler.toStdString();
    QString kept;
    for (const QChar character : QGuiApplication::clipboard()->text(mode)) {
        if (character.unicode() < 0x80 &&
            handlerTakes(name, static_cast<char>(character.unicode()))) {
            kept += character;
        }
    }
    if (!kept.isEmpty()) {
        field.insert(kept);
    }
}

// The field's own menu, its Paste keeping to the characters the field takes.
void KeyFilter::showMenu(QLineEdit& field, const QString& handler, const QPoint& where) {
    const std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
    if (auto* paste = menu->findChild<QAction*>(QStringLiteral("edit-paste"))) {
        QObject::disconnect(paste, &QAction::triggered, nullptr, nullptr);
        connect(paste, &QAction::triggered, &field,
                [this, &field, handler] { pasteInto(field, handler, QClipboard::Clipboard); });
    }
    menu->exec(where);
}

} // namespace skarvel
