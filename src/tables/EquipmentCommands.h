#pragma once

#include "document/Document.h"
#include "tables/EquipmentCells.h"
#include "tables/EquipmentTable.h"
#include "tables/TableEdits.h"
#include "usage/WhereUsed.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace skarvel {

class TJournal;
class Dialogs;
class Editor;
namespace check {
struct ModFiles;
}

// The EQUIPMENT page's commands: a table of every equipment kind of the open mod and their
// pending changes, which are part of the document (saved, reviewed and undone with every
// other page's). One set of edits for every kind: a munition changed from a gun's row is the
// munition's change in its own table too.
class EquipmentCommands : public ChangeSource {
public:
    EquipmentCommands(TJournal& journal, Dialogs& dialogs, Editor& editor);
    EquipmentCommands(const EquipmentCommands&) = delete;
    EquipmentCommands& operator=(const EquipmentCommands&) = delete;

    // Reads every equipment file of the open set's game again (nothing when it is closed);
    // pending changes are dropped. A file that cannot be read is journaled and left out.
    void refresh();
    // Told after every read (a save reads the tables again, whichever page saved).
    void setOnRefresh(std::function<void()> onRefresh) { onRefresh_ = std::move(onRefresh); }
    const EquipmentTables& tables() const { return tables_; }
    // The kind's cells for the table engine; kind < tables().kinds().size().
    EquipmentCells cells(std::size_t kind) const;

    TableEdits& edits() { return edits_; }
    const TableEdits& edits() const { return edits_; }
    std::string shown(std::size_t kind, std::size_t row, std::size_t column) const;
    bool edited(std::size_t kind, std::size_t row, std::size_t column) const;
    std::string set(std::size_t kind, std::size_t row, std::size_t column, std::string_view typed);
    BulkChange apply(std::size_t kind, const std::vector<std::size_t>& rows, std::size_t column,
                     TableOperation operation, std::string_view operand);
    // The rows of every kind, but those given, whose value changes with theirs (the other
    // guns that fire a munition), as "Gun li_gun02".
    std::vector<std::string> sharing(std::size_t kind, const std::vector<std::size_t>& rows,
                                     std::size_t column) const;

    void discardClick();

    // Every line of the mod's files that names the nickname, letter case aside; the index of
    // every name is built at the first question after a read.
    std::vector<usage::Use> whereUsed(std::string_view nickname);
    // The game folder the tables were read from, ending with "/"; empty when none was.
    std::string gameFolder() const;

    // "Export CSV…": the rows and columns given (the nickname always first) as shown. False,
    // the user told why, when it could not be written.
    bool exportCsv(const std::string& path, std::size_t kind, const std::vector<std::size_t>& rows,
                   const std::vector<std::size_t>& columns, bool byteOrderMark = false) const;

    // "Import CSV…" into one kind's table: every cell that differs from the value read becomes
    // a pending change, as typing it would; the message for the user counts them and lists
    // what was left alone. Nothing, the user told why, when the file cannot be read.
    std::optional<std::string> importCsv(const std::string& path, std::size_t kind);

    // The page's part of the document.
    bool hasChanges() const override { return !edits_.empty(); }
    void addTo(ChangeSet& changes) override;
    void keepFileValue(const PendingChange& change, const std::string& fileValue) override;
    void saved() override { refresh(); }
    void discard() override { edits_.clear(); }

private:
    void read();

    TJournal& journal_;
    Dialogs& dialogs_;
    Editor& editor_;
    std::shared_ptr<const check::ModFiles> mod_;
    EquipmentTables tables_;
    std::unique_ptr<usage::UsageIndex> usage_;
    std::unordered_map<std::string, SettingsFile> setFiles_; // path -> the set's file it is
    TableEdits edits_;
    std::function<void()> onRefresh_;
    Document::Registration registration_;
};

} // namespace skarvel
