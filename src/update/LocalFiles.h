#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace skarvel {

// A private file (mode 0600) in the temporary folder ($TMPDIR, else /tmp); removed again when
// the object goes away.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& namePrefix);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::string& path() const { return path_; }
    bool write(std::string_view bytes);
    // The text up to the first line end, from at most limit bytes of the file.
    std::string firstLine(std::size_t limit) const;

private:
    std::string path_;
    int fd_ = -1;
};

// The archive of a download. The bytes go into a temporary file beside the chosen one, which
// replaces the chosen file only in commit(); until then the chosen file stays as it was.
class DownloadFile {
public:
    // resume: the temporary file starts as a copy of the chosen file (a partial download).
    DownloadFile(std::string path, bool resume);
    // Removes the temporary file unless it was committed.
    ~DownloadFile();
    DownloadFile(const DownloadFile&) = delete;
    DownloadFile& operator=(const DownloadFile&) = delete;

    // An error text, empty when the bytes were written.
    std::string write(std::string_view bytes);
    // The bytes in the file so far, a resumed part included.
    std::int64_t size() const { return size_; }
    // Moves the complete file over the chosen one; throws when that fails.
    void commit();

private:
    void start(bool resume);

    std::string path_;
    std::string temporary_;
    int fd_ = -1;
    std::int64_t size_ = 0;
};

} // namespace skarvel
