#pragma once

#include "document/Document.h"
#include "trade/Calculator.h"
#include "trade/PriceSave.h"
#include "trade/TradeShips.h"

#include <QFutureWatcher>
#include <QObject>
#include <memory>
#include <vector>

class QSortFilterProxyModel;

namespace Ui {
class TformSkarvel;
}

namespace skarvel {

class Editor;
class EditHistory;
class Dialogs;
class Preferences;
class TJournal;
class CommodityTableModel;
class MarketTableModel;
class RouteTableModel;

// The Commodity page: the trade calculator's three tables. The files are read when the page
// is shown and the set is open, again only when one of them changed; every price typed is
// taken at once and the tables follow. The reading and each new ship's or setting's travel
// times are worked out off the window's thread while the page says it is working.
class CommodityPage : public QObject {
public:
    CommodityPage(Ui::TformSkarvel& ui, Editor& editor, Dialogs& dialogs, TJournal& journal,
                  Preferences& preferences, QObject* parent = nullptr);
    ~CommodityPage() override;

    void refresh();
    void btCommoditySaveClick();
    void btTravelSettingsClick();
    // Every typed price becomes a step of the window's one undo history.
    void setHistory(EditHistory& history);
    // Whether a reading or a route search runs off the window's thread.
    bool working() const { return reading_ || searching_; }

private:
    using CalculatorPtr = std::shared_ptr<trade::Calculator>;

    void read();
    void readDone();
    void fillChoices();
    void showMarkets();
    void showRoutes();
    void routesDone();
    trade::RouteQuery currentQuery() const;
    void setWorking(const QString& what);
    void applySettings(const trade::TravelSettings& settings);
    void pricesChanged();
    bool editBasePrice(std::size_t commodity, const QString& text);
    bool editMultiplier(std::size_t market, const QString& text);
    // The typed prices are taken back (saved or dropped); the files are read again when the
    // page shows them.
    void dropEdits();
    // A price was typed: a step from before to now; what it names: "price of Gold at X".
    void recordPrice(std::vector<trade::PriceEdit> before, std::string text);
    void showPrices(const trade::Calculator* calculator,
                    const std::vector<trade::PriceEdit>& edits);

    Ui::TformSkarvel& ui_;
    Editor& editor_;
    Dialogs& dialogs_;
    TJournal& journal_;
    Preferences& preferences_;
    CalculatorPtr calculator_;
    const trade::Calculator* shown_ = nullptr; // what the models show
    std::vector<trade::TradeShip> listShips_;  // in the ship list's order, as last read
    trade::ShipChoice ships_;
    CommodityTableModel* commodities_;
    MarketTableModel* markets_;
    RouteTableModel* routes_;
    QSortFilterProxyModel* commodityOrder_;
    QSortFilterProxyModel* marketOrder_;
    QSortFilterProxyModel* routeOrder_;
    QFutureWatcher<CalculatorPtr> readingWatcher_;
    QFutureWatcher<std::vector<trade::Route>> searchWatcher_;
    bool reading_ = false, searching_ = false, searchAgain_ = false;
    trade::RouteQuery searched_;
    EditHistory* history_ = nullptr;
    trade::PriceChangeSource prices_;
    Document::Registration registration_;
};

} // namespace skarvel
