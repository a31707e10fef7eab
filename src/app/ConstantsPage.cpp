#include "app/ConstantsPage.h"

#include "app/ErrorHandler.h"
#include "ships/ConstantsTables.h"
#include "ships/Editor.h"
#include "ui_MainWindow.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <algorithm>

namespace skarvel {

namespace {

const char* const kHintProperty = "hint";
const char* const kPlainHintProperty = "plainHint";

QString hintFor(std::string_view section) {
    return QStringLiteral("The values of the section [%1] of constants.ini. Double click a value "
                          "or start typing to change it; Enter keeps it, Escape drops it. A "
                          "number stays a number, a list keeps its count. Grey rows are keys "
                          "the file does not hold.")
        .arg(QString::fromLatin1(section.data(), static_cast<qsizetype>(section.size())));
}

// The cell's value reaches the model only through the page, which may refuse it.
class CheckedDelegate : public QStyledItemDelegate {
public:
    CheckedDelegate(ConstantsPage& page, QTableWidget& table)
        : QStyledItemDelegate(&table), page_(page), table_(table) {}

    void setModelData(QWidget* editor, QAbstractItemModel*,
                      const QModelIndex& index) const override {
        if (const auto* line = qobject_cast<QLineEdit*>(editor)) {
            page_.commit(table_, index.row(), line->text());
        }
    }

private:
    ConstantsPage& page_;
    QTableWidget& table_;
};

} // namespace

ConstantsPage::ConstantsPage(Ui::TformSkarvel& ui, Editor& editor, TJournal& journal,
                             QObject* parent)
    : QObject(parent), ui_(ui), editor_(editor), journal_(journal) {
    for (const ConstantsTable& each : constantsTables()) {
        auto* table = ui_.pcMain->findChild<QTableWidget*>(
            QString::fromLatin1(each.control.data(), static_cast<qsizetype>(each.control.size())));
        if (!table) {
            continue;
        }
        const QString hint = hintFor(each.section);
        table->setProperty(kHintProperty, hint);
        table->setProperty(kPlainHintProperty, hint);
        table->setEditTriggers(QAbstractItemView::DoubleClicked |
                               QAbstractItemView::EditKeyPressed |
                               QAbstractItemView::AnyKeyPressed);
        table->setItemDelegateForColumn(1, new CheckedDelegate(*this, *table));
        // The file's own keys come and go with every load and close; the page scrolls, so
        // every table shows all its rows.
        connect(table->model(), &QAbstractItemModel::rowsInserted, this,
                [this, table] { fitHeight(*table); });
        connect(table->model(), &QAbstractItemModel::rowsRemoved, this,
                [this, table] { fitHeight(*table); });
        // Each load sets the cells anew, and with them whether the table can be edited.
        connect(table->model(), &QAbstractItemModel::dataChanged, this,
                [this, table, hint] { showReadOnlyReason(*table, hint); });
    }
    for (QLineEdit* field :
         {ui_.edMaxSpeed, ui_.edCruiseSpeed, ui_.edCruiseDisruptTime, ui_.edMaxLootPerAstroid}) {
        // The program's own texts are set silently; this is the user's typing.
        connect(field, &QLineEdit::textChanged, this, [this, field] {
            runHandler(journal_, [this, field] {
                editor_.generalFieldEdited(field->objectName().toStdString());
            });
        });
    }
}

bool ConstantsPage::commit(QTableWidget& table, int row, const QString& typed) {
    std::string refusal;
    if (std::any_of(typed.begin(), typed.end(), [](QChar c) { return c.unicode() > 0xFF; })) {
        // The game's files hold one byte per character.
        refusal = "The value holds a character that the game's files cannot hold.";
    }
    const bool ran = !refusal.empty() || runHandler(journal_, [&] {
        refusal = editor_.constantsEdit(table.objectName().toStdString(), row,
                                        typed.toLatin1().toStdString());
    });
    if (!ran) {
        return false;
    }
    const QString plain = table.property(kPlainHintProperty).toString();
    if (refusal.empty()) {
        table.setProperty(kHintProperty, plain);
        return true;
    }
    // The reason stays in the table's hint until a value is taken, so that moving the
    // mouse over the table does not wipe it at once.
    const QString reason =
        QString::fromLatin1(refusal.data(), static_cast<qsizetype>(refusal.size()));
    table.setProperty(kHintProperty, reason + QStringLiteral("\n\n") + plain);
    ui_.memoHint->clear();
    ui_.memoHint->appendPlainText(table.property(kHintProperty).toString());
    return false;
}

void ConstantsPage::showReadOnlyReason(QTableWidget& table, const QString& sectionHint) {
    QString reason;
    for (int row = 0; row < table.rowCount() && reason.isEmpty(); ++row) {
        const QTableWidgetItem* value = table.item(row, 1);
        if (value && !(value->flags() & Qt::ItemIsEditable)) {
            reason = value->toolTip();
        }
    }
    const QString plain =
        reason.isEmpty() ? sectionHint : reason + QStringLiteral("\n\n") + sectionHint;
    // Unchanged, the hint keeps a refusal shown with it.
    if (table.property(kPlainHintProperty).toString() != plain) {
        table.setProperty(kPlainHintProperty, plain);
        table.setProperty(kHintProperty, plain);
    }
}

void ConstantsPage::fitHeight(QTableWidget& table) {
    const int height = table.horizontalHeader()->sizeHint().height() +
                       table.verticalHeader()->defaultSectionSize() * table.rowCount() +
                       2 * table.frameWidth();
    table.setFixedHeight(height);
}

} // namespace skarvel
