#pragma once

#include "gamedata/BackupStore.h"
#include "gamedata/DataFileSet.h"
#include "gamedata/SaveMarker.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

class TJournal;

struct BackupSettings {
    std::string root;    // the folder of every game's backups
    std::string state;   // the folder of the interrupted-save marker
    int kept = 20;       // newest backups kept besides the oldest; 0 keeps all
    std::string version; // written into each manifest
};

// The user's folders, 20 kept and the running program's version.
BackupSettings defaultBackupSettings();

// How one file of a backup compares with the game's file as it is now.
struct FileComparison {
    BackupFile file;
    bool same = false;
};

// One backup as the Backup page lists it.
struct BackupRow {
    Backup backup;
    std::string shownTime; // "2026-12-08 10:31:05"
    bool original = false; // the oldest: the game as first found
    std::uint64_t totalSize = 0;
    std::vector<FileComparison> files;
};

// The backups of the game whose data files are `files`: made before the game's files are
// written, compared with them, and written back on a restore. Files are backed up as they
// are when the data set is closed: the section numbers of an open set are taken out in
// memory, a compressed file stays compressed.
class GameBackups {
public:
    GameBackups(TJournal& journal, BackupSettings settings, const std::string& gameFolder,
                DataFileSet files);

    BackupStore& store() { return store_; }
    SaveMarker& marker() { return marker_; }
    const DataFileSet& files() const { return files_; }

    // The six files as they would be after a close, with their paths below the data folder.
    std::vector<FileContent> closedForm() const;

    // A verified backup of the files as they are now: the newest one when it holds the same
    // files and passes its check, else a new one, after which old ones are removed.
    // Journals what it did. Throws BackupError naming the cause.
    Backup ensure(std::string_view cause);

    std::vector<FileComparison> compare(const Backup& backup) const;
    // Every backup, newest first, each compared with the game's files.
    std::vector<BackupRow> rows() const;
    // The backup of that name; nullopt when there is none.
    std::optional<Backup> find(const std::string& name) const;

    // Checks the backup, backs up the files as they are now (cause "restore") and writes
    // back every file whose bytes differ, each one atomically and journaled. Throws
    // BackupError before anything is written when the backup fails its check.
    void restore(const Backup& backup);

private:
    std::string pathInGame(const std::string& relative) const;
    // The game's files now, hashed in their closed form.
    std::vector<BackupFile> currentFiles() const;
    static std::vector<FileComparison> compareWith(const Backup& backup,
                                                   const std::vector<BackupFile>& current);

    TJournal& journal_;
    BackupSettings settings_;
    BackupStore store_;
    SaveMarker marker_;
    DataFileSet files_;
};

} // namespace skarvel
