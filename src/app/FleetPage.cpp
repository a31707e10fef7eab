#include "app/FleetPage.h"

#include "app/EditHistory.h"
#include "app/ErrorHandler.h"
#include "app/FleetChangeDialog.h"
#include "app/FleetModel.h"
#include "app/FrozenColumn.h"
#include "app/PinPanel.h"
#include "ports/Controls.h"
#include "ports/Dialogs.h"
#include "ports/Form.h"
#include "ships/Editor.h"
#include "tables/FleetColumns.h"
#include "ui_MainWindow.h"

#include <QAction>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace skarvel {

namespace {

QString fromStd(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

FleetPage::FleetPage(Ui::TformSkarvel& ui, Editor& editor, Form& form, Dialogs& dialogs,
                     TJournal& journal, QObject* parent)
    : QObject(parent), ui_(ui), editor_(editor), form_(form), dialogs_(dialogs), journal_(journal),
      fleet_(journal, form, dialogs, editor),
      model_(new TableModel(
          source_, [this](const QString& why) { ui_.labFleetStatus->setText(why); }, this)),
      proxy_(new TableFilter(this)), shownPage_(ui.pcMain->currentWidget()) {
    setObjectName(QStringLiteral("FleetPage"));
    proxy_->setSourceModel(model_);
    proxy_->setFilterColumns(FleetTableSource::filterColumns());
    ui_.tvFleet->setModel(proxy_);
    ui_.tvFleet->sortByColumn(-1, Qt::AscendingOrder); // file order until a header is clicked
    ui_.tvFleet->horizontalHeader()->setSectionsMovable(true);
    // Widths from the first rows: measuring all 1,500 would cost more than the read.
    ui_.tvFleet->horizontalHeader()->setResizeContentsPrecision(40);
    ui_.tvFleet->verticalHeader()->setDefaultSectionSize(ui_.tvFleet->fontMetrics().height() + 6);
    ui_.tvFleet->setEditTriggers(QAbstractItemView::DoubleClicked |
                                 QAbstractItemView::EditKeyPressed |
                                 QAbstractItemView::AnyKeyPressed);
    frozen_ = new FrozenColumn(*ui_.tvFleet);
    pins_ = new PinPanel(*ui_.tvFleetCompare, *ui_.btFleetUnpin, source_,
                         static_cast<int>(fleetColumnOfKey("nickname")), this);
    auto* pin = new QAction(QStringLiteral("Pin or unpin to compare"), ui_.tvFleet);
    pin->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    pin->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(pin, &QAction::triggered, this, [this] { pinSelected(); });
    ui_.tvFleet->addAction(pin);
    connect(ui_.btFleetUnpin, &QAbstractButton::clicked, this, [this] { pins_->clearGroup(); });
    buildColumnChooser();
    askChange_ = [this](const QString& header, int ships, const QString& shared) -> ChangeAnswer {
        FleetChangeDialog dialog(header, ships, shared, ui_.tvFleet->window());
        if (dialog.exec() != QDialog::Accepted) {
            return std::nullopt;
        }
        return std::pair{dialog.operation(), dialog.operand()};
    };

    const auto handle = [this](auto handler) {
        return [this, handler] { runHandler(journal_, [this, handler] { (this->*handler)(); }); };
    };
    connect(ui_.btFleetChange, &QAbstractButton::clicked, this,
            handle(&FleetPage::btFleetChangeClick));
    connect(ui_.btFleetReview, &QAbstractButton::clicked, this,
            handle(&FleetPage::btFleetReviewClick));
    connect(ui_.btFleetDiscard, &QAbstractButton::clicked, this,
            handle(&FleetPage::btFleetDiscardClick));
    connect(ui_.btFleetExport, &QAbstractButton::clicked, this,
            handle(&FleetPage::btFleetExportClick));
    connect(ui_.btFleetImport, &QAbstractButton::clicked, this,
            handle(&FleetPage::btFleetImportClick));
    connect(ui_.edFleetFilter, &QLineEdit::textChanged, this, [this](const QString& text) {
        proxy_->setText(text);
        showStatus();
    });
    const auto nameClicked = [this](const QModelIndex& index) {
        const QModelIndex source = proxy_->mapToSource(index);
        if (source.column() == static_cast<int>(fleetColumnOfKey("name"))) {
            runHandler(journal_, [this, source] { openShip(source.row()); });
        }
    };
    connect(ui_.tvFleet, &QAbstractItemView::clicked, this, nameClicked);
    connect(&frozen_->view(), &QAbstractItemView::clicked, this, nameClicked);
    connect(ui_.pcMain, &QTabWidget::currentChanged, this,
            [this] { runHandler(journal_, [this] { pageChanged(); }); });
    // The ship list is filled at every open and emptied at a close: the table follows.
    const auto listChanged = [this] {
        if (!stale_) {
            stale_ = true;
            QTimer::singleShot(0, this, [this] {
                if (ui_.pcMain->currentWidget() == ui_.tsFleet && fleet_.edits().empty()) {
                    runHandler(journal_, [this] { refresh(); });
                }
            });
        }
    };
    // A typed cell is a step of the history too.
    connect(model_, &QAbstractItemModel::dataChanged, this, [this] {
        if (!restoring_) {
            recordHistory();
            showStatus();
        }
    });
    connect(ui_.lbShips->model(), &QAbstractItemModel::rowsInserted, this, listChanged);
    connect(ui_.lbShips->model(), &QAbstractItemModel::rowsRemoved, this, listChanged);
    connect(ui_.lbShips->model(), &QAbstractItemModel::modelReset, this, listChanged);
    showStatus();
}

void FleetPage::buildColumnChooser() {
    auto* menu = new QMenu(ui_.btFleetColumns);
    const auto columns = fleetColumns();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        QAction* action = menu->addAction(fromStd(fleetHeader(columns[i])));
        action->setCheckable(true);
        action->setChecked(true);
        const int column = static_cast<int>(i);
        connect(action, &QAction::toggled, this, [this, column](bool shown) {
            ui_.tvFleet->setColumnHidden(column, !shown);
            frozen_->update();
        });
    }
    ui_.btFleetColumns->setMenu(menu);
}

void FleetPage::setHistory(EditHistory& history) {
    history_ = &history;
    history.markPageWhen(*ui_.tsFleet, [this] { return !fleet_.edits().empty(); });
}

void FleetPage::refresh() {
    fleet_.refresh();
    recorded_ = fleet_.edits();
    stale_ = false;
    model_->reload();
    ui_.tvFleet->resizeColumnsToContents();
    const bool open = editor_.dataSet().isOpen();
    if (!open) {
        pins_->forgetAll(); // pins stay while the set is open
    }
    pins_->refresh();
    for (QWidget* widget :
         {static_cast<QWidget*>(ui_.tvFleet), static_cast<QWidget*>(ui_.edFleetFilter),
          static_cast<QWidget*>(ui_.btFleetChange), static_cast<QWidget*>(ui_.btFleetReview),
          static_cast<QWidget*>(ui_.btFleetExport), static_cast<QWidget*>(ui_.btFleetImport)}) {
        widget->setEnabled(open);
    }
    showStatus();
}

void FleetPage::changesMade() {
    model_->changesMade();
    showStatus();
    pins_->refresh();
    recordHistory();
}

void FleetPage::pinSelected() {
    std::vector<int> rows;
    for (const QModelIndex& index : ui_.tvFleet->selectionModel()->selectedIndexes()) {
        const int row = proxy_->mapToSource(index).row();
        if (std::find(rows.begin(), rows.end(), row) == rows.end()) {
            rows.push_back(row);
        }
    }
    pins_->toggle(rows);
}

namespace {

// "hold_size of 6 ships": what changed between two states of the page's edits.
std::string stepText(const FleetEdits& before, const FleetEdits& after) {
    std::set<std::string> keys, owners;
    const auto differing = [&](const FleetEdits& a, const FleetEdits& b) {
        for (const PendingChange& change : a.changes()) {
            if (std::find(b.changes().begin(), b.changes().end(), change) == b.changes().end()) {
                keys.insert(change.key);
                owners.insert(change.section.nickname);
            }
        }
    };
    differing(after, before);
    differing(before, after);
    if (before.mountChanges() != after.mountChanges()) {
        keys.insert("hardpoint levels");
        for (const MountChange& mount : after.mountChanges()) {
            owners.insert(mount.shipNickname);
        }
    }
    const std::string what = keys.size() == 1 ? *keys.begin() : std::string("values");
    if (owners.size() == 1) {
        return what + " of " + *owners.begin();
    }
    return what + " of " + std::to_string(owners.size()) + " ships";
}

} // namespace

void FleetPage::recordHistory() {
    const FleetEdits& now = fleet_.edits();
    if (restoring_ ||
        (now.changes() == recorded_.changes() && now.mountChanges() == recorded_.mountChanges())) {
        return;
    }
    if (history_) {
        history_->push(std::make_unique<StateStep<FleetEdits>>(
            stepText(recorded_, now), recorded_, now,
            [this](const FleetEdits& edits) { showEdits(edits); }));
    }
    recorded_ = now;
}

void FleetPage::showEdits(const FleetEdits& edits) {
    restoring_ = true;
    fleet_.edits() = edits;
    recorded_ = edits;
    model_->changesMade();
    showStatus();
    if (!edits.empty()) {
        ui_.btSave->setEnabled(true);
    }
    restoring_ = false;
}

void FleetPage::showStatus() {
    const std::size_t changes = fleet_.edits().changes().size();
    QString text = QStringLiteral("%1 of %2 ships shown")
                       .arg(proxy_->rowCount())
                       .arg(fleet_.table().rows().size());
    if (changes > 0) {
        text += QStringLiteral("; %1 pending change(s) in %2 ship(s), not yet saved")
                    .arg(changes)
                    .arg(fleet_.edits().shipCount());
    }
    ui_.labFleetStatus->setText(text);
    ui_.btFleetDiscard->setEnabled(changes > 0);
    if (changes > 0) {
        ui_.btSave->setEnabled(true); // the tool bar's Save and Ctrl+S save them too
    }
}

void FleetPage::pageChanged() {
    QWidget* now = ui_.pcMain->currentWidget();
    QWidget* before = shownPage_;
    shownPage_ = now;
    if (now == before) {
        return;
    }
    // The page's changes are the document's: leaving it asks nothing.
    if (before == ui_.tsFleet) {
        changesMade();
        return;
    }
    if (now == ui_.tsFleet && fleet_.edits().empty()) {
        refresh();
    }
}

void FleetPage::openShip(int sourceRow) {
    form_.setSelectedIndex(controls::lbShips, sourceRow);
    editor_.lbShipsClick();
    form_.showPage("Ship");
}

void FleetPage::btFleetChangeClick() {
    const QModelIndexList selected = ui_.tvFleet->selectionModel()->selectedIndexes();
    std::set<int> columns;
    std::vector<std::size_t> rows;
    for (const QModelIndex& index : selected) {
        const QModelIndex source = proxy_->mapToSource(index);
        columns.insert(source.column());
        rows.push_back(static_cast<std::size_t>(source.row()));
    }
    if (columns.size() != 1) {
        dialogs_.message(MessageKind::Information,
                         "Select the cells of one column first, in the rows to change.");
        return;
    }
    const auto column = static_cast<std::size_t>(*columns.begin());
    std::string shared;
    for (const std::string& name : fleet_.edits().sharing(rows, column)) {
        shared += (shared.empty() ? "" : ", ") + name;
    }
    const ChangeAnswer answer = askChange_(fromStd(fleetHeader(fleetColumns()[column])),
                                           static_cast<int>(rows.size()), fromStd(shared));
    if (!answer) {
        return;
    }
    const BulkChange change =
        fleet_.edits().apply(rows, column, answer->first, answer->second.toLatin1().toStdString());
    changesMade();
    if (const std::string message = bulkChangeMessage(change); !message.empty()) {
        dialogs_.message(change.applied() ? MessageKind::Information : MessageKind::Error, message);
    }
}

void FleetPage::btFleetReviewClick() {
    try {
        fleet_.btFleetReviewClick();
    } catch (...) {
        changesMade();
        throw;
    }
    if (fleet_.edits().empty()) {
        refresh();
    }
    changesMade();
}

void FleetPage::btFleetDiscardClick() {
    fleet_.btFleetDiscardClick();
    changesMade();
}

void FleetPage::btFleetExportClick() {
    const std::size_t choice = dialogs_.choose(
        MessageKind::Confirmation, "Export the rows and columns shown, or every ship and column?",
        {"Shown", "All", "Cancel"});
    if (choice > 1) {
        return;
    }
    std::vector<std::size_t> rows;
    std::vector<std::size_t> columns;
    const auto header = ui_.tvFleet->horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (choice == 1 || !ui_.tvFleet->isColumnHidden(logical)) {
            columns.push_back(static_cast<std::size_t>(logical));
        }
    }
    if (choice == 1) {
        for (std::size_t row = 0; row < fleet_.table().rows().size(); ++row) {
            rows.push_back(row);
        }
    } else {
        for (int row = 0; row < proxy_->rowCount(); ++row) {
            rows.push_back(
                static_cast<std::size_t>(proxy_->mapToSource(proxy_->index(row, 0)).row()));
        }
    }
    // Excel reads letters beyond ASCII right only with a byte order mark.
    const std::size_t encoding =
        dialogs_.choose(MessageKind::Confirmation,
                        "Write the file as plain UTF-8, or as UTF-8 with a byte order mark for "
                        "spreadsheets such as Excel?",
                        {"Plain UTF-8", "UTF-8 with BOM", "Cancel"});
    if (encoding > 1) {
        return;
    }
    const auto path = dialogs_.saveFile({"Export CSV", "fleet.csv", "CSV files|*.csv", {}});
    if (path) {
        fleet_.exportCsv(*path, rows, columns, encoding == 1);
    }
}

