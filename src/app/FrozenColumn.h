#pragma once

#include <QObject>

class QTableView;

namespace skarvel {

// Keeps a table's first column in view while it scrolls sideways: a second view over the same
// model and selection shows only that column, laid over the table's left edge (as Qt's
// frozen column example does). The first column stays the first.
class FrozenColumn : public QObject {
public:
    explicit FrozenColumn(QTableView& table);

    QTableView& view() { return *frozen_; }
    // The table's first column was shown, hidden or resized.
    void update();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void hideOtherColumns();
    void keepCurrentInView();

    QTableView& table_;
    QTableView* frozen_;
};

} // namespace skarvel
