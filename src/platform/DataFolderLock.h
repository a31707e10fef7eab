#pragma once

#include <string>

namespace skarvel {

// An advisory lock (flock) on a folder itself, held until release() or the end of the
// object. Every copy of the editor locks the folder it works on, whatever path, folder or
// environment it came by, so two copies never edit one game at once. Nothing is written
// into the folder.
class DataFolderLock {
public:
    enum class Outcome {
        Taken,         // held now (or already held on this folder)
        HeldElsewhere, // another open of the folder holds it
        Missing,       // no such folder
        Unavailable,   // the folder cannot be opened or locked; see problem()
    };

    DataFolderLock() = default;
    ~DataFolderLock();
    DataFolderLock(const DataFolderLock&) = delete;
    DataFolderLock& operator=(const DataFolderLock&) = delete;

    // Locks folder. A lock already held on the same folder is kept; one held on another
    // folder is kept while this one is missing or held elsewhere, else let go.
    Outcome take(const std::string& folder);
    void release();

    bool held() const { return fd_ >= 0; }
    // Why the last take did not lock the folder.
    const std::string& problem() const { return problem_; }

    // The locking call (flock); tests replace it to act as a file system without locks.
    // Returns the call used before.
    using LockCall = int (*)(int fd, int operation);
    static LockCall replaceLockCall(LockCall call);

private:
    int fd_ = -1;
    std::string problem_;
};

} // namespace skarvel
