#pragma once

#include "trade/Calculator.h"
#include "trade/TradeShips.h"

#include <QObject>
#include <memory>
#include <vector>

class QSortFilterProxyModel;

namespace Ui {
class TformSkarvel;
}

namespace skarvel {

class Editor;
class Dialogs;
class TJournal;
class CommodityTableModel;
class MarketTableModel;
class RouteTableModel;

// The Commodity page: the trade calculator's three tables. The files are read when the page
// is shown and the set is open, again only when one of them changed; every price typed is
// taken at once and the tables follow.
class CommodityPage : public QObject {
public:
    CommodityPage(Ui::TformSkarvel& ui, Editor& editor, Dialogs& dialogs, TJournal& journal,
                  QObject* parent = nullptr);
    ~CommodityPage() override;

    void refresh();
    void btCommoditySaveClick();

private:
    void read();
    void fillChoices();
    void showMarkets();
    void showRoutes();
    void pricesChanged();
    bool editBasePrice(std::size_t commodity, const QString& text);
    bool editMultiplier(std::size_t market, const QString& text);

    Ui::TformSkarvel& ui_;
    Editor& editor_;
    Dialogs& dialogs_;
    TJournal& journal_;
    std::unique_ptr<trade::Calculator> calculator_;
    const trade::Calculator* shown_ = nullptr; // what the models show
    std::vector<trade::TradeShip> ships_;
    CommodityTableModel* commodities_;
    MarketTableModel* markets_;
    RouteTableModel* routes_;
    QSortFilterProxyModel* commodityOrder_;
    QSortFilterProxyModel* marketOrder_;
    QSortFilterProxyModel* routeOrder_;
};

} // namespace skarvel
