#include "platform/Files.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace skarvel {

namespace {

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string linkTarget(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
        return path;
    }
    std::error_code error;
    const auto target = std::filesystem::canonical(path, error);
    return error ? path : target.string();
}

bool realClearReadOnly(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return false;
    }
    return ::chmod(path.c_str(), (info.st_mode & 07777) | S_IWUSR) == 0;
}

std::function<bool(const std::string&)>& clearReadOnlyReplacement() {
    static std::function<bool(const std::string&)> replacement;
    return replacement;
}

std::function<bool(const std::string&)>& writeFailure() {
    static std::function<bool(const std::string&)> fails;
    return fails;
}

bool injectedWriteFailure(const std::string& path) {
    const auto& fails = writeFailure();
    if (fails && fails(path)) {
        errno = ENOSPC; // as a full disk fails
        return true;
    }
    return false;
}

// "<what> <path>: <the system's cause>", errno taken as the failing call left it.
std::runtime_error failure(std::string_view what, const std::string& path, int cause) {
    return std::runtime_error(std::string(what) + " " + path + ": " + std::strerror(cause));
}

} // namespace

bool FileDescriptor::close() {
    if (fd_ < 0) {
        return true;
    }
    return ::close(std::exchange(fd_, -1)) == 0;
}

bool readAll(int fd, std::string& bytes, std::size_t expectedSize) {
    constexpr std::size_t kChunk = 65536;
    std::size_t done = bytes.size();
    // One byte more than expected, so that the end of the file shows without growing.
    bytes.resize(done + (expectedSize > 0 ? expectedSize + 1 : kChunk));
    for (;;) {
        if (done == bytes.size()) {
            bytes.resize(done + std::max(done, kChunk)); // the file grew since fstat
        }
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int cause = errno;
            bytes.resize(done);
            errno = cause;
            return false;
        }
        if (n == 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    return true;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool fileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool directoryExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string_view fileKindText(unsigned int mode) {
    switch (mode & S_IFMT) {
    case S_IFIFO:
        return "a FIFO";
    case S_IFDIR:
        return "a folder";
    case S_IFSOCK:
        return "a socket";
    case S_IFCHR:
        return "a character device";
    case S_IFBLK:
        return "a block device";
    case S_IFLNK:
        return "a symbolic link";
    case S_IFREG:
        return "a regular file";
    default:
        return "a file of an unknown kind";
    }
}

RegularRead tryReadRegularFile(const std::string& path, std::uint64_t cap, std::string& bytes,
                               struct ::stat* given) {
    struct stat own {};
    struct stat& info = given != nullptr ? *given : own;
    bytes.clear();
    // Non-blocking, so that a FIFO put there after any earlier test opens at once; fstat
    // then tells what was opened.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!file.valid() || ::fstat(file.get(), &info) != 0) {
        return RegularRead::Failed;
    }
    if (!S_ISREG(info.st_mode)) {
        return RegularRead::NotRegular;
    }
    if (static_cast<std::uint64_t>(info.st_size) > cap) {
        return RegularRead::TooLarge;
    }
    // Read one byte beyond the cap at most: a file that grows meanwhile is not read whole.
    bytes.resize(static_cast<std::size_t>(info.st_size) + 1);
    std::size_t done = 0;
    while (true) {
        if (done == bytes.size()) {
            if (done > cap) {
                bytes.clear();
                return RegularRead::TooLarge;
            }
            bytes.resize(std::min<std::uint64_t>(cap + 1, done * 2 + 4096));
        }
        const ssize_t n = ::read(file.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            const int cause = errno;
            bytes.clear();
            errno = cause;
            return RegularRead::Failed;
        }
        if (n == 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (done > cap) {
        bytes.clear();
        return RegularRead::TooLarge;
    }
    bytes.resize(done);
    return RegularRead::Read;
}

std::string readRegularFile(const std::string& path, std::uint64_t cap) {
    std::string bytes;
    switch (tryReadRegularFile(path, cap, bytes)) {
    case RegularRead::Read:
        return bytes;
    case RegularRead::NotRegular:
        throw std::runtime_error(path + " is not a regular file");
    case RegularRead::TooLarge:
        throw std::runtime_error(path + " is larger than the " + std::to_string(cap >> 20) +
                                 " MB cap");
    case RegularRead::Failed:
        break;
    }
    throw std::runtime_error(path + " cannot be read: " + std::strerror(errno));
}

std::string readFile(const std::string& path) {
    const auto fail = [&path]() { return failure("Unable to read", path, errno); };
    // Without blocking: a FIFO put where a file belongs opens at once and is refused.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat info {};
    if (!fd.valid() || ::fstat(fd.get(), &info) != 0) {
        throw fail();
    }
    if (S_ISDIR(info.st_mode)) {
        throw failure("Unable to read", path, EISDIR);
    }
    if (!S_ISREG(info.st_mode)) {
        throw std::runtime_error("Unable to read " + path + ": it is " +
                                 std::string(fileKindText(info.st_mode)) + ", not a regular file");
    }
    std::string bytes;
    if (!readAll(fd.get(), bytes, info.st_size > 0 ? static_cast<std::size_t>(info.st_size) : 0)) {
        throw fail();
    }
    return bytes;
}

void writeFileAtomically(const std::string& givenPath, std::string_view bytes, bool durable) {
    // A link stays a link: the file it points to is the one replaced.
    const std::string path = linkTarget(givenPath);
    const std::string folder = folderOf(path);
    std::string temporary = path + std::string(kTemporaryMark) + "XXXXXX";
    FileDescriptor fd(::mkstemp(temporary.data()));
    if (!fd.valid()) {
        throw failure("Unable to write to", givenPath, errno);
    }

    // The new file takes over the old one's permissions; a new file gets the usual ones.
    mode_t mode = 0644;
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0) {
        mode = old.st_mode & 07777;
    }

    const bool ok = writeAll(fd.get(), bytes) && !injectedWriteFailure(givenPath) &&
                    (!durable || ::fsync(fd.get()) == 0) && ::fchmod(fd.get(), mode) == 0 &&
                    fd.close() && ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) {
        const int cause = errno;
        fd.close();
        ::unlink(temporary.c_str());
        throw failure("Unable to write to", givenPath, cause);
    }
    if (durable) {
        // The rename is done; a folder that cannot be synced does not undo it.
        syncFolder(folder);
    }
}

StagedFiles::~StagedFiles() {
    discard();
}

void StagedFiles::discard() {
    for (const Staged& file : staged_) {
        ::unlink(file.temporary.c_str());
    }
    staged_.clear();
}

void StagedFiles::add(const std::string& givenPath, std::string_view bytes) {
    Staged file{givenPath, linkTarget(givenPath), {}};
    file.temporary = file.target + std::string(kTemporaryMark) + "XXXXXX";
    FileDescriptor fd(::mkstemp(file.temporary.data()));
    if (!fd.valid()) {
        throw failure("Unable to write to", givenPath, errno);
    }
    mode_t mode = 0644;
    struct stat old {};
    if (::stat(file.target.c_str(), &old) == 0) {
        mode = old.st_mode & 07777;
    }
    const bool ok = writeAll(fd.get(), bytes) && !injectedWriteFailure(givenPath) &&
                    ::fsync(fd.get()) == 0 && ::fchmod(fd.get(), mode) == 0 && fd.close();
    if (!ok) {
        const int cause = errno;
        fd.close();
        ::unlink(file.temporary.c_str());
        throw failure("Unable to write to", givenPath, cause);
    }
    staged_.push_back(std::move(file));
}

StagedFiles::Commit StagedFiles::commit() {
    Commit done;
    std::vector<std::string> folders;
    for (; done.renamed < staged_.size(); ++done.renamed) {
        const Staged& file = staged_[done.renamed];
        if (::rename(file.temporary.c_str(), file.target.c_str()) != 0) {
            done.problem = failure("Unable to write to", file.path, errno).what();
            break;
        }
        if (std::find(folders.begin(), folders.end(), folderOf(file.target)) == folders.end()) {
            folders.push_back(folderOf(file.target));
        }
    }
    // The renamed ones are in place: only the others' temporaries go.
    staged_.erase(staged_.begin(), staged_.begin() + static_cast<std::ptrdiff_t>(done.renamed));
    discard();
    for (const std::string& folder : folders) {
        syncFolder(folder);
    }
    return done;
}

std::vector<std::string> StagedFiles::paths() const {
    std::vector<std::string> paths;
    for (const Staged& file : staged_) {
        paths.push_back(file.path);
    }
    return paths;
}

std::vector<std::string> removeLeftoverTemporaries(const std::string& givenPath,
                                                   std::string_view mark) {
    const std::filesystem::path path(linkTarget(givenPath));
    const std::string prefix = path.filename().string() + std::string(mark);
    std::vector<std::string> removed;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(path.parent_path(), error)) {
        const std::string name = entry.path().filename().string();
        // mkstemp's six characters are letters and digits.
        const bool ours = name.size() == prefix.size() + 6 && name.starts_with(prefix) &&
                          std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()),
                                      name.end(), [](unsigned char c) { return std::isalnum(c); });
        std::error_code ignored;
        if (ours && entry.is_regular_file(ignored) &&
            std::filesystem::remove(entry.path(), ignored)) {
            removed.push_back(entry.path().string());
        }
    }
    return removed;
}

