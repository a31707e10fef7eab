#include "gamedata/BackupStore.h"

#include "platform/Files.h"
#include "platform/Sha256.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <utility>

namespace skarvel {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kTemporaryPrefix = ".tmp-";
constexpr std::string_view kDeletedPrefix = ".del-";
// A temporary folder this old was left by a killed backup, not one being written.
constexpr auto kAbandonedAfter = std::chrono::minutes(10);

// "2026-12-08_10-31-05" sorts by time; a second backup of the same second is "...-2".
struct NameOrder {
    std::string stamp;
    long suffix = 1;
    auto operator<=>(const NameOrder&) const = default;
};

NameOrder orderOf(const std::string& name) {
    constexpr std::size_t kStampLength = 19;
    if (name.size() > kStampLength + 1 && name[kStampLength] == '-') {
        return {name.substr(0, kStampLength),
                std::strtol(name.c_str() + kStampLength + 1, nullptr, 10)};
    }
    return {name, 1};
}

struct Stamp {
    std::string name; // for the folder
    std::string iso;  // for the manifest
};

Stamp localStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char name[32];
    char iso[40];
    std::strftime(name, sizeof name, "%Y-%m-%d_%H-%M-%S", &local);
    std::strftime(iso, sizeof iso, "%Y-%m-%dT%H:%M:%S%z", &local);
    std::string isoText = iso;
    if (isoText.size() >= 5) {
        isoText.insert(isoText.size() - 2, ":"); // +0100 -> +01:00
    }
    return {name, isoText};
}

std::string causeText(const std::error_code& error) {
    return error.message();
}

// Writes the files and the manifest below folder, syncing every folder made.
void writeBackupFiles(const std::string& folder, const std::vector<FileContent>& files,
                      const BackupManifest& manifest) {
    std::vector<std::string> folders{folder};
    for (const FileContent& file : files) {
        const fs::path target = fs::path(folder) / file.path;
        std::error_code error;
        fs::create_directories(target.parent_path(), error);
        if (error) {
            throw BackupError("The folder " + target.parent_path().string() +
                              " cannot be made: " + causeText(error));
        }
        writeNewFile(target.string(), file.bytes);
        folders.push_back(target.parent_path().string());
    }
    writeNewFile(folder + "/" + std::string(kManifestName), manifestToJson(manifest));
    std::sort(folders.begin(), folders.end());
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
    for (const std::string& made : folders) {
        if (!syncFolder(made)) {
            throw BackupError("The folder " + made + " cannot be synced to disk");
        }
    }
}

void removeAbandonedTemporaries(const std::string& folder) {
    std::error_code error;
    const auto now = fs::file_time_type::clock::now();
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with(kTemporaryPrefix) && !name.starts_with(kDeletedPrefix)) {
            continue;
        }
        std::error_code ignored;
        const auto changed = fs::last_write_time(entry.path(), ignored);
        if (!ignored && now - changed > kAbandonedAfter) {
            fs::remove_all(entry.path(), ignored);
        }
    }
}

} // namespace

BackupStore::BackupStore(std::string root, const std::string& gameFolder)
    : root_(std::move(root)), game_(canonicalFolder(gameFolder)),
      folder_((fs::path(root_) / gameKey(game_)).string()) {}

std::string BackupStore::canonicalFolder(const std::string& gameFolder) {
    std::error_code error;
    fs::path path = fs::weakly_canonical(fs::path(gameFolder), error);
    if (error) {
        path = fs::absolute(fs::path(gameFolder), error).lexically_normal();
    }
    std::string text = path.string();
    while (text.size() > 1 && text.back() == '/') {
        text.pop_back();
    }
    return text;
}

std::string BackupStore::gameKey(const std::string& canonicalGameFolder) {
    std::string name = fs::path(canonicalGameFolder).filename().string();
    if (name.empty()) {
        name = "game";
    }
    return name + "-" + sha256Hex(canonicalGameFolder).substr(0, 8);
}

std::vector<Backup> BackupStore::list() const {
    std::vector<Backup> backups;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder_, error)) {
        const std::string name = entry.path().filename().string();
        std::error_code ignored;
        if (name.starts_with('.') || !entry.is_directory(ignored)) {
            continue;
        }
        try {
            const std::string manifest =
                readFile(entry.path().string() + "/" + std::string(kManifestName));
            backups.push_back({name, entry.path().string(), manifestFromJson(manifest)});
        } catch (const std::exception&) {
            // Not one of ours, or damaged: it is not offered.
        }
    }
    std::sort(backups.begin(), backups.end(),
              [](const Backup& a, const Backup& b) { return orderOf(a.name) > orderOf(b.name); });
    return backups;
}

