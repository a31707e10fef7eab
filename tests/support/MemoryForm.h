#pragma once

#include "ports/Form.h"

#include <map>
#include <string>
#include <vector>

namespace skarvel::test {

// A form without a window. It knows the controls of the real window and refuses any other
// name, so a misspelt name fails here as it would in the window.
class MemoryForm : public Form {
public:
    std::string text(std::string_view control) const override;
    void setText(std::string_view control, std::string_view text) override;
    std::vector<std::string> items(std::string_view control) const override;
    void setItems(std::string_view control, const std::vector<std::string>& items) override;
    int selectedIndex(std::string_view control) const override;
    void setSelectedIndex(std::string_view control, int index) override;
    bool isEnabled(std::string_view control) const override;
    void setEnabled(std::string_view control, bool enabled) override;
    bool isVisible(std::string_view control) const override;
    void setVisible(std::string_view control, bool visible) override;
    bool isChecked(std::string_view control) const override;
    void setChecked(std::string_view control, bool checked) override;
    std::vector<KeyValueRow> rows(std::string_view control) const override;
    void setRows(std::string_view control, const std::vector<KeyValueRow>& rows) override;
    void setToolTip(std::string_view control, std::string_view text) override;
    std::string toolTip(std::string_view control) const;
    void setFocus(std::string_view control) override;
    void repaint(std::string_view control) override;
    void showPage(std::string_view caption) override;

    std::string focused;
    std::vector<std::string> pagesShown; // captions in the order they were shown
    std::vector<std::string> repainted;

private:
    struct State {
        std::string text;
        std::string toolTip;
        std::vector<std::string> items;
        std::vector<KeyValueRow> rows;
        int selected = -1;
        bool enabled = true;
        bool visible = true;
        bool checked = false;
    };
    State& at(std::string_view name);
    const State* find(std::string_view name) const;
    std::map<std::string, State, std::less<>> controls_;
};

} // namespace skarvel::test
