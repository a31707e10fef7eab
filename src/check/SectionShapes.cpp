// The shapes of the game's sections, from the game's own files (shiparch.ini, goods.ini,
// market_*.ini, loadouts.ini, npcships.ini, universe.ini and the systems' files).
#include "check/SectionShapes.h"

#include <array>

namespace skarvel::check {

namespace {

using R = FileRole;

constexpr auto kShipKeys = std::to_array<std::string_view>({
    "nickname",
    "ids_name",
    "ids_info",
    "ids_info1",
    "ids_info2",
    "ids_info3",
    "ship_class",
    "type",
    "LODranges",
    "msg_id_prefix",
    "mission_property",
    "DA_archetype",
    "material_library",
    "envmap_material",
    "cockpit",
    "pilot_mesh",
    "explosion_arch",
    "explosion_resistance",
    "surface_hit_effects",
    "mass",
    "hold_size",
    "linear_drag",
    "fuse",
    "max_bank_angle",
    "camera_offset",
    "camera_angular_acceleration",
    "camera_horizontal_turn_angle",
    "camera_vertical_turn_up_angle",
    "camera_vertical_turn_down_angle",
    "camera_turn_look_ahead_slerp_amount",
    "hit_pts",
    "nanobot_limit",
    "shield_battery_limit",
    "hp_bay_surface",
    "hp_bay_external",
    "hp_tractor_source",
    "num_exhaust_nozzles",
    "hp_type",
    "shield_link",
    "steering_torque",
    "angular_drag",
    "rotation_inertia",
    "nudge_force",
    "strafe_force",
    "strafe_power_usage",
    "bay_door_anim",
    "bay_doors_open_snd",
    "bay_doors_close_snd",
    "debris_type",
    "separation_explosion",
    "parent_impulse",
    "child_impulse",
    "ship_ident_name",
    "cargo_limit",
    "shape_name",
    "solar_radius",
    "phantom_physics",
    "armor",
    "distance_render",
    "animated_textures",
    "loadout",
    "docking_sphere",
    "lod_ranges",
    "hp_child",
    "is_nomad",
    "dock_position",
    "open_anim",
    "close_anim",
    "engine_kill_sound",
    "volume",
    "lootable",
    "destructible",
    "audio",
    "spin",
    "difficulty",
    "behavior",
    "deathsound",
    "explosion_sound",
});

constexpr auto kGoodKeys = std::to_array<std::string_view>({
    "nickname",       "equipment",     "category",        "price",
    "combinable",     "item_icon",     "shop_archetype",  "material_library",
    "ids_name",       "ids_info",      "ids_hull_name",   "ship",
    "hull",           "addon",         "good_sell_price", "good_buy_price",
    "bad_sell_price", "bad_buy_price", "jump_dist",       "free_ammo",
    "volume",         "lootable",
});

constexpr auto kBaseGoodKeys = std::to_array<std::string_view>({"base", "MarketGood"});

constexpr auto kLoadoutKeys =
    std::to_array<std::string_view>({"nickname", "archetype", "equip", "cargo", "hull"});

constexpr auto kNpcShipKeys = std::to_array<std::string_view>(
    {"nickname", "loadout", "level", "ship_archetype", "pilot", "state_graph", "npc_class"});

constexpr auto kUniverseBaseKeys = std::to_array<std::string_view>({
    "nickname",
    "system",
    "strid_name",
    "ids_info",
    "file",
    "BGCS_base_run_by",
    "terrain_tiny",
    "terrain_sml",
    "terrain_mdm",
    "terrain_lrg",
    "terrain_dyna_01",
    "terrain_dyna_02",
    "autosave_forbidden",
});

constexpr auto kUniverseSystemKeys = std::to_array<std::string_view>(
    {"nickname", "file", "pos", "msg_id_prefix", "visit", "strid_name", "ids_info", "NavMapScale"});

constexpr auto kShapes = std::to_array<SectionShape>({
    {R::Ships, "Ship", kShipKeys},
    {R::Goods, "Good", kGoodKeys},
    {R::Markets, "BaseGood", kBaseGoodKeys},
    {R::Loadouts, "Loadout", kLoadoutKeys},
    {R::NpcShips, "NPCShipArch", kNpcShipKeys},
    {R::Universe, "Base", kUniverseBaseKeys},
    {R::Universe, "System", kUniverseSystemKeys},
});

constexpr auto kRequired = std::to_array<RequiredKey>({
    {R::Goods, "Good", "commodity", "price"},
    {R::Goods, "Good", "equipment", "price"},
    {R::Goods, "Good", "shiphull", "price"},
    {R::Goods, "Good", "shiphull", "ship"},
    {R::Goods, "Good", "equipment", "equipment"},
    {R::Goods, "Good", "ship", "hull"},
    {R::Markets, "BaseGood", "", "base"},
    {R::Universe, "Base", "", "system"},
});

// A market line: good, two level fields, minimum, maximum, whether it is sold, price factor.
constexpr auto kFieldCounts = std::to_array<FieldCount>({
    {R::Markets, "BaseGood", "MarketGood", 7, 0},
    {R::Goods, "Good", "addon", 3, 3},
    {R::Loadouts, "Loadout", "equip", 1, 3},
    {R::Loadouts, "Loadout", "cargo", 2, 2},
    {R::System, "Object", "goto", 3, 3},
});

} // namespace

std::span<const SectionShape> sectionShapes() {
    return kShapes;
}

std::span<const RequiredKey> requiredKeys() {
    return kRequired;
}

std::span<const FieldCount> fieldCounts() {
    return kFieldCounts;
}

} // namespace skarvel::check