void FleetPage::btFleetImportClick() {
    const auto path = dialogs_.openFile({"Import CSV", {}, "CSV files|*.csv", {}});
    if (!path) {
        return;
    }
    const auto before = shownTexts();
    std::optional<std::string> imported = fleet_.importCsv(*path);
    if (!imported) {
        return; // the file was refused, and the user told why
    }
    std::string message = std::move(*imported);
    changesMade();
    if (!ui_.edFleetFilter->text().isEmpty() && importHidden(before)) {
        ui_.edFleetFilter->clear();
        message += "\n\rThe filter was cleared to show the imported rows.";
    }
    dialogs_.message(MessageKind::Information, message);
}

std::vector<std::vector<std::string>> FleetPage::shownTexts() const {
    const FleetEdits& edits = fleet_.edits();
    std::vector<std::vector<std::string>> texts(fleet_.table().rows().size());
    for (std::size_t row = 0; row < texts.size(); ++row) {
        for (std::size_t column = 0; column < fleetColumns().size(); ++column) {
            texts[row].push_back(edits.shown(row, column));
        }
    }
    return texts;
}

bool FleetPage::importHidden(const std::vector<std::vector<std::string>>& before) const {
    const FleetEdits& edits = fleet_.edits();
    for (std::size_t row = 0; row < before.size(); ++row) {
        if (proxy_->mapFromSource(model_->index(static_cast<int>(row), 0)).isValid()) {
            continue;
        }
        for (std::size_t column = 0; column < before[row].size(); ++column) {
            if (edits.shown(row, column) != before[row][column]) {
                return true;
            }
        }
    }
    return false;
}

} // namespace skarvel
