#include "trade/TradeShips.h"

#include "gamedata/DataSet.h"
#include "gamedata/IniEngine.h"
#include "gamedata/TextParts.h"
#include "ships/ShipCatalogue.h"
#include "ships/ShipLoader.h"
#include "tables/FleetTable.h"
#include "trade/PriceRules.h"
#include "trade/TradeData.h"

#include <algorithm>

namespace skarvel::trade {

std::vector<TradeShip> tradeShips(DataSet& dataSet) {
    const GameNames& gameNames = dataSet.loadGameNames();
    const ini::ReadOnlyPhase readOnly; // a few keys of every ship: one check of each file
    const SectionLists& lists = dataSet.sections();
    const std::vector<LoadedShip> places = locateShips(dataSet);
    std::vector<TradeShip> ships;
    for (std::size_t k = 0; k < lists.ships.size() && k < places.size(); ++k) {
        const std::string& section = lists.ships[k];
        const auto hold = readNumber(dataSet.shipArchIni().ReadValue(section, "hold_size", ""));
        if (!hold || *hold <= 0 || *hold > 1e9) {
            continue;
        }
        const std::string id =
            dataSet.shipArchIni().ReadValue(section, "ids_name", kMissingIdsName);
        std::string name = trimControl(gameNames.text(id));
        TradeShip ship{name.empty() ? ShipDisplayName(dataSet.resourceIni(), id) : name,
                       {},
                       static_cast<int>(k),
                       *hold};
        const LoadedShip& place = places[k];
        if (place.packageGoodIndex >= 0 &&
            static_cast<std::size_t>(place.packageGoodIndex) < lists.goods.size()) {
            ship.package = lowerText(dataSet.goodsIni().ReadValue(
                lists.goods[static_cast<std::size_t>(place.packageGoodIndex)], "nickname", ""));
        }
        if (place.engineIndex >= 0 &&
            static_cast<std::size_t>(place.engineIndex) < lists.engines.size()) {
            const std::string& engine = lists.engines[static_cast<std::size_t>(place.engineIndex)];
            const auto speed =
                readNumber(dataSet.engineEquipIni().ReadValue(engine, "cruise_speed", ""));
            const auto charge =
                readNumber(dataSet.engineEquipIni().ReadValue(engine, "cruise_charge_time", ""));
            ship.travel.cruiseSpeed = speed && *speed > 0 && *speed <= 1e6 ? *speed : 0;
            ship.travel.chargeSeconds = charge && *charge >= 0 && *charge <= 600 ? *charge : 0;
        }
        ships.push_back(std::move(ship));
    }
    return ships;
}

ShipChoice shipChoice(std::vector<TradeShip> ships,
                      const std::unordered_set<std::string>& goodsSold) {
    const auto sold = std::stable_partition(ships.begin(), ships.end(), [&](const TradeShip& s) {
        return !s.package.empty() && goodsSold.contains(s.package);
    });
    const auto count = static_cast<std::size_t>(sold - ships.begin());
    return {std::move(ships), count};
}

} // namespace skarvel::trade
