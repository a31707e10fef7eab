#include "tables/EquipmentDerived.h"

#include "platform/AsciiText.h"
#include "tables/CellNumbers.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace skarvel {

namespace {

using Number = std::optional<double>;

Number own(const EquipmentValue& value, std::string_view key) {
    return value(EquipmentLink::Own, key);
}

// A shot's damage: the munition's own, plus its explosion's where it names one (a missile's
// damage is mostly its explosion's). Nothing when neither gives one.
Number shotDamage(const EquipmentValue& value, std::string_view key) {
    const Number hit = value(EquipmentLink::Munition, key);
    const Number blast = value(EquipmentLink::Explosion, key);
    if (!hit && !blast) {
        return std::nullopt;
    }
    return hit.value_or(0) + blast.value_or(0);
}

Number times(Number a, Number b) {
    return a && b ? Number(*a * *b) : std::nullopt;
}

Number divided(Number a, Number b) {
    return a && b && *b != 0 ? Number(*a / *b) : std::nullopt;
}

Number hullDps(const EquipmentValue& value) {
    return times(shotDamage(value, "hull_damage"), own(value, "refire_rate"));
}

Number shieldDps(const EquipmentValue& value) {
    return times(shotDamage(value, "energy_damage"), own(value, "refire_rate"));
}

Number energyPerSecond(const EquipmentValue& value) {
    return times(own(value, "power_usage"), own(value, "refire_rate"));
}

// Without drag: the muzzle velocity for the munition's lifetime, plus what the motor's
// acceleration adds from its ignition (delay) for its burn time.
Number range(const EquipmentValue& value) {
    const Number velocity = own(value, "muzzle_velocity");
    const Number lifetime = value(EquipmentLink::Munition, "lifetime");
    if (!velocity || !lifetime) {
        return std::nullopt;
    }
    double distance = *velocity * *lifetime;
    const Number accel = value(EquipmentLink::Motor, "accel");
    const Number burn = value(EquipmentLink::Motor, "lifetime");
    if (accel && burn) {
        const double delay = value(EquipmentLink::Motor, "delay").value_or(0);
        const double burning = std::clamp(*burn, 0.0, std::max(0.0, *lifetime - delay));
        distance += *accel * burning * (*lifetime - delay - burning / 2);
    }
    return distance;
}

Number timeToFull(const EquipmentValue& value) {
    return divided(own(value, "max_capacity"), own(value, "regeneration_rate"));
}

Number timeToFullOffline(const EquipmentValue& value) {
    const Number wait = own(value, "offline_rebuild_time");
    const Number threshold = own(value, "offline_threshold");
    const Number capacity = own(value, "max_capacity");
    if (!wait || !threshold || !capacity) {
        return std::nullopt;
    }
    const Number rest =
        divided(Number(*capacity * (1 - *threshold)), own(value, "regeneration_rate"));
    return rest ? Number(*wait + *rest) : std::nullopt;
}

Number forcePerEnergy(const EquipmentValue& value) {
    return divided(own(value, "max_force"), own(value, "power_usage"));
}

constexpr auto kLauncherValues = std::to_array<DerivedValue>({
    {"hull_dps", "Hull damage per second",
     "hull_damage of a shot (the munition's, plus its explosion's where it names one) × "
     "refire_rate",
     hullDps},
    {"shield_dps", "Shield damage per second",
     "energy_damage of a shot (the munition's, plus its explosion's where it names one) × "
     "refire_rate",
     shieldDps},
    {"energy_per_second", "Energy per second", "power_usage × refire_rate", energyPerSecond},
    {"range", "Range",
     "munition lifetime × muzzle_velocity, plus for a motor: accel × burn × (lifetime − delay − "
     "burn / 2), burn = the motor's lifetime up to lifetime − delay; drag left out",
     range},
});

constexpr auto kShieldValues = std::to_array<DerivedValue>({
    {"time_to_full", "Time to full", "max_capacity / regeneration_rate", timeToFull},
    {"time_to_full_offline", "Time to full after going offline",
     "offline_rebuild_time + max_capacity × (1 − offline_threshold) / regeneration_rate",
     timeToFullOffline},
});

constexpr auto kThrusterValues = std::to_array<DerivedValue>({
    {"force_per_energy", "Force per energy", "max_force / power_usage", forcePerEnergy},
});

} // namespace

std::span<const DerivedValue> derivedValuesOf(std::string_view kind) {
    for (const std::string_view launcher :
         {"Gun", "MissileLauncher", "MineDropper", "CounterMeasureDropper"}) {
        if (equalsIgnoringCase(kind, launcher)) {
            return kLauncherValues;
        }
    }
    if (equalsIgnoringCase(kind, "ShieldGenerator")) {
        return kShieldValues;
    }
    if (equalsIgnoringCase(kind, "Thruster")) {
        return kThrusterValues;
    }
    return {};
}

std::string derivedText(double value) {
    std::string text = roundedText(value, 2);
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0') {
            text.pop_back();
        }
        if (text.back() == '.') {
            text.pop_back();
        }
    }
    return text == "-0" ? "0" : text;
}

} // namespace skarvel
