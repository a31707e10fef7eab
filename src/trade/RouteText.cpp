#include "trade/RouteText.h"

namespace skarvel::trade {

std::string baseLabel(const TradeData& data, std::size_t base) {
    if (base >= data.bases.size()) {
        return {};
    }
    const Base& b = data.bases[base];
    return b.system < data.systems.size() ? b.name + ", " + data.systems[b.system].name : b.name;
}

std::string pathText(const TradeData& data, const std::vector<Leg>& legs) {
    if (legs.empty()) {
        return {};
    }
    const auto systemName = [&](std::size_t object) {
        const std::size_t system = data.objects[object].system;
        return system < data.systems.size() ? data.systems[system].name : std::string();
    };
    std::string text = systemName(legs.front().from);
    std::string lanes;
    const auto endSystem = [&] {
        if (!lanes.empty()) {
            text += " (" + lanes + ")";
            lanes.clear();
        }
    };
    for (const Leg& leg : legs) {
        if (leg.kind == Leg::Lane) {
            lanes += (lanes.empty() ? "lane " : ", lane ") + data.objects[leg.from].nickname +
                     "\u2013" + data.objects[leg.to].nickname;
        } else if (leg.kind == Leg::Jump) {
            endSystem();
            text += data.objects[leg.from].portal == Portal::Gate ? " \u2192 gate \u2192 "
                                                                  : " \u2192 hole \u2192 ";
            text += systemName(leg.to);
        }
    }
    endSystem();
    return text;
}

std::string reachText(Reach reach) {
    switch (reach) {
    case Reach::Open:
        return {};
    case Reach::NpcOnly:
        return "NPC only: its dock has mooring points only, no berth, ring or jump docking "
               "sphere (solararch.ini). Left out of the routes.";
    case Reach::NoDock:
        return "No dock: no system object is its dock (dock_with or base), or its archetype has "
               "no docking sphere. Left out of the routes.";
    case Reach::Unreachable:
        return "Unreachable: no gate or hole leads to its system from another base's. Left out "
               "of the routes.";
    case Reach::BehindLockedGate:
        return "Behind a locked gate: only gates or holes that initialworld.ini locks lead to "
               "its system. Tick \"Story gates open\" to include it.";
    }
    return {};
}

} // namespace skarvel::trade
