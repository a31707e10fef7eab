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
    std::size_t exit;
    bool operator>(const Item& other) const {
        return seconds > other.seconds || (seconds == other.seconds && jumps > other.jumps);
    }
};

} // namespace

TravelTimes::TravelTimes(const TradeData& data, const TravelGraph& graph, ShipTravel ship,
                         TravelSettings settings, const std::vector<bool>& from)
    : data_(&data), graph_(&graph), ship_(ship), settings_(settings), moves_(graph.exitCount()),
      exits_(data.bases.size()), homes_(data.bases.size()) {
    for (std::size_t exit = 0; exit < graph.exitCount(); ++exit) {
        movesFrom(data.objects[graph.hubs()[graph.exitHub(exit)].object], moves_[exit]);
    }
    for (std::size_t b = 0; b < data.bases.size(); ++b) {
        if (graph.dock(b) == kNone) {
            continue;
        }
        const SpaceObject& dock = data.objects[graph.dock(b)];
        for (const std::size_t exit : graph.exitsIn(dock.system)) {
            homes_[b].push_back(
                static_cast<float>(flight(data.objects[graph.hubs()[exit].object], dock)));
        }
        if (from.empty() || from[b]) {
            search(b, exits_[b], nullptr);
        }
    }
    into_.assign(graph.exitCount(), std::vector<float>(data.bases.size(), kUnreachedFloat));
    for (std::size_t b = 0; b < data.bases.size(); ++b) {
        for (std::size_t exit = 0; exit < exits_[b].size(); ++exit) {
            into_[exit][b] = exits_[b][exit].seconds;
        }
    }
}

std::vector<double> TravelTimes::secondsInto(std::size_t b) const {
    std::vector<double> seconds(data_->bases.size(), kUnreached);
    if (graph_->dock(b) == kNone) {
        std::fill(seconds.begin(), seconds.end(), -1);
        return seconds;
    }
    const SpaceObject& to = data_->objects[graph_->dock(b)];
    const auto& hubs = graph_->hubs();
    const std::vector<std::size_t>& exits = graph_->exitsIn(to.system);
    for (std::size_t k = 0; k < exits.size(); ++k) {
        const std::vector<float>& times = into_[hubs[exits[k]].exitIndex];
        for (std::size_t a = 0; a < seconds.size(); ++a) {
            seconds[a] = std::min(seconds[a], static_cast<double>(times[a]) + homes_[b][k]);
        }
    }
    for (std::size_t a = 0; a < seconds.size(); ++a) {
        if (graph_->dock(a) != kNone && !exits_[a].empty() &&
            data_->objects[graph_->dock(a)].system == to.system) {
            seconds[a] = std::min(seconds[a], flight(data_->objects[graph_->dock(a)], to));
        }
        seconds[a] = a == b || exits_[a].empty() || seconds[a] == kUnreached
                         ? -1
                         : settings_.undockSeconds + seconds[a] + settings_.dockSeconds;
    }
    return seconds;
}

double TravelTimes::flight(const SpaceObject& from, const SpaceObject& to) const {
    const double dx = from.x - to.x, dy = from.y - to.y, dz = from.z - to.z;
    return ship_.chargeSeconds + std::sqrt(dx * dx + dy * dy + dz * dz) / ship_.cruiseSpeed;
}

