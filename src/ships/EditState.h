#pragma once

#include "ports/Form.h"
#include "ships/Hardpoints.h"

#include <string>
#include <utility>
#include <vector>

namespace skarvel {

// Everything the user can change on the General, Character, Ship, Extended, Commodity and
// Constants pages, with what is derived from it (the speeds): what an undo step goes back
// to. Folder fields, filters and the Options page are no part of it.
struct EditState {
    std::vector<std::pair<std::string, std::string>> texts; // line edits
    std::vector<std::pair<std::string, int>> picks;         // lists: the selected item
    std::vector<std::pair<std::string, std::vector<KeyValueRow>>> tables;
    Hardpoints::Edits hardpoints;
    bool basePicked = false; // the user picked another starting base

    bool operator==(const EditState&) const = default;
};

// The controls' part of the state, read from the form and written back silently.
EditState readEditedControls(const Form& form);
void showEditedControls(Form& form, const EditState& state);

// The controls whose part of the state differs between the two: the marked fields. A
// hardpoint list that differs marks its level field.
std::vector<std::string> changedControls(const EditState& loaded, const EditState& now);

// Only which hardpoint the lists show differs: no edit, so no undo step of its own.
bool differsOnlyInView(const EditState& a, const EditState& b);

// Whether a control is part of the state, and so of the undo history.
bool isEditedControl(std::string_view control);

} // namespace skarvel
