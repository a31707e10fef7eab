#include "ships/PackageEquipment.h"

#include "gamedata/TextParts.h"

namespace skarvel {

PackageEquipment packageEquipment(const ini::ParsedIni& goods,
                                  const ini::ParsedIni::Section& package) {
    PackageEquipment names;
    for (std::size_t k = package.firstKey; k < package.firstKey + package.keyCount; ++k) {
        const std::string item = getDelimitedPart(goods.value(goods.keys()[k]), '*', ',');
        if (item.find("engine") != std::string::npos) {
            names.engine = item;
        }
        if (item.find("power") != std::string::npos) {
            names.power = item;
        }
        if (item.find("scanner") != std::string::npos) {
            names.scanner = item;
        }
        if (item.find("tractor") != std::string::npos) {
            names.tractor = item;
        }
    }
    return names;
}

} // namespace skarvel
