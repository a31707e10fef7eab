#pragma once

#include "gamedata/BackupStore.h"
#include "gamedata/DataFileSet.h"
#include "gamedata/FormCache.h"
#include "gamedata/LineDiff.h"
#include "gamedata/SaveMarker.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

class TJournal;

// A restore that failed. restored() lists the files it replaced before it stopped (in the
// game's folder); when it is empty, every file of the game is as it was.
class RestoreError : public BackupError {
public:
    RestoreError(const std::string& cause, std::vector<std::string> restored,
                 std::vector<std::string> notRestored);

    const std::vector<std::string>& restored() const { return restored_; }
    const std::vector<std::string>& notRestored() const { return notRestored_; }

private:
    std::vector<std::string> restored_;
    std::vector<std::string> notRestored_;
};

struct BackupSettings {
    std::string root;    // the folder of every game's backups
    std::string state;   // the folder of the interrupted-save marker
    int days = 30;       // days of daily backups kept; 0 keeps all
    std::string version; // written into each manifest
    BackupClock clock;   // the system's when empty
};

// The user's folders, 30 days and the running program's version.
BackupSettings defaultBackupSettings();

// How one file of a backup compares with the game's file as it is now.
struct FileComparison {
    BackupFile file;
    bool same = false;         // the same bytes
    bool sameUnpacked = false; // compressed in the backup, its text the same as the game's
};

// One file of a backup against the game's file now: its state as the page shows it and,
// when it differs, the lines from the game's file ('-') to the backup's ('+').
struct FileDifference {
    std::string path;
    std::string state; // "same", "same (unpacked)", "differs", "missing in the game"
    std::vector<DiffLine> lines;
};

// One backup as the Backup page lists it.
struct BackupRow {
    Backup backup;
    std::string shownTime; // local time now, "2026-12-08 10:31:05"
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
    // Every file of the backup against the game's file now.
    std::vector<FileDifference> differences(const Backup& backup) const;
    // Every backup, newest first, each compared with the game's files.
    std::vector<BackupRow> rows() const;
    // The backup of that name; nullopt when there is none.
    std::optional<Backup> find(const std::string& name) const;

    // Checks the backup, backs up the files as they are now (cause "restore") and writes
    // back every file whose bytes differ: all into temporaries beside their files first,
    // then renamed over them one by one, each journaled; old backups are removed only
    // afterwards, never the one restored. Throws RestoreError; unless a rename failed part
    // way, nothing of the game's was changed.
    void restore(const Backup& backup);

private:
    // ensure without removing old backups.
    Backup ensureKept(std::string_view cause);
    // describe(contents), hashing only the files whose bytes differ from the last time.
    std::vector<BackupFile> describeKnown(const std::vector<FileContent>& contents);
    // Removes what retention lets go, never `restored` nor the marker's backup.
    void prune(const std::string& restored);
    std::string pathInGame(const std::string& relative) const;
    // The game's files now in their closed form; a file that cannot be read is left out.
    // With the files of the backups compared that the six and the trade files are not.
    std::vector<FileContent> currentContents(const std::vector<Backup>& compared = {}) const;
    FormCache hashes_; // the SHA-256 of each file's closed form
    mutable FormCache closedForms_;
    // Compressed in the backup and, unpacked, the same text as `current`; remembered per hash.
    bool sameWhenUnpacked(const Backup& backup, const BackupFile& file, const std::string& current,
                          std::map<std::string, bool>& known) const;
    std::vector<FileComparison> compareWith(const Backup& backup,
                                            const std::vector<FileContent>& current,
                                            const std::vector<BackupFile>& described,
                                            std::map<std::string, bool>& known) const;

    TJournal& journal_;
    BackupSettings settings_;
    BackupStore store_;
    SaveMarker marker_;
    DataFileSet files_;
};

} // namespace skarvel
