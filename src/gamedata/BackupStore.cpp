#include "gamedata/BackupStore.h"

#include "gamedata/BackupRetention.h"
#include "platform/FileLock.h"
#include "platform/Files.h"
#include "platform/Sha256.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <set>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace skarvel {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kTemporaryPrefix = ".tmp-";
constexpr std::string_view kDeletedPrefix = ".del-";
constexpr std::string_view kObjectsFolder = "objects";
// Held while a backup is added or anything is removed; no dot, so it is no temporary.
constexpr std::string_view kLockName = "lock";
// Long enough for another window's backup of the game's files, short enough to say why.
constexpr auto kLockPatience = std::chrono::seconds(30);
// An object written or reused more recently may belong to a backup that an older copy of
// the program, one without the store's lock, is making.
constexpr auto kAbandonedAfter = std::chrono::minutes(10);

// "2026-12-08_10-31-05" and a second backup of the same second "...-2": the suffix orders
// backups whose manifests give the same time.
long suffixOf(const std::string& name) {
    constexpr std::size_t kStampLength = 19;
    if (name.size() > kStampLength + 1 && name[kStampLength] == '-') {
        return std::strtol(name.c_str() + kStampLength + 1, nullptr, 10);
    }
    return 1;
}

struct Stamp {
    std::string name; // for the folder, local time
    std::string iso;  // local time with its offset
    std::string utc;  // UTC with microseconds, for the order
};

Stamp stampOf(std::chrono::system_clock::time_point when) {
    using namespace std::chrono;
    const auto micros = duration_cast<microseconds>(when.time_since_epoch()).count();
    const std::time_t seconds = static_cast<std::time_t>(micros / 1000000);
    std::tm local{};
    std::tm utc{};
    localtime_r(&seconds, &local);
    gmtime_r(&seconds, &utc);
    char name[32];
    char iso[40];
    char utcText[40];
    std::strftime(name, sizeof name, "%Y-%m-%d_%H-%M-%S", &local);
    std::strftime(iso, sizeof iso, "%Y-%m-%dT%H:%M:%S%z", &local);
    std::strftime(utcText, sizeof utcText, "%Y-%m-%dT%H:%M:%S", &utc);
    std::string isoText = iso;
    if (isoText.size() >= 5) {
        isoText.insert(isoText.size() - 2, ":"); // +0100 -> +01:00
    }
    char fraction[16];
    std::snprintf(fraction, sizeof fraction, ".%06dZ", static_cast<int>(micros % 1000000));
    return {name, isoText, std::string(utcText) + fraction};
}

std::string causeText(const std::error_code& error) {
    return error.message();
}

bool isOld(const fs::path& path) {
    std::error_code error;
    const auto changed = fs::last_write_time(path, error);
    return !error && fs::file_time_type::clock::now() - changed > kAbandonedAfter;
}

template <typename Kind> bool allOf(std::string_view text, Kind kind) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [&](unsigned char c) { return kind(c) != 0; });
}

// mkdtemp's names: the prefix and six letters or digits.
bool isFolderTemporary(const std::string& name) {
    constexpr std::size_t kRandom = 6;
    for (const std::string_view prefix : {kTemporaryPrefix, kDeletedPrefix}) {
        if (name.size() == prefix.size() + kRandom && name.starts_with(prefix) &&
            allOf(std::string_view(name).substr(prefix.size()),
                  [](unsigned char c) { return std::isalnum(c); })) {
            return true;
        }
    }
    return false;
}

// temporaryName's names: the prefix, the process and a count.
bool isObjectTemporary(const std::string& name) {
    if (!name.starts_with(kTemporaryPrefix)) {
        return false;
    }
    const std::string_view rest = std::string_view(name).substr(kTemporaryPrefix.size());
    const auto dash = rest.find('-');
    const auto digit = [](unsigned char c) { return std::isdigit(c); };
    return dash != std::string_view::npos && allOf(rest.substr(0, dash), digit) &&
           allOf(rest.substr(dash + 1), digit);
}

// Under the lock nothing else writes here: every temporary of ours is what a backup or a
// delete cut short left behind.
void removeStoreLeftovers(const std::string& folder) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (isFolderTemporary(entry.path().filename().string())) {
            std::error_code ignored;
            fs::remove_all(entry.path(), ignored);
        }
    }
    for (const auto& prefix : fs::directory_iterator(fs::path(folder) / kObjectsFolder, error)) {
        std::error_code ignored;
        for (const auto& object : fs::directory_iterator(prefix.path(), ignored)) {
            if (isObjectTemporary(object.path().filename().string())) {
                fs::remove(object.path(), ignored);
            }
        }
    }
}

