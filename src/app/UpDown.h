#pragma once

#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace skarvel {

// A small vertical pair of arrow buttons that steps the number shown in its buddy field.
// The value lives only in the buddy's text: a step writes the new number there as an
// ordinary text change, so the field's textChanged handlers run as if the user had typed.
class UpDown : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int minimum READ minimum WRITE setMinimum)
    Q_PROPERTY(int maximum READ maximum WRITE setMaximum)
    Q_PROPERTY(int singleStep READ singleStep WRITE setSingleStep)

public:
    explicit UpDown(QWidget* parent = nullptr);

    void setBuddy(QLineEdit* buddy);
    QLineEdit* buddy() const { return buddy_; }

    void setRange(int minimum, int maximum);
    void setMinimum(int minimum) { setRange(minimum, qMax(minimum, maximum_)); }
    void setMaximum(int maximum) { setRange(qMin(minimum_, maximum), maximum); }
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    void setSingleStep(int step) { step_ = qMax(1, step); }
    int singleStep() const { return step_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public slots:
    void stepUp() { stepBy(step_); }
    void stepDown() { stepBy(-step_); }

signals:
    // A click set the buddy's text to text.
    void stepped(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    enum class Arrow { None, Up, Down };

    void stepBy(int delta);
    void repeatStep();
    Arrow arrowAt(const QPoint& position) const;
    QRect arrowRect(Arrow arrow) const;

    QPointer<QLineEdit> buddy_;
    int minimum_ = 0;
    int maximum_ = 100;
    int step_ = 1;
    Arrow pressed_ = Arrow::None;
    QTimer repeat_;
};

} // namespace skarvel