std::string BackupStore::read(const Backup& backup, const BackupFile& file) const {
    return readFile(backup.folder + "/" + file.path);
}

void BackupStore::verify(const Backup& backup) const {
    for (const BackupFile& file : backup.manifest.files) {
        std::string bytes;
        try {
            bytes = read(backup, file);
        } catch (const std::exception& error) {
            throw BackupError("The backup " + backup.name + " is damaged: " + error.what());
        }
        if (bytes.size() != file.size || sha256Hex(bytes) != file.sha256) {
            throw BackupError("The backup " + backup.name + " is damaged: " + file.path +
                              " is not the file that was backed up");
        }
    }
}

Backup BackupStore::add(const std::vector<FileContent>& files, std::string_view cause,
                        std::string_view version) {
    std::error_code error;
    fs::create_directories(folder_, error);
    if (error) {
        throw BackupError("The backup folder " + folder_ + " cannot be made: " + causeText(error));
    }
    removeAbandonedTemporaries(folder_);

    std::string temporary = folder_ + "/" + std::string(kTemporaryPrefix) + "XXXXXX";
    if (::mkdtemp(temporary.data()) == nullptr) {
        const int failure = errno;
        throw BackupError("The backup folder " + folder_ +
                          " cannot be written: " + std::strerror(failure));
    }
    const Stamp stamp = localStamp();
    Backup backup{
        std::string(), temporary, {stamp.iso, std::string(version), std::string(cause), game_, {}}};
    backup.manifest.files = describe(files);
    try {
        try {
            writeBackupFiles(temporary, files, backup.manifest);
        } catch (const BackupError&) {
            throw;
        } catch (const std::exception& written) {
            throw BackupError(written.what());
        }
        // What is on disk, not what was meant to be written.
        backup.name = stamp.name;
        verify(backup);
        for (int n = 1;; ++n) {
            backup.name = n == 1 ? stamp.name : stamp.name + "-" + std::to_string(n);
            const std::string target = folder_ + "/" + backup.name;
            if (fs::exists(target, error)) {
                continue;
            }
            if (::rename(temporary.c_str(), target.c_str()) == 0) {
                backup.folder = target;
                break;
            }
            if (errno != EEXIST && errno != ENOTEMPTY) {
                const int failure = errno;
                throw BackupError("The backup cannot be moved into " + target + ": " +
                                  std::strerror(failure));
            }
        }
    } catch (...) {
        fs::remove_all(temporary, error);
        throw;
    }
    syncFolder(folder_);
    return backup;
}

void BackupStore::remove(const Backup& backup) {
    const std::vector<Backup> backups = list();
    if (!backups.empty() && backups.back().name == backup.name) {
        throw BackupError(
            "The oldest backup holds the game as Skarvel first found it and is kept.");
    }
    removeFolder(backup);
}

void BackupStore::removeFolder(const Backup& backup) {
    // Out of the list in one step, so that a delete cut short leaves no half backup listed.
    std::string doomed = folder_ + "/" + std::string(kDeletedPrefix) + "XXXXXX";
    if (::mkdtemp(doomed.data()) == nullptr ||
        ::rename(backup.folder.c_str(), (doomed + "/" + backup.name).c_str()) != 0) {
        const int cause = errno;
        std::error_code ignored;
        fs::remove(doomed, ignored);
        throw BackupError("The backup " + backup.name +
                          " cannot be deleted: " + std::strerror(cause));
    }
    std::error_code error;
    fs::remove_all(doomed, error);
}

std::vector<std::string> BackupStore::prune(int kept) {
    std::vector<std::string> removed;
    if (kept <= 0) {
        return removed;
    }
    const std::vector<Backup> backups = list();
    // The last one is the oldest, always kept.
    for (std::size_t i = static_cast<std::size_t>(kept); i + 1 < backups.size(); ++i) {
        removeFolder(backups[i]);
        removed.push_back(backups[i].name);
    }
    return removed;
}

std::vector<BackupFile> describe(const std::vector<FileContent>& files) {
    std::vector<BackupFile> described;
    for (const FileContent& file : files) {
        described.push_back({file.path, file.bytes.size(), sha256Hex(file.bytes)});
    }
    return described;
}

} // namespace skarvel
