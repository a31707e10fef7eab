#pragma once

#include "ports/Form.h"

#include <QHash>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

namespace skarvel {

// The Form port over the named children of a window. Texts are the bytes of the game's
// files, one byte per character (Latin-1); the two folder fields (file-system paths), the
// ship list and the ship's name are UTF-8. Texts and selections set from here never run a
// change handler.
class QtForm : public Form {
public:
    // showPage: the window's ShowPage.
    QtForm(QWidget& window, std::function<void(const QString&)> showPage);

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
    void setFocus(std::string_view control) override;
    void repaint(std::string_view control) override;
    void showPage(std::string_view caption) override;

    // The named child; throws std::runtime_error when the window has none of that name.
    QWidget& control(std::string_view name) const;

private:
    QWidget& window_;
    std::function<void(const QString&)> showPage_;
    mutable QHash<QString, QPointer<QWidget>> found_;
};

} // namespace skarvel
