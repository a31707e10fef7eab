// The process-wide cache of parsed settings files, the read-only phases that trust it and the
// writes to disk, single or gathered in a WriteBatch. The parse itself is in IniEngine.cpp.
#include "gamedata/GameFolderPaths.h"
#include "gamedata/IniEngine.h"
#include "platform/AsciiText.h"
#include "platform/Files.h"

#include <cerrno>
#include <cstring>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace skarvel::ini {

namespace {

struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    static FileIdentity of(const struct stat& info) {
        return {info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
    }
    bool operator==(const FileIdentity& other) const {
        return device == other.device && inode == other.inode && size == other.size &&
               modified.tv_sec == other.modified.tv_sec &&
               modified.tv_nsec == other.modified.tv_nsec &&
               changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
    }
};

struct CacheEntry {
    FileIdentity identity;
    std::shared_ptr<const ParsedIni> ini;
    std::uint64_t trustedInPhase = 0; // the read-only phase that already checked it, 0 = none
    // Written in a batch and not yet on disk; identity is then the file the values went into.
    bool pending = false;
};

struct PendingFile {
    std::string path;
    FileIdentity base;
    std::shared_ptr<const ParsedIni> ini;
};

// The batch's own parse of a file, changed in place by every further write.
using PendingParse = std::shared_ptr<ParsedIni>;

// Parsed files by path. The program runs on one thread, but the lock keeps the cache sound
// if a test or a benchmark does not.
class IniCache {
public:
    std::shared_ptr<const ParsedIni> find(const std::string& path, const FileIdentity& identity) {
        std::lock_guard lock(mutex_);
        const auto found = entries_.find(path);
        if (found == entries_.end() || !(found->second.identity == identity)) {
            return nullptr;
        }
        found->second.trustedInPhase = phaseNumber_;
        return found->second.ini;
    }
    // Values written in the open batch, or the entry checked earlier in the current read-only
    // phase, if any.
    std::shared_ptr<const ParsedIni> trusted(const std::string& path) {
        std::lock_guard lock(mutex_);
        const auto found = entries_.find(path);
        if (found == entries_.end()) {
            return nullptr;
        }
        if (found->second.pending ||
            (phaseDepth_ > 0 && found->second.trustedInPhase == phaseNumber_)) {
            return found->second.ini;
        }
        return nullptr;
    }
    PendingParse pending(const std::string& path) {
        std::lock_guard lock(mutex_);
        const auto found = pendingParses_.find(path);
        return found != pendingParses_.end() ? found->second : nullptr;
    }
    bool batchOpen() {
        std::lock_guard lock(mutex_);
        return batchDepth_ > 0;
    }
    void storePending(const std::string& path, const FileIdentity& base, PendingParse ini) {
        std::lock_guard lock(mutex_);
        CacheEntry& entry = entries_[path];
        if (!entry.pending) {
            pendingOrder_.push_back(path);
            entry.identity = base;
        }
        entry.ini = ini;
        entry.pending = true;
        pendingParses_[path] = std::move(ini);
    }
    void beginBatch() {
        std::lock_guard lock(mutex_);
        ++batchDepth_;
    }
    // Ends a batch; the files to write when it was the outermost one, in order of first write.
    std::vector<PendingFile> endBatch() {
        std::lock_guard lock(mutex_);
        std::vector<PendingFile> files;
        if (--batchDepth_ > 0) {
            return files;
        }
        for (const std::string& path : pendingOrder_) {
            auto found = entries_.find(path);
            if (found != entries_.end() && found->second.pending) {
                files.push_back({path, found->second.identity, found->second.ini});
                entries_.erase(found); // stored again once written
            }
        }
        pendingOrder_.clear();
        pendingParses_.clear();
        return files;
    }
    void store(const std::string& path, const FileIdentity& identity,
               std::shared_ptr<const ParsedIni> ini) {
        std::lock_guard lock(mutex_);
        entries_[path] = CacheEntry{identity, std::move(ini), phaseNumber_};
    }
    void forget(const std::string& path) {
        std::lock_guard lock(mutex_);
        entries_.erase(path);
    }
    void beginPhase() {
        std::lock_guard lock(mutex_);
        if (phaseDepth_++ == 0) {
            ++phaseCount_;
            phaseNumber_ = phaseCount_;
        }
    }
    void endPhase() {
        std::lock_guard lock(mutex_);
        if (--phaseDepth_ == 0) {
            phaseNumber_ = 0;
        }
    }

private:
    std::mutex mutex_;
    std::unordered_map<std::string, CacheEntry> entries_;
    int phaseDepth_ = 0;
    int batchDepth_ = 0;
    std::vector<std::string> pendingOrder_;
    std::unordered_map<std::string, PendingParse> pendingParses_;
    std::uint64_t phaseCount_ = 0;
    std::uint64_t phaseNumber_ = 0; // 0 outside any phase
};

IniCache& cache() {
    static IniCache instance;
    return instance;
}

// Reads the file and the identity of exactly the bytes read (fstat on the open file). Only a
// regular file up to the cap: another program may have put a FIFO there since the stat, and
// opening that must not block. errno says why when false.
bool readWithIdentity(const std::string& path, std::string& bytes, FileIdentity& identity) {
    struct stat info {};
    switch (tryReadRegularFile(path, kDataFileSizeCap, bytes, &info)) {
    case RegularRead::Read:
        identity = FileIdentity::of(info);
        return true;
    case RegularRead::NotRegular:
        errno = EINVAL;
        return false;
    case RegularRead::TooLarge:
        errno = EFBIG;
        return false;
    case RegularRead::Failed:
        break;
    }
    return false;
}

// cause: why, as the system says it (strerror) or, for a refusal of ours, in the same manner.
[[noreturn]] void failWrite(const std::string& path, std::string_view cause) {
    throw std::runtime_error("Unable to write to " + path + ": " + std::string(cause));
}

constexpr std::string_view kChangedMeanwhile = "changed by another program meanwhile";

// The cause of a failure of writeFileAtomically: its text after the path.
std::string causeOf(const std::exception& error) {
    const std::string_view text = error.what();
    const auto colon = text.rfind(": ");
    return std::string(colon == std::string_view::npos ? text : text.substr(colon + 2));
}

bool breaksLines(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

} // namespace

ReadOnlyPhase::ReadOnlyPhase() {
    cache().beginPhase();
}

ReadOnlyPhase::~ReadOnlyPhase() {
    cache().endPhase();
}

namespace {

// The parse of the file as it is on disk now, from the cache when the file is unchanged.
std::shared_ptr<const ParsedIni> checkedIni(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        cache().forget(path);
        return nullptr;
    }
    if (auto cached = cache().find(path, FileIdentity::of(info))) {
        return cached;
    }
    std::string bytes;
    FileIdentity identity;
    if (!readWithIdentity(path, bytes, identity)) {
        cache().forget(path);
        return nullptr;
    }
    auto parsed = std::make_shared<const ParsedIni>(std::move(bytes));
    cache().store(path, identity, parsed);
    return parsed;
}

} // namespace

