#include "ships/EditState.h"

#include "ports/Controls.h"

#include <algorithm>
#include <array>

namespace skarvel {

namespace {

using namespace std::string_view_literals;

// Line edits that hold no game value.
constexpr auto kNotEdited = std::to_array({"edPfad"sv, "edFliniDir"sv});
constexpr auto kPicks =
    std::to_array({"cbStartingBase"sv, "cbWeaponHP"sv, "cbTurretHP"sv, "cbShieldTyp"sv});
constexpr std::string_view kConstantsTable = "ValueListEditor";

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

std::vector<std::string> changedControls(const EditState& loaded, const EditState& now) {
    std::vector<std::string> changed;
    const auto compare = [&changed](const auto& before, const auto& after) {
        for (std::size_t i = 0; i < after.size(); ++i) {
            if (i >= before.size() || before[i] != after[i]) {
                changed.push_back(after[i].first);
            }
        }
    };
    compare(loaded.texts, now.texts);
    compare(loaded.picks, now.picks);
    compare(loaded.tables, now.tables);
    const Hardpoints::Edits& was = loaded.hardpoints;
    const Hardpoints::Edits& is = now.hardpoints;
    if (was.weapons != is.weapons) {
        changed.emplace_back(controls::edWeaponHPLevel);
    }
    if (was.turrets != is.turrets) {
        changed.emplace_back(controls::edTurretHpLevel);
    }
    if (was.shieldLevel != is.shieldLevel || was.shieldType != is.shieldType) {
        changed.emplace_back(controls::edShieldHPLevel);
    }
    if (loaded.basePicked != now.basePicked) {
        changed.emplace_back(controls::cbStartingBase);
    }
    std::sort(changed.begin(), changed.end());
    changed.erase(std::unique(changed.begin(), changed.end()), changed.end());
    return changed;
}

} // namespace skarvel
