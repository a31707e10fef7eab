#include "gamedata/IniEngine.h"

#include "platform/Files.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace skarvel::ini {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// FNV-1a over the lower-cased bytes, folded so that the low bits used by the tables mix in
// every byte.
std::uint64_t nameHash(std::string_view name, std::uint64_t seed) {
    std::uint64_t hash = 14695981039346656037ULL ^ (seed * 0x9E3779B97F4A7C15ULL);
    for (const char c : name) {
        hash ^= static_cast<unsigned char>(lowerAscii(c));
        hash *= 1099511628211ULL;
    }
    return hash ^ (hash >> 32);
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

std::vector<std::uint32_t> emptyTable(std::size_t entries) {
    std::size_t size = 8;
    while (size < entries * 2) {
        size *= 2;
    }
    return std::vector<std::uint32_t>(size, 0);
}

// The slot holding the entry that matches, or the free slot where it would go.
template <typename Matches>
std::size_t probe(const std::vector<std::uint32_t>& slots, std::uint64_t hash, Matches matches) {
    const std::size_t mask = slots.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        if (slots[i] == 0 || matches(slots[i] - 1)) {
            return i;
        }
    }
}

const char* findChar(const std::string& text, char c, std::size_t from, std::size_t to) {
    return static_cast<const char*>(std::memchr(text.data() + from, c, to - from));
}

// End of the line that starts at pos: the first CR or LF, or the end of the text.
std::size_t lineEndFrom(const std::string& text, std::size_t pos) {
    const char* lf = findChar(text, '\n', pos, text.size());
    const std::size_t limit = lf ? static_cast<std::size_t>(lf - text.data()) : text.size();
    const char* cr = findChar(text, '\r', pos, limit);
    return cr ? static_cast<std::size_t>(cr - text.data()) : limit;
}

} // namespace

ParsedIni::ParsedIni(std::string bytes) : bytes_(std::move(bytes)) {
    parse();
}

void ParsedIni::parse() {
    const std::string& text = bytes_;
    if (text.find('\0') != std::string::npos) {
        isText_ = false;
        return;
    }
    const std::size_t firstBreak = text.find_first_of("\r\n");
    if (firstBreak != std::string::npos) {
        const bool crlf = text[firstBreak] == '\r' && firstBreak + 1 < text.size() &&
                          text[firstBreak + 1] == '\n';
        lineEnding_ = crlf ? "\r\n" : std::string(1, text[firstBreak]);
    }

    // A UTF-8 byte order mark stays in the file but must not hide the first header.
    std::size_t pos = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    while (pos < text.size()) {
        const std::size_t end = lineEndFrom(text, pos);
        std::size_t next = end;
        if (next < text.size()) {
            next +=
                (text[next] == '\r' && next + 1 < text.size() && text[next + 1] == '\n') ? 2 : 1;
        }
        std::size_t first = pos;
        while (first < end && isBlank(text[first])) {
            ++first;
        }
        pos = next;
        if (first == end || text[first] == ';') {
            continue;
        }

        if (text[first] == '[') {
            Section section;
            const char* close = findChar(text, ']', first + 1, end);
            std::size_t nameBegin = first + 1;
            std::size_t nameEnd = close ? static_cast<std::size_t>(close - text.data()) : end;
            while (nameBegin < nameEnd && isBlank(text[nameBegin])) {
                ++nameBegin;
            }
            while (nameEnd > nameBegin && isBlank(text[nameEnd - 1])) {
                --nameEnd;
            }
            section.nameBegin = nameBegin;
            section.nameEnd = nameEnd;
            section.lineEnd = end;
            section.lineNext = next;
            section.firstKey = keys_.size();
            sections_.push_back(section);
            continue;
        }
        if (sections_.empty()) {
            continue; // lines before the first section are not reachable
        }

        Key key;
        key.lineEnd = end;
        key.lineNext = next;
        const char* equals = findChar(text, '=', first, end);
        const char* semicolon = findChar(text, ';', first, end);
        const std::size_t commentAt =
            semicolon ? static_cast<std::size_t>(semicolon - text.data()) : end;
        std::size_t nameEnd;
        if (equals && static_cast<std::size_t>(equals - text.data()) < commentAt) {
            const std::size_t equalsAt = static_cast<std::size_t>(equals - text.data());
            key.hasEquals = true;
            nameEnd = equalsAt;
            std::size_t valueBegin = equalsAt + 1;
            while (valueBegin < commentAt && isBlank(text[valueBegin])) {
                ++valueBegin;
            }
            std::size_t valueEnd = commentAt;
            while (valueEnd > valueBegin && isBlank(text[valueEnd - 1])) {
                --valueEnd;
            }
            if (valueBegin == valueEnd) {
                // No value yet: a new one goes after "=" and at most one blank.
                valueBegin = equalsAt + 1;
                if (valueBegin < commentAt && isBlank(text[valueBegin])) {
                    ++valueBegin;
                }
                valueEnd = valueBegin;
            }
            key.valueBegin = valueBegin;
            key.valueEnd = valueEnd;
        } else {
            nameEnd = commentAt;
        }
        while (nameEnd > first && isBlank(text[nameEnd - 1])) {
            --nameEnd;
        }
        if (nameEnd == first) {
            continue; // "= value" names no key
        }
        key.nameBegin = first;
        key.nameEnd = nameEnd;
        if (!key.hasEquals) {
            key.valueBegin = key.valueEnd = nameEnd;
        }
        key.section = sections_.size() - 1;
        keys_.push_back(key);
        ++sections_.back().keyCount;
    }
    buildIndexes();
}