bool syncFolder(const std::string& folder) {
    FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return fd.valid() && ::fsync(fd.get()) == 0;
}

void writeNewFile(const std::string& path, std::string_view bytes) {
    FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
    const bool ok = fd.valid() && writeAll(fd.get(), bytes) && ::fsync(fd.get()) == 0 && fd.close();
    if (!ok) {
        throw failure("Unable to write to", path, errno);
    }
}

void syncFile(const std::string& path) {
    {
        FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        if (fd.valid()) {
            ::fsync(fd.get());
        }
    }
    syncFolder(folderOf(path));
}

bool isReadOnly(const std::string& path) {
    struct stat info {};
    // Mode bits, not access(): root may write to any file, but the flag is still set.
    return ::stat(path.c_str(), &info) == 0 && (info.st_mode & S_IWUSR) == 0;
}

bool clearReadOnly(const std::string& path) {
    if (const auto& replacement = clearReadOnlyReplacement()) {
        return replacement(path);
    }
    return realClearReadOnly(path);
}

void setClearReadOnlyForTesting(std::function<bool(const std::string&)> replacement) {
    clearReadOnlyReplacement() = std::move(replacement);
}

void setWriteFailureForTesting(std::function<bool(const std::string&)> fails) {
    writeFailure() = std::move(fails);
}

} // namespace skarvel
