#include "trade/TravelGraph.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <unordered_map>

namespace skarvel::trade {

namespace {

double distance(const SpaceObject& a, const SpaceObject& b) {
    return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z);
}

std::string objectKey(std::size_t system, std::string_view nickname) {
    return std::to_string(system) + ' ' + lowerText(nickname);
}

} // namespace

TravelGraph::TravelGraph(const TradeData& data)
    : hubsIn_(data.systems.size()), exitsIn_(data.systems.size()), lanesIn_(data.systems.size()),
      portalsIn_(data.systems.size()), docks_(data.bases.size(), kNone) {
    std::unordered_map<std::string, std::size_t> byName;
    for (std::size_t i = 0; i < data.objects.size(); ++i) {
        byName.emplace(objectKey(data.objects[i].system, data.objects[i].nickname), i);
    }
    const auto find = [&](std::size_t system, std::string_view nickname) {
        const auto found = byName.find(objectKey(system, nickname));
        return nickname.empty() || found == byName.end() ? kNone : found->second;
    };
    std::vector<std::size_t> hubOf(data.objects.size(), kNone);
    const auto addHub = [&](std::size_t object) {
        if (hubOf[object] == kNone) {
            hubOf[object] = hubs_.size();
            hubs_.push_back({object, data.objects[object].system});
            hubsIn_[data.objects[object].system].push_back(hubOf[object]);
        }
        return hubOf[object];
    };
    // Gates and holes with the other side they lead to.
    for (std::size_t i = 0; i < data.objects.size(); ++i) {
        const SpaceObject& object = data.objects[i];
        const auto system = data.systemIndex.find(lowerText(object.gotoSystem));
        if (object.portal == Portal::None || system == data.systemIndex.end()) {
            continue;
        }
        if (const std::size_t target = find(system->second, object.gotoObject); target != kNone) {
            const std::size_t from = addHub(i);
            const std::size_t to = addHub(target);
            hubs_[from].target = to;
            hubs_[from].exit = hubs_[to].exit = true;
        }
    }
    for (std::size_t i = 0; i < data.objects.size(); ++i) {
        if (!data.objects[i].nextRing.empty() || !data.objects[i].prevRing.empty()) {
            addHub(i);
        }
    }
    buildLanes(data);
    for (std::size_t h = 0; h < hubs_.size(); ++h) {
        if (hubs_[h].exit) {
            hubs_[h].exitIndex = exitCount_++;
            exitHubs_.push_back(h);
            exitsIn_[hubs_[h].system].push_back(h);
        }
        if (hubs_[h].target != kNone) {
            portalsIn_[hubs_[h].system].push_back(h);
        }
    }
    for (std::size_t b = 0; b < data.bases.size(); ++b) {
        const Base& base = data.bases[b];
        if (base.docking == Docking::Player && base.object != kNone) {
            docks_[b] = base.object;
        }
    }
    reachClosed_ = reachOf(data, false);
    reachOpen_ = reachOf(data, true);
}

