#include "ships/ConstantsTables.h"

#include "gamedata/IniEngine.h"
#include "gamedata/TextParts.h"
#include "gamedata/UserIniFile.h"
#include "journal/Journal.h"
#include "ports/Controls.h"
#include "ports/Form.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace skarvel {

namespace {

// No value read from a file holds a line break: this default tells a missing key.
constexpr std::string_view kMissing = "\n";

// The General page shows these four constants too; both places show one value.
struct SharedConstant {
    std::string_view field;
    std::string_view control;
    std::string_view key;
};

constexpr auto kSharedConstants = std::to_array<SharedConstant>({
    {controls::edMaxSpeed, controls::ValueListEditor2, "ANOM_LIMITS_MAX_VELOCITY"},
    {controls::edCruiseSpeed, controls::ValueListEditor5, "CRUISING_SPEED"},
    {controls::edCruiseDisruptTime, controls::ValueListEditor5, "CRUISE_DISRUPT_TIME"},
    {controls::edMaxLootPerAstroid, controls::ValueListEditor7, "MAX_LOOT_PER_ASTEROID"},
});

bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Optional sign, digits, optional decimal point with digits, optional exponent.
bool isNumber(std::string_view text) {
    std::size_t i = 0;
    const auto digits = [&] {
        const std::size_t start = i;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
        }
        return i > start;
    };
    const auto sign = [&] {
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            ++i;
        }
    };
    sign();
    if (!digits()) {
        return false;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        if (!digits()) {
            return false;
        }
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        sign();
        if (!digits()) {
            return false;
        }
    }
    return i == text.size();
}

// How many numbers the text lists, separated by commas; nothing when it is no such list.
std::optional<std::size_t> numberCount(std::string_view text) {
    std::size_t count = 0;
    while (true) {
        const std::size_t comma = text.find(',');
        if (!isNumber(trimControl(text.substr(0, comma)))) {
            return std::nullopt;
        }
        ++count;
        if (comma == std::string_view::npos) {
            return count;
        }
        text.remove_prefix(comma + 1);
    }
}

