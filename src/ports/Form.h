#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

// One row of a key/value table.
struct KeyValueRow {
    std::string key;
    std::string value;
    bool missing = false; // the file lacks the key: shown empty, in grey
    // Why the value cannot be edited, shown as the cell's hint; empty when it can be.
    std::string readOnlyReason;

    bool operator==(const KeyValueRow&) const = default;
};

// The window as the core sees it: named controls and their texts, list items and
// selections. Texts are bytes as they stand in the game's files (one byte per character),
// except in the folder fields, lbShips and edShipRealName, which hold UTF-8.
// Setting a text or a selection from the core never runs a change handler; the core runs
// the handlers it needs itself.
class Form {
public:
    virtual ~Form() = default;

    virtual std::string text(std::string_view control) const = 0;
    virtual void setText(std::string_view control, std::string_view text) = 0;

    // Drop-down lists and list boxes.
    virtual std::vector<std::string> items(std::string_view control) const = 0;
    virtual void setItems(std::string_view control, const std::vector<std::string>& items) = 0;
    virtual int selectedIndex(std::string_view control) const = 0; // -1: nothing selected
    virtual void setSelectedIndex(std::string_view control, int index) = 0;

    virtual bool isEnabled(std::string_view control) const = 0;
    virtual void setEnabled(std::string_view control, bool enabled) = 0;
    virtual bool isVisible(std::string_view control) const = 0;
    virtual void setVisible(std::string_view control, bool visible) = 0;
    virtual bool isChecked(std::string_view control) const = 0;
    virtual void setChecked(std::string_view control, bool checked) = 0;

    // Key/value tables: a read-only key column and a value column, editable except in the
    // rows that give a readOnlyReason.
    virtual std::vector<KeyValueRow> rows(std::string_view control) const = 0;
    virtual void setRows(std::string_view control, const std::vector<KeyValueRow>& rows) = 0;

    // The control's tool tip: the program's own text or names of the ship list, UTF-8.
    virtual void setToolTip(std::string_view control, std::string_view text) = 0;

    virtual void setFocus(std::string_view control) = 0;
    virtual void repaint(std::string_view control) = 0;

    // Brings the page with that caption to the front through the navigation tree.
    virtual void showPage(std::string_view caption) = 0;
};

} // namespace skarvel
