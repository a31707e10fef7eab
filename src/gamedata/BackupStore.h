#pragma once

#include "gamedata/BackupManifest.h"
#include "gamedata/ManifestCache.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

class FileLock;

// A backup could not be made, read or checked; the text names the file and the cause.
class BackupError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One complete backup: <game folder>/<yyyy-mm-dd_hh-mm-ss>[-n]/ with its manifest.
struct Backup {
    std::string name;
    std::string folder; // full path, ending without "/"
    BackupManifest manifest;
    std::int64_t instant = 0; // microseconds since 1970, UTC, from the manifest
};

// A file to back up: its path below the data folder and its bytes.
struct FileContent {
    std::string path;
    std::string bytes;
};

// The time a backup is made at; tests set it.
using BackupClock = std::function<std::chrono::system_clock::time_point()>;

// The backups of one game, in <root>/<game folder name>-<8 hex digits of the SHA-256 of its
// canonical path>/. Each file's bytes are stored once, under objects/<2 hex>/<62 hex> of
// their SHA-256; a backup is a folder holding only its manifest, which names the hashes.
// Objects are written to a temporary file, synced, renamed and read back; the manifest is
// written into a hidden folder, synced and renamed into place, so every folder listed is
// whole. Older backups hold their files beside the manifest and are read as they are.
// Adding a backup and removing anything happen under the store's file lock, so two windows
// never remove an object a backup being made names; reading needs no lock.
class BackupStore {
public:
    BackupStore(std::string root, const std::string& gameFolder, BackupClock clock = {});

    // "<name>-<sha8>" of the game folder.
    static std::string gameKey(const std::string& canonicalGameFolder);
    static std::string canonicalFolder(const std::string& gameFolder);

    const std::string& folder() const { return folder_; }
    const std::string& game() const { return game_; }

    // Newest first by the UTC time in the manifests; folders without a readable manifest
    // are left out.
    std::vector<Backup> list() const;

    // Re-reads every file and compares size and hash; throws BackupError naming the first
    // file that fails.
    void verify(const Backup& backup) const;
    // Where the bytes of one file of the backup lie.
    std::string pathOf(const Backup& backup, const BackupFile& file) const;
    // The bytes of one file of the backup.
    std::string read(const Backup& backup, const BackupFile& file) const;
    // The first bytes of one file of the backup, at most `count`.
    std::string peek(const Backup& backup, const BackupFile& file, std::size_t count) const;

    // A new, verified backup of the files (described: their describe(), when known). Throws
    // BackupError with the cause.
    Backup add(const std::vector<FileContent>& files, std::string_view cause,
               std::string_view version, std::vector<BackupFile> described = {});

    // Removes a backup; the oldest one (the game as first found) is refused with BackupError.
    void remove(const Backup& backup);
    // Removes the backups that retention by age (see keptByAge) lets go, except those named
    // in `kept`, then the objects no manifest names. Returns the names removed.
    std::vector<std::string> prune(int days, const std::vector<std::string>& kept);
    // Removes the objects that no manifest names. Returns how many.
    int removeUnusedObjects();

    std::chrono::system_clock::time_point now() const;

private:
    std::string objectPath(const std::string& sha256) const;
    void storeObject(const FileContent& file, const std::string& sha256);
    // Waits for the store's lock (throws BackupError when another window keeps it too long)
    // and removes the temporaries a backup or delete cut short left.
    void lock(FileLock& held) const;
    // removeUnusedObjects under a lock already held.
    int removeUnused();
    void removeFolder(const Backup& backup);

    std::string root_;
    std::string game_;
    std::string folder_;
    BackupClock clock_;
    // Shared by copies of the store: they list the same folder.
    std::shared_ptr<ManifestCache> manifests_ = std::make_shared<ManifestCache>();
};

// The files as a manifest lists them: path, size and SHA-256.
std::vector<BackupFile> describe(const std::vector<FileContent>& files);

} // namespace skarvel
