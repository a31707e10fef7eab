#include "platform/FileStamp.h"

#include <sys/stat.h>

namespace skarvel {

namespace {

std::int64_t nanoseconds(const timespec& time) {
    return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

} // namespace

std::optional<FileStamp> FileStamp::of(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return FileStamp{static_cast<std::uint64_t>(info.st_dev),
                     static_cast<std::uint64_t>(info.st_ino),
                     static_cast<std::int64_t>(info.st_size), nanoseconds(info.st_mtim),
                     nanoseconds(info.st_ctim)};
}

} // namespace skarvel