std::string temporaryName() {
    static std::atomic<unsigned> counter{0};
    return std::string(kTemporaryPrefix) + std::to_string(::getpid()) + "-" +
           std::to_string(counter++);
}

void makeFolder(const fs::path& folder) {
    std::error_code error;
    if (fs::create_directories(folder, error) && !error) {
        syncFolder(folder.parent_path().string());
    }
    if (error) {
        throw BackupError("The folder " + folder.string() + " cannot be made: " + causeText(error));
    }
}

} // namespace

BackupStore::BackupStore(std::string root, const std::string& gameFolder, BackupClock clock)
    : root_(std::move(root)), game_(canonicalFolder(gameFolder)),
      folder_((fs::path(root_) / gameKey(game_)).string()), clock_(std::move(clock)) {}

void BackupStore::lock(FileLock& held) const {
    std::error_code error;
    fs::create_directories(folder_, error);
    if (error) {
        throw BackupError("The backup folder " + folder_ + " cannot be made: " + causeText(error));
    }
    const std::string path = folder_ + "/" + std::string(kLockName);
    switch (held.take(path, kLockPatience)) {
    case FileLock::Outcome::Taken:
        break;
    case FileLock::Outcome::Busy:
        throw BackupError("The backups in " + folder_ +
                          " are being changed by another Skarvel window; try again when it is "
                          "done.");
    case FileLock::Outcome::Failed:
        throw BackupError("The backup folder " + folder_ + " cannot be locked: " + held.problem());
    }
    removeStoreLeftovers(folder_);
}

std::chrono::system_clock::time_point BackupStore::now() const {
    return clock_ ? clock_() : std::chrono::system_clock::now();
}

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
        if (name.starts_with('.') || name == kObjectsFolder || !entry.is_directory(ignored)) {
            continue;
        }
        if (std::optional<BackupManifest> manifest = manifests_->read(entry.path().string())) {
            Backup backup{name, entry.path().string(), std::move(*manifest), 0};
            // A time that cannot be read sorts as the oldest.
            backup.instant = instantOf(backup.manifest).value_or(0);
            backups.push_back(std::move(backup));
        }
    }
    std::sort(backups.begin(), backups.end(), [](const Backup& a, const Backup& b) {
        if (a.instant != b.instant) {
            return a.instant > b.instant;
        }
        if (suffixOf(a.name) != suffixOf(b.name)) {
            return suffixOf(a.name) > suffixOf(b.name);
        }
        return a.name > b.name;
    });
    return backups;
}

std::string BackupStore::objectPath(const std::string& sha256) const {
    return folder_ + "/" + std::string(kObjectsFolder) + "/" + sha256.substr(0, 2) + "/" +
           sha256.substr(std::min<std::size_t>(2, sha256.size()));
}

std::string BackupStore::pathOf(const Backup& backup, const BackupFile& file) const {
    return backup.manifest.objects ? objectPath(file.sha256) : backup.folder + "/" + file.path;
}

std::string BackupStore::read(const Backup& backup, const BackupFile& file) const {
    return readFile(pathOf(backup, file));
}