void ParsedIni::buildIndexes() {
    // Entries go in in file order and a name already present is skipped: the first wins.
    sectionSlots_ = emptyTable(sections_.size());
    for (std::size_t s = 0; s < sections_.size(); ++s) {
        const std::string_view sectionName = name(sections_[s]);
        const std::size_t slot =
            probe(sectionSlots_, nameHash(sectionName, 0), [&](std::uint32_t other) {
                return sameName(name(sections_[other]), sectionName);
            });
        if (sectionSlots_[slot] == 0) {
            sectionSlots_[slot] = static_cast<std::uint32_t>(s + 1);
        }
    }
    keySlots_ = emptyTable(keys_.size());
    for (std::size_t k = 0; k < keys_.size(); ++k) {
        const Key& key = keys_[k];
        const std::string_view keyName = name(key);
        const std::size_t slot =
            probe(keySlots_, nameHash(keyName, key.section + 1), [&](std::uint32_t other) {
                return keys_[other].section == key.section && sameName(name(keys_[other]), keyName);
            });
        if (keySlots_[slot] == 0) {
            keySlots_[slot] = static_cast<std::uint32_t>(k + 1);
        }
    }
}

const ParsedIni::Section* ParsedIni::findSection(std::string_view sectionName) const {
    if (sectionSlots_.empty()) {
        return nullptr;
    }
    const std::uint32_t slot =
        sectionSlots_[probe(sectionSlots_, nameHash(sectionName, 0), [&](std::uint32_t other) {
            return sameName(name(sections_[other]), sectionName);
        })];
    return slot == 0 ? nullptr : &sections_[slot - 1];
}

const ParsedIni::Key* ParsedIni::findKey(const Section& section, std::string_view keyName) const {
    if (keySlots_.empty()) {
        return nullptr;
    }
    const auto sectionIndex = static_cast<std::size_t>(&section - sections_.data());
    const std::uint32_t slot =
        keySlots_[probe(keySlots_, nameHash(keyName, sectionIndex + 1), [&](std::uint32_t other) {
            return keys_[other].section == sectionIndex && sameName(name(keys_[other]), keyName);
        })];
    return slot == 0 ? nullptr : &keys_[slot - 1];
}

std::string_view ParsedIni::name(const Section& section) const {
    return std::string_view(bytes_).substr(section.nameBegin, section.nameEnd - section.nameBegin);
}

