#pragma once

#include "document/Document.h"
#include "tables/CsvImportFile.h"
#include "tables/FleetEdits.h"
#include "tables/FleetTable.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

class TJournal;
class Form;
class Dialogs;
class Editor;

// The Fleet page's commands: the table of every ship and its pending changes, which are part
// of the document (saved, reviewed and undone with every other page's).

class FleetCommands : public ChangeSource {
public:
    FleetCommands(TJournal& journal, Form& form, Dialogs& dialogs, Editor& editor);
    FleetCommands(const FleetCommands&) = delete;
    FleetCommands& operator=(const FleetCommands&) = delete;

    // Reads the table again from the open set (empty when it is closed); pending changes
    // are dropped.
    void refresh();
    const FleetTable& table() const { return table_; }
    FleetEdits& edits() { return edits_; }
    const FleetEdits& edits() const { return edits_; }

    // "Review and save…": the document's one save. True when nothing is left to save.
    bool btFleetReviewClick();
    void btFleetDiscardClick();

    // The review's text of this page's changes: the number of ships, then the line
    // differences of each file.
    std::string reviewText();

    // The document's save without its question, as the tool bar's after it; then the table
    // is read again. Throws, having written nothing, when a section is missing or shared.
    bool save();

    // The page's part of the document.
    bool hasChanges() const override { return !edits_.empty(); }
    void addTo(ChangeSet& changes) override;
    void keepFileValue(const PendingChange& change, const std::string& fileValue) override;
    void saved() override { refresh(); }
    void discard() override { edits_.clear(); }

    // "Export CSV…": the rows and columns given, in their order, to the file. False, the
    // user told why, when it could not be written.
    bool exportCsv(const std::string& path, const std::vector<std::size_t>& rows,
                   const std::vector<std::size_t>& columns, bool byteOrderMark = false) const;
    // "Import CSV…": every cell that differs from the value read becomes a pending change;
    // the message for the user counts them and lists what was left alone. Nothing, the user
    // told why, when the file cannot be read or is above kCsvFileCap.
    std::optional<std::string> importCsv(const std::string& path);

private:
    TJournal& journal_;
    Form& form_;
    Dialogs& dialogs_;
    Editor& editor_;
    FleetTable table_;
    FleetEdits edits_{table_};
    Document::Registration registration_;
};

} // namespace skarvel