// Each lane as its rings in order: next_ring links, else the prev_ring of the ring after.
void TravelGraph::buildLanes(const TradeData& data) {
    std::unordered_map<std::string, std::size_t> ringByName;
    for (std::size_t h = 0; h < hubs_.size(); ++h) {
        const SpaceObject& ring = data.objects[hubs_[h].object];
        if (!ring.nextRing.empty() || !ring.prevRing.empty()) {
            ringByName.emplace(objectKey(ring.system, ring.nickname), h);
        }
    }
    const auto ring = [&](std::size_t system, const std::string& nickname) {
        const auto found = ringByName.find(objectKey(system, nickname));
        return nickname.empty() || found == ringByName.end() ? kNone : found->second;
    };
    std::vector<std::size_t> next(hubs_.size(), kNone);
    std::vector<bool> hasPrevious(hubs_.size(), false);
    for (const auto& [name, h] : ringByName) {
        const SpaceObject& object = data.objects[hubs_[h].object];
        if (const std::size_t after = ring(object.system, object.nextRing);
            after != kNone && after != h && !hasPrevious[after]) {
            next[h] = after;
            hasPrevious[after] = true;
        }
    }
    for (const auto& [name, h] : ringByName) {
        const SpaceObject& object = data.objects[hubs_[h].object];
        if (const std::size_t before = ring(object.system, object.prevRing);
            before != kNone && before != h && next[before] == kNone && !hasPrevious[h]) {
            next[before] = h;
            hasPrevious[h] = true;
        }
    }
    along_.assign(hubs_.size(), 0);
    std::vector<bool> placed(hubs_.size(), false);
    const auto follow = [&](std::size_t first) {
        Lane lane;
        for (std::size_t h = first; h != kNone && !placed[h]; h = next[h]) {
            placed[h] = true;
            along_[h] = lane.hubs.empty()
                            ? 0
                            : along_[lane.hubs.back()] +
                                  distance(data.objects[hubs_[lane.hubs.back()].object],
                                           data.objects[hubs_[h].object]);
            hubs_[h].lane = lanes_.size();
            lane.hubs.push_back(h);
            const SpaceObject& placedRing = data.objects[hubs_[h].object];
            lane.along.push_back(along_[h]);
            lane.x.push_back(placedRing.x);
            lane.y.push_back(placedRing.y);
            lane.z.push_back(placedRing.z);
        }
        hubs_[lane.hubs.front()].exit = hubs_[lane.hubs.back()].exit = true;
        lanesIn_[hubs_[first].system].push_back(lanes_.size());
        lanes_.push_back(std::move(lane));
    };
    // Lanes from their first ring; what is left is a loop, ridden from any of its rings.
    std::vector<std::size_t> rings;
    for (const auto& [name, h] : ringByName) {
        rings.push_back(h);
    }
    std::sort(rings.begin(), rings.end());
    for (const std::size_t h : rings) {
        if (!hasPrevious[h]) {
            follow(h);
        }
    }
    for (const std::size_t h : rings) {
        if (!placed[h]) {
            follow(h);
        }
    }
}

std::vector<Reach> TravelGraph::reachOf(const TradeData& data, bool storyGatesOpen) const {
    const std::size_t systems = data.systems.size();
    std::vector<std::vector<std::size_t>> jumpsFrom(systems);
    for (const Hub& hub : hubs_) {
        if (hub.target != kNone && (storyGatesOpen || !data.objects[hub.object].locked)) {
            jumpsFrom[hub.system].push_back(hubs_[hub.target].system);
        }
    }
    std::vector<int> docksIn(systems, 0);
    for (std::size_t b = 0; b < data.bases.size(); ++b) {
        if (docks_[b] != kNone && data.objects[docks_[b]].system < systems) {
            ++docksIn[data.objects[docks_[b]].system];
        }
    }
    // Which systems a player reaches from a base in another system.
    std::vector<bool> reachedFromOther(systems, false);
    std::vector<bool> seen(systems);
    for (std::size_t start = 0; start < systems; ++start) {
        if (docksIn[start] == 0) {
            continue;
        }
        std::fill(seen.begin(), seen.end(), false);
        std::deque<std::size_t> queue{start};
        seen[start] = true;
        while (!queue.empty()) {
            const std::size_t at = queue.front();
            queue.pop_front();
            for (const std::size_t to : jumpsFrom[at]) {
                if (!seen[to]) {
                    seen[to] = true;
                    reachedFromOther[to] = reachedFromOther[to] || to != start;
                    queue.push_back(to);
                }
            }
        }
    }
    std::vector<Reach> reach(data.bases.size(), Reach::Open);
    for (std::size_t b = 0; b < data.bases.size(); ++b) {
        const Base& base = data.bases[b];
        if (base.docking == Docking::NpcOnly) {
            reach[b] = Reach::NpcOnly;
        } else if (docks_[b] == kNone) {
            reach[b] = Reach::NoDock;
        } else {
            const std::size_t system = data.objects[docks_[b]].system;
            if (docksIn[system] < 2 && !reachedFromOther[system]) {
                reach[b] = Reach::Unreachable;
            }
        }
    }
    if (!storyGatesOpen) {
        const std::vector<Reach> open = reachOf(data, true);
        for (std::size_t b = 0; b < reach.size(); ++b) {
            if (reach[b] == Reach::Unreachable && open[b] == Reach::Open) {
                reach[b] = Reach::BehindLockedGate;
            }
        }
    }
    return reach;
}

} // namespace skarvel::trade
