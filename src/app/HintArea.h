#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>

class QMouseEvent;
class QPlainTextEdit;
class QWidget;

namespace skarvel {

// GenMouseMove: moving the mouse over a wired control (dynamic property "hintWired") shows
// that control's "hint" text, alone, in the hint area. Other controls leave it unchanged.
class HintArea : public QObject {
public:
    HintArea(QPlainTextEdit& memoHint, QObject* parent = nullptr);

    // Wires every child of root that carries hintWired=true.
    void wireAll(QWidget& root);
    void wire(QWidget& control);

    void GenMouseMove(const QWidget& control);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void listen(QWidget& source, QWidget& control);
    bool handledByWiredChild(QWidget& source, const QMouseEvent& move) const;

    QPlainTextEdit& memoHint_;
    // The widget that receives the mouse (a viewport, a tab bar) -> the wired control.
    QHash<QObject*, QPointer<QWidget>> sources_;
};

} // namespace skarvel
