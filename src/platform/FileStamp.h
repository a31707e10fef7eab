#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace skarvel {

// What tells one state of a file on disk from another without reading it: device, inode
// (a file replaced by rename is a new one), size and the change times in nanoseconds.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modified = 0;
    std::int64_t changed = 0;

    // Nothing when the file does not exist or cannot be examined.
    static std::optional<FileStamp> of(const std::string& path);
    bool operator==(const FileStamp&) const = default;
};

} // namespace skarvel
