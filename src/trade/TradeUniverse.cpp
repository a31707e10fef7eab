// The universe as the routes need it: systems, bases and the objects of each system file,
// which object is a base's dock and whether a player may dock there, gates and holes with
// the story's locks.
#include "gamedata/GameFileRead.h"
#include "gamedata/NicknameHash.h"
#include "platform/AsciiText.h"
#include "trade/PriceRules.h"
#include "trade/TradeReading.h"

#include <algorithm>
#include <unordered_map>

namespace skarvel::trade {

namespace {

using ini::ParsedIni;

// "x, y, z" within the range of a system; null for anything else.
std::optional<std::array<double, 3>> position(std::string_view text) {
    const std::vector<std::string> parts = fields(text);
    if (parts.size() < 3) {
        return std::nullopt;
    }
    std::array<double, 3> xyz{};
    for (std::size_t i = 0; i < 3; ++i) {
        const auto value = readNumber(parts[i]);
        if (!value || *value < -kMaxCoordinate || *value > kMaxCoordinate) {
            return std::nullopt;
        }
        xyz[i] = *value;
    }
    return xyz;
}

// Docking by archetype, from every [Solar] of the solar files: a berth, ring or jump lets a
// player dock, mooring points are for NPCs.
using DockingByArchetype = std::unordered_map<std::string, Docking>;

std::optional<DockingByArchetype> readDockingTypes(const TradeReading& reading) {
    std::vector<std::string> files;
    if (const auto flini = reading.read("EXE", "freelancer.ini", "")) {
        for (const auto& section : flini->sections()) {
            if (named(*flini, section, "Data")) {
                for (std::string& file : keyValues(*flini, section, "solar")) {
                    files.push_back(std::move(file));
                }
            }
        }
    }
    if (files.empty()) {
        files.emplace_back("SOLAR/solararch.ini");
    }
    std::optional<DockingByArchetype> docking;
    for (const std::string& file : files) {
        const auto solar =
            reading.read(reading.dataFolder, file, "every base taken as open to players");
        if (!solar) {
            continue;
        }
        docking.emplace();
        for (const auto& section : solar->sections()) {
            if (!named(*solar, section, "Solar")) {
                continue;
            }
            Docking kind = Docking::NoDock;
            for (const std::string& sphere : keyValues(*solar, section, "docking_sphere")) {
                const std::string type = lowerText(fields(sphere).front());
                if (type == "berth" || type == "ring" || type == "jump") {
                    kind = Docking::Player;
                } else if (type.starts_with("moor") && kind == Docking::NoDock) {
                    kind = Docking::NpcOnly;
                }
            }
            docking->emplace(lowerText(keyValue(*solar, section, "nickname")), kind);
        }
    }
    return docking;
}

std::unordered_set<std::uint32_t> readLockedGates(const TradeReading& reading) {
    std::unordered_set<std::uint32_t> locked;
    const auto world =
        reading.read(reading.dataFolder, "initialworld.ini", "no gate taken as locked");
    const auto* section = world ? world->findSection("locked_gates") : nullptr;
    if (!section) {
        return locked;
    }
    for (const std::string& value : keyValues(*world, *section, "locked_gate")) {
        const auto number = readNumber(value);
        if (number && *number >= 0 && *number <= 4294967295.0 &&
            *number == static_cast<double>(static_cast<std::uint32_t>(*number))) {
            locked.insert(static_cast<std::uint32_t>(*number));
        } else {
            note(reading.data,
                 "initialworld.ini: locked_gate = " + value + " is no hash - ignored");
        }
    }
    return locked;
}

struct DockLinks {
    std::vector<bool> byDockWith; // the base's dock was named by dock_with
};

void readSystemObjects(const TradeReading& reading, std::size_t system, const std::string& file,
                       DockLinks& links, const std::unordered_set<std::uint32_t>& locked) {
    TradeData& data = reading.data;
    const auto ini = reading.read(reading.dataFolder + "/UNIVERSE", file,
                                  "its bases and gates are left out of the routes");
    if (!ini) {
        return;
    }
    // A system of a hundred thousand objects would otherwise be copied as the vector grows.
    if (const std::size_t needed = data.objects.size() + ini->sections().size();
        needed > data.objects.capacity()) {
        data.objects.reserve(std::max(needed, 2 * data.objects.capacity()));
    }
    for (const auto& section : ini->sections()) {
        if (!named(*ini, section, "Object")) {
            continue;
        }
        SpaceObject object;
        object.nickname = keyValue(*ini, section, "nickname");
        object.system = system;
        if (const std::string pos = keyValue(*ini, section, "pos"); !pos.empty()) {
            const auto xyz = position(pos);
            if (!xyz) {
                note(data, file + ": the position " + pos + " of " + object.nickname +
                               " is refused (not three numbers within 1e9) - left out");
                continue;
            }
            object.x = (*xyz)[0];
            object.y = (*xyz)[1];
            object.z = (*xyz)[2];
        }
        object.archetype = keyValue(*ini, section, "archetype");
        const std::vector<std::string> target = fields(keyValue(*ini, section, "goto"));
        if (target.size() >= 2 && !target[0].empty()) {
            object.gotoSystem = target[0];
            object.gotoObject = target[1];
            const std::string arch = lowerText(object.archetype);
            object.portal =
                arch.find("gate") != std::string::npos && arch.find("jumphole") == std::string::npos
                    ? Portal::Gate
                    : Portal::Hole;
            object.locked = locked.contains(nicknameHash(object.nickname));
        }
        object.nextRing = keyValue(*ini, section, "next_ring");
        object.prevRing = keyValue(*ini, section, "prev_ring");
        const std::size_t index = data.objects.size();
        const auto link = [&](const std::string& base, bool dockWith) {
            const auto found = data.baseIndex.find(lowerText(base));
            if (base.empty() || found == data.baseIndex.end()) {
                return;
            }
            Base& linked = data.bases[found->second];
            if (linked.object == kNone || (dockWith && !links.byDockWith[found->second])) {
                linked.object = index;
                links.byDockWith[found->second] = links.byDockWith[found->second] || dockWith;
            }
        };
        link(keyValue(*ini, section, "dock_with"), true);
        link(keyValue(*ini, section, "base"), false);
        data.objects.push_back(std::move(object));
    }
}

} // namespace

std::shared_ptr<const ParsedIni> TradeReading::read(std::string_view base, std::string_view named,
                                                    std::string_view lost) const {
    const GameFileRead file = readGameFile(folder, base, named);
    if (!file.path.empty()) {
        data.sources.emplace_back(file.path, FileStamp::of(file.path));
    }
    if (!file.ok() && !lost.empty()) {
        note(data, file.shown + " " + file.refusal + " - " + std::string(lost));
    }
    return file.ini;
}

bool named(const ParsedIni& ini, const ParsedIni::Section& section, std::string_view name) {
    return equalsIgnoringCase(ini.name(section), name);
}

std::vector<std::string> keyValues(const ParsedIni& ini, const ParsedIni::Section& section,
                                   std::string_view key) {
    std::vector<std::string> values;
    for (std::size_t k = section.firstKey; k < section.firstKey + section.keyCount; ++k) {
        if (equalsIgnoringCase(ini.name(ini.keys()[k]), key)) {
            values.push_back(ini.value(ini.keys()[k]));
        }
    }
    return values;
}

std::vector<std::string> fields(std::string_view value) {
    std::vector<std::string> parts;
    for (std::size_t begin = 0;;) {
        const std::size_t comma = value.find(',', begin);
        parts.emplace_back(trimBlanks(value.substr(begin, comma - begin)));
        if (comma == std::string_view::npos) {
            return parts;
        }
        begin = comma + 1;
    }
}

void readUniverse(const TradeReading& reading, const NameLookup& names) {
    TradeData& data = reading.data;
    const auto universe = reading.read(reading.dataFolder, "UNIVERSE/universe.ini",
                                       "no bases, no systems, no routes");
    if (!universe) {
        return;
    }
    std::vector<std::string> systemFiles;
    for (const auto& section : universe->sections()) {
        if (!named(*universe, section, "system")) {
            continue;
        }
        StarSystem system{keyValue(*universe, section, "nickname"), {}};
        const std::string key = lowerText(system.nickname);
        if (system.nickname.empty() || data.systemIndex.contains(key)) {
            continue;
        }
        system.name = gameName(names, keyValue(*universe, section, "strid_name"), system.nickname);
        data.systemIndex.emplace(key, data.systems.size());
        data.systems.push_back(std::move(system));
        systemFiles.push_back(keyValue(*universe, section, "file"));
    }
    for (const auto& section : universe->sections()) {
        if (!named(*universe, section, "Base")) {
            continue;
        }
        Base base{keyValue(*universe, section, "nickname"), {}, kNone, kNone};
        const std::string key = lowerText(base.nickname);
        if (base.nickname.empty() || data.baseIndex.contains(key)) {
            continue;
        }
        base.name = gameName(names, keyValue(*universe, section, "strid_name"), base.nickname);
        if (const auto found =
                data.systemIndex.find(lowerText(keyValue(*universe, section, "system")));
            found != data.systemIndex.end()) {
            base.system = found->second;
        }
        data.baseIndex.emplace(key, data.bases.size());
        data.bases.push_back(std::move(base));
    }
    const auto docking = readDockingTypes(reading);
    const auto locked = readLockedGates(reading);
    DockLinks links{std::vector<bool>(data.bases.size(), false)};
    for (std::size_t system = 0; system < data.systems.size(); ++system) {
        if (systemFiles[system].empty()) {
            note(data,
                 "universe.ini: the system " + data.systems[system].nickname + " names no file");
            continue;
        }
        readSystemObjects(reading, system, systemFiles[system], links, locked);
    }
    for (Base& base : data.bases) {
        if (base.object == kNone) {
            continue;
        }
        if (!docking) {
            base.docking = Docking::Player;
            continue;
        }
        const auto found = docking->find(lowerText(data.objects[base.object].archetype));
        base.docking = found == docking->end() ? Docking::NoDock : found->second;
    }
}

} // namespace skarvel::trade