std::string_view ParsedIni::name(const Key& key) const {
    return std::string_view(bytes_).substr(key.nameBegin, key.nameEnd - key.nameBegin);
}

std::string ParsedIni::value(const Key& key) const {
    std::string_view text =
        std::string_view(bytes_).substr(key.valueBegin, key.valueEnd - key.valueBegin);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        text = text.substr(1, text.size() - 2);
    }
    return std::string(text);
}

std::shared_ptr<const ParsedIni> ParsedIni::parsedWithValue(std::string_view sectionName,
                                                            std::string_view keyName,
                                                            std::string_view value) const {
    auto result = std::make_shared<ParsedIni>(*this);
    result->assignValue(sectionName, keyName, value);
    return result;
}

void ParsedIni::assignValue(std::string_view sectionName, std::string_view keyName,
                            std::string_view value) {
    const Section* section = findSection(sectionName);
    Key* key = section ? const_cast<Key*>(findKey(*section, keyName)) : nullptr;
    // Only a value that parses back exactly as given keeps every other position's meaning.
    const bool plainReplacement = key && key->hasEquals && key->valueEnd > key->valueBegin &&
                                  !value.empty() && !isBlank(value.front()) &&
                                  !isBlank(value.back()) &&
                                  value.find(';') == std::string_view::npos;
    if (!plainReplacement) {
        bytes_ = withValue(sectionName, keyName, value);
        sections_.clear();
        keys_.clear();
        sectionSlots_.clear();
        keySlots_.clear();
        parse();
        return;
    }

    const std::size_t oldEnd = key->valueEnd;
    const std::size_t oldLength = oldEnd - key->valueBegin;
    bytes_.replace(key->valueBegin, oldLength, value);
    const auto shift = [&](std::size_t& position) {
        if (position >= oldEnd) {
            position = position + value.size() - oldLength;
        }
    };
    // Sections and keys are in file order: only those from the changed key on move.
    for (std::size_t i = key->section + 1; i < sections_.size(); ++i) {
        Section& each = sections_[i];
        shift(each.nameBegin);
        shift(each.nameEnd);
        shift(each.lineEnd);
        shift(each.lineNext);
    }
    for (std::size_t i = static_cast<std::size_t>(key - keys_.data()); i < keys_.size(); ++i) {
        Key& each = keys_[i];
        shift(each.nameBegin);
        shift(each.nameEnd);
        shift(each.valueBegin);
        shift(each.valueEnd);
        shift(each.lineEnd);
        shift(each.lineNext);
    }
}

std::string ParsedIni::withValue(std::string_view sectionName, std::string_view keyName,
                                 std::string_view value) const {
    const std::string_view text = bytes_;
    std::string result;
    result.reserve(text.size() + sectionName.size() + keyName.size() + value.size() + 16);

    const Section* section = findSection(sectionName);
    if (!section) {
        result = text;
        if (!result.empty() && result.back() != '\r' && result.back() != '\n') {
            result += lineEnding_;
        }
        result.append("[").append(sectionName).append("]").append(lineEnding_);
        result.append(keyName).append(" = ").append(value).append(lineEnding_);
        return result;
    }

    if (const Key* key = findKey(*section, keyName)) {
        result.append(text.substr(0, key->valueBegin));
        if (!key->hasEquals) {
            result += '=';
        }
        result.append(value).append(text.substr(key->valueEnd));
        return result;
    }

    // A new key goes after the section's last key line, or after its header.
    std::size_t lineEnd = section->lineEnd;
    std::size_t lineNext = section->lineNext;
    if (section->keyCount > 0) {
        const Key& last = keys_[section->firstKey + section->keyCount - 1];
        lineEnd = last.lineEnd;
        lineNext = last.lineNext;
    }
    const std::string line = std::string(keyName) + " = " + std::string(value);
    if (lineNext == lineEnd) { // the file's last line, without a line ending
        result.append(text.substr(0, lineEnd)).append(lineEnding_).append(line);
        result.append(text.substr(lineEnd));
    } else {
        result.append(text.substr(0, lineNext)).append(line).append(lineEnding_);
        result.append(text.substr(lineNext));
    }
    return result;
}

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

