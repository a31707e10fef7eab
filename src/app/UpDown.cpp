#include "app/UpDown.h"

#include "ships/Numbers.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QStyleOption>
#include <QStylePainter>
#include <optional>
#include <string>

namespace skarvel {

namespace {

// Delays of the auto-repeat while an arrow is held down, in milliseconds.
constexpr int firstRepeatDelay = 400;
constexpr int repeatInterval = 60;

} // namespace

UpDown::UpDown(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    repeat_.setSingleShot(false);
    connect(&repeat_, &QTimer::timeout, this, &UpDown::repeatStep);
}

void UpDown::setBuddy(QLineEdit* buddy) {
    buddy_ = buddy;
    updateGeometry();
}

void UpDown::setRange(int minimum, int maximum) {
    minimum_ = minimum;
    maximum_ = qMax(minimum, maximum);
}

QSize UpDown::sizeHint() const {
    // As high as the field it belongs to, so that both line up.
    const int height = buddy_ != nullptr ? buddy_->sizeHint().height() : 22;
    return {17, height};
}

QSize UpDown::minimumSizeHint() const {
    return {13, 16};
}

void UpDown::stepBy(int delta) {
    if (buddy_ == nullptr || !isEnabled()) {
        return;
    }
    // The field holds the value as the file wrote it: the core steps that text or leaves it.
    const std::optional<std::string> next =
        steppedNumber(buddy_->text().toLatin1().toStdString(), delta, minimum_, maximum_);
    if (!next) {
        return;
    }
    const QString text = QString::fromLatin1(next->data(), static_cast<qsizetype>(next->size()));
    buddy_->setText(text);
    emit stepped(text);
}

void UpDown::repeatStep() {
    repeat_.setInterval(repeatInterval);
    if (pressed_ == Arrow::Up) {
        stepUp();
    } else if (pressed_ == Arrow::Down) {
        stepDown();
    } else {
        repeat_.stop();
    }
}

UpDown::Arrow UpDown::arrowAt(const QPoint& position) const {
    if (!rect().contains(position)) {
        return Arrow::None;
    }
    return position.y() < height() / 2 ? Arrow::Up : Arrow::Down;
}

QRect UpDown::arrowRect(Arrow arrow) const {
    const int half = height() / 2;
    return arrow == Arrow::Up ? QRect(0, 0, width(), half)
                              : QRect(0, half, width(), height() - half);
}

void UpDown::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    pressed_ = arrowAt(event->position().toPoint());
    update();
    repeatStep();
    repeat_.start(firstRepeatDelay);
}

void UpDown::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    pressed_ = Arrow::None;
    repeat_.stop();
    update();
}

void UpDown::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        pressed_ = Arrow::None;
        repeat_.stop();
    }
    QWidget::changeEvent(event);
}

void UpDown::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    for (const Arrow arrow : {Arrow::Up, Arrow::Down}) {
        QStyleOptionButton button;
        button.initFrom(this);
        button.rect = arrowRect(arrow);
        button.state |= pressed_ == arrow ? QStyle::State_Sunken : QStyle::State_Raised;
        painter.drawPrimitive(QStyle::PE_PanelButtonBevel, button);

        QStyleOption indicator;
        indicator.initFrom(this);
        indicator.rect = button.rect.adjusted(3, 2, -3, -2);
        painter.drawPrimitive(arrow == Arrow::Up ? QStyle::PE_IndicatorArrowUp
                                                 : QStyle::PE_IndicatorArrowDown,
                              indicator);
    }
}

} // namespace skarvel
