#pragma once

#include "document/Document.h"
#include "usage/RenamePlan.h"

#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

class TJournal;
class Editor;
namespace check {
struct ModFiles;
}

// "Rename...": the pending renames of nicknames, part of the document (reviewed, saved and
// undone with every other page's changes). Each rename is planned on the mod as it is on disk
// when it is made; every file it touches is one line edit of the change set, and the edits
// of one rename stand or fall together.
//
// Renames do not chain: a rename whose old or new name is either name of a pending rename is
// refused (save or undo that one first), so the pending renames never touch each other's
// names and each plan holds however the others are written.
class RenameCommands : public ChangeSource {
public:
    // The lines of one file a rename changes.
    struct FileLines {
        std::string path;         // inside the game folder
        SectionRef file;          // SectionRef::wholeFile of that file
        std::vector<int> lines;   // 1-based, ascending
        std::string loadedLines;  // their texts as planned, each ended by "\n"
        std::string renamedLines; // and as the rename leaves them
    };
    struct Rename {
        std::string from;
        std::string to;
        std::vector<usage::LineChange> lines; // as planned
        std::vector<FileLines> files;
    };

    RenameCommands(TJournal& journal, Editor& editor);
    RenameCommands(const RenameCommands&) = delete;
    RenameCommands& operator=(const RenameCommands&) = delete;

    // Reads the mod, plans the rename and adds it after the pending ones. The refusal (nothing
    // added) or empty. A redo makes the rename again.
    std::string rename(std::string_view from, std::string_view to);
    // Takes the last pending rename back (for the page's undo step); nothing when none.
    void undoLast();
    const std::vector<Rename>& pending() const { return pending_; }

    // The renames' part of the document.
    bool hasChanges() const override { return !pending_.empty(); }
    void addTo(ChangeSet& changes) override;
    void keepFileValue(const PendingChange&, const std::string&) override {}
    void saved() override { pending_.clear(); }
    void discard() override { pending_.clear(); }

private:
    // The plan's files as line edits may reach them, or the refusal.
    std::string placeFiles(Rename& rename, const check::ModFiles& mod) const;

    TJournal& journal_;
    Editor& editor_;
    std::vector<Rename> pending_;
    Document::Registration registration_;
};

} // namespace skarvel
