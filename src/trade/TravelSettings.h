#pragma once

#include <array>
#include <string_view>

namespace skarvel {

class Preferences;

namespace trade {

// The travel model's values that the game's files do not give. Each is a setting with the
// game's behaviour as its default.
struct TravelSettings {
    double laneSpeed = 2250;     // m/s on a trade lane
    double laneEntrySeconds = 5; // per lane ride, from the ring's capture to the ride
    double jumpSeconds = 15;     // per gate or hole, the tunnel
    double dockSeconds = 10;     // at the end of a trip
    double undockSeconds = 5;    // at its start
    bool storyGatesOpen = false; // the gates initialworld.ini locks opened
    bool operator==(const TravelSettings&) const = default;
};

// One row of the table of constants: its stored name, label, unit, default, range and why
// it has that default.
struct TravelConstant {
    double TravelSettings::*value;
    std::string_view preference; // stored in thousandths
    std::string_view label;
    std::string_view unit;
    double defaultValue, minimum, maximum;
    std::string_view reason;
};

const std::array<TravelConstant, 5>& travelConstants();

// The stored settings; a value missing, not a whole number or out of range is its default.
TravelSettings readTravelSettings(const Preferences& preferences);
void writeTravelSettings(Preferences& preferences, const TravelSettings& settings);

inline constexpr std::string_view kStoryGatesOpen = "StoryGatesOpen";

} // namespace trade
} // namespace skarvel
