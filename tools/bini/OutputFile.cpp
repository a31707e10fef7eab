#include "OutputFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace bini {

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }
    bool close() {
        const bool ok = fd_ < 0 || ::close(fd_) == 0;
        fd_ = -1;
        return ok;
    }

private:
    int fd_;
};

[[noreturn]] void fail(const std::string& what, const std::string& path, int error) {
    throw std::runtime_error(what + " " + path + ": " + std::strerror(error));
}

mode_t defaultFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

std::string readWholeFile(const std::string& path) {
    // Opening a named pipe waits for a writer and a device may never end: test before opening.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        fail("cannot read", path, errno);
    }
    if (!S_ISREG(info.st_mode)) {
        throw std::runtime_error("cannot read " + path + ": not a regular file");
    }
    // Should the path turn into a pipe after the test, the open still returns at once.
    Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0) {
        fail("cannot read", path, errno);
    }
    if (!S_ISREG(info.st_mode)) {
        throw std::runtime_error("cannot read " + path + ": not a regular file");
    }
    const auto tooLarge = [&path] {
        return std::runtime_error("cannot read " + path + ": larger than the " +
                                  std::to_string(kMaxInputSize >> 20) + " MB cap");
    };
    if (static_cast<std::uint64_t>(info.st_size) > kMaxInputSize) {
        throw tooLarge();
    }
    std::string bytes;
    char buffer[65536];
    while (true) {
        const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            fail("cannot read", path, errno);
        }
        if (got == 0) {
            return bytes;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
        if (bytes.size() > kMaxInputSize) {
            throw tooLarge(); // it grew while being read
        }
    }
}

void writeFileAtomically(const std::string& path, std::string_view bytes, bool replace) {
    mode_t mode = defaultFileMode();
    if (struct stat existing{}; replace && ::stat(path.c_str(), &existing) == 0) {
        mode = existing.st_mode & 07777;
    }
    std::string temporary = path + ".XXXXXX";
    Descriptor file(::mkstemp(temporary.data()));
    if (file.get() < 0) {
        fail("cannot write", path, errno);
    }
    std::size_t done = 0;
    int error = 0;
    while (done < bytes.size() && error == 0) {
        const ssize_t put = ::write(file.get(), bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno != EINTR) {
            error = errno;
        } else if (put > 0) {
            done += static_cast<std::size_t>(put);
        }
    }
    if (error == 0 &&
        (::fchmod(file.get(), mode) != 0 || ::fsync(file.get()) != 0 || !file.close())) {
        error = errno;
    }
    // link() fails when the target exists: no check-then-write race with another writer.
    if (error == 0 && (replace ? ::rename(temporary.c_str(), path.c_str())
                               : ::link(temporary.c_str(), path.c_str())) != 0) {
        error = errno;
    }
    file.close();
    if (error != 0 || !replace) {
        ::unlink(temporary.c_str());
    }
    if (error == EEXIST && !replace) {
        throw std::runtime_error("cannot write " + path + ": it exists (--force replaces it)");
    }
    if (error != 0) {
        fail("cannot write", path, error);
    }
}

} // namespace bini
