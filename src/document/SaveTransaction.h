#pragma once

#include "document/ChangeSet.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

class TJournal;
class Dialogs;
class DataSet;

enum class TransactionOutcome { Saved, NothingChanged, NotOpen, Cancelled };

// What the pages around a save do at its steps; every step may be left empty.
struct TransactionSteps {
    // Takes up what other programs changed and the program has not yet seen: new sections
    // numbered, the lists built again, the shown ship followed by its nickname.
    std::function<void()> takeUpOutsideChanges;
    // The user's look at the changes; false cancels the save.
    std::function<bool(const ChangeSet&)> review;
    // "Keep the file's": the file's value is now the loaded one, so that the page shows it
    // and holds no change the user never typed.
    std::function<void(const PendingChange&, const std::string& fileValue)> keepFileValue;
    std::function<void(const LineEdit&)> keepFileLines;
    // After the files were written and the marker removed, still within the save (the copies
    // beside the program).
    std::function<void(const std::vector<std::string>& written)> afterWrite;
};

inline constexpr std::string_view kWriteMine = "Write mine";
inline constexpr std::string_view kKeepTheFiles = "Keep the file's";

// The one way the program writes the game's files: outside changes taken up, the review,
// the question about values another program changed too (asked against a reading made after
// the last dialog), one verified backup and the marker, one batch written from that reading,
// the snapshot of exactly the files written. A failure throws with the text for the user.
class SaveTransaction {
public:
    SaveTransaction(TJournal& journal, Dialogs& dialogs, DataSet& dataSet, TransactionSteps steps);

    // label: the journal's name of the save ("SAVE_INI_VALUES"); cause: the backup's.
    TransactionOutcome run(std::string_view label, std::string_view cause, ChangeSet& changes);

    // After run: the files it wrote, and the backup it made.
    const std::vector<std::string>& written() const { return written_; }
    const std::string& backup() const { return backup_; }

private:
    void takeUp();
    // Stops the save before any write when a section is not there exactly once.
    void checkSections(const ChangeSet& changes) const;
    // Asks about every value another program changed since the load, until a reading after
    // the last answer finds none left; false: cancelled.
    bool settleConflicts(ChangeSet& changes);
    void write(ChangeSet& changes);
    // The failure of a write that stopped part way: which files hold the new values.
    [[noreturn]] void writeStopped(const std::exception& error,
                                   const std::vector<std::string>& paths, const ChangeSet& changes);

    TJournal& journal_;
    Dialogs& dialogs_;
    DataSet& dataSet_;
    TransactionSteps steps_;
    std::vector<std::string> written_;
    std::string backup_;
};

} // namespace skarvel
