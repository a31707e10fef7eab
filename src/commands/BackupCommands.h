#pragma once

#include "gamedata/GameBackups.h"

#include <functional>
#include <string>
#include <vector>

namespace skarvel {

class TJournal;
class Form;
class Dialogs;
class DataSet;

// The commands of the Backup page, for the game of the open set or, with none open, the
// game folder on the Options page. Each failure is shown to the user and journaled.
class BackupCommands {
public:
    struct SetControl {
        std::function<bool()> unsavedChanges;
        // Closes the open set; false when files kept their numbers (the set stays open).
        std::function<bool()> close;
        std::function<void()> reopen;
        // The set stays closed: the window shows no set open.
        std::function<void()> keepClosed;
    };

    BackupCommands(TJournal& journal, Form& form, Dialogs& dialogs, DataSet& dataSet,
                   SetControl set);

    std::vector<BackupRow> rows();
    std::string folder();
    // Each file of the backup of that name against the game's file now; empty when there
    // is no such backup.
    std::vector<FileDifference> differences(const std::string& name);

    void btBackupNowClick();
    void btBackupRestoreClick(const std::string& name);
    void btBackupDeleteClick(const std::string& name);

private:
    GameBackups backups();
    void showFailure(const std::string& text);
    // Restores under the lock of the game's data folder; the set is closed. False when the
    // restore stopped with some files replaced: a set of those is not opened again.
    bool restoreLocked(GameBackups& game, const Backup& backup);

    TJournal& journal_;
    Form& form_;
    Dialogs& dialogs_;
    DataSet& dataSet_;
    SetControl set_;
};

} // namespace skarvel
