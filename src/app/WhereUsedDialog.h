#pragma once

#include "usage/WhereUsed.h"

#include <QDialog>
#include <QString>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QTableWidget;

namespace skarvel {

// "Where used": every line of the mod's files that names a nickname, with file, line, section,
// key and the line's text. A row of an equipment section or a ship is shown on its page; any
// other row opens its file in the text editor at its line.
class WhereUsedDialog : public QDialog {
public:
    WhereUsedDialog(const QString& nickname, std::vector<usage::Use> uses, std::string gameFolder,
                    QWidget* parent = nullptr);

    // The line the user chose to see on a page: an equipment row or a ship.
    const std::optional<usage::Use>& chosen() const { return chosen_; }

private:
    void open(int row);

    std::vector<usage::Use> uses_;
    std::string gameFolder_;
    QTableWidget* table_;
    std::optional<usage::Use> chosen_;
};

} // namespace skarvel
