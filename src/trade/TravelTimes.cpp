#include "trade/TravelTimes.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <queue>

namespace skarvel::trade {

namespace {

constexpr double kUnreached = std::numeric_limits<double>::infinity();

// A time with the jumps of its path; fewer jumps win a tie.
struct Cost {
    double seconds = kUnreached;
    int jumps = 0;
    bool operator<(const Cost& other) const {
        return seconds < other.seconds || (seconds == other.seconds && jumps < other.jumps);
    }
    Cost operator+(const Cost& other) const {
        return {seconds + other.seconds, jumps + other.jumps};
    }
};

double distance(const SpaceObject& a, const SpaceObject& b) {
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) +
                     (a.z - b.z) * (a.z - b.z));
}

std::string objectKey(std::size_t system, std::string_view nickname) {
    return std::to_string(system) + ' ' + lowerText(nickname);
}

// The objects of one system that a shortest path can turn at: docking objects, gates and
// holes, lane rings. Key nodes (docking objects and gates) come first.
struct SystemGraph {
    std::vector<std::size_t> nodes; // object indexes
    std::size_t keyCount = 0;
    std::vector<std::vector<std::pair<std::size_t, double>>> lanes; // by node
    std::vector<Cost> keyTimes; // keyCount x keyCount, free flight and lanes only
};

// Dense Dijkstra: every node reaches every other by free flight.
std::vector<Cost> fromNode(const TradeData& data, const SystemGraph& graph, std::size_t source) {
    const std::size_t n = graph.nodes.size();
    std::vector<Cost> best(n);
    std::vector<bool> done(n, false);
    best[source] = {0, 0};
    for (std::size_t round = 0; round < n; ++round) {
        std::size_t next = n;
        for (std::size_t i = 0; i < n; ++i) {
            if (!done[i] && (next == n || best[i] < best[next])) {
                next = i;
            }
        }
        if (next == n || best[next].seconds == kUnreached) {
            break;
        }
        done[next] = true;
        const SpaceObject& from = data.objects[graph.nodes[next]];
        for (std::size_t i = 0; i < n; ++i) {
            const double flight = distance(from, data.objects[graph.nodes[i]]) / data.cruiseSpeed;
            if (!done[i] && best[next] + Cost{flight, 0} < best[i]) {
                best[i] = best[next] + Cost{flight, 0};
            }
        }
        for (const auto& [to, seconds] : graph.lanes[next]) {
            if (!done[to] && best[next] + Cost{seconds, 0} < best[to]) {
                best[to] = best[next] + Cost{seconds, 0};
            }
        }
    }
    return best;
}

} // namespace