class FileHandle {
public:
    explicit FileHandle(const std::string& path)
        : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~FileHandle() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

// Reads the file and the identity of exactly the bytes read (fstat on the open file).
bool readWithIdentity(const std::string& path, std::string& bytes, FileIdentity& identity) {
    FileHandle file(path);
    struct stat info {};
    if (file.fd() < 0 || ::fstat(file.fd(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    bytes.assign(static_cast<std::size_t>(info.st_size), '\0');
    std::size_t done = 0;
    while (true) {
        if (done == bytes.size()) {
            bytes.resize(bytes.size() + 4096); // the file may have grown since fstat
        }
        const ssize_t got = ::read(file.fd(), bytes.data() + done, bytes.size() - done);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
    identity = FileIdentity::of(info);
    return true;
}

[[noreturn]] void failWrite(const std::string& path) {
    throw std::runtime_error("Unable to write to " + path);
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
        if (written) {
            try {
                writeFileAtomically(file.path, file.ini->bytes(), /*durable=*/false);
            } catch (const std::exception&) {
                written = false;
            }
        }
        if (!written) {
            // Like a failed single write: the rest of the batch is not written either.
            failWrite(file.path);
        }
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
    if (!readWithIdentity(path, bytes, identity) || bytes.find('\0') != std::string::npos) {
        return false;
    }
    // The first line whose first non-blank byte is "[" opens a section, as in parse().
    std::size_t pos = bytes.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    while (pos < bytes.size()) {
        while (pos < bytes.size() && isBlank(bytes[pos])) {
            ++pos;
        }
        if (pos < bytes.size() && bytes[pos] == '[') {
            return true;
        }
        const std::size_t end = lineEndFrom(bytes, pos);
        if (end >= bytes.size()) {
            break;
        }
        pos = end + 1;
    }
    return false;
}

void writeIniValue(const std::string& path, std::string_view section, std::string_view key,
                   std::string_view value) {
    // A line break in a name or value would turn one line into several and change other keys.
    if (key.empty() || breaksLines(section) || breaksLines(key) || breaksLines(value) ||
        section.find(']') != std::string_view::npos || key.find('=') != std::string_view::npos) {
        failWrite(path);
    }

    std::shared_ptr<const ParsedIni> current;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        // The owner's write permission stands for the read-only flag, which the profile
        // functions respect.
        if (!S_ISREG(info.st_mode) || (info.st_mode & S_IWUSR) == 0) {
            failWrite(path);
        }
        // Values of the open batch build on each other until it ends.
        if (const PendingParse pending = cache().pending(path)) {
            pending->assignValue(section, key, value);
            return;
        }
        // Never write on top of a trusted parse: another program may have changed the file.
        current = checkedIni(path);
        if (!current) {
            failWrite(path);
        }
    } else if (errno == ENOENT) {
        current = std::make_shared<const ParsedIni>(std::string());
    } else {
        failWrite(path);
    }
    if (!current->isText()) {
        failWrite(path);
    }

    if (cache().batchOpen() && S_ISREG(info.st_mode)) {
        auto pending = std::make_shared<ParsedIni>(*current);
        pending->assignValue(section, key, value);
        cache().storePending(path, FileIdentity::of(info), std::move(pending));
        return;
    }
    auto written = current->parsedWithValue(section, key, value);
    try {
        writeFileAtomically(path, written->bytes(), /*durable=*/false);
    } catch (const std::exception&) {
        cache().forget(path);
        failWrite(path);
    }
    if (::stat(path.c_str(), &info) == 0) {
        cache().store(path, FileIdentity::of(info), std::move(written));
    } else {
        cache().forget(path);
    }
}

} // namespace skarvel::ini
