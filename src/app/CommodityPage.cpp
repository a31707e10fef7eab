#include "app/CommodityPage.h"

#include "app/EditHistory.h"
#include "app/ErrorHandler.h"
#include "app/TradeModels.h"
#include "app/TravelSettingsDialog.h"
#include "ships/Editor.h"
#include "trade/PriceSave.h"
#include "trade/RouteText.h"
#include "trade/TravelSettings.h"
#include "ui_MainWindow.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPersistentModelIndex>
#include <QSortFilterProxyModel>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>
#include <memory>

namespace skarvel {

namespace {

// Hands every keystroke to the model, so that the tables follow the price as it is typed;
// Escape gives the model back the text the edit started from.
class LiveEditDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            const QPersistentModelIndex at(index);
            line->setProperty(kStartText, index.data(Qt::EditRole));
            connect(line, &QLineEdit::textEdited, line,
                    [at](const QString& text) { setAt(at, text); });
        }
        return editor;
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* line = qobject_cast<QLineEdit*>(object);
        if (line && event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            if (QAbstractItemView* view = qobject_cast<QAbstractItemView*>(parent())) {
                setAt(view->currentIndex(), line->property(kStartText).toString());
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    static constexpr const char* kStartText = "liveEditStart";

    static void setAt(const QModelIndex& at, const QString& text) {
        if (at.isValid()) {
            const_cast<QAbstractItemModel*>(at.model())->setData(at, text, Qt::EditRole);
        }
    }
};

QSortFilterProxyModel* sortedView(QAbstractItemModel* model, QTableView& view, QObject* parent,
                                  int column, Qt::SortOrder order) {
    auto* proxy = new QSortFilterProxyModel(parent);
    proxy->setSourceModel(model);
    proxy->setSortRole(kSortRole);
    view.setModel(proxy);
    view.setItemDelegate(new LiveEditDelegate(&view));
    view.sortByColumn(column, order);
    view.verticalHeader()->hide();
    view.horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return proxy;
}

QString utf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The start of the routes in cbRouteStart's item data: -1 anywhere, a system's index, or
// -2 - a base's index.
constexpr int kAnywhere = -1;

constexpr QAbstractItemView::EditTriggers kEditTriggers = QAbstractItemView::DoubleClicked |
                                                          QAbstractItemView::EditKeyPressed |
                                                          QAbstractItemView::AnyKeyPressed;

} // namespace

CommodityPage::CommodityPage(Ui::TformSkarvel& ui, Editor& editor, Dialogs& dialogs,
                             TJournal& journal, Preferences& preferences, QObject* parent)
    : QObject(parent), ui_(ui), editor_(editor), dialogs_(dialogs), journal_(journal),
      preferences_(preferences), prices_({[this] { return calculator_.get(); },
                                          [this] { pricesChanged(); }, [this] { dropEdits(); }}),
      registration_(editor.document().addSource(prices_)) {
    commodities_ = new CommodityTableModel(
        shown_, [this](std::size_t c, const QString& text) { return editBasePrice(c, text); },
        this);
    markets_ = new MarketTableModel(
        shown_, [this](std::size_t m, const QString& text) { return editMultiplier(m, text); },
        this);
    routes_ = new RouteTableModel(shown_, this);
    commodityOrder_ = sortedView(commodities_, *ui_.tvCommodities, this, CommodityTableModel::Name,
                                 Qt::AscendingOrder);
    marketOrder_ =
        sortedView(markets_, *ui_.tvMarkets, this, MarketTableModel::Price, Qt::AscendingOrder);
    routeOrder_ = sortedView(routes_, *ui_.tvRoutes, this, RouteTableModel::ProfitPerMinute,
                             Qt::DescendingOrder);
    ui_.cbRouteOrder->addItem(QStringLiteral("Best one way"),
                              static_cast<int>(trade::RouteOrder::OneWay));
    ui_.cbRouteOrder->addItem(QStringLiteral("Best round trip"),
                              static_cast<int>(trade::RouteOrder::RoundTrip));
    ui_.cbStoryGatesOpen->setChecked(trade::readTravelSettings(preferences_).storyGatesOpen);
    ui_.labTradeWorking->setVisible(false);
    connect(ui_.tvCommodities->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { showMarkets(); });
    connect(ui_.cbRouteShip, &QComboBox::currentIndexChanged, this, [this] { showRoutes(); });
    connect(ui_.cbRouteStart, &QComboBox::currentIndexChanged, this, [this] { showRoutes(); });
    connect(ui_.cbRouteOrder, &QComboBox::currentIndexChanged, this, [this] {
        ui_.tvRoutes->sortByColumn(currentQuery().order == trade::RouteOrder::RoundTrip
                                       ? RouteTableModel::LoopProfitPerMinute
                                       : RouteTableModel::ProfitPerMinute,
                                   Qt::DescendingOrder);
        showRoutes();
    });
    connect(ui_.cbStoryGatesOpen, &QCheckBox::toggled, this, [this](bool open) {
        trade::TravelSettings settings = trade::readTravelSettings(preferences_);
        settings.storyGatesOpen = open;
        applySettings(settings);
    });
    connect(ui_.btTravelSettings, &QPushButton::clicked, this,
            [this] { runHandler(journal_, [this] { btTravelSettingsClick(); }); });
    connect(ui_.btCommoditySave, &QPushButton::clicked, this,
            [this] { runHandler(journal_, [this] { btCommoditySaveClick(); }); });
    connect(&readingWatcher_, &QFutureWatcherBase::finished, this, [this] { readDone(); });
    connect(&searchWatcher_, &QFutureWatcherBase::finished, this, [this] { routesDone(); });
    // Read when the page comes to the front: the files may have changed since.
    connect(ui_.pcMain, &QTabWidget::currentChanged, this, [this] {
        if (ui_.pcMain->currentWidget() == ui_.tsCommodity) {
            runHandler(journal_, [this] { refresh(); });
        }
    });
}

// The work off the thread holds its own reference to the calculator; it is waited for.
CommodityPage::~CommodityPage() {
    readingWatcher_.waitForFinished();
    searchWatcher_.waitForFinished();
}

void CommodityPage::setHistory(EditHistory& history) {
    history_ = &history;
    history.markPageWhen(*ui_.tsCommodity,
                         [this] { return calculator_ && !calculator_->edits().empty(); });
}

void CommodityPage::refresh() {
    if (!editor_.dataSet().isOpen()) {
        ui_.labTradeNotes->setText(QStringLiteral("Open the data files to see the trades."));
        ui_.labTradeNotes->setVisible(true);
        return;
    }
    if (working()) {
        return;
    }
    // Typed prices not yet saved are kept; a new reading would drop them.
    const bool edited = calculator_ && !calculator_->edits().empty();
    if (!calculator_ || (!edited && trade::sourcesChanged(calculator_->data()))) {
        read();
    }
}

void CommodityPage::setWorking(const QString& what) {
    ui_.labTradeWorking->setText(what);
    ui_.labTradeWorking->setVisible(!what.isEmpty());
    const bool idle = what.isEmpty();
    for (QWidget* choice :
         std::initializer_list<QWidget*>{ui_.cbRouteShip, ui_.cbRouteStart, ui_.cbRouteOrder,
                                         ui_.cbStoryGatesOpen, ui_.btTravelSettings}) {
        choice->setEnabled(idle);
    }
    // No price is typed while the search reads them.
    const auto triggers = idle ? kEditTriggers : QAbstractItemView::NoEditTriggers;
    ui_.tvCommodities->setEditTriggers(triggers);
    ui_.tvMarkets->setEditTriggers(triggers);
}

void CommodityPage::read() {
    DataSet& dataSet = editor_.dataSet();
    // The names and the folder go with the work as copies: the set may close meanwhile.
    GameNames names = dataSet.loadGameNames();
    const std::string dataDir = dataSet.files().dataDir;
    const trade::TravelSettings settings = trade::readTravelSettings(preferences_);
    listShips_ = trade::tradeShips(dataSet);
    // The models let go of the old calculator first.
    shown_ = nullptr;
    markets_->showCommodity(trade::kNone);
    routes_->setRoutes({});
    commodities_->reset();
    reading_ = true;
    setWorking(QStringLiteral("Reading the universe\u2026"));
    readingWatcher_.setFuture(QtConcurrent::run([names = std::move(names), dataDir, settings] {
        return std::make_shared<trade::Calculator>(
            trade::readTradeData(dataDir,
                                 [&](std::string_view id) { return std::string(names.text(id)); }),
            settings);
    }));
}

void CommodityPage::readDone() {
    reading_ = false;
    setWorking({});
    calculator_ = readingWatcher_.result();
    shown_ = calculator_.get();
    ships_ = trade::shipChoice(listShips_, calculator_->data().goodsSold);
    QString notes;
    for (const std::string& problem : calculator_->data().problems) {
        notes += (notes.isEmpty() ? QString() : QStringLiteral("\n")) + utf8(problem);
    }
    ui_.labTradeNotes->setText(notes);
    ui_.labTradeNotes->setVisible(!notes.isEmpty());
    commodities_->reset();
    // The first commodity's markets are shown at once: an empty table explains nothing.
    if (commodityOrder_->rowCount() > 0) {
        ui_.tvCommodities->setCurrentIndex(commodityOrder_->index(0, 0));
    }
    showMarkets();
    fillChoices();
    ui_.btCommoditySave->setEnabled(false);
}

void CommodityPage::fillChoices() {
    const QSignalBlocker shipBlocker(ui_.cbRouteShip);
    const QSignalBlocker startBlocker(ui_.cbRouteStart);
    const QString ship = ui_.cbRouteShip->currentText();
    ui_.cbRouteShip->clear();
    int shown = -1;
    for (std::size_t i = 0; i < ships_.ships.size(); ++i) {
        if (i == ships_.soldCount && i > 0) {
            ui_.cbRouteShip->insertSeparator(ui_.cbRouteShip->count());
        }
        const trade::TradeShip& each = ships_.ships[i];
        ui_.cbRouteShip->addItem(QStringLiteral("%1 (%2)").arg(utf8(each.name)).arg(each.holdSize),
                                 static_cast<int>(i));
        if (editor_.shipLoaded() && each.shipIndex == editor_.shipIndex()) {
            shown = ui_.cbRouteShip->count() - 1;
        }
    }
    // The ship picked before, else the one the Ship page shows.
    const int picked = ship.isEmpty() ? -1 : ui_.cbRouteShip->findText(ship);
    ui_.cbRouteShip->setCurrentIndex(picked >= 0 ? picked : std::max(0, shown));
    const QString start = ui_.cbRouteStart->currentText();
    ui_.cbRouteStart->clear();
    ui_.cbRouteStart->addItem(QStringLiteral("Anywhere"), kAnywhere);
    const trade::TradeData& data = calculator_->data();
    for (std::size_t s = 0; s < data.systems.size(); ++s) {
        ui_.cbRouteStart->addItem(QStringLiteral("System ") + utf8(data.systems[s].name),
                                  static_cast<int>(s));
    }
    for (std::size_t b = 0; b < data.bases.size(); ++b) {
        ui_.cbRouteStart->addItem(QStringLiteral("Base ") + utf8(trade::baseLabel(data, b)),
                                  -2 - static_cast<int>(b));
    }
    ui_.cbRouteStart->setCurrentIndex(std::max(0, ui_.cbRouteStart->findText(start)));
    showRoutes();
}

void CommodityPage::showMarkets() {
    const QModelIndex current = commodityOrder_->mapToSource(ui_.tvCommodities->currentIndex());
    markets_->showCommodity(current.isValid() ? static_cast<std::size_t>(current.row())
                                              : trade::kNone);
}

trade::RouteQuery CommodityPage::currentQuery() const {
    trade::RouteQuery query;
    const QVariant ship = ui_.cbRouteShip->currentData();
    if (ship.isValid() && ship.toInt() >= 0 &&
        static_cast<std::size_t>(ship.toInt()) < ships_.ships.size()) {
        const trade::TradeShip& chosen = ships_.ships[static_cast<std::size_t>(ship.toInt())];
        query.holdSize = chosen.holdSize;
        query.ship = chosen.travel;
    }
    const int start = ui_.cbRouteStart->currentData().toInt();
    if (start >= 0) {
        query.startSystem = static_cast<std::size_t>(start);
    } else if (start < kAnywhere) {
        query.startBase = static_cast<std::size_t>(-2 - start);
    }
    query.order = static_cast<trade::RouteOrder>(ui_.cbRouteOrder->currentData().toInt());
    return query;
}

void CommodityPage::showRoutes() {
    if (!calculator_ || reading_) {
        return;
    }
    if (searching_) {
        searchAgain_ = true;
        return;
    }
    const trade::RouteQuery query = currentQuery();
    if (query.holdSize <= 0) {
        routes_->setRoutes({});
        return;
    }
    if (calculator_->hasTimes(query.ship)) {
        routes_->setRoutes(calculator_->routes(query));
        return;
    }
    // A new ship's travel times: off the window's thread.
    searching_ = true;
    searched_ = query;
    setWorking(QStringLiteral("Working out the routes\u2026"));
    searchWatcher_.setFuture(
        QtConcurrent::run([calculator = calculator_, query] { return calculator->routes(query); }));
}

void CommodityPage::routesDone() {
    searching_ = false;
    setWorking({});
    if (searchAgain_ || !(searched_ == currentQuery())) {
        searchAgain_ = false;
        showRoutes();
        return;
    }
    routes_->setRoutes(searchWatcher_.result());
}

void CommodityPage::applySettings(const trade::TravelSettings& settings) {
    trade::writeTravelSettings(preferences_, settings);
    if (!calculator_ || working()) {
        return;
    }
    calculator_->setSettings(settings);
    // Which bases a route reaches may have changed with the gates.
    commodities_->pricesChanged();
    markets_->pricesChanged();
    showRoutes();
}

void CommodityPage::btTravelSettingsClick() {
    TravelSettingsDialog dialog(trade::readTravelSettings(preferences_), ui_.tsCommodity);
    if (dialog.exec() == QDialog::Accepted) {
        applySettings(dialog.settings());
    }
}

void CommodityPage::pricesChanged() {
    commodities_->pricesChanged();
    markets_->pricesChanged();
    showRoutes();
    const bool edited = !trade::priceChanges(*calculator_).empty();
    ui_.btCommoditySave->setEnabled(edited);
    if (edited) {
        ui_.btSave->setEnabled(true); // the tool bar's Save and Ctrl+S save them too
    }
}

bool CommodityPage::editBasePrice(std::size_t commodity, const QString& text) {
    if (!calculator_ || working()) {
        return false;
    }
    std::vector<trade::PriceEdit> before = calculator_->edits();
    if (!calculator_->setBasePrice(commodity, text.trimmed().toLatin1().toStdString())) {
        return false;
    }
    pricesChanged();
    recordPrice(std::move(before), "price of " + calculator_->data().commodities[commodity].name);
    return true;
}

bool CommodityPage::editMultiplier(std::size_t market, const QString& text) {
    if (!calculator_ || working()) {
        return false;
    }
    std::vector<trade::PriceEdit> before = calculator_->edits();
    if (!calculator_->setMultiplier(market, text.trimmed().toLatin1().toStdString())) {
        return false;
    }
    pricesChanged();
    const trade::TradeData& data = calculator_->data();
    const trade::Market& at = data.markets[market];
    recordPrice(std::move(before), "price of " + data.commodities[at.commodity].name + " at " +
                                       data.bases[at.base].name);
    return true;
}

void CommodityPage::recordPrice(std::vector<trade::PriceEdit> before, std::string text) {
    if (history_ == nullptr) {
        return;
    }
    const trade::Calculator* calculator = calculator_.get();
    history_->push(std::make_unique<StateStep<std::vector<trade::PriceEdit>>>(
        std::move(text), std::move(before), calculator_->edits(),
        [this, calculator](const std::vector<trade::PriceEdit>& edits) {
            showPrices(calculator, edits);
        }));
}

void CommodityPage::showPrices(const trade::Calculator* calculator,
                               const std::vector<trade::PriceEdit>& edits) {
    // A step of an earlier reading of the files has nothing left to put back.
    if (calculator_.get() != calculator || working()) {
        return;
    }
    for (const trade::PriceEdit& edit : calculator_->edits()) {
        trade::setPrice(*calculator_, edit, edit.loaded);
    }
    for (const trade::PriceEdit& edit : edits) {
        trade::setPrice(*calculator_, edit, edit.value);
    }
    pricesChanged();
}

void CommodityPage::btCommoditySaveClick() {
    if (working()) {
        return;
    }
    // One save for every page's changes.
    editor_.saveDocument(/*askFirst=*/false);
}

void CommodityPage::dropEdits() {
    if (!calculator_) {
        return;
    }
    for (const trade::PriceEdit& edit : calculator_->edits()) {
        trade::setPrice(*calculator_, edit, edit.loaded);
    }
    pricesChanged();
    // After the save's own reopen of the set.
    QTimer::singleShot(0, this, [this] {
        if (ui_.pcMain->currentWidget() == ui_.tsCommodity) {
            runHandler(journal_, [this] { refresh(); });
        }
    });
}

} // namespace skarvel
