#include "app/WhereUsedDialog.h"

#include "app/TextEditor.h"
#include "check/ModIndex.h"
#include "platform/AsciiText.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace skarvel {

namespace {

QString fromLatin1(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

WhereUsedDialog::WhereUsedDialog(const QString& nickname, std::vector<usage::Use> uses,
                                 std::string gameFolder, QWidget* parent)
    : QDialog(parent), uses_(std::move(uses)), gameFolder_(std::move(gameFolder)),
      table_(new QTableWidget(this)) {
    setObjectName(QStringLiteral("WhereUsedDialog"));
    setWindowTitle(QStringLiteral("Where %1 is used").arg(nickname));
    resize(900, 420);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        uses_.empty()
            ? QStringLiteral("No line of the mod's files names %1.").arg(nickname)
            : QStringLiteral("%1 line(s) name %2. Double-click a line to show its equipment "
                             "row or ship, or to open any other line in the text editor.")
                  .arg(uses_.size())
                  .arg(nickname),
        this));
    table_->setObjectName(QStringLiteral("tvWhereUsed"));
    table_->setColumnCount(5);
    table_->setHorizontalHeaderLabels({QStringLiteral("File"), QStringLiteral("Line"),
                                       QStringLiteral("Section"), QStringLiteral("Key"),
                                       QStringLiteral("Text")});
    table_->setRowCount(static_cast<int>(uses_.size()));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->hide();
    for (std::size_t i = 0; i < uses_.size(); ++i) {
        const usage::Use& use = uses_[i];
        const int row = static_cast<int>(i);
        const QString section =
            fromLatin1(use.section) + (use.sectionNickname.empty()
                                           ? QString()
                                           : QStringLiteral(" ") + fromLatin1(use.sectionNickname));
        const QString cells[] = {fromLatin1(use.file), QString::number(use.line), section,
                                 fromLatin1(use.key) + (use.definition
                                                            ? QStringLiteral(" (its "
                                                                             "definition)")
                                                            : QString()),
                                 fromLatin1(use.text)};
        for (int column = 0; column < 5; ++column) {
            table_->setItem(row, column, new QTableWidgetItem(cells[column]));
        }
    }
    table_->resizeColumnsToContents();
    table_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* editor =
        buttons->addButton(QStringLiteral("Open in text editor"), QDialogButtonBox::ActionRole);
    connect(editor, &QPushButton::clicked, this, [this] {
        const int row = table_->currentRow();
        if (row >= 0) {
            openInTextEditor(gameFolder_ + uses_[static_cast<std::size_t>(row)].file,
                             uses_[static_cast<std::size_t>(row)].line);
        }
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { open(row); });
}

void WhereUsedDialog::open(int row) {
    const usage::Use& use = uses_[static_cast<std::size_t>(row)];
    const bool ship = use.role == check::FileRole::Ships &&
                      equalsIgnoringCase(check::sectionKind(use.section), "Ship");
    if ((use.role == check::FileRole::Equipment || ship) && !use.sectionNickname.empty()) {
        chosen_ = use;
        accept();
        return;
    }
    openInTextEditor(gameFolder_ + use.file, use.line);
}

} // namespace skarvel