WriteBatch::WriteBatch() {
    cache().beginBatch();
}

WriteBatch::~WriteBatch() {
    if (!done_) {
        // Ended by a failure: a file gets all of its values or none, so nothing is written,
        // and the values held are forgotten: reads see the disk again.
        cache().endBatch();
    }
}

void WriteBatch::commit() {
    done_ = true;
    std::vector<PendingFile> files = cache().endBatch();
    for (std::size_t i = 0; i < files.size(); ++i) {
        const PendingFile& file = files[i];
        struct stat info {};
        // A file changed by another program since the batch read it is not overwritten.
        bool written = ::stat(file.path.c_str(), &info) == 0 && FileIdentity::of(info) == file.base;
        std::string cause(kChangedMeanwhile);
        if (written) {
            try {
                writeFileAtomically(file.path, file.ini->bytes(), /*durable=*/false);
            } catch (const std::exception& error) {
                written = false;
                cause = causeOf(error);
            }
        }
        if (!written) {
            // Like a failed single write: the rest of the batch is not written either.
            failWrite(file.path, cause);
        }
        written_.push_back(file.path);
        if (::stat(file.path.c_str(), &info) == 0) {
            cache().store(file.path, FileIdentity::of(info), file.ini);
        }
    }
}

std::shared_ptr<const ParsedIni> currentIni(const std::string& path) {
    if (auto trusted = cache().trusted(path)) {
        return trusted;
    }
    return checkedIni(path);
}

bool hasSection(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    if (auto cached = cache().find(path, FileIdentity::of(info))) {
        return !cached->sections().empty();
    }
    std::string bytes;
    FileIdentity identity;
    return readWithIdentity(path, bytes, identity) && hasSectionHeader(bytes);
}

