#pragma once

#include <QObject>
#include <map>
#include <string>
#include <vector>

class QAbstractButton;
class QTableWidget;

namespace skarvel {

class TableSource;

// Pinned rows of a table page side by side in a panel below it, one line per column: values
// that differ from the first pinned row are marked, numbers with their difference to it.
// Rows are pinned by their key (a nickname), so pins stay across reads while the set is open;
// each group (an equipment kind) has its own.
class PinPanel : public QObject {
public:
    PinPanel(QTableWidget& panel, QAbstractButton& clear, TableSource& source, int keyColumn,
             QObject* parent = nullptr);

    void setGroup(const std::string& group);
    // Pins the rows, or unpins them when all of them are pinned.
    void toggle(const std::vector<int>& sourceRows);
    void clearGroup();
    // The set was closed: no pin stays.
    void forgetAll();
    // Shows the group's pinned rows as the table shows them now.
    void refresh();
    const std::vector<std::string>& pinned() const;

private:
    QTableWidget& panel_;
    QAbstractButton& clear_;
    TableSource& source_;
    int keyColumn_;
    std::string group_;
    std::map<std::string, std::vector<std::string>> pins_; // by group
};

} // namespace skarvel
