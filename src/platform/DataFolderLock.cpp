#include "platform/DataFolderLock.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace skarvel {

namespace {

DataFolderLock::LockCall lockCall = &::flock;

bool sameFile(int fd, int other) {
    struct stat a {};
    struct stat b {};
    return ::fstat(fd, &a) == 0 && ::fstat(other, &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

} // namespace

DataFolderLock::LockCall DataFolderLock::replaceLockCall(LockCall call) {
    const LockCall before = lockCall;
    lockCall = call;
    return before;
}

DataFolderLock::~DataFolderLock() {
    release();
}

void DataFolderLock::release() {
    if (fd_ >= 0) {
        ::close(fd_); // the last descriptor of the open file drops its lock
        fd_ = -1;
    }
}

DataFolderLock::Outcome DataFolderLock::take(const std::string& folder) {
    problem_.clear();
    // The canonical path, so that a link or a "data/.." path meets the same folder.
    char* canonical = ::realpath(folder.c_str(), nullptr);
    const std::string path = canonical ? canonical : folder;
    std::free(canonical);
    // Not inherited by the converter: a lock must end with this program.
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) {
            return Outcome::Missing;
        }
        problem_ = path + ": " + std::strerror(error);
        release();
        return Outcome::Unavailable;
    }
    if (fd_ >= 0 && sameFile(fd, fd_)) {
        ::close(fd);
        return Outcome::Taken;
    }
    if (lockCall(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK) {
            return Outcome::HeldElsewhere;
        }
        problem_ = path + ": " + std::strerror(error);
        release();
        return Outcome::Unavailable;
    }
    release();
    fd_ = fd;
    return Outcome::Taken;
}

} // namespace skarvel
