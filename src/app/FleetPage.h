#pragma once

#include "app/FleetModel.h"
#include "tables/FleetCommands.h"
#include "tables/FleetEdits.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QWidget;

namespace Ui {
class TformSkarvel;
}

namespace skarvel {

class Dialogs;
class EditHistory;
class Editor;
class TableFilter;
class TableModel;
class Form;
class FrozenColumn;
class PinPanel;
class TJournal;

// The Fleet page: every ship in one sortable, filterable table over the core's FleetCommands,
// the column chooser, the change dialog and the page's buttons. Its changes are part of the
// document: leaving the page asks nothing.
class FleetPage : public QObject {
public:
    FleetPage(Ui::TformSkarvel& ui, Editor& editor, Form& form, Dialogs& dialogs, TJournal& journal,
              QObject* parent = nullptr);

    FleetCommands& fleet() { return fleet_; }
    TableFilter& proxy() { return *proxy_; }

    // The change dialog's answer; tests give their own.
    using ChangeAnswer = std::optional<std::pair<FleetEdits::Operation, QString>>;
    using ChangeAsker =
        std::function<ChangeAnswer(const QString& header, int ships, const QString& shared)>;
    void setChangeAsker(ChangeAsker asker) { askChange_ = std::move(asker); }

    void btFleetChangeClick();
    void btFleetReviewClick();
    void btFleetDiscardClick();
    void btFleetExportClick();
    void btFleetImportClick();
    // Pins the ships of the selected cells to compare them, or unpins them.
    void pinSelected();
    PinPanel& pins() { return *pins_; }
    // A click on a ship's name opens it on the Ship page.
    void openShip(int sourceRow);
    // Every change of the page becomes a step of the window's one undo history.
    void setHistory(EditHistory& history);

private:
    void pageChanged();
    void refresh();
    void changesMade();
    void showStatus();
    void buildColumnChooser();
    // The edits differ from the last step's: a new step.
    void recordHistory();
    void showEdits(const FleetEdits& edits);
    // Every cell's text as shown, row by row; an import hid a row when it changed one the
    // filter hides.
    std::vector<std::vector<std::string>> shownTexts() const;
    bool importHidden(const std::vector<std::vector<std::string>>& before) const;

    Ui::TformSkarvel& ui_;
    Editor& editor_;
    Form& form_;
    Dialogs& dialogs_;
    TJournal& journal_;
    FleetCommands fleet_;
    FleetTableSource source_{fleet_};
    TableModel* model_;
    TableFilter* proxy_;
    FrozenColumn* frozen_ = nullptr;
    PinPanel* pins_ = nullptr;
    ChangeAsker askChange_;
    EditHistory* history_ = nullptr;
    FleetEdits recorded_{fleet_.table()}; // as after the last step
    bool restoring_ = false;
    QPointer<QWidget> shownPage_;
    bool stale_ = true; // the ship list was filled again since the table was read
};

} // namespace skarvel
