#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct stat;

namespace skarvel {

// Closes a descriptor on every path out of a function.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() { close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now and reports whether the close succeeded (a late write error shows here).
    bool close();

private:
    int fd_;
};

// The loops around read(2) and write(2) that every whole-file access shares: a signal
// (EINTR) does not cut them short. On failure errno says why.
// readAll appends everything up to the end of the file; expectedSize (the size fstat gave)
// only saves growing the string while reading.
bool readAll(int fd, std::string& bytes, std::size_t expectedSize = 0);
bool writeAll(int fd, std::string_view bytes);

// Whole-file access. Paths are native; errors throw std::runtime_error.

bool fileExists(const std::string& path);      // a regular file
bool directoryExists(const std::string& path); // a folder

// What a file of that st_mode is when it is not a regular file, for messages: "a FIFO",
// "a folder", "a socket", "a character device", "a block device", "a symbolic link".
std::string_view fileKindText(unsigned int mode);

// The file's bytes; throws "Unable to read <path>: <cause>" (the system's text for errno).
// Opened without blocking: anything but a regular file is refused with "Unable to read
// <path>: it is a FIFO, not a regular file" (a folder: "Is a directory").
std::string readFile(const std::string& path);

// The bytes of a regular file of at most cap bytes, for files from anyone: the kind and the
// size are checked on the opened file before a byte is read (a FIFO never blocks). Throws
// std::runtime_error "<path> is not a regular file", "<path> is larger than the N MB cap"
// or "<path> cannot be read: <cause>".
std::string readRegularFile(const std::string& path, std::uint64_t cap);

// readRegularFile without throwing. info (when given) gets the fstat of what was opened, so
// the caller can name a kind that was refused or tell exactly which state of the file it
// read; after Failed, errno says why.
enum class RegularRead { Read, NotRegular, TooLarge, Failed };
RegularRead tryReadRegularFile(const std::string& path, std::uint64_t cap, std::string& bytes,
                               struct ::stat* info = nullptr);

// Replaces the file in one step: a temporary file in the same folder, then a rename over
// the old one, keeping its permission bits. A crash leaves the old file or the new one.
// durable: also fsync the file and its folder. Throws "Unable to write to <path>: <cause>".
// Reached through a symbolic link, the link's target is replaced and the link stays.
void writeFileAtomically(const std::string& path, std::string_view bytes, bool durable = true);

// The temporary file of a write is named after its file: <file> + kTemporaryMark + six
// characters, so that a leftover of a killed write is known to be ours.
inline constexpr std::string_view kTemporaryMark = ".skarvel-tmp-";

// Replaces several files together: each new content goes to a temporary beside its file
// (named as writeFileAtomically names it), written and synced, and none is renamed over its
// file before all are. The temporaries not renamed are removed with the object.
class StagedFiles {
public:
    StagedFiles() = default;
    ~StagedFiles();
    StagedFiles(const StagedFiles&) = delete;
    StagedFiles& operator=(const StagedFiles&) = delete;

    // Writes the bytes to a temporary beside the file (a link's target), keeping the file's
    // permission bits. Throws "Unable to write to <path>: <cause>" and leaves no temporary of
    // this file.
    void add(const std::string& path, std::string_view bytes);

    struct Commit {
        std::size_t renamed = 0; // the first `renamed` files in the order added
        std::string problem;     // why the next one was not; empty when all were
    };
    // Renames the temporaries over their files in the order added, stopping at the first
    // rename that fails, and syncs their folders.
    Commit commit();

    // The files as added.
    std::vector<std::string> paths() const;

private:
    struct Staged {
        std::string path;   // as given
        std::string target; // what the rename replaces
        std::string temporary;
    };
    void discard();

    std::vector<Staged> staged_;
};

// Removes the temporaries of ours that a killed write left beside the file (or beside the
// file a link points to); nothing else. Returns the paths removed. mark: what a writer puts
// between the file's name and mkstemp's six characters (the converter bini uses ".").
std::vector<std::string> removeLeftoverTemporaries(const std::string& path,
                                                   std::string_view mark = kTemporaryMark);

// fsync of a file and of its folder, for writes made without durable.
void syncFile(const std::string& path);

// Creates a new file (never replaces one) with the bytes and syncs it to disk. Throws
// "Unable to write to <path>: <cause>".
void writeNewFile(const std::string& path, std::string_view bytes);
// fsync of a folder, so that the names created or renamed in it last; false on failure.
bool syncFolder(const std::string& folder);

// The owner's write permission is the read-only flag here.
bool isReadOnly(const std::string& path);
// Gives the owner write permission back, keeping every other bit. False on failure.
bool clearReadOnly(const std::string& path);

// Test seam: replaces clearReadOnly (an empty function restores the real one).
void setClearReadOnlyForTesting(std::function<bool(const std::string&)> replacement);

// Test seam: asked with the path once the new content is written to the temporary file;
// true makes writeFileAtomically and StagedFiles::add fail there as on a full disk (ENOSPC);
// an empty function restores the real behaviour.
void setWriteFailureForTesting(std::function<bool(const std::string&)> fails);

} // namespace skarvel
