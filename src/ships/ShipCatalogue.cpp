#include "ships/ShipCatalogue.h"

#include "gamedata/DataSet.h"
#include "gamedata/TextParts.h"
#include "gamedata/UserIniFile.h"
#include "journal/Encoding.h"
#include "ports/Controls.h"
#include "ports/Form.h"

#include <vector>

namespace skarvel {

std::string ShipDisplayName(const TUserIniFile& resourceIni, std::string_view idsName) {
    return fromCp1252(resourceIni.ReadValue("Resource", idsName, kUnknownShipName));
}

void FillShipList(DataSet& dataSet, Form& form) {
    const GameNames& gameNames = dataSet.loadGameNames();
    const auto& ships = dataSet.sections().ships;
    std::vector<std::string> names;
    names.reserve(ships.size());
    for (const std::string& section : ships) {
        const std::string id =
            dataSet.shipArchIni().ReadValue(section, "ids_name", kMissingIdsName);
        std::string name = trimControl(gameNames.text(id));
        names.push_back(name.empty() ? ShipDisplayName(dataSet.resourceIni(), id)
                                     : std::move(name));
    }
    form.setItems(controls::lbShips, names);
}

} // namespace skarvel
