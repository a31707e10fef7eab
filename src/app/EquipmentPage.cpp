#include "app/EquipmentPage.h"

#include "app/EditHistory.h"
#include "app/ErrorHandler.h"
#include "app/FleetChangeDialog.h"
#include "app/FrozenColumn.h"
#include "app/PinPanel.h"
#include "app/WhereUsedDialog.h"
#include "check/ModIndex.h"
#include "platform/AsciiText.h"
#include "ports/Dialogs.h"
#include "ports/Form.h"
#include "ships/Editor.h"
#include "ships/ShipSaver.h"
#include "ui_MainWindow.h"
#include "usage/RenameStep.h"

#include <QAction>
#include <QHeaderView>
#include <QInputDialog>
#include <QItemSelectionModel>
#include <QMenu>
#include <algorithm>
#include <set>

namespace skarvel {

namespace {

QString fromStd(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString fromLatin1(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::size_t at(int index) {
    return static_cast<std::size_t>(index);
}

} // namespace

EquipmentPage::EquipmentPage(Ui::TformSkarvel& ui, Editor& editor, Form& form, Dialogs& dialogs,
                             TJournal& journal, QObject* parent)
    : QObject(parent), ui_(ui), editor_(editor), form_(form), dialogs_(dialogs), journal_(journal),
      equipment_(journal, dialogs, editor), renames_(journal, editor),
      model_(new TableModel(
          source_, [this](const QString& why) { ui_.labEquipmentStatus->setText(why); }, this)),
      proxy_(new TableFilter(this)), shownPage_(ui.pcMain->currentWidget()) {
    setObjectName(QStringLiteral("EquipmentPage"));
    proxy_->setSourceModel(model_);
    proxy_->setFilterColumns({0, 1}); // nickname and name
    ui_.tvEquipment->setModel(proxy_);
    ui_.tvEquipment->sortByColumn(-1, Qt::AscendingOrder); // file order until a header is clicked
    ui_.tvEquipment->horizontalHeader()->setSectionsMovable(true);
    ui_.tvEquipment->horizontalHeader()->setResizeContentsPrecision(40);
    ui_.tvEquipment->verticalHeader()->setDefaultSectionSize(
        ui_.tvEquipment->fontMetrics().height() + 6);
    ui_.tvEquipment->setEditTriggers(QAbstractItemView::DoubleClicked |
                                     QAbstractItemView::EditKeyPressed |
                                     QAbstractItemView::AnyKeyPressed);
    ui_.splitEquipment->setStretchFactor(0, 3);
    ui_.splitEquipment->setStretchFactor(1, 1);
    frozen_ = new FrozenColumn(*ui_.tvEquipment);
    pins_ = new PinPanel(*ui_.tvEquipmentCompare, *ui_.btEquipmentUnpin, source_, 0, this);
    equipment_.setOnRefresh([this] {
        recorded_ = equipment_.edits();
        model_->reload();
    });
    askChange_ = [this](const QString& header, int rows, const QString& shared) -> ChangeAnswer {
        FleetChangeDialog dialog(header, rows, shared, ui_.tvEquipment->window(),
                                 QStringLiteral("row(s)"));
        if (dialog.exec() != QDialog::Accepted) {
            return std::nullopt;
        }
        return std::pair{dialog.operation(), dialog.operand()};
    };
    askName_ = [this](const QString& proposed) -> std::optional<QString> {
        bool ok = false;
        const QString name =
            QInputDialog::getText(ui_.tvEquipment->window(), QStringLiteral("Where used"),
                                  QStringLiteral("Nickname"), QLineEdit::Normal, proposed, &ok);
        return ok ? std::optional(name.trimmed()) : std::nullopt;
    };

    const auto handle = [this](auto handler) {
        return [this, handler] { runHandler(journal_, [this, handler] { (this->*handler)(); }); };
    };
    connect(ui_.btEquipmentChange, &QAbstractButton::clicked, this,
            handle(&EquipmentPage::btEquipmentChangeClick));
    connect(ui_.btEquipmentReview, &QAbstractButton::clicked, this,
            handle(&EquipmentPage::btEquipmentReviewClick));
    connect(ui_.btEquipmentDiscard, &QAbstractButton::clicked, this,
            handle(&EquipmentPage::btEquipmentDiscardClick));
    connect(ui_.btEquipmentExport, &QAbstractButton::clicked, this,
            handle(&EquipmentPage::btEquipmentExportClick));
    connect(ui_.btEquipmentImport, &QAbstractButton::clicked, this,
            handle(&EquipmentPage::btEquipmentImportClick));
    connect(ui_.btEquipmentWhereUsed, &QAbstractButton::clicked, this,
            handle(&EquipmentPage::btEquipmentWhereUsedClick));
    connect(ui_.btEquipmentUnpin, &QAbstractButton::clicked, this,
            handle(&EquipmentPage::clearPins));
    auto* pin = new QAction(QStringLiteral("Pin or unpin to compare"), ui_.tvEquipment);
    pin->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    pin->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(pin, &QAction::triggered, this, handle(&EquipmentPage::pinSelected));
    ui_.tvEquipment->addAction(pin);
    auto* whereUsed = new QAction(QStringLiteral("Where used…"), ui_.tvEquipment);
    connect(whereUsed, &QAction::triggered, this,
            handle(&EquipmentPage::btEquipmentWhereUsedClick));
    ui_.tvEquipment->addAction(whereUsed);
    connect(ui_.cbEquipmentKind, &QComboBox::activated, this,
            [this] { runHandler(journal_, [this] { kindChosen(); }); });
    connect(ui_.edEquipmentFilter, &QLineEdit::textChanged, this, [this](const QString& text) {
        proxy_->setText(text);
        showStatus();
    });
    connect(ui_.pcMain, &QTabWidget::currentChanged, this,
            [this] { runHandler(journal_, [this] { pageChanged(); }); });
    connect(model_, &QAbstractItemModel::dataChanged, this, [this] {
        if (!restoring_) {
            recordHistory();
            showStatus();
            showComparison();
        }
    });
    connect(ui_.btEquipmentRename, &QAbstractButton::clicked, this,
            handle(&EquipmentPage::btEquipmentRenameClick));
    askRename_ = [this](const QString& from) -> std::optional<QString> {
        bool ok = false;
        const QString name = QInputDialog::getText(
            ui_.tvEquipment->window(), QStringLiteral("Rename"),
            QStringLiteral("New nickname of %1 (its definition and every line naming it "
                           "change; Review and save writes them)")
                .arg(from),
            QLineEdit::Normal, from, &ok);
        return ok ? std::optional(name.trimmed()) : std::nullopt;
    };
    showStatus();
}

void EquipmentPage::setHistory(EditHistory& history) {
    history_ = &history;
    history.markPageWhen(*ui_.tsEquipment, [this] {
        return !equipment_.edits().empty() || !renames_.pending().empty();
    });
}

void EquipmentPage::refresh() {
    const QString kind = ui_.cbEquipmentKind->currentData().toString();
    equipment_.refresh();
    ui_.cbEquipmentKind->clear();
    for (const EquipmentKind& each : equipment_.tables().kinds()) {
        ui_.cbEquipmentKind->addItem(
            QStringLiteral("%1 (%2)").arg(fromStd(each.kind)).arg(each.rows.size()),
            fromStd(each.kind));
    }
    const bool open = editor_.dataSet().isOpen();
    for (QWidget* widget :
         {static_cast<QWidget*>(ui_.tvEquipment), static_cast<QWidget*>(ui_.edEquipmentFilter),
          static_cast<QWidget*>(ui_.cbEquipmentKind), static_cast<QWidget*>(ui_.btEquipmentChange),
          static_cast<QWidget*>(ui_.btEquipmentReview),
          static_cast<QWidget*>(ui_.btEquipmentExport),
          static_cast<QWidget*>(ui_.btEquipmentWhereUsed)}) {
        widget->setEnabled(open);
    }
    if (!open) {
        pins_->forgetAll();
    }
    read_ = true;
    showKind(kind.isEmpty() ? QStringLiteral("Gun") : kind);
}

void EquipmentPage::showKind(const QString& kind) {
    int index = ui_.cbEquipmentKind->findData(kind, Qt::UserRole, Qt::MatchFixedString);
    if (index < 0) {
        index = 0;
    }
    ui_.cbEquipmentKind->setCurrentIndex(index);
    kindChosen();
}

void EquipmentPage::kindChosen() {
    source_.setKind(static_cast<std::size_t>(std::max(0, ui_.cbEquipmentKind->currentIndex())));
    model_->reload();
    ui_.tvEquipment->sortByColumn(-1, Qt::AscendingOrder);
    ui_.tvEquipment->resizeColumnsToContents();
    buildColumnChooser();
    frozen_->update();
    showStatus();
    showComparison();
}

void EquipmentPage::buildColumnChooser() {
    auto* menu = new QMenu(ui_.btEquipmentColumns);
    for (int column = 0; column < source_.columnCount(); ++column) {
        ui_.tvEquipment->setColumnHidden(column, false);
        QAction* action = menu->addAction(source_.header(column));
        action->setCheckable(true);
        action->setChecked(true);
        connect(action, &QAction::toggled, this, [this, column](bool shown) {
            ui_.tvEquipment->setColumnHidden(column, !shown);
            frozen_->update();
        });
    }
    delete ui_.btEquipmentColumns->menu();
    ui_.btEquipmentColumns->setMenu(menu);
}

void EquipmentPage::changesMade() {
    model_->changesMade();
    showStatus();
    showComparison();
    recordHistory();
}

void EquipmentPage::recordHistory() {
    const TableEdits& now = equipment_.edits();
    if (restoring_ || now == recorded_) {
        return;
    }
    if (history_) {
        // "refire_rate of li_gun01": what changed between the two states.
        std::set<std::string> keys;
        std::set<std::string> owners;
        const auto differing = [&](const TableEdits& a, const TableEdits& b) {
            for (const PendingChange& change : a.changes()) {
                if (std::find(b.changes().begin(), b.changes().end(), change) ==
                    b.changes().end()) {
                    keys.insert(change.key);
                    owners.insert(change.section.nickname);
                }
            }
        };
        differing(now, recorded_);
        differing(recorded_, now);
        const std::string what = keys.size() == 1 ? *keys.begin() : std::string("values");
        const std::string owner =
            owners.size() == 1 ? *owners.begin() : std::to_string(owners.size()) + " sections";
        history_->push(std::make_unique<StateStep<TableEdits>>(
            what + " of " + owner, recorded_, now,
            [this](const TableEdits& edits) { showEdits(edits); }));
    }
    recorded_ = now;
}

void EquipmentPage::showEdits(const TableEdits& edits) {
    restoring_ = true;
    equipment_.edits() = edits;
    recorded_ = edits;
    model_->changesMade();
    showStatus();
    showComparison();
    if (!edits.empty()) {
        ui_.btSave->setEnabled(true);
    }
    restoring_ = false;
}

void EquipmentPage::showStatus() {
    const std::size_t changes = equipment_.edits().changes().size();
    QString text =
        QStringLiteral("%1 of %2 rows shown").arg(proxy_->rowCount()).arg(source_.rowCount());
    if (changes > 0) {
        text += QStringLiteral("; %1 pending change(s), not yet saved").arg(changes);
    }
    if (!renames_.pending().empty()) {
        text += QStringLiteral("; %1 rename(s) pending").arg(renames_.pending().size());
    }
    ui_.labEquipmentStatus->setText(text);
    ui_.btEquipmentDiscard->setEnabled(changes > 0);
    if (changes > 0 || !renames_.pending().empty()) {
        ui_.btSave->setEnabled(true); // the tool bar's Save and Ctrl+S save them too
    }
}

void EquipmentPage::pageChanged() {
    QWidget* now = ui_.pcMain->currentWidget();
    QWidget* before = shownPage_;
    shownPage_ = now;
    if (now == before) {
        return;
    }
    if (now == ui_.tsEquipment && (equipment_.edits().empty() || !read_)) {
        refresh();
    }
}

std::pair<std::vector<std::size_t>, std::vector<int>> EquipmentPage::selection() const {
    std::vector<std::size_t> rows;
    std::vector<int> columns;
    for (const QModelIndex& index : ui_.tvEquipment->selectionModel()->selectedIndexes()) {
        const QModelIndex source = proxy_->mapToSource(index);
        if (std::find(rows.begin(), rows.end(), at(source.row())) == rows.end()) {
            rows.push_back(at(source.row()));
        }
        if (std::find(columns.begin(), columns.end(), source.column()) == columns.end()) {
            columns.push_back(source.column());
        }
    }
    return {rows, columns};
}

void EquipmentPage::btEquipmentChangeClick() {
    const auto [rows, columns] = selection();
    if (columns.size() != 1) {
        dialogs_.message(MessageKind::Information,
                         "Select the cells of one column first, in the rows to change.");
        return;
    }
    const std::size_t column = at(columns.front());
    std::string shared;
    for (const std::string& name : equipment_.sharing(source_.kind(), rows, column)) {
        shared += (shared.empty() ? "" : ", ") + name;
    }
    const ChangeAnswer answer = askChange_(source_.header(columns.front()),
                                           static_cast<int>(rows.size()), fromLatin1(shared));
    if (!answer) {
        return;
    }
    const BulkChange change = equipment_.apply(source_.kind(), rows, column, answer->first,
                                               answer->second.toLatin1().toStdString());
    changesMade();
    if (const std::string message = bulkChangeMessage(change); !message.empty()) {
        dialogs_.message(change.applied() ? MessageKind::Information : MessageKind::Error, message);
    }
}

void EquipmentPage::btEquipmentReviewClick() {
    if (!editor_.documentChanged()) {
        dialogs_.message(MessageKind::Information, kNothingToSave);
        return;
    }
    editor_.saveDocument(/*askFirst=*/false);
    changesMade();
}

void EquipmentPage::btEquipmentDiscardClick() {
    equipment_.discardClick();
    changesMade();
}

void EquipmentPage::btEquipmentExportClick() {
    if (!source_.table()) {
        return;
    }
    const std::size_t encoding =
        dialogs_.choose(MessageKind::Confirmation,
                        "Write the rows and columns shown as plain UTF-8, or as UTF-8 with a "
                        "byte order mark for spreadsheets such as Excel?",
                        {"Plain UTF-8", "UTF-8 with BOM", "Cancel"});
    if (encoding > 1) {
        return;
    }
    std::vector<std::size_t> rows;
    std::vector<std::size_t> columns;
    const auto header = ui_.tvEquipment->horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (!ui_.tvEquipment->isColumnHidden(logical)) {
            columns.push_back(at(logical));
        }
    }
    for (int row = 0; row < proxy_->rowCount(); ++row) {
        rows.push_back(at(proxy_->mapToSource(proxy_->index(row, 0)).row()));
    }
    const std::string name = lowerAsciiCopy(source_.table()->kind) + ".csv";
    if (const auto path = dialogs_.saveFile({"Export CSV", name, "CSV files|*.csv", {}})) {
        equipment_.exportCsv(*path, source_.kind(), rows, columns, encoding == 1);
    }
}

void EquipmentPage::btEquipmentImportClick() {
    if (!source_.table()) {
        return;
    }
    const auto path = dialogs_.openFile({"Import CSV", {}, "CSV files|*.csv", {}});
    if (!path) {
        return;
    }
    const std::optional<std::string> message = equipment_.importCsv(*path, source_.kind());
    if (!message) {
        return; // the file was refused, and the user told why
    }
    changesMade();
    dialogs_.message(MessageKind::Information, *message);
}

QString EquipmentPage::selectedNickname() const {
    const auto [rows, columns] = selection();
    if (rows.empty() || !source_.table()) {
        return {};
    }
    QString proposed = fromLatin1(source_.table()->rows[rows.front()].nickname);
    // A cell that names another section (the munition) names that one.
    if (columns.size() == 1) {
        const std::string cell = source_.shown(static_cast<int>(rows.front()), columns.front());
        const EquipmentColumn& column = source_.table()->columns[at(columns.front())];
        if (!column.numeric && !cell.empty() && column.source == EquipmentSource::Key &&
            cell.find_first_of(" ,|") == std::string::npos && column.fileKey != "ids_name") {
            proposed = fromLatin1(cell);
        }
    }
    return proposed;
}

void EquipmentPage::btEquipmentWhereUsedClick() {
    const std::optional<QString> name = askName_(selectedNickname());
    if (name && !name->isEmpty()) {
        showWhereUsed(*name);
    }
}

void EquipmentPage::btEquipmentRenameClick() {
    const QString from = selectedNickname();
    if (from.isEmpty()) {
        dialogs_.message(MessageKind::Information,
                         "Select the row (or the cell) of the nickname to rename first.");
        return;
    }
    const std::optional<QString> to = askRename_(from);
    if (!to || to->isEmpty() || *to == from) {
        return;
    }
    const std::string oldName = from.toLatin1().toStdString();
    const std::string newName = to->toLatin1().toStdString();
    if (const std::string refusal = renames_.rename(oldName, newName); !refusal.empty()) {
        dialogs_.message(MessageKind::Error, refusal);
        return;
    }
    if (history_) {
        history_->push(std::make_unique<RenameStep>(
            renames_, oldName, newName, [this] { showStatus(); },
            [this](const std::string& refusal) { dialogs_.message(MessageKind::Error, refusal); }));
    }
    showStatus();
}

void EquipmentPage::showWhereUsed(const QString& nickname) {
    if (!read_ && editor_.dataSet().isOpen()) {
        refresh();
    }
    WhereUsedDialog dialog(nickname, equipment_.whereUsed(nickname.toLatin1().toStdString()),
                           equipment_.gameFolder(), ui_.tvEquipment->window());
    dialog.exec();
    const std::optional<usage::Use>& chosen = dialog.chosen();
    if (!chosen) {
        return;
    }
    if (chosen->role != check::FileRole::Equipment) {
        editor_.showShipNamed(chosen->sectionNickname);
        return;
    }
    form_.showPage("Equipment");
    showKind(fromStd(std::string(check::sectionKind(chosen->section))));
    const EquipmentKind* table = source_.table();
    for (std::size_t row = 0; table && row < table->rows.size(); ++row) {
        if (equalsIgnoringCase(table->rows[row].nickname, chosen->sectionNickname)) {
            const QModelIndex shown =
                proxy_->mapFromSource(model_->index(static_cast<int>(row), 0));
            ui_.tvEquipment->setCurrentIndex(shown);
            ui_.tvEquipment->scrollTo(shown);
        }
    }
}

void EquipmentPage::pinSelected() {
    std::vector<int> rows;
    for (const std::size_t row : selection().first) {
        rows.push_back(static_cast<int>(row));
    }
    pins_->toggle(rows);
}

void EquipmentPage::clearPins() {
    pins_->clearGroup();
}

void EquipmentPage::showComparison() {
    pins_->setGroup(source_.table() ? source_.table()->kind : std::string());
}

} // namespace skarvel