int tableIndexOf(std::string_view control) {
    const auto& tables = constantsTables();
    for (std::size_t i = 0; i < tables.size(); ++i) {
        if (tables[i].control == control) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int rowOf(const std::vector<KeyValueRow>& rows, std::string_view key) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (equalsIgnoringCase(rows[i].key, key)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

} // namespace

const std::array<ConstantsTable, 7>& constantsTables() {
    static const std::array<ConstantsTable, 7> tables = {{
        {controls::ValueListEditor1,
         "CommConsts",
         {"WALLA_PRIORITY_CUTOFF", "WALLA_START_ATTEN", "WALLA_MAX_DIST_ATTEN", "WALLA_MAX_DIST",
          "COMM_CONFLICT_PRIORITY_CUTOFF", "CHATTER_START_ATTEN", "CHATTER_MAX_DIST_ATTEN",
          "CHATTER_MAX_DIST", "COMM_PLAYER_FAR_DIST_ATTEN", "COMM_PLAYER_FAR_DIST"}},
        {controls::ValueListEditor2,
         "PhySysConsts",
         {"RC_MAX_DELTA_ORIENTATION",
          "RC_MAX_DELTA_POSITION",
          "GOLEM_ANGULAR_DAMP_FACTOR",
          "GOLEM_TORQUE_FACTOR",
          "GOLEM_DAMP_FACTOR",
          "GOLEM_FORCE_FACTOR",
          "GOLEM_MAX_TORQUE",
          "GOLEM_MAX_TRANSLATION_FORCE",
          "GOLEM_DELTA_ORIENTATION",
          "GOLEM_MAX_DELTA_POSITION",
          "GOLEM_CHILD_ANGULAR_DAMP",
          "GOLEM_CHILD_LINEAR_DAMP",
          "GOLEM_CHILD_MASS",
          "DEFAULT_ANGULAR_DAMPING",
          "DEFAULT_LINEAR_DAMPING",
          "RMGR_LOOK_AHEAD_MIN_SECONDS_INTRA",
          "RMGR_LOOK_AHEAD_MAX_DISTANCE_INTRA",
          "RMGR_LOOK_AHEAD_MIN_DISTANCE_INTRA",
          "RMGR_LOOK_AHEAD_MAX_RADIUS_INTRA",
          "RMGR_LOOK_AHEAD_TIME_INTRA",
          "RMGR_LOOK_AHEAD_MIN_SECONDS_WORLD",
          "RMGR_LOOK_AHEAD_MAX_DISTANCE_WORLD",
          "RMGR_LOOK_AHEAD_MIN_DISTANCE_WORLD",
          "RMGR_LOOK_AHEAD_MAX_RADIUS_WORLD",
          "RMGR_LOOK_AHEAD_TIME_WORLD",
          "MIN_TIME_BETWEEN_COLLISIONS",
          "MATERIAL_ELASTICITY",
          "MATERIAL_FRICTION",
          "ANOM_LIMITS_MAX_ANGULAR_VELOCITY_PER_PSI",
          "ANOM_LIMITS_MAX_VELOCITY",
          "MAX_SPAWNED_MINDIST_COUNT",
          "PHYSICAL_SIM_RATE"}},
        {controls::ValueListEditor3,
         "ThrusterEquipConsts",
         {"OUTSIDE_CONE_ATTENUATION", "OUTSIDE_CONE_ANGLE", "INSIDE_CONE_ANGLE", "MIN_VOLUME_FORCE",
          "MAX_VOLUME_FORCE", "EXTERIOR_SOUND_NAME", "INTERIOR_SOUND_NAME"}},
        {controls::ValueListEditor4, "ShieldEquipConsts", {"HULL_DAMAGE_FACTOR"}},
        {controls::ValueListEditor5,
         "EngineEquipConsts",
         {"CRUISE_DISRUPT_TIME", "MAX_DELTA_FX_THROTTLE", "THROTTLE_STEADY_TIME",
          "THROTTLE_ATTEN_MOD_RANGE", "DELTA_THROTTLE_ATTEN_MOD_CHANGING",
          "DELTA_THROTTLE_ATTEN_MOD_STEADY", "CRUISE_STEADY_TIME", "DELTA_CRUISE_ATTEN_MOD_STEADY",
          "CRUISE_ATTEN_MOD_RANGE", "MAX_ENGINE_FX_THROTTLE", "CRUISE_DRAG", "CRUISE_ACCEL_TIME",
          "CRUISING_SPEED"}},
        {controls::ValueListEditor6,
         "Constants",
         {"MAX_PLAYER_AMMO", "PLAYER_ATTACHED_EQUIP_HIT_PTS_SCALE",
          "PLAYER_COLLISION_GROUP_HIT_PTS_SCALE", "FIRE_FAILED_DELAY", "FIRE_FAILED_SOUND",
          "MUZZLE_CONE_ANGLE", "SND_CARGO_JETTISONED", "JETTISONED_CARGO_VELOCITY",
          "MUSIC_CROSS_FADE_DELAY", "LOOT_UNSEEN_RADIUS", "LOOT_UNSEEN_LIFE_TIME",
          "LOOT_OWNER_SAFE_TIME", "COLLISION_DAMAGE_FACTOR"}},
        {controls::ValueListEditor7,
         "AsteroidConsts",
         {"MAX_ASTEROID_LOOT_DAMAGE", "MAX_LOOT_PER_ASTEROID"}},
    }};
    return tables;
}

std::string refusalOf(std::string_view key, std::string_view fileValue, std::string_view typed) {
    const std::string k(key);
    if (typed.find_first_of("\r\n;[") != std::string_view::npos) {
        // A line break, a comment or a section header would change the file's structure.
        return k + ": a value cannot hold a line break, \";\" or \"[\".";
    }
    const std::string value = trimControl(typed);
    const std::string file = trimControl(fileValue);
    if (value.empty() && !file.empty()) {
        return k + ": the file holds a value, which cannot be emptied here.";
    }
    const std::optional<std::size_t> wanted = numberCount(file);
    if (!wanted || numberCount(value) == wanted) {
        return {};
    }
    if (*wanted == 1) {
        return k + " takes a number, like 350, -0.5 or 1e-05.";
    }
    return k + " takes " + std::to_string(*wanted) + " numbers separated by commas, like \"" +
           file + "\".";
}

ConstantsTables::ConstantsTables(Form& form) : form_(form) {}

void ConstantsTables::load(const TUserIniFile& constants) {
    const auto& tables = constantsTables();
    const auto parsed = ini::currentIni(constants.path());
    for (std::size_t t = 0; t < tables.size(); ++t) {
        std::vector<KeyValueRow> rows;
        for (std::string_view key : tables[t].keys) {
            rows.push_back({std::string(key), "", false, ""});
        }
        for (const std::string& key : constants.ListKeys(tables[t].section)) {
            if (rowOf(rows, key) < 0) { // a repeated key counts once, as the game reads it
                rows.push_back({key, "", false, ""});
            }
        }
        // The save adds no section, so a value typed there would be lost.
        const std::string readOnlyReason = parsed && parsed->findSection(tables[t].section)
                                               ? std::string()
                                               : "constants.ini has no [" +
                                                     std::string(tables[t].section) +
                                                     "] section, so this value cannot be saved.";
        fileValues_[t].clear();
        for (KeyValueRow& row : rows) {
            const std::string value = constants.ReadValue(tables[t].section, row.key, kMissing);
            row.missing = value == kMissing;
            row.value = row.missing ? std::string() : value;
            row.readOnlyReason = readOnlyReason;
            fileValues_[t].push_back(row.value);
        }
        form_.setRows(tables[t].control, rows);
    }
}

void ConstantsTables::clear() {
    const auto& tables = constantsTables();
    for (std::size_t t = 0; t < tables.size(); ++t) {
        std::vector<KeyValueRow> rows;
        for (std::string_view key : tables[t].keys) {
            rows.push_back({std::string(key), "", false, ""});
        }
        fileValues_[t].clear();
        form_.setRows(tables[t].control, rows);
    }
}

std::string ConstantsTables::edit(std::string_view control, int row, std::string_view typed) {
    const int t = tableIndexOf(control);
    std::vector<KeyValueRow> rows = t < 0 ? std::vector<KeyValueRow>{} : form_.rows(control);
    if (row < 0 || row >= static_cast<int>(rows.size())) {
        return "No such value.";
    }
    const auto& files = fileValues_[static_cast<std::size_t>(t)];
    const std::string fileValue =
        row < static_cast<int>(files.size()) ? files[static_cast<std::size_t>(row)] : std::string();
    KeyValueRow& edited = rows[static_cast<std::size_t>(row)];
    if (!edited.readOnlyReason.empty()) {
        return edited.readOnlyReason;
    }
    std::string refusal = refusalOf(edited.key, fileValue, typed);
    if (!refusal.empty()) {
        return refusal;
    }
    edited.value = trimControl(typed);
    form_.setRows(control, rows);
    for (const SharedConstant& shared : kSharedConstants) {
        if (shared.control == control && equalsIgnoringCase(shared.key, edited.key)) {
            form_.setText(shared.field, edited.value);
        }
    }
    return {};
}

void ConstantsTables::fieldEdited(std::string_view field) {
    for (const SharedConstant& shared : kSharedConstants) {
        if (shared.field != field) {
            continue;
        }
        std::vector<KeyValueRow> rows = form_.rows(shared.control);
        const int row = rowOf(rows, shared.key);
        if (row >= 0) {
            rows[static_cast<std::size_t>(row)].value = form_.text(field);
            form_.setRows(shared.control, rows);
        }
    }
}

std::vector<PendingChange> ConstantsTables::changes() const {
    std::vector<PendingChange> found;
    const auto& tables = constantsTables();
    for (std::size_t t = 0; t < tables.size(); ++t) {
        const ConstantsTable& table = tables[t];
        const std::vector<KeyValueRow> rows = form_.rows(table.control);
        const std::vector<std::string>& loaded = fileValues_[t];
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const KeyValueRow& row = rows[r];
            const bool shared = std::any_of(
                kSharedConstants.begin(), kSharedConstants.end(), [&](const SharedConstant& c) {
                    return c.control == table.control && equalsIgnoringCase(c.key, row.key);
                });
            const std::string before = r < loaded.size() ? loaded[r] : std::string();
            // A shared value is the General page's field, which the general save writes.
            if (shared || row.value.empty() || row.value == before) {
                continue;
            }
            found.push_back({SectionRef::named(SettingsFile::Constants, table.section), row.key,
                             before, row.value, std::string(table.control)});
        }
    }
    return found;
}

void ConstantsTables::keepFileValue(std::string_view control, std::string_view key,
                                    const std::string& value) {
    const auto& tables = constantsTables();
    for (std::size_t t = 0; t < tables.size(); ++t) {
        if (tables[t].control != control) {
            continue;
        }
        std::vector<KeyValueRow> rows = form_.rows(control);
        std::vector<std::string>& loaded = fileValues_[t];
        loaded.resize(std::max(loaded.size(), rows.size()));
        for (std::size_t r = 0; r < rows.size(); ++r) {
            if (equalsIgnoringCase(rows[r].key, key)) {
                rows[r].value = value;
                loaded[r] = value;
            }
        }
        form_.setRows(control, rows);
    }
}

void ConstantsTables::rememberSaved() {
    const auto& tables = constantsTables();
    for (std::size_t t = 0; t < tables.size(); ++t) {
        const std::vector<KeyValueRow> rows = form_.rows(tables[t].control);
        std::vector<std::string>& loaded = fileValues_[t];
        loaded.resize(std::max(loaded.size(), rows.size()));
        for (std::size_t r = 0; r < rows.size(); ++r) {
            if (!rows[r].value.empty()) { // an empty cell wrote nothing
                loaded[r] = rows[r].value;
            }
        }
    }
}

} // namespace skarvel