namespace {

// Where a write goes: the first section of a name, or the section at a position.
struct WriteTarget {
    std::string_view section;
    std::optional<std::size_t> index;
    std::optional<std::size_t> keyIndex; // a key line of that section, by its position
};

// Sets the value in ini; a positioned target that no longer names its section fails.
void assignTo(ParsedIni& ini, const WriteTarget& target, std::string_view key,
              std::string_view value, const std::string& path) {
    if (!target.index) {
        ini.assignValue(target.section, key, value);
        return;
    }
    const auto& sections = ini.sections();
    if (*target.index >= sections.size() ||
        !equalsIgnoringCase(ini.numberedName(sections[*target.index]), target.section)) {
        failWrite(path, "the section is no longer in its place");
    }
    if (target.keyIndex) {
        const auto& keys = ini.keys();
        if (*target.keyIndex >= keys.size() || keys[*target.keyIndex].section != *target.index ||
            !equalsIgnoringCase(ini.name(keys[*target.keyIndex]), key)) {
            failWrite(path, "the key is no longer in its place");
        }
        ini.assignValueOfKey(*target.keyIndex, value);
        return;
    }
    ini.assignValueAt(*target.index, key, value);
}

// The file's new parse: one more change of the open batch (its base stays the identity of the
// batch's first write to the file), or written at once and cached from the bytes written.
void storeOrWrite(const std::string& path, struct stat info, std::shared_ptr<ParsedIni> parse) {
    if (cache().batchOpen() && S_ISREG(info.st_mode)) {
        cache().storePending(path, FileIdentity::of(info), std::move(parse));
        return;
    }
    try {
        writeFileAtomically(path, parse->bytes(), /*durable=*/false);
    } catch (const std::exception& error) {
        cache().forget(path);
        failWrite(path, causeOf(error));
    }
    if (::stat(path.c_str(), &info) == 0) {
        cache().store(path, FileIdentity::of(info), std::move(parse));
    } else {
        cache().forget(path);
    }
}

void writeValue(const std::string& path, const WriteTarget& target, std::string_view key,
                std::string_view value) {
    const std::string_view section = target.section;
    // A line break in a name or value would turn one line into several and change other keys.
    if (key.empty() || breaksLines(section) || breaksLines(key) || breaksLines(value) ||
        section.find(']') != std::string_view::npos || key.find('=') != std::string_view::npos) {
        failWrite(path, "a name or value that would break its line");
    }

    std::shared_ptr<const ParsedIni> current;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        // The owner's write permission stands for the read-only flag, which the profile
        // functions respect.
        if (!S_ISREG(info.st_mode)) {
            failWrite(path, "not a regular file");
        }
        if ((info.st_mode & S_IWUSR) == 0) {
            failWrite(path, std::strerror(EACCES)); // what the system says to anyone but root
        }
        // Values of the open batch build on each other until it ends.
        if (const PendingParse pending = cache().pending(path)) {
            assignTo(*pending, target, key, value, path);
            return;
        }
        // Never write on top of a trusted parse: another program may have changed the file.
        current = checkedIni(path);
        if (!current) {
            failWrite(path, std::strerror(errno != 0 ? errno : EIO));
        }
    } else if (errno == ENOENT && !target.index) {
        current = std::make_shared<const ParsedIni>(std::string());
    } else {
        failWrite(path, std::strerror(errno));
    }
    if (!current->isText()) {
        failWrite(path, "not a text file");
    }

    auto written = std::make_shared<ParsedIni>(*current);
    assignTo(*written, target, key, value, path);
    storeOrWrite(path, info, std::move(written));
}

} // namespace

void writeIniValue(const std::string& path, std::string_view section, std::string_view key,
                   std::string_view value) {
    writeValue(path, {section, std::nullopt, std::nullopt}, key, value);
}

void writeIniValueAt(const std::string& path, std::size_t sectionIndex,
                     std::string_view sectionName, std::string_view key, std::string_view value) {
    writeValue(path, {sectionName, sectionIndex, std::nullopt}, key, value);
}

void writeIniValueOfKey(const std::string& path, std::size_t sectionIndex,
                        std::string_view sectionName, std::size_t keyIndex, std::string_view key,
                        std::string_view value) {
    writeValue(path, {sectionName, sectionIndex, keyIndex}, key, value);
}

void replaceIniBytes(const std::string& path, std::string bytes) {
    if (bytes.find('\0') != std::string::npos) {
        failWrite(path, "not a text file");
    }
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        failWrite(path, std::strerror(errno));
    }
    if (!S_ISREG(info.st_mode)) {
        failWrite(path, "not a regular file");
    }
    if ((info.st_mode & S_IWUSR) == 0) {
        failWrite(path, std::strerror(EACCES));
    }
    storeOrWrite(path, info, std::make_shared<ParsedIni>(std::move(bytes)));
}

} // namespace skarvel::ini