std::string BackupStore::peek(const Backup& backup, const BackupFile& file,
                              std::size_t count) const {
    FileDescriptor fd(::open(pathOf(backup, file).c_str(), O_RDONLY | O_CLOEXEC));
    std::string bytes(count, '\0');
    const ssize_t got = fd.valid() ? ::read(fd.get(), bytes.data(), count) : -1;
    bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return bytes;
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

void BackupStore::storeObject(const FileContent& file, const std::string& sha256) {
    const fs::path target = objectPath(sha256);
    try {
        // The object's name is its hash: the same bytes are that object.
        if (fileExists(target.string()) && readFile(target.string()) == file.bytes) {
            // Reused: younger than the grace time, so no clean-up running now takes it.
            std::error_code ignored;
            fs::last_write_time(target, fs::file_time_type::clock::now(), ignored);
            return;
        }
        makeFolder(target.parent_path());
        const std::string temporary = (target.parent_path() / temporaryName()).string();
        try {
            writeNewFile(temporary, file.bytes);
        } catch (...) {
            std::error_code ignored;
            fs::remove(temporary, ignored); // written in part, or not at all
            throw;
        }
        if (::rename(temporary.c_str(), target.c_str()) != 0) {
            const int failure = errno;
            std::error_code ignored;
            fs::remove(temporary, ignored);
            throw BackupError("The backup of " + file.path + " cannot be moved into " +
                              target.string() + ": " + std::strerror(failure));
        }
        if (!syncFolder(target.parent_path().string())) {
            throw BackupError("The folder " + target.parent_path().string() +
                              " cannot be synced to disk");
        }
        // What is on disk, not what was meant to be written.
        if (sha256Hex(readFile(target.string())) != sha256) {
            throw BackupError("The backup of " + file.path + " in " + target.string() +
                              " reads back differently");
        }
    } catch (const BackupError&) {
        throw;
    } catch (const std::exception& error) {
        throw BackupError(error.what());
    }
}

Backup BackupStore::add(const std::vector<FileContent>& files, std::string_view cause,
                        std::string_view version, std::vector<BackupFile> described) {
    FileLock held;
    lock(held);
    std::error_code error;
    const Stamp stamp = stampOf(now());
    Backup backup{std::string(),
                  std::string(),
                  {stamp.iso, stamp.utc, std::string(version), std::string(cause), game_, true,
                   described.size() == files.size() ? std::move(described) : describe(files)},
                  utcMicroseconds(stamp.utc).value_or(0)};
    for (std::size_t i = 0; i < files.size(); ++i) {
        storeObject(files[i], backup.manifest.files[i].sha256);
    }

    std::string temporary = folder_ + "/" + std::string(kTemporaryPrefix) + "XXXXXX";
    if (::mkdtemp(temporary.data()) == nullptr) {
        const int failure = errno;
        throw BackupError("The backup folder " + folder_ +
                          " cannot be written: " + std::strerror(failure));
    }
    try {
        const std::string manifest = temporary + "/" + std::string(kManifestName);
        try {
            writeNewFile(manifest, manifestToJson(backup.manifest));
            if (manifestFromJson(readFile(manifest)).files != backup.manifest.files) {
                throw BackupError("The manifest " + manifest + " reads back differently");
            }
        } catch (const BackupError&) {
            throw;
        } catch (const std::exception& written) {
            throw BackupError(written.what());
        }
        if (!syncFolder(temporary)) {
            throw BackupError("The folder " + temporary + " cannot be synced to disk");
        }
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
    // The backup counts once its name is on disk.
    if (!syncFolder(folder_)) {
        throw BackupError("The folder " + folder_ + " cannot be synced to disk");
    }
    return backup;
}

void BackupStore::remove(const Backup& backup) {
    FileLock held;
    lock(held);
    const std::vector<Backup> backups = list();
    if (!backups.empty() && backups.back().name == backup.name) {
        throw BackupError(
            "The oldest backup holds the game as Skarvel first found it and is kept.");
    }
    removeFolder(backup);
    removeUnused();
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

std::vector<std::string> BackupStore::prune(int days, const std::vector<std::string>& kept) {
    FileLock held;
    lock(held);
    std::vector<std::string> removed;
    const std::vector<Backup> backups = list();
    std::vector<std::int64_t> instants;
    for (const Backup& backup : backups) {
        instants.push_back(backup.instant);
    }
    const auto nowMicros =
        std::chrono::duration_cast<std::chrono::microseconds>(now().time_since_epoch()).count();
    const std::vector<bool> byAge = keptByAge(instants, nowMicros, days);
    for (std::size_t i = 0; i < backups.size(); ++i) {
        if (byAge[i] || std::find(kept.begin(), kept.end(), backups[i].name) != kept.end()) {
            continue;
        }
        removeFolder(backups[i]);
        removed.push_back(backups[i].name);
    }
    if (!removed.empty()) {
        removeUnused();
    }
    return removed;
}

int BackupStore::removeUnusedObjects() {
    FileLock held;
    lock(held);
    return removeUnused();
}

int BackupStore::removeUnused() {
    std::set<std::string> named;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder_, error)) {
        const std::string name = entry.path().filename().string();
        const std::string manifest = entry.path().string() + "/" + std::string(kManifestName);
        if (name.starts_with('.') || name == kObjectsFolder || !fileExists(manifest)) {
            continue;
        }
        try {
            for (const BackupFile& file : manifestFromJson(readFile(manifest)).files) {
                named.insert(file.sha256);
            }
        } catch (const std::exception&) {
            return 0; // a manifest that cannot be read may name any object: keep them all
        }
    }
    if (error) {
        return 0;
    }
    int removed = 0;
    const fs::path objects = fs::path(folder_) / kObjectsFolder;
    for (const auto& prefix : fs::directory_iterator(objects, error)) {
        for (const auto& object : fs::directory_iterator(prefix.path(), error)) {
            const std::string name = object.path().filename().string();
            const std::string sha256 = prefix.path().filename().string() + name;
            if ((name.starts_with('.') || !named.contains(sha256)) && isOld(object.path())) {
                std::error_code ignored;
                removed += fs::remove(object.path(), ignored) ? 1 : 0;
            }
        }
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
