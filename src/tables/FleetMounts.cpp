#include "tables/FleetMounts.h"

#include "gamedata/IniEngine.h"
#include "gamedata/TextLines.h"
#include "platform/AsciiText.h"
#include "platform/LineEnds.h"
#include "ships/HardpointLines.h"
#include "ships/SpecialLines.h"

#include <algorithm>
#include <utility>

namespace skarvel {

namespace {

SpecialMount mountOf(MountSort sort) {
    switch (sort) {
    case MountSort::Gun:
        return SpecialMount::Gun;
    case MountSort::Turret:
        return SpecialMount::Turret;
    case MountSort::Shield:
        return SpecialMount::Shield;
    }
    return SpecialMount::None;
}

// Each hardpoint of the sort (a shield hardpoint with its class) and its highest level.
struct MountLevel {
    MountKind kind;
    std::string hardpoint;
    int level = 0;
};

std::vector<MountLevel> levelsOf(const std::vector<MountLine>& lines, SpecialMount mount) {
    std::vector<MountLevel> levels;
    for (const MountLine& line : lines) {
        if (line.kind.mount != mount || line.level < 0) {
            continue;
        }
        for (const std::string& hardpoint : line.hardpoints) {
            const auto found = std::find_if(levels.begin(), levels.end(), [&](const MountLevel& l) {
                return equalsIgnoringCase(l.hardpoint, hardpoint) &&
                       equalsIgnoringCase(l.kind.shieldClass, line.kind.shieldClass);
            });
            if (found == levels.end()) {
                levels.push_back({line.kind, hardpoint, line.level});
            } else {
                found->level = std::max(found->level, line.level);
            }
        }
    }
    return levels;
}

void changeShip(ShipSpecialLines& special, SpecialMount mount, int to) {
    const std::vector<MountLevel> levels = levelsOf(special.mountLines(), mount);
    int highest = 0;
    for (const MountLevel& each : levels) {
        highest = std::max(highest, each.level);
    }
    for (const MountLevel& each : levels) {
        if (each.level == highest || each.level > to) {
            special.changeLevel(each.kind, each.hardpoint, each.level, to);
        }
    }
}

} // namespace

std::string withMountLevels(std::string_view bytes, const std::vector<MountChange>& changes) {
    const ini::ParsedIni parsed{std::string(bytes)};
    std::vector<EditableLine> lines = splitEditableLines(bytes);
    // Line starts, to find each header line from its offset.
    std::vector<std::size_t> starts;
    std::size_t offset = 0;
    for (const EditableLine& line : lines) {
        starts.push_back(offset);
        offset += line.text.size() + line.ending.size();
    }
    std::vector<std::pair<std::size_t, const MountChange*>> headers;
    for (const MountChange& change : changes) {
        const std::optional<std::size_t> at = shipHeaderOffset(parsed, change.shipNickname);
        if (!at) {
            continue;
        }
        const auto next = std::upper_bound(starts.begin(), starts.end(), *at);
        headers.emplace_back(static_cast<std::size_t>(next - starts.begin()) - 1, &change);
    }
    // From the last ship up: lines added or removed do not move the ships above.
    std::stable_sort(headers.begin(), headers.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    const std::string lineEnd(commonLineEnd(bytes));
    for (const auto& [header, change] : headers) {
        ShipSpecialLines special(lines, header, lineEnd);
        changeShip(special, mountOf(change->sort), change->level);
    }
    return joinEditableLines(lines);
}

} // namespace skarvel
