#pragma once

#include <cstddef>
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

// How a download treats the file it writes into.
enum class DownloadStart { NewFile, Replace, Resume };

// The local file of a download. It is opened at the first byte, so a fetch that fails before
// any data arrives leaves an existing file as it was.
class DownloadFile {
public:
    DownloadFile(std::string path, DownloadStart start);
    ~DownloadFile();
    DownloadFile(const DownloadFile&) = delete;
    DownloadFile& operator=(const DownloadFile&) = delete;

    // An error text, empty when the bytes were written.
    std::string write(std::string_view bytes);
    // Creates the file of an empty download and closes it; throws when that fails.
    void finish();

private:
    std::string open();

    std::string path_;
    DownloadStart start_;
    int fd_ = -1;
};

} // namespace skarvel