// The moves from a place of a system: to each lane, entered at its best ring for each of its
// two directions and ridden to that end, and through each open gate or hole.
void TravelTimes::movesFrom(const SpaceObject& from, std::vector<Move>& moves) const {
    const TravelGraph& graph = *graph_;
    const auto& hubs = graph.hubs();
    for (const std::size_t index : graph.lanesIn(from.system)) {
        const TravelGraph::Lane& lane = graph.lanes()[index];
        const std::size_t last = lane.hubs.size() - 1;
        for (const std::size_t end : {std::size_t{0}, last}) {
            Move best{hubs[lane.hubs[end]].exitIndex, kUnreached, 0, kNone};
            std::size_t bestPlace = kNone;
            for (std::size_t place = 0; place <= last; ++place) {
                if (place == end) {
                    continue;
                }
                const double dx = from.x - lane.x[place], dy = from.y - lane.y[place],
                             dz = from.z - lane.z[place];
                const double seconds =
                    ship_.chargeSeconds +
                    std::sqrt(dx * dx + dy * dy + dz * dz) / ship_.cruiseSpeed +
                    settings_.laneEntrySeconds +
                    std::abs(lane.along[end] - lane.along[place]) / settings_.laneSpeed;
                if (seconds < best.seconds) {
                    best.seconds = seconds;
                    bestPlace = place;
                }
            }
            if (bestPlace != kNone) {
                best.via = lane.hubs[bestPlace];
                moves.push_back(best);
            }
        }
    }
    for (const std::size_t portal : graph.portalsIn(from.system)) {
        const TravelGraph::Hub& hub = hubs[portal];
        if (settings_.storyGatesOpen || !data_->objects[hub.object].locked) {
            moves.push_back({hubs[hub.target].exitIndex,
                             flight(from, data_->objects[hub.object]) + settings_.jumpSeconds, 1,
                             portal});
        }
    }
}

void TravelTimes::search(std::size_t base, std::vector<Best>& out,
                         std::vector<Step>* previous) const {
    const std::size_t count = graph_->exitCount();
    out.assign(count, {kUnreachedFloat, 0});
    std::vector<double> best(count, kUnreached);
    std::vector<int> jumps(count, 0);
    if (previous) {
        previous->assign(count, {});
    }
    std::priority_queue<Item, std::vector<Item>, std::greater<>> queue;
    const auto reach = [&](const Move& move, double start, int startJumps, std::size_t from) {
        const double seconds = start + move.seconds;
        const int jumpCount = startJumps + move.jumps;
        if (seconds < best[move.exit] ||
            (seconds == best[move.exit] && jumpCount < jumps[move.exit])) {
            best[move.exit] = seconds;
            jumps[move.exit] = jumpCount;
            if (previous) {
                (*previous)[move.exit] = {from, move.via, move.jumps > 0};
            }
            queue.push({seconds, jumpCount, move.exit});
        }
    };
    std::vector<Move> first;
    movesFrom(data_->objects[graph_->dock(base)], first);
    for (const Move& move : first) {
        reach(move, 0, 0, kNone);
    }
    while (!queue.empty()) {
        const Item at = queue.top();
        queue.pop();
        if (at.seconds > best[at.exit] ||
            (at.seconds == best[at.exit] && at.jumps > jumps[at.exit])) {
            continue;
        }
        out[at.exit] = {static_cast<float>(at.seconds),
                        static_cast<std::uint16_t>(std::min(at.jumps, 65535))};
        for (const Move& move : moves_[at.exit]) {
            reach(move, at.seconds, at.jumps, at.exit);
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
    const std::vector<std::size_t>& exits = graph_->exitsIn(to.system);
    for (std::size_t k = 0; k < exits.size(); ++k) {
        const Best& there = exits_[a][hubs[exits[k]].exitIndex];
        const double seconds = static_cast<double>(there.seconds) + homes_[b][k];
        if (seconds < result.seconds || (seconds == result.seconds && there.jumps < result.jumps)) {
            result = {seconds, there.jumps, hubs[exits[k]].exitIndex};
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
    const auto objectOf = [&](std::size_t exit) { return hubs[graph_->exitHub(exit)].object; };
    std::vector<Leg> backwards{{Leg::Flight, objectOf(way.exit), dockB}};
    std::size_t at = way.exit;
    for (std::size_t guard = 0; guard <= previous.size(); ++guard) {
        const Step step = previous[at];
        const std::size_t via = hubs[step.via].object;
        backwards.push_back({step.jump ? Leg::Jump : Leg::Lane, via, objectOf(at)});
        backwards.push_back({Leg::Flight, step.from == kNone ? dockA : objectOf(step.from), via});
        if (step.from == kNone) {
            break;
        }
        at = step.from;
    }
    trip.legs.assign(backwards.rbegin(), backwards.rend());
    return trip;
}

} // namespace skarvel::trade
