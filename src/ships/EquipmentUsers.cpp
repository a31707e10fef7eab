#include "ships/EquipmentUsers.h"

#include "gamedata/DataSet.h"
#include "gamedata/IniEngine.h"
#include "gamedata/SectionNumbering.h"
#include "ships/PackageEquipment.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace skarvel {

namespace {

const ini::ParsedIni::Key* keyOf(const ini::ParsedIni& ini, const ini::ParsedIni::Section& section,
                                 std::string_view name) {
    return ini.findKey(section, name);
}

struct Carried {
    std::string engine;
    std::string power;
};
// ship nickname -> what its package carries, found as the load's searches find it.
using GoodsIndex = std::unordered_map<std::string, Carried>;

GoodsIndex goodsIndexOf(const ini::ParsedIni& goods, const std::vector<std::string>& sections) {
    // The first good whose "ship" / "hull" key holds a value, as the load's searches take it.
    std::unordered_map<std::string, const ini::ParsedIni::Section*> hullOfShip;
    std::unordered_map<std::string, const ini::ParsedIni::Section*> packageOfHull;
    for (const std::string& name : sections) {
        const auto* good = goods.findSection(name);
        if (!good) {
            continue;
        }
        if (const auto* ship = keyOf(goods, *good, "Ship")) {
            hullOfShip.try_emplace(goods.value(*ship), good);
        }
        if (const auto* hull = keyOf(goods, *good, "Hull")) {
            packageOfHull.try_emplace(goods.value(*hull), good);
        }
    }
    GoodsIndex index;
    for (const auto& [ship, hull] : hullOfShip) {
        const auto* hullNickname = keyOf(goods, *hull, "nickname");
        const auto package =
            hullNickname ? packageOfHull.find(goods.value(*hullNickname)) : packageOfHull.end();
        if (package != packageOfHull.end()) {
            PackageEquipment equipment = packageEquipment(goods, *package->second);
            index.try_emplace(ship,
                              Carried{std::move(equipment.engine), std::move(equipment.power)});
        }
    }
    return index;
}

// Every ship load asks, and an outside change of shiparch.ini leaves goods.ini as it was: the
// index of the last goods parse (its layout stamp, unique to it) is kept.
std::shared_ptr<const GoodsIndex> cachedGoodsIndex(const ini::ParsedIni& goods,
                                                   const std::vector<std::string>& sections) {
    static std::mutex guard;
    static std::uint64_t stamp = 0;
    static std::vector<std::string> listed;
    static std::shared_ptr<const GoodsIndex> index;
    const std::lock_guard lock(guard);
    if (!index || stamp != goods.layoutStamp() || listed != sections) {
        index = std::make_shared<const GoodsIndex>(goodsIndexOf(goods, sections));
        stamp = goods.layoutStamp();
        listed = sections;
    }
    return index;
}

} // namespace

EquipmentUsers::EquipmentUsers(const DataSet& dataSet, const std::vector<std::string>& names)
    : names_(names) {
    const auto goods = ini::currentIni(dataSet.goodsIni().path());
    const auto shipArch = ini::currentIni(dataSet.shipArchIni().path());
    if (!goods || !shipArch) {
        return;
    }
    const std::shared_ptr<const GoodsIndex> carried =
        cachedGoodsIndex(*goods, dataSet.sections().goods);
    const auto& ships = dataSet.sections().ships;
    for (std::size_t k = 0; k < ships.size() && k < names.size(); ++k) {
        const auto* section = shipArch->findSection(ships[k]);
        const auto* nickname = section ? keyOf(*shipArch, *section, "nickname") : nullptr;
        const auto found = nickname ? carried->find(shipArch->value(*nickname)) : carried->end();
        if (found != carried->end()) {
            ships_.push_back({k, found->second.engine, found->second.power});
        }
    }
}

template <typename Uses>
EquipmentUsers::Users EquipmentUsers::users(std::size_t shown, Uses&& uses) const {
    Users found;
    for (const ShipEquipment& ship : ships_) {
        if (!uses(ship)) {
            continue;
        }
        ++found.count;
        if (ship.row != shown) {
            found.others.push_back(names_[ship.row]);
        }
    }
    return found;
}

EquipmentUsers::Users EquipmentUsers::usersOfEngine(std::string_view engine,
                                                    std::size_t shown) const {
    return users(
        shown, [&](const ShipEquipment& ship) { return !engine.empty() && ship.engine == engine; });
}

EquipmentUsers::Users EquipmentUsers::usersOfPower(std::string_view power,
                                                   std::size_t shown) const {
    return users(shown,
                 [&](const ShipEquipment& ship) { return !power.empty() && ship.power == power; });
}

std::string usedByText(const EquipmentUsers::Users& users) {
    return users.count > 1 ? "used by " + std::to_string(users.count) + " ships" : std::string();
}

std::string joinedNames(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : ", ") + name;
    }
    return text;
}

} // namespace skarvel
