#include "app/ReviewDialog.h"

#include "app/ControlName.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace skarvel {

ReviewDialog::ReviewDialog(QWidget* owner, const QString& caption, const QString& difference,
                           bool offerDontShowAgain)
    : QDialog(owner) {
    setObjectName(qtName(controls::dlgReview));
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);

    auto* text = new QPlainTextEdit(difference, this);
    text->setObjectName(qtName(controls::memoReview));
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(text);

    if (offerDontShowAgain) {
        dontShowAgain_ = new QCheckBox(QStringLiteral("Don't show again"), this);
        dontShowAgain_->setObjectName(qtName(controls::cbReviewDontShow));
        layout->addWidget(dontShowAgain_);
    }

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* save = buttons->addButton(QStringLiteral("Save"), QDialogButtonBox::AcceptRole);
    save->setObjectName(qtName(controls::btReviewSave));
    save->setDefault(true);
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(qtName(controls::btReviewCancel));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(760, 480);
}

bool ReviewDialog::dontShowAgain() const {
    return dontShowAgain_ != nullptr && dontShowAgain_->isChecked();
}

} // namespace skarvel
