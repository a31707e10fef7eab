#pragma once

#include "gamedata/BackupManifest.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

// A backup could not be made, read or checked; the text names the file and the cause.
class BackupError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One complete backup: <game folder>/<yyyy-mm-dd_hh-mm-ss>[-n]/.
struct Backup {
    std::string name;
    std::string folder; // full path, ending without "/"
    BackupManifest manifest;
};

// A file to back up: its path below the data folder and its bytes.
struct FileContent {
    std::string path;
    std::string bytes;
};

// The backups of one game, in <root>/<game folder name>-<8 hex digits of the SHA-256 of its
// canonical path>/. A backup is written into a hidden temporary folder, synced, read back
// and checked against its hashes, and only then renamed into place, so that every folder
// listed is whole.
class BackupStore {
public:
    BackupStore(std::string root, const std::string& gameFolder);

    // "<name>-<sha8>" of the game folder.
    static std::string gameKey(const std::string& canonicalGameFolder);
    static std::string canonicalFolder(const std::string& gameFolder);

    const std::string& folder() const { return folder_; }
    const std::string& game() const { return game_; }

    // Newest first; folders without a readable manifest are left out.
    std::vector<Backup> list() const;

    // Re-reads every file and compares size and hash; throws BackupError naming the first
    // file that fails.
    void verify(const Backup& backup) const;
    // The bytes of one file of the backup.
    std::string read(const Backup& backup, const BackupFile& file) const;

    // A new, verified backup of the files. Throws BackupError with the cause.
    Backup add(const std::vector<FileContent>& files, std::string_view cause,
               std::string_view version);

    // Removes a backup; the oldest one (the game as first found) is refused with BackupError.
    void remove(const Backup& backup);
    // Keeps the newest `kept` backups and the oldest one; 0 keeps all. Returns the names
    // removed.
    std::vector<std::string> prune(int kept);

private:
    void removeFolder(const Backup& backup);

    std::string root_;
    std::string game_;
    std::string folder_;
};

// The files as a manifest lists them: path, size and SHA-256.
std::vector<BackupFile> describe(const std::vector<FileContent>& files);

} // namespace skarvel
