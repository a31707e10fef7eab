#include "ships/ShipCatalogue.h"

#include "gamedata/DataSet.h"
#include "gamedata/UserIniFile.h"
#include "ports/Form.h"

#include <vector>

namespace skarvel {

std::string ShipDisplayName(const TUserIniFile& resourceIni, std::string_view idsName) {
    return resourceIni.ReadValue("Resource", idsName, kUnknownShipName);
}

void FillShipList(const DataSet& dataSet, Form& form) {
    const auto& ships = dataSet.sections().ships;
    std::vector<std::string> names;
    names.reserve(ships.size());
    for (const std::string& section : ships) {
        const std::string id =
            dataSet.shipArchIni().ReadValue(section, "ids_name", kMissingIdsName);
        names.push_back(ShipDisplayName(dataSet.resourceIni(), id));
    }
    form.setItems("lbShips", names);
}

} // namespace skarvel
