#include "platform/FileLock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace skarvel {

FileLock::~FileLock() {
    release();
}

void FileLock::release() {
    if (fd_ >= 0) {
        ::close(fd_); // the last descriptor of the open file drops its lock
        fd_ = -1;
    }
}

FileLock::Outcome FileLock::take(const std::string& path, std::chrono::milliseconds patience) {
    release();
    problem_.clear();
    // Not inherited by the converter: the lock must end with this program.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        problem_ = path + ": " + std::strerror(errno);
        return Outcome::Failed;
    }
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if (error == EINTR) {
            continue;
        }
        if (error != EWOULDBLOCK) {
            problem_ = path + ": " + std::strerror(error);
            ::close(fd);
            return Outcome::Failed;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            ::close(fd);
            return Outcome::Busy;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    fd_ = fd;
    return Outcome::Taken;
}

} // namespace skarvel
