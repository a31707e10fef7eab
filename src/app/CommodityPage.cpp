#include "app/CommodityPage.h"

#include "app/ErrorHandler.h"
#include "app/TradeModels.h"
#include "ships/Editor.h"
#include "trade/PriceSave.h"
#include "ui_MainWindow.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPersistentModelIndex>
#include <QSortFilterProxyModel>
#include <QStyledItemDelegate>

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

} // namespace

CommodityPage::CommodityPage(Ui::TformSkarvel& ui, Editor& editor, Dialogs& dialogs,
                             TJournal& journal, QObject* parent)
    : QObject(parent), ui_(ui), editor_(editor), dialogs_(dialogs), journal_(journal) {
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
    connect(ui_.tvCommodities->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { showMarkets(); });
    connect(ui_.cbRouteShip, &QComboBox::currentIndexChanged, this, [this] { showRoutes(); });
    connect(ui_.cbRouteStart, &QComboBox::currentIndexChanged, this, [this] { showRoutes(); });
    connect(ui_.btCommoditySave, &QPushButton::clicked, this,
            [this] { runHandler(journal_, [this] { btCommoditySaveClick(); }); });
    // Read when the page comes to the front: the files may have changed since.
    connect(ui_.pcMain, &QTabWidget::currentChanged, this, [this] {
        if (ui_.pcMain->currentWidget() == ui_.tsCommodity) {
            runHandler(journal_, [this] { refresh(); });
        }
    });
}

CommodityPage::~CommodityPage() = default;

void CommodityPage::refresh() {
    if (!editor_.dataSet().isOpen()) {
        ui_.labTradeNotes->setText(QStringLiteral("Open the data files to see the trades."));
        ui_.labTradeNotes->setVisible(true);
        return;
    }
    // Typed prices not yet saved are kept; a new reading would drop them.
    const bool edited = calculator_ && !calculator_->edits().empty();
    if (!calculator_ || (!edited && trade::sourcesChanged(calculator_->data()))) {
        read();
    }
}

void CommodityPage::read() {
    DataSet& dataSet = editor_.dataSet();
    const GameNames& names = dataSet.loadGameNames();
    // The models let go of the old calculator first.
    shown_ = nullptr;
    markets_->showCommodity(trade::kNone);
    routes_->setRoutes({});
    commodities_->reset();
    calculator_ = std::make_unique<trade::Calculator>(trade::readTradeData(
        dataSet.files().dataDir, [&](std::string_view id) { return std::string(names.text(id)); }));
    shown_ = calculator_.get();
    ships_ = trade::tradeShips(dataSet);
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
    for (const trade::TradeShip& each : ships_) {
        ui_.cbRouteShip->addItem(QStringLiteral("%1 (%2)").arg(utf8(each.name)).arg(each.holdSize),
                                 each.holdSize);
    }
    ui_.cbRouteShip->setCurrentIndex(std::max(0, ui_.cbRouteShip->findText(ship)));
    const QString start = ui_.cbRouteStart->currentText();
    ui_.cbRouteStart->clear();
    ui_.cbRouteStart->addItem(QStringLiteral("Anywhere"), kAnywhere);
    const trade::TradeData& data = calculator_->data();
    for (std::size_t s = 0; s < data.systems.size(); ++s) {
        ui_.cbRouteStart->addItem(QStringLiteral("System ") + utf8(data.systems[s].name),
                                  static_cast<int>(s));
    }
    for (std::size_t b = 0; b < data.bases.size(); ++b) {
        ui_.cbRouteStart->addItem(QStringLiteral("Base ") + utf8(data.bases[b].name),
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

void CommodityPage::showRoutes() {
    if (!calculator_) {
        return;
    }
    trade::RouteQuery query;
    query.holdSize = ui_.cbRouteShip->currentData().toDouble();
    const int start = ui_.cbRouteStart->currentData().toInt();
    if (start >= 0) {
        query.startSystem = static_cast<std::size_t>(start);
    } else if (start < kAnywhere) {
        query.startBase = static_cast<std::size_t>(-2 - start);
    }
    routes_->setRoutes(query.holdSize > 0 ? calculator_->routes(query)
                                          : std::vector<trade::Route>{});
}

void CommodityPage::pricesChanged() {
    commodities_->pricesChanged();
    markets_->pricesChanged();
    showRoutes();
    ui_.btCommoditySave->setEnabled(!trade::priceChanges(*calculator_).empty());
}

bool CommodityPage::editBasePrice(std::size_t commodity, const QString& text) {
    if (!calculator_ ||
        !calculator_->setBasePrice(commodity, text.trimmed().toLatin1().toStdString())) {
        return false;
    }
    pricesChanged();
    return true;
}

bool CommodityPage::editMultiplier(std::size_t market, const QString& text) {
    if (!calculator_ ||
        !calculator_->setMultiplier(market, text.trimmed().toLatin1().toStdString())) {
        return false;
    }
    pricesChanged();
    return true;
}

void CommodityPage::btCommoditySaveClick() {
    if (!calculator_) {
        return;
    }
    if (trade::btCommoditySaveClick(journal_, dialogs_, editor_.dataSet(), *calculator_) ==
        trade::PriceSaveOutcome::Saved) {
        read(); // the files as saved
    }
}

} // namespace skarvel
