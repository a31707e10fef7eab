#pragma once

#include "gamedata/IniEngine.h"
#include "gamedata/PendingChanges.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

// A change of whole lines that keys cannot express (a ship's hp_type levels): the file's
// bytes in, the edited bytes out. The review and the write run the same edit.
struct LineEdit {
    // Must be there exactly once when the save writes; SectionRef::wholeFile: lines of any of
    // the file's sections (a rename), only the file is checked.
    SectionRef section;
    std::string owner; // what the lines belong to, for the conflict question
    // What the lines are, for that question; empty: the hardpoint levels of the owner.
    std::string what;
    // Not empty: the edits of that group stand or fall together (a rename's files), so
    // keeping the file's lines of one drops them all.
    std::string group;
    std::function<std::string(const std::string& bytes)> apply;
    // The lines the edit is about as the file holds them in those bytes, and as they were
    // when the user's values were read: another program's change in between is a conflict.
    std::function<std::string(const ini::ParsedIni& file)> linesIn;
    std::string loadedLines;
    // Runs inside the save's batch instead of apply when given (it journals its own lines).
    std::function<void()> write;
    // The user kept the file's lines: the page that holds the edit drops it. Without one the
    // transaction's keepFileLines step is told.
    std::function<void()> keepFile;
};

// The values of one page or group, under the name its save journals ("Werte für <name>").
struct ChangeGroup {
    std::string name;
    std::vector<PendingChange> changes;
};

// Every change the user made to the mod since it was read, whichever page made it: what one
// review shows, one save writes and the question about outside changes reads.
struct ChangeSet {
    std::vector<ChangeGroup> groups;
    std::vector<LineEdit> lineEdits; // written after the values, in the file they left

    bool empty() const;
    std::vector<PendingChange> all() const;
    // The sections the line edits need, for the check before any write.
    std::vector<SectionRef> lineSections() const;
    // Takes the change out wherever it is: the user kept the file's value.
    void erase(const PendingChange& change);
    // The group of that name, added at the end when there is none yet.
    ChangeGroup& group(std::string_view name);
};

// A page whose changes are its own list rather than its fields (the Fleet page, the prices):
// the document asks it for them and tells it what became of them.
class ChangeSource {
public:
    virtual ~ChangeSource() = default;
    virtual bool hasChanges() const = 0;
    virtual void addTo(ChangeSet& changes) = 0;
    // The file's value became the loaded one (the user kept it): the page shows it.
    virtual void keepFileValue(const PendingChange& change, const std::string& fileValue) = 0;
    // The files were written (or read again): the page reads them anew.
    virtual void saved() = 0;
    // The pending changes are dropped.
    virtual void discard() = 0;
};

} // namespace skarvel
