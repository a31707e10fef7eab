#pragma once

#include "gamedata/DataSet.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace skarvel {

// Where a value lives: a section of a repeated kind found by its nickname, or the first
// section of a name, as the profile functions find it.
struct SectionRef {
    SettingsFile file = SettingsFile::ShipArch;
    std::string kind;     // "Ship", "Good", "Power", "Engine"; or the section's own name
    std::string nickname; // by nickname only: the section's nickname
    bool byNickname = false;
    std::string idKey; // the key that holds the nickname; empty: "nickname"
    // file is SettingsFile::ModFile: the path of that file of the mod (an equipment file
    // freelancer.ini names), inside the game folder.
    std::string path;

    static SectionRef named(SettingsFile file, std::string_view name);
    static SectionRef withNickname(SettingsFile file, std::string_view kind,
                                   std::string_view nickname);
    // A section named by another key ([BaseGood] by its base).
    static SectionRef withKey(SettingsFile file, std::string_view kind, std::string_view idKey,
                              std::string_view value);
    // A section of a file of the mod that is none of the set's (SettingsFile::ModFile).
    static SectionRef inModFile(std::string path, std::string_view kind, std::string_view nickname);
    // The file itself, for edits of lines in many of its sections: an empty kind. Its file is
    // checked before any write, no section is looked for. path: of a SettingsFile::ModFile.
    static SectionRef wholeFile(SettingsFile file, std::string path = {});
    bool operator==(const SectionRef&) const = default;
};

// One value the user changed since the load: the save, the review before it and the question
// about changes made outside all read the same list.
struct PendingChange {
    PendingChange() = default;
    PendingChange(SectionRef section_, std::string key_, std::string loaded_, std::string value_,
                  std::string field_, std::string line_ = {})
        : section(std::move(section_)), key(std::move(key_)), loaded(std::move(loaded_)),
          value(std::move(value_)), field(std::move(field_)), line(std::move(line_)) {}

    SectionRef section;
    std::string key;
    std::string loaded; // the key's text at the load
    std::string value;  // the text to write
    std::string field;  // the control that shows it: a field, a list or a table
    // Among the section's keys of that name, the one whose value starts with this field (a
    // MarketGood line by its good); empty: the first key of the name.
    std::string line;

    bool operator==(const PendingChange&) const = default;
};

// A section that changes go to, but that the file as it is now does not hold exactly once;
// or a file that changes go to but that cannot take them as it is now.
struct SectionProblem {
    SectionRef section;
    std::string path;
    std::size_t found = 0;         // 0: missing; 2 or more: the nickname is shared
    std::vector<std::string> keys; // the values that would go there
    // Not empty: the file itself, as dataFileProblem says ("is missing", "is a FIFO, not a
    // regular file", "is damaged: ..."); its sections are not looked for.
    std::string fileProblem;
};

// Checks every file the changes (and alsoNeeded) go to, each once, before any is written:
// one that is missing, not a regular file, damaged (empty, a NUL byte) or compressed (but
// market_commodities.ini, which the save unpacks) is a problem, with the keys meant for it.
std::vector<SectionProblem> fileProblems(const DataSet& dataSet,
                                         const std::vector<PendingChange>& changes,
                                         const std::vector<SectionRef>& alsoNeeded = {});

// The file problems, then the section of every change, and every extra section (but those of
// the whole file), in the other files as they are on disk now. Empty when each is there
// exactly once.
std::vector<SectionProblem> sectionProblems(const DataSet& dataSet,
                                            const std::vector<PendingChange>& changes,
                                            const std::vector<SectionRef>& alsoNeeded = {});

// The user's message: nothing was written, and which file cannot be written or lacks which
// section.
std::string describeProblems(const std::vector<SectionProblem>& problems);

// A change whose key another program changed too: the file holds another text than at the
// load.
struct OutsideConflict {
    PendingChange change;
    std::string path;
    std::string fileValue; // empty when the key is gone
};

// The changes whose key the file as it is now holds with another text than at the load.
std::vector<OutsideConflict> outsideConflicts(const DataSet& dataSet,
                                              const std::vector<PendingChange>& changes);

// The question about them: one line per key (file, section, key, the file's value, the user's).
std::string describeConflicts(const std::vector<OutsideConflict>& conflicts);

// Writes each change into its section as found now, in order, through the settings-file
// objects (each write journaled). Meant inside a WriteBatch; a section that is not there
// exactly once throws before its value is written.
void writeChanges(const DataSet& dataSet, const std::vector<PendingChange>& changes);

} // namespace skarvel
