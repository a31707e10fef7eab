#include "app/HintArea.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QVariant>

namespace skarvel {

HintArea::HintArea(QPlainTextEdit& memoHint, QObject* parent)
    : QObject(parent), memoHint_(memoHint) {}

void HintArea::wireAll(QWidget& root) {
    if (root.property("hintWired").toBool()) {
        wire(root);
    }
    for (QWidget* child : root.findChildren<QWidget*>()) {
        if (child->property("hintWired").toBool()) {
            wire(*child);
        }
    }
}

void HintArea::wire(QWidget& control) {
    listen(control, control);
    // Lists, trees, tables and text areas get their mouse events on their viewport; a page
    // control gets those over its tabs on its tab bar.
    if (auto* area = qobject_cast<QAbstractScrollArea*>(&control)) {
        listen(*area->viewport(), control);
    }
    if (auto* pages = qobject_cast<QTabWidget*>(&control)) {
        listen(*pages->tabBar(), control);
    }
}

void HintArea::listen(QWidget& source, QWidget& control) {
    if (sources_.contains(&source)) {
        return;
    }
    sources_.insert(&source, &control);
    source.setMouseTracking(true);
    source.installEventFilter(this);
    connect(&source, &QObject::destroyed, this, [this](QObject* gone) { sources_.remove(gone); });
}

void HintArea::GenMouseMove(const QWidget& control) {
    const QString hint = control.property("hint").toString();
    if (memoHint_.toPlainText() == hint) {
        return; // every move would otherwise repaint the same text
    }
    memoHint_.clear();
    memoHint_.appendPlainText(hint);
}

bool HintArea::handledByWiredChild(QWidget& source, const QMouseEvent& move) const {
    // Buttons and labels pass a move without pressed buttons on to their parent; when that
    // parent is wired too, its empty hint must not replace the child's.
    for (QWidget* under = source.childAt(move.position().toPoint()); under && under != &source;
         under = under->parentWidget()) {
        if (sources_.contains(under)) {
            return true;
        }
    }
    return false;
}

bool HintArea::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        const QPointer<QWidget> control = sources_.value(watched);
        auto* source = qobject_cast<QWidget*>(watched);
        if (control && source && !handledByWiredChild(*source, *static_cast<QMouseEvent*>(event))) {
            GenMouseMove(*control);
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace skarvel
