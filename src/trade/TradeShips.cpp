#include "trade/TradeShips.h"

#include "gamedata/DataSet.h"
#include "gamedata/IniEngine.h"
#include "gamedata/TextParts.h"
#include "ships/ShipCatalogue.h"
#include "trade/PriceRules.h"

namespace skarvel::trade {

std::vector<TradeShip> tradeShips(DataSet& dataSet) {
    const GameNames& gameNames = dataSet.loadGameNames();
    const ini::ReadOnlyPhase readOnly; // two keys of every ship: one check of the file
    std::vector<TradeShip> ships;
    for (const std::string& section : dataSet.sections().ships) {
        const auto hold = readNumber(dataSet.shipArchIni().ReadValue(section, "hold_size", ""));
        if (!hold || *hold <= 0) {
            continue;
        }
        const std::string id =
            dataSet.shipArchIni().ReadValue(section, "ids_name", kMissingIdsName);
        std::string name = trimControl(gameNames.text(id));
        ships.push_back({name.empty() ? ShipDisplayName(dataSet.resourceIni(), id) : name, *hold});
    }
    return ships;
}

} // namespace skarvel::trade