TravelTimes::TravelTimes(const TradeData& data) : count_(data.bases.size()) {
    std::unordered_map<std::string, std::size_t> byName;
    for (std::size_t i = 0; i < data.objects.size(); ++i) {
        byName.emplace(objectKey(data.objects[i].system, data.objects[i].nickname), i);
    }
    const auto find = [&](std::size_t system, std::string_view nickname) {
        const auto found = byName.find(objectKey(system, nickname));
        return found == byName.end() ? kNone : found->second;
    };
    // Where each goto leads.
    std::vector<std::size_t> target(data.objects.size(), kNone);
    std::vector<bool> isPortal(data.objects.size(), false), isDock(data.objects.size(), false);
    for (std::size_t i = 0; i < data.objects.size(); ++i) {
        const SpaceObject& object = data.objects[i];
        const auto system = data.systemIndex.find(lowerText(object.gotoSystem));
        if (object.gotoSystem.empty() || system == data.systemIndex.end()) {
            continue;
        }
        target[i] = find(system->second, object.gotoObject);
        if (target[i] != kNone) {
            isPortal[i] = isPortal[target[i]] = true;
        }
    }
    for (const Base& base : data.bases) {
        if (base.object != kNone) {
            isDock[base.object] = true;
        }
    }

    // Each system's graph and the times between its key nodes.
    std::vector<SystemGraph> graphs(data.systems.size());
    std::vector<std::size_t> nodeOf(data.objects.size(), kNone);
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t i = 0; i < data.objects.size(); ++i) {
            const SpaceObject& object = data.objects[i];
            const bool key = isPortal[i] || isDock[i];
            const bool ring = !object.nextRing.empty() || !object.prevRing.empty();
            if (pass == 0 ? key : (!key && ring)) {
                SystemGraph& graph = graphs[object.system];
                nodeOf[i] = graph.nodes.size();
                graph.nodes.push_back(i);
                graph.keyCount += pass == 0 ? 1 : 0;
            }
        }
    }
    for (SystemGraph& graph : graphs) {
        graph.lanes.resize(graph.nodes.size());
        for (std::size_t node = 0; node < graph.nodes.size(); ++node) {
            const SpaceObject& ring = data.objects[graph.nodes[node]];
            const std::size_t next = find(ring.system, ring.nextRing);
            if (ring.nextRing.empty() || next == kNone || nodeOf[next] == kNone) {
                continue;
            }
            const double seconds = distance(ring, data.objects[next]) / kTradeLaneSpeed;
            graph.lanes[node].emplace_back(nodeOf[next], seconds);
            graph.lanes[nodeOf[next]].emplace_back(node, seconds);
        }
        graph.keyTimes.resize(graph.keyCount * graph.keyCount);
        for (std::size_t key = 0; key < graph.keyCount; ++key) {
            const std::vector<Cost> best = fromNode(data, graph, key);
            std::copy_n(best.begin(), graph.keyCount,
                        graph.keyTimes.begin() + static_cast<std::ptrdiff_t>(key * graph.keyCount));
        }
    }
    const auto intra = [&](std::size_t a, std::size_t b) {
        const SystemGraph& graph = graphs[data.objects[a].system];
        return graph.keyTimes[nodeOf[a] * graph.keyCount + nodeOf[b]];
    };

    // Gates and holes: a sparse graph of their own, jumps between systems.
    std::vector<std::size_t> portals;
    std::vector<std::size_t> portalOf(data.objects.size(), kNone);
    std::vector<std::vector<std::size_t>> portalsIn(data.systems.size());
    for (std::size_t i = 0; i < data.objects.size(); ++i) {
        if (isPortal[i]) {
            portalOf[i] = portals.size();
            portals.push_back(i);
            portalsIn[data.objects[i].system].push_back(i);
        }
    }
    const std::size_t p = portals.size();
    // Each gate's ways on: its jump, and free flight or lanes to the gates of its system.
    std::vector<std::vector<std::pair<std::size_t, Cost>>> edges(p);
    for (std::size_t at = 0; at < p; ++at) {
        const std::size_t object = portals[at];
        if (target[object] != kNone) {
            edges[at].emplace_back(portalOf[target[object]], Cost{kJumpSeconds, 1});
        }
        for (std::size_t other : portalsIn[data.objects[object].system]) {
            if (other != object) {
                edges[at].emplace_back(portalOf[other], intra(object, other));
            }
        }
    }
    std::vector<Cost> between(p * p);
    using Item = std::pair<Cost, std::size_t>;
    const auto later = [](const Item& a, const Item& b) { return b.first < a.first; };
    std::priority_queue<Item, std::vector<Item>, decltype(later)> queue(later);
    for (std::size_t source = 0; source < p; ++source) {
        Cost* best = &between[source * p];
        best[source] = {0, 0};
        queue.push({best[source], source});
        while (!queue.empty()) {
            const auto [cost, at] = queue.top();
            queue.pop();
            if (best[at] < cost) {
                continue;
            }
            for (const auto& [to, step] : edges[at]) {
                if (cost + step < best[to]) {
                    best[to] = cost + step;
                    queue.push({best[to], to});
                }
            }
        }
    }

    // Each base's way from its docking object to each gate of its system (the same both
    // ways), worked out once rather than for every pair.
    struct Way {
        std::size_t portal;
        Cost cost;
    };
    std::vector<std::vector<Way>> gatesOf(count_);
    for (std::size_t b = 0; b < count_; ++b) {
        if (const std::size_t dock = data.bases[b].object; dock != kNone) {
            for (std::size_t gate : portalsIn[data.objects[dock].system]) {
                gatesOf[b].push_back({portalOf[gate], intra(dock, gate)});
            }
        }
    }
    seconds_.assign(count_ * count_, -1);
    jumps_.assign(count_ * count_, 0);
    std::vector<Cost> toPortal(p);
    for (std::size_t a = 0; a < count_; ++a) {
        const std::size_t from = data.bases[a].object;
        if (from == kNone) {
            continue;
        }
        std::fill(toPortal.begin(), toPortal.end(), Cost{});
        for (const Way& exit : gatesOf[a]) {
            const Cost* row = &between[exit.portal * p];
            for (std::size_t h = 0; h < p; ++h) {
                const Cost via = exit.cost + row[h];
                toPortal[h] = via < toPortal[h] ? via : toPortal[h];
            }
        }
        for (std::size_t b = 0; b < count_; ++b) {
            const std::size_t to = data.bases[b].object;
            if (to == kNone || a == b) {
                continue;
            }
            Cost best =
                data.objects[to].system == data.objects[from].system ? intra(from, to) : Cost{};
            for (const Way& entry : gatesOf[b]) {
                const Cost via = toPortal[entry.portal] + entry.cost;
                best = via < best ? via : best;
            }
            if (best.seconds != kUnreached) {
                seconds_[a * count_ + b] = best.seconds + kDockingSeconds;
                jumps_[a * count_ + b] = static_cast<std::uint16_t>(best.jumps);
            }
        }
    }
}

} // namespace skarvel::trade
