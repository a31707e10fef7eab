#include "trade/TravelTimes.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <queue>

namespace skarvel::trade {

namespace {

constexpr double kUnreached = std::numeric_limits<double>::infinity();
constexpr float kUnreachedFloat = std::numeric_limits<float>::infinity();

struct Item {
    double seconds;
    int jumps;
    std::size_t hub;
    bool operator>(const Item& other) const {
        return seconds > other.seconds || (seconds == other.seconds && jumps > other.jumps);
    }
};

} // namespace

TravelTimes::TravelTimes(const TradeData& data, const TravelGraph& graph, ShipTravel ship,
                         TravelSettings settings, const std::vector<bool>& from)
    : data_(&data), graph_(&graph), ship_(ship), settings_(settings), exits_(data.bases.size()) {
    for (std::size_t b = 0; b < data.bases.size(); ++b) {
        if (graph.dock(b) != kNone && (from.empty() || from[b])) {
            search(b, exits_[b], nullptr);
        }
    }
}

double TravelTimes::flight(const SpaceObject& from, const SpaceObject& to) const {
    return ship_.chargeSeconds +
           std::hypot(from.x - to.x, from.y - to.y, from.z - to.z) / ship_.cruiseSpeed;
}

void TravelTimes::search(std::size_t base, std::vector<Best>& out,
                         std::vector<Step>* previous) const {
    const TravelGraph& graph = *graph_;
    const auto& hubs = graph.hubs();
    const SpaceObject& dock = data_->objects[graph.dock(base)];
    out.assign(graph.exitCount(), {kUnreachedFloat, 0});
    std::vector<double> best(hubs.size(), kUnreached);
    std::vector<int> jumps(hubs.size(), 0);
    if (previous) {
        previous->assign(hubs.size(), {});
    }
    std::priority_queue<Item, std::vector<Item>, std::greater<>> queue;
    const auto reach = [&](std::size_t hub, double seconds, int jumpCount, std::size_t from,
                           Leg::Kind kind) {
        if (seconds < best[hub] || (seconds == best[hub] && jumpCount < jumps[hub])) {
            best[hub] = seconds;
            jumps[hub] = jumpCount;
            if (previous) {
                (*previous)[hub] = {from, kind};
            }
            queue.push({seconds, jumpCount, hub});
        }
    };
    for (const std::size_t hub : graph.hubsIn(dock.system)) {
        reach(hub, flight(dock, data_->objects[hubs[hub].object]), 0, kNone, Leg::Flight);
    }
    while (!queue.empty()) {
        const Item at = queue.top();
        queue.pop();
        if (at.seconds > best[at.hub] || (at.seconds == best[at.hub] && at.jumps > jumps[at.hub])) {
            continue;
        }
        const TravelGraph::Hub& hub = hubs[at.hub];
        if (hub.lane != kNone) {
            const TravelGraph::Lane& lane = graph.lanes()[hub.lane];
            for (const std::size_t end : {lane.hubs.front(), lane.hubs.back()}) {
                if (end != at.hub) {
                    const double ride = std::abs(graph.along(end) - graph.along(at.hub));
                    reach(end, at.seconds + settings_.laneEntrySeconds + ride / settings_.laneSpeed,
                          at.jumps, at.hub, Leg::Lane);
                }
            }
        }
        if (hub.target != kNone &&
            (settings_.storyGatesOpen || !data_->objects[hub.object].locked)) {
            reach(hub.target, at.seconds + settings_.jumpSeconds, at.jumps + 1, at.hub, Leg::Jump);
        }
        if (!hub.exit) {
            continue;
        }
        out[hub.exitIndex] = {static_cast<float>(at.seconds),
                              static_cast<std::uint16_t>(std::min(at.jumps, 65535))};
        const SpaceObject& here = data_->objects[hub.object];
        for (const std::size_t other : graph.hubsIn(hub.system)) {
            if (other != at.hub) {
                reach(other, at.seconds + flight(here, data_->objects[hubs[other].object]),
                      at.jumps, at.hub, Leg::Flight);
            }
        }
    }
}

TravelTimes::Arrival TravelTimes::arrival(std::size_t a, std::size_t b) const {
    Arrival result{kUnreached, 0, kNone};
    if (!data_ || a == b || exits_[a].empty() || graph_->dock(b) == kNone) {
        return result;
    }
    const SpaceObject& from = data_->objects[graph_->dock(a)];
    const SpaceObject& to = data_->objects[graph_->dock(b)];
    if (from.system == to.system) {
        result.seconds = flight(from, to);
    }
    const auto& hubs = graph_->hubs();
    for (const std::size_t exit : graph_->exitsIn(to.system)) {
        const Best& there = exits_[a][hubs[exit].exitIndex];
        if (there.seconds == kUnreachedFloat) {
            continue;
        }
        const double seconds = there.seconds + flight(data_->objects[hubs[exit].object], to);
        if (seconds < result.seconds || (seconds == result.seconds && there.jumps < result.jumps)) {
            result = {seconds, there.jumps, exit};
        }
    }
    return result;
}

double TravelTimes::seconds(std::size_t a, std::size_t b) const {
    const Arrival way = arrival(a, b);
    return way.seconds == kUnreached
               ? -1
               : settings_.undockSeconds + way.seconds + settings_.dockSeconds;
}

int TravelTimes::jumps(std::size_t a, std::size_t b) const {
    return arrival(a, b).jumps;
}

Trip TravelTimes::trip(std::size_t a, std::size_t b) const {
    Trip trip;
    const Arrival way = arrival(a, b);
    if (way.seconds == kUnreached) {
        return trip;
    }
    trip.seconds = settings_.undockSeconds + way.seconds + settings_.dockSeconds;
    trip.jumps = way.jumps;
    const std::size_t dockA = graph_->dock(a), dockB = graph_->dock(b);
    if (way.exit == kNone) {
        trip.legs.push_back({Leg::Flight, dockA, dockB});
        return trip;
    }
    std::vector<Best> out;
    std::vector<Step> previous;
    search(a, out, &previous);
    const auto& hubs = graph_->hubs();
    std::vector<Leg> backwards{{Leg::Flight, hubs[way.exit].object, dockB}};
    std::size_t at = way.exit;
    for (std::size_t guard = 0; previous[at].from != kNone && guard <= hubs.size(); ++guard) {
        const Step step = previous[at];
        backwards.push_back({step.kind, hubs[step.from].object, hubs[at].object});
        at = step.from;
    }
    backwards.push_back({Leg::Flight, dockA, hubs[at].object});
    trip.legs.assign(backwards.rbegin(), backwards.rend());
    return trip;
}

} // namespace skarvel::trade
