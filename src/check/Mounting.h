#pragma once

#include "check/ModIndex.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace skarvel::check {

// The hardpoint type a piece of equipment mounts on, as its section gives it (hp_gun_type of a
// [Gun], hp_type of a [ShieldGenerator], ...); empty when it has none: lights, effects and
// internal equipment mount on the model's hardpoints or nowhere, and the game does not type them.
std::string hardpointTypeOf(const Definition& equipment);

// Whether an addon's or equip line's hardpoint names a hardpoint at all ("internal" and an
// empty one do not).
bool namesHardpoint(std::string_view hardpoint);

// The hardpoints the hp_type lines of a ship give, each with the types it takes.
class ShipHardpoints {
public:
    explicit ShipHardpoints(const Definition& ship);

    bool empty() const { return types_.empty(); }
    bool has(std::string_view hardpoint) const;
    bool takes(std::string_view hardpoint, std::string_view type) const;

private:
    std::unordered_map<std::string, std::vector<std::string>> types_; // lower case
};

} // namespace skarvel::check
