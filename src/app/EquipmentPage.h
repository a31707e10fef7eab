#pragma once

#include "app/EquipmentTableSource.h"
#include "app/TableModel.h"
#include "tables/EquipmentCommands.h"
#include "tables/TableEdits.h"
#include "usage/RenameCommands.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <map>
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
class Form;
class FrozenColumn;
class PinPanel;
class TJournal;

// The EQUIPMENT page: a pick list of the mod's equipment kinds over one sortable, filterable
// table of the core's EquipmentCommands, the change dialog, pinned rows compared below it,
// where a nickname is used, and the page's buttons. Its changes are part of the document.
class EquipmentPage : public QObject {
public:
    EquipmentPage(Ui::TformSkarvel& ui, Editor& editor, Form& form, Dialogs& dialogs,
                  TJournal& journal, QObject* parent = nullptr);

    EquipmentCommands& equipment() { return equipment_; }
    PinPanel& pins() { return *pins_; }
    TableFilter& proxy() { return *proxy_; }

    using ChangeAnswer = std::optional<std::pair<TableOperation, QString>>;
    using ChangeAsker =
        std::function<ChangeAnswer(const QString& header, int rows, const QString& shared)>;
    void setChangeAsker(ChangeAsker asker) { askChange_ = std::move(asker); }
    // The nickname Where used asks about; tests give their own.
    using NameAsker = std::function<std::optional<QString>(const QString& proposed)>;
    void setNameAsker(NameAsker asker) { askName_ = std::move(asker); }
    // The new nickname "Rename…" asks for; tests give their own.
    void setRenameAsker(NameAsker asker) { askRename_ = std::move(asker); }

    void showKind(const QString& kind);
    void btEquipmentChangeClick();
    void btEquipmentReviewClick();
    void btEquipmentDiscardClick();
    void btEquipmentExportClick();
    void btEquipmentImportClick();
    void btEquipmentWhereUsedClick();
    // Renames the selected row's nickname (or the one named in the selected cell) in its
    // definition and every line naming it: one change of the document, one undo step.
    void btEquipmentRenameClick();
    RenameCommands& renames() { return renames_; }
    // Every line naming it, in a dialog; a line chosen there is shown on its page.
    void showWhereUsed(const QString& nickname);
    // Pins the rows of the selected cells, or unpins them when all are pinned.
    void pinSelected();
    void clearPins();
    void setHistory(EditHistory& history);

private:
    void pageChanged();
    void refresh();
    void kindChosen();
    void changesMade();
    void showStatus();
    void showComparison();
    void buildColumnChooser();
    void recordHistory();
    void showEdits(const TableEdits& edits);
    // The source rows of the selected cells, each once, and their columns.
    std::pair<std::vector<std::size_t>, std::vector<int>> selection() const;
    // The nickname the selection names: the row's, or the one in the selected cell.
    QString selectedNickname() const;

    Ui::TformSkarvel& ui_;
    Editor& editor_;
    Form& form_;
    Dialogs& dialogs_;
    TJournal& journal_;
    EquipmentCommands equipment_;
    RenameCommands renames_;
    EquipmentTableSource source_{equipment_};
    TableModel* model_;
    TableFilter* proxy_;
    FrozenColumn* frozen_ = nullptr;
    ChangeAsker askChange_;
    NameAsker askName_;
    NameAsker askRename_;
    EditHistory* history_ = nullptr;
    TableEdits recorded_;
    bool restoring_ = false;
    bool read_ = false; // the tables were read since the set was opened
    QPointer<QWidget> shownPage_;
    PinPanel* pins_ = nullptr; // of each kind, by nickname: they stay while the set is open
};

} // namespace skarvel
