#include "update/LocalFiles.h"

#include "platform/Files.h"
#include "platform/LineEnds.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace skarvel {

namespace {

std::string temporaryFolder() {
    const char* folder = std::getenv("TMPDIR");
    std::string path = folder && *folder ? folder : "/tmp";
    if (path.back() != '/') {
        path += '/';
    }
    return path;
}

} // namespace

TemporaryFile::TemporaryFile(const std::string& namePrefix) {
    std::string pattern = temporaryFolder() + namePrefix + "XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd_ = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd_ < 0) {
        throw std::runtime_error("Cannot create a temporary file in " + temporaryFolder() + ": " +
                                 std::strerror(errno));
    }
    path_ = name.data();
}

TemporaryFile::~TemporaryFile() {
    ::close(fd_);
    ::unlink(path_.c_str());
}

bool TemporaryFile::write(std::string_view bytes) {
    return writeAll(fd_, bytes);
}

std::string TemporaryFile::firstLine(std::size_t limit) const {
    std::string content(limit, '\0');
    std::size_t got = 0;
    while (got < limit) {
        const ssize_t read =
            ::pread(fd_, content.data() + got, limit - got, static_cast<off_t>(got));
        if (read < 0 && errno == EINTR) {
            continue;
        }
        if (read <= 0) {
            break;
        }
        got += static_cast<std::size_t>(read);
    }
    content.resize(got);
    return std::string(skarvel::firstLine(content));
}

DownloadFile::DownloadFile(std::string path, bool resume) : path_(std::move(path)) {
    // What a download cut short by a crash left beside the file goes first.
    removeLeftoverTemporaries(path_);
    temporary_ = path_ + std::string(kTemporaryMark) + "XXXXXX";
    fd_ = ::mkostemp(temporary_.data(), O_CLOEXEC);
    if (fd_ < 0) {
        throw std::runtime_error("Cannot create a file beside " + path_ + ": " +
                                 std::strerror(errno));
    }
    try {
        start(resume);
    } catch (...) {
        ::close(fd_);
        ::unlink(temporary_.c_str());
        throw;
    }
}

void DownloadFile::start(bool resume) {
    // The finished file gets the usual permissions, or those of the file it replaces.
    struct stat old {};
    const mode_t mode = ::stat(path_.c_str(), &old) == 0 ? old.st_mode & 07777 : 0644;
    if (::fchmod(fd_, mode) != 0) {
        throw std::runtime_error("Cannot write " + temporary_ + ": " + std::strerror(errno));
    }
    if (!resume) {
        return;
    }
    FileDescriptor partial(::open(path_.c_str(), O_RDONLY | O_CLOEXEC));
    if (!partial.valid()) {
        throw std::runtime_error("Cannot open " + path_ + ": " + std::strerror(errno));
    }
    std::string bytes;
    if (!readAll(partial.get(), bytes)) {
        throw std::runtime_error("Cannot read " + path_ + ": " + std::strerror(errno));
    }
    partial.close();
    if (std::string error = write(bytes); !error.empty()) {
        throw std::runtime_error(error);
    }
}

DownloadFile::~DownloadFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
    }
}

std::string DownloadFile::write(std::string_view bytes) {
    if (!writeAll(fd_, bytes)) {
        return "Cannot write " + temporary_ + ": " + std::strerror(errno);
    }
    size_ += static_cast<std::int64_t>(bytes.size());
    return {};
}

void DownloadFile::commit() {
    const int fd = std::exchange(fd_, -1);
    const bool written = ::fsync(fd) == 0;
    if (::close(fd) != 0 || !written) {
        throw std::runtime_error("Cannot write " + temporary_ + ": " + std::strerror(errno));
    }
    if (::rename(temporary_.c_str(), path_.c_str()) != 0) {
        throw std::runtime_error("Cannot replace " + path_ + ": " + std::strerror(errno));
    }
    temporary_.clear();
}

} // namespace skarvel
