#include "trade/TravelSettings.h"

#include "ports/Preferences.h"

#include <cmath>

namespace skarvel::trade {

const std::array<TravelConstant, 5>& travelConstants() {
    static const TravelSettings defaults;
    static const std::array<TravelConstant, 5> table = {{
        {&TravelSettings::laneSpeed, "TravelLaneSpeed", "Trade lane speed", "m/s",
         defaults.laneSpeed, 100, 100000,
         "a lane ride's speed between rings; the game's files give none"},
        {&TravelSettings::laneEntrySeconds, "TravelLaneEntry", "Lane entry", "s",
         defaults.laneEntrySeconds, 0, 600,
         "the ring captures the ship and accelerates it before the ride"},
        {&TravelSettings::jumpSeconds, "TravelJump", "Jump", "s", defaults.jumpSeconds, 0, 600,
         "the tunnel of a gate or hole, its loading of the next system"},
        {&TravelSettings::dockSeconds, "TravelDock", "Dock", "s", defaults.dockSeconds, 0, 600,
         "the approach and the docking animation at the selling base"},
        {&TravelSettings::undockSeconds, "TravelUndock", "Undock", "s", defaults.undockSeconds, 0,
         600, "the launch from the buying base until the ship may cruise"},
    }};
    return table;
}

TravelSettings readTravelSettings(const Preferences& preferences) {
    TravelSettings settings;
    for (const TravelConstant& constant : travelConstants()) {
        const auto stored = preferences.read(constant.preference);
        if (stored && stored->isInteger) {
            const double value = stored->value / 1000.0;
            if (value >= constant.minimum && value <= constant.maximum) {
                settings.*constant.value = value;
            }
        }
    }
    const auto open = preferences.read(kStoryGatesOpen);
    settings.storyGatesOpen = open && open->isInteger && open->value == 1;
    return settings;
}

void writeTravelSettings(Preferences& preferences, const TravelSettings& settings) {
    for (const TravelConstant& constant : travelConstants()) {
        preferences.writeInteger(constant.preference, static_cast<std::uint32_t>(std::lround(
                                                          settings.*constant.value * 1000)));
    }
    preferences.writeInteger(kStoryGatesOpen, settings.storyGatesOpen ? 1 : 0);
}

} // namespace skarvel::trade
