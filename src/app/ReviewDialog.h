#pragma once

#include <QDialog>

class QCheckBox;

namespace skarvel {

// The changes a save will make, as a unified difference in a fixed-width font, with Save
// (btReviewSave) and Cancel (btReviewCancel).
class ReviewDialog : public QDialog {
    Q_OBJECT
public:
    ReviewDialog(QWidget* owner, const QString& caption, const QString& difference,
                 bool offerDontShowAgain);

    bool dontShowAgain() const;

private:
    QCheckBox* dontShowAgain_ = nullptr;
};

} // namespace skarvel
