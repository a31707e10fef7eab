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

// Travel times between bases for one ship under one set of travel settings. A trip is a chain
// of moves, each a free flight and then a lane ridden to its end or a jump: so the search runs
// over the exits (lane ends, the far sides of gates and holes), each with the moves of its
// system worked out once per ship. For each base it keeps the best time to every exit (one
// heap search); a time between two bases is then the best of the exits of the second one's
// system, or the direct flight. Undocking, every charge, lane entry, ride, jump and the docking
// are counted.
class TravelTimes {
public:
    TravelTimes() = default;
    // from: the bases trips start from (all when empty).
    TravelTimes(const TradeData& data, const TravelGraph& graph, ShipTravel ship,
                TravelSettings settings, const std::vector<bool>& from = {});

    // Seconds from base a to base b, docking included; negative when b cannot be reached.
    double seconds(std::size_t a, std::size_t b) const;
    int jumps(std::size_t a, std::size_t b) const;
    // Seconds from every base to base b, as seconds(a, b) gives them (one pass over the times
    // kept, exit by exit: what the round trips ask for every base).
    std::vector<double> secondsInto(std::size_t b) const;
    // The way itself, worked out again (for the routes shown).
    Trip trip(std::size_t a, std::size_t b) const;

private:
    struct Best {
        float seconds;
        std::uint16_t jumps;
    };
    struct Move {
        std::size_t exit; // where it ends
        double seconds;
        int jumps;
        std::size_t via; // the ring entered, or the gate or hole jumped through (hubs)
    };
    struct Arrival {
        double seconds;
        int jumps;
        std::size_t exit; // kNone for the direct flight
    };
    struct Step {
        std::size_t from = kNone; // an exit, kNone for the dock
        std::size_t via = kNone;
        bool jump = false;
    };
    void movesFrom(const SpaceObject& from, std::vector<Move>& moves) const;
    Arrival arrival(std::size_t a, std::size_t b) const;
    // One search from the base's dock; how each exit was reached when asked for.
    void search(std::size_t base, std::vector<Best>& out, std::vector<Step>* previous) const;
    double flight(const SpaceObject& from, const SpaceObject& to) const;

    const TradeData* data_ = nullptr;
    const TravelGraph* graph_ = nullptr;
    ShipTravel ship_;
    TravelSettings settings_;
    std::vector<std::vector<Move>> moves_;  // by exit
    std::vector<std::vector<Best>> exits_;  // by base: by exit index
    std::vector<std::vector<float>> into_;  // by exit index: by base, the same times
    std::vector<std::vector<float>> homes_; // by base: from each exit of its system to its dock
};

} // namespace skarvel::trade
