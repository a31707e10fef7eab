#include "update/LocalFiles.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>
#include <vector>

namespace skarvel {

namespace {

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

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
    return content.substr(0, content.find_first_of("\r\n"));
}

DownloadFile::DownloadFile(std::string path, DownloadStart start)
    : path_(std::move(path)), start_(start) {}

DownloadFile::~DownloadFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

std::string DownloadFile::open() {
    const int flags =
        start_ == DownloadStart::Resume ? O_WRONLY | O_APPEND : O_WRONLY | O_CREAT | O_TRUNC;
    fd_ = ::open(path_.c_str(), flags | O_CLOEXEC, 0666);
    if (fd_ < 0) {
        return "Cannot open " + path_ + ": " + std::strerror(errno);
    }
    return {};
}

std::string DownloadFile::write(std::string_view bytes) {
    if (fd_ < 0) {
        if (std::string error = open(); !error.empty()) {
            return error;
        }
    }
    if (!writeAll(fd_, bytes)) {
        return "Cannot write " + path_ + ": " + std::strerror(errno);
    }
    return {};
}

void DownloadFile::finish() {
    if (fd_ < 0) {
        if (std::string error = open(); !error.empty()) {
            throw std::runtime_error(error);
        }
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        throw std::runtime_error("Cannot write " + path_ + ": " + std::strerror(errno));
    }
}

} // namespace skarvel
