#include "support/MemoryForm.h"

#include "ports/Controls.h"

#include <stdexcept>

namespace skarvel::test {

namespace {

// A name the window does not have would pass silently here and fail only in the real window.
void requireControl(std::string_view name) {
    if (controls::find(name) == nullptr) {
        throw std::logic_error("The window has no control " + std::string(name));
    }
}

} // namespace

MemoryForm::State& MemoryForm::at(std::string_view name) {
    requireControl(name);
    auto it = controls_.find(name);
    if (it == controls_.end()) {
        it = controls_.emplace(std::string(name), State{}).first;
    }
    return it->second;
}

const MemoryForm::State* MemoryForm::find(std::string_view name) const {
    requireControl(name);
    const auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : &it->second;
}

std::string MemoryForm::text(std::string_view control) const {
    const State* c = find(control);
    return c ? c->text : std::string();
}
void MemoryForm::setText(std::string_view control, std::string_view text) {
    at(control).text = std::string(text);
}
std::vector<std::string> MemoryForm::items(std::string_view control) const {
    const State* c = find(control);
    return c ? c->items : std::vector<std::string>{};
}
void MemoryForm::setItems(std::string_view control, const std::vector<std::string>& items) {
    State& c = at(control);
    c.items = items;
    c.selected = -1;
}
int MemoryForm::selectedIndex(std::string_view control) const {
    const State* c = find(control);
    return c ? c->selected : -1;
}
void MemoryForm::setSelectedIndex(std::string_view control, int index) {
    State& c = at(control);
    c.selected = (index >= 0 && index < static_cast<int>(c.items.size())) ? index : -1;
}
std::vector<KeyValueRow> MemoryForm::rows(std::string_view control) const {
    const State* c = find(control);
    return c ? c->rows : std::vector<KeyValueRow>{};
}
void MemoryForm::setRows(std::string_view control, const std::vector<KeyValueRow>& rows) {
    at(control).rows = rows;
}
bool MemoryForm::isEnabled(std::string_view control) const {
    const State* c = find(control);
    return c ? c->enabled : true;
}
void MemoryForm::setEnabled(std::string_view control, bool enabled) {
    at(control).enabled = enabled;
}
bool MemoryForm::isVisible(std::string_view control) const {
    const State* c = find(control);
    return c ? c->visible : true;
}
void MemoryForm::setVisible(std::string_view control, bool visible) {
    at(control).visible = visible;
}
bool MemoryForm::isChecked(std::string_view control) const {
    const State* c = find(control);
    return c ? c->checked : false;
}
void MemoryForm::setChecked(std::string_view control, bool checked) {
    at(control).checked = checked;
}
void MemoryForm::setToolTip(std::string_view control, std::string_view text) {
    at(control).toolTip = std::string(text);
}
std::string MemoryForm::toolTip(std::string_view control) const {
    const State* state = find(control);
    return state ? state->toolTip : std::string();
}
void MemoryForm::setFocus(std::string_view control) {
    requireControl(control);
    focused = std::string(control);
}
void MemoryForm::repaint(std::string_view control) {
    requireControl(control);
    repainted.emplace_back(control);
}
void MemoryForm::showPage(std::string_view caption) {
    pagesShown.emplace_back(caption);
}

} // namespace skarvel::test
