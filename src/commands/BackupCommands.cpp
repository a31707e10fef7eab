#include "commands/BackupCommands.h"

#include "gamedata/DataSet.h"
#include "journal/Journal.h"
#include "platform/DataFolderLock.h"
#include "platform/Files.h"
#include "ports/Controls.h"
#include "ports/Dialogs.h"
#include "ports/Form.h"

namespace skarvel {

BackupCommands::BackupCommands(TJournal& journal, Form& form, Dialogs& dialogs, DataSet& dataSet,
                               SetControl set)
    : journal_(journal), form_(form), dialogs_(dialogs), dataSet_(dataSet), set_(std::move(set)) {}

GameBackups BackupCommands::backups() {
    return dataSet_.isOpen() ? dataSet_.backups()
                             : dataSet_.backupsOf(form_.text(controls::edPfad));
}

std::vector<BackupRow> BackupCommands::rows() {
    return backups().rows();
}

std::vector<FileDifference> BackupCommands::differences(const std::string& name) {
    GameBackups game = backups();
    const std::optional<Backup> backup = game.find(name);
    return backup ? game.differences(*backup) : std::vector<FileDifference>{};
}

std::string BackupCommands::folder() {
    GameBackups game = backups();
    // Without a game there is no folder of its own: all games' backups are shown.
    return directoryExists(game.store().game()) ? game.store().folder()
                                                : dataSet_.backupSettings().root;
}

void BackupCommands::showFailure(const std::string& text) {
    journal_.Write(text, JournalEntryKind::Error);
    dialogs_.message(MessageKind::Error, text);
}

void BackupCommands::btBackupNowClick() {
    journal_.Write("Sicherung soll erstellt werden", JournalEntryKind::System);
    GameBackups game = backups();
    const std::vector<Backup> before = game.store().list();
    try {
        const Backup backup = game.ensure("manual");
        if (!before.empty() && before.front().name == backup.name) {
            dialogs_.message(MessageKind::Information,
                             "The newest backup already holds these files; no new one was made.");
        } else {
            dialogs_.message(MessageKind::Information, "Backup made in " + backup.folder);
        }
    } catch (const std::exception& error) {
        showFailure("No backup could be made:\n\r" + std::string(error.what()));
    }
}

namespace {

constexpr std::string_view kChooseFirst = "Choose a backup in the list first.";

} // namespace

bool BackupCommands::restoreLocked(GameBackups& game, const Backup& backup) {
    // Another copy of the program with this game open would be written under.
    DataFolderLock lock;
    if (lock.take(game.files().dataDir) == DataFolderLock::Outcome::HeldElsewhere) {
        showFailure("This data set is open in another Skarvel window, so the backup " +
                    backup.name + " was not restored. Nothing was written.");
        return true;
    }
    const std::string failed = "The backup could not be restored:\n\r";
    try {
        game.restore(backup);
        dialogs_.message(MessageKind::Information, "The backup " + backup.name + " was restored.");
    } catch (const RestoreError& error) {
        if (error.restored().empty()) {
            showFailure(failed + error.what() + "\n\rThe data files were left as they were.");
            return true;
        }
        showFailure(failed + error.what() + "\n\rThe data set stays closed.");
        return false;
    } catch (const std::exception& error) {
        showFailure(failed + std::string(error.what()));
    }
    return true;
}

void BackupCommands::btBackupRestoreClick(const std::string& name) {
    if (name.empty()) {
        dialogs_.message(MessageKind::Information, kChooseFirst);
        return;
    }
    journal_.Write("Sicherung soll wiederhergestellt werden [" + name + "]",
                   JournalEntryKind::System);
    GameBackups game = backups();
    const std::optional<Backup> backup = game.find(name);
    if (!backup) {
        showFailure("The backup " + name + " is no longer there.");
        return;
    }
    // Refused before anything is closed or written.
    try {
        game.store().verify(*backup);
    } catch (const std::exception& error) {
        showFailure(std::string(error.what()) + "\n\rIt cannot be restored; nothing was written.");
        return;
    }
    std::string changes;
    for (const FileComparison& file : game.compare(*backup)) {
        if (!file.same) {
            changes += "\n\r" + file.file.path;
        }
    }
    if (changes.empty()) {
        dialogs_.message(MessageKind::Information,
                         "The game's files are the same as in this backup; nothing to restore.");
        return;
    }
    std::string question =
        "Restore the backup " + name + "?\n\rThese files will be replaced:" + changes;
    if (set_.unsavedChanges()) {
        question += "\n\r\n\rChanges that were not saved get lost.";
    }
    if (!isYes(dialogs_.message(MessageKind::Confirmation, question))) {
        journal_.Write("NEIN - Sicherung wird nicht wiederhergestellt", JournalEntryKind::System);
        return;
    }
    journal_.Write("JA - Sicherung wird wiederhergestellt", JournalEntryKind::System);
    const bool wasOpen = dataSet_.isOpen();
    if (wasOpen && !set_.close()) {
        return; // the close has shown why; the set stays open
    }
    const bool whole = restoreLocked(game, *backup);
    if (wasOpen && whole) {
        set_.reopen();
    } else if (wasOpen) {
        set_.keepClosed();
    }
}

void BackupCommands::btBackupDeleteClick(const std::string& name) {
    if (name.empty()) {
        dialogs_.message(MessageKind::Information, kChooseFirst);
        return;
    }
    journal_.Write("Sicherung soll gelöscht werden [" + name + "]", JournalEntryKind::System);
    GameBackups game = backups();
    // Newest first: the last one is the original. No comparison with the game is needed.
    const std::vector<Backup> all = game.store().list();
    for (const Backup& backup : all) {
        if (backup.name != name) {
            continue;
        }
        if (&backup == &all.back()) {
            dialogs_.message(MessageKind::Information,
                             "This is the original: the game's files as Skarvel first found "
                             "them. It is always kept.");
            return;
        }
        if (!isYes(
                dialogs_.message(MessageKind::Confirmation, "Delete the backup " + name + "?"))) {
            return;
        }
        try {
            game.store().remove(backup);
            journal_.Write("Sicherung gelöscht [" + backup.folder + "]", JournalEntryKind::Info);
        } catch (const std::exception& error) {
            showFailure(error.what());
        }
        return;
    }
    showFailure("The backup " + name + " is no longer there.");
}

} // namespace skarvel
