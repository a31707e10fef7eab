#pragma once

#include "trade/TravelGraph.h"
#include "trade/TravelSettings.h"

#include <cstdint>
#include <vector>

namespace skarvel::trade {

// What the ship's engine gives the trip: its cruise speed (the engine's cruise_speed, else
// constants.ini CRUISING_SPEED) and the charge before each cruise (cruise_charge_time).
struct ShipTravel {
    double cruiseSpeed = 300;
    double chargeSeconds = 0;
    bool operator==(const ShipTravel&) const = default;
};

// One step of a trip: a free flight, a lane ridden to its end, or a jump.
struct Leg {
    enum Kind { Flight, Lane, Jump } kind = Flight;
    std::size_t from = kNone, to = kNone; // objects
};

struct Trip {
    double seconds = -1; // negative when there is no way
    int jumps = 0;
    std::vector<Leg> legs;
};

// Travel times between bases for one ship under one set of travel settings. For each base
// it keeps the best time to every exit (a lane's end, a gate or hole) of the universe, found
// by one search over the hubs (a heap, each system's hubs reached by free flight from an exit
// only); a time between two bases is then the best of the exits of the second one's system.
// Undocking, every charge, lane entry, ride, jump and the docking are counted.
class TravelTimes {
public:
    TravelTimes() = default;
    // from: the bases trips start from (all when empty).
    TravelTimes(const TradeData& data, const TravelGraph& graph, ShipTravel ship,
                TravelSettings settings, const std::vector<bool>& from = {});

    // Seconds from base a to base b, docking included; negative when b cannot be reached.
    double seconds(std::size_t a, std::size_t b) const;
    int jumps(std::size_t a, std::size_t b) const;
    // The way itself, worked out again (for the routes shown).
    Trip trip(std::size_t a, std::size_t b) const;

private:
    struct Best {
        float seconds;
        std::uint16_t jumps;
    };
    struct Arrival {
        double seconds;
        int jumps;
        std::size_t exit; // kNone for the direct flight
    };
    Arrival arrival(std::size_t a, std::size_t b) const;
    struct Step {
        std::size_t from = kNone; // a hub, kNone for the dock
        Leg::Kind kind = Leg::Flight;
    };
    // One search from the base's dock; how each hub was reached when asked for.
    void search(std::size_t base, std::vector<Best>& out, std::vector<Step>* previous) const;
    double flight(const SpaceObject& from, const SpaceObject& to) const;

    const TradeData* data_ = nullptr;
    const TravelGraph* graph_ = nullptr;
    ShipTravel ship_;
    TravelSettings settings_;
    std::vector<std::vector<Best>> exits_; // by base: by exit index
};

} // namespace skarvel::trade
