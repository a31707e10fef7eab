#pragma once

#include "ships/FleetEdits.h"
#include "ships/FleetTable.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

class TJournal;
class Form;
class Dialogs;
class Editor;

// The Fleet page's commands: the table of every ship, its pending changes, their review and
// their save through the one write path, and the line between them and the Ship page's
// unsaved changes.
class FleetCommands {
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

    // The page is about to open: unsaved Ship page changes are saved or dropped first.
    // False keeps the page shut.
    bool enterPage();
    // The page, or the data set, is about to be left: pending changes are saved or dropped
    // first. False stays.
    bool leavePage();

    // "Review and save…": the changes file by file; Save writes them. True when saved.
    bool btFleetReviewClick();
    void btFleetDiscardClick();

    // The review's text: the number of ships, then the line differences of each file.
    std::string reviewText() const;

    // Writes the pending changes in one batch after one backup, then reads the table again.
    // Throws, having written nothing, when a section is missing or shared.
    bool save();

    // "Export CSV…": the rows and columns given, in their order, to the file.
    void exportCsv(const std::string& path, const std::vector<std::size_t>& rows,
                   const std::vector<std::size_t>& columns) const;
    // "Import CSV…": every differing cell becomes a pending change; the message for the user
    // counts them and lists what was left alone.
    std::string importCsv(const std::string& path);

private:
    // Changed by another program too: the user decides. False: cancelled.
    bool settleOutsideConflicts(std::vector<PendingChange>& changes);

    TJournal& journal_;
    Form& form_;
    Dialogs& dialogs_;
    Editor& editor_;
    FleetTable table_;
    FleetEdits edits_{table_};
};

} // namespace skarvel
