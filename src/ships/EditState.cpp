#include "ships/EditState.h"

#include "ports/Controls.h"

#include <algorithm>
#include <array>

namespace skarvel {

namespace {

// Line edits that hold no game value.
constexpr auto kNotEdited =
    std::to_array<std::string_view>({controls::edPfad, controls::edFliniDir});
constexpr auto kPicks = std::to_array<std::string_view>(
    {controls::cbStartingBase, controls::cbWeaponHP, controls::cbTurretHP, controls::cbShieldTyp});
constexpr std::string_view kConstantsTable = "ValueListEditor";
// The hardpoint lists and the level each shows: where the user looks, not what the files get.
// The levels themselves are the hardpoint part of the state.
constexpr auto kView = std::to_array<std::string_view>(
    {controls::cbWeaponHP, controls::edWeaponHPLevel, controls::cbTurretHP,
     controls::edTurretHpLevel, controls::cbShieldTyp, controls::edShieldHPLevel});

bool isView(std::string_view name) {
    return std::find(kView.begin(), kView.end(), name) != kView.end();
}

template <class Entries> Entries withoutView(Entries entries) {
    std::erase_if(entries, [](const auto& entry) { return isView(entry.first); });
    return entries;
}

bool isEditedText(const Control& control) {
    return control.kind == ControlKind::LineEdit &&
           std::find(kNotEdited.begin(), kNotEdited.end(), control.name) == kNotEdited.end() &&
           control.name.find("Filter") == std::string_view::npos;
}

bool isEditedTable(const Control& control) {
    return control.kind == ControlKind::Table && control.name.starts_with(kConstantsTable);
}

} // namespace

bool isEditedControl(std::string_view name) {
    const Control* control = controls::find(name);
    return control != nullptr && (isEditedText(*control) || isEditedTable(*control) ||
                                  std::find(kPicks.begin(), kPicks.end(), name) != kPicks.end());
}

EditState readEditedControls(const Form& form) {
    EditState state;
    for (const Control& control : controls::all) {
        if (isEditedText(control)) {
            state.texts.emplace_back(control.name, form.text(control.name));
        } else if (isEditedTable(control)) {
            state.tables.emplace_back(control.name, form.rows(control.name));
        }
    }
    for (const std::string_view pick : kPicks) {
        state.picks.emplace_back(pick, form.selectedIndex(pick));
    }
    return state;
}

void showEditedControls(Form& form, const EditState& state) {
    for (const auto& [control, text] : state.texts) {
        if (form.text(control) != text) {
            form.setText(control, text);
        }
    }
    for (const auto& [control, index] : state.picks) {
        if (form.selectedIndex(control) != index) {
            form.setSelectedIndex(control, index);
        }
    }
    for (const auto& [control, rows] : state.tables) {
        if (form.rows(control) != rows) {
            form.setRows(control, rows);
        }
    }
}

bool differsOnlyInView(const EditState& a, const EditState& b) {
    return withoutView(a.texts) == withoutView(b.texts) &&
           withoutView(a.picks) == withoutView(b.picks) && a.tables == b.tables &&
           a.hardpoints == b.hardpoints && a.basePicked == b.basePicked;
}

std::vector<std::string> changedControls(const EditState& loaded, const EditState& now) {
    std::vector<std::string> changed;
    const auto compare = [&changed](const auto& before, const auto& after) {
        for (std::size_t i = 0; i < after.size(); ++i) {
            if (i >= before.size() || before[i] != after[i]) {
                changed.push_back(after[i].first);
            }
        }
    };
    compare(withoutView(loaded.texts), withoutView(now.texts));
    compare(withoutView(loaded.picks), withoutView(now.picks));
    compare(loaded.tables, now.tables);
    const Hardpoints::Edits& was = loaded.hardpoints;
    const Hardpoints::Edits& is = now.hardpoints;
    if (was.weapons != is.weapons) {
        changed.emplace_back(controls::edWeaponHPLevel);
    }
    if (was.turrets != is.turrets) {
        changed.emplace_back(controls::edTurretHpLevel);
    }
    if (was.shieldLevel != is.shieldLevel) {
        changed.emplace_back(controls::edShieldHPLevel);
    }
    if (was.shieldType != is.shieldType) {
        changed.emplace_back(controls::cbShieldTyp);
    }
    if (loaded.basePicked != now.basePicked) {
        changed.emplace_back(controls::cbStartingBase);
    }
    std::sort(changed.begin(), changed.end());
    changed.erase(std::unique(changed.begin(), changed.end()), changed.end());
    return changed;
}

} // namespace skarvel
