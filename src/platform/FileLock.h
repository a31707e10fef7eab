#pragma once

#include <chrono>
#include <string>

namespace skarvel {

// An advisory lock (flock) on a file of its own, made when missing, held until release() or
// the end of the object. Each lock opens the file anew, so copies of the program and threads
// with locks of their own wait for each other. The file's bytes are never read or written.
class FileLock {
public:
    enum class Outcome {
        Taken,  // held now
        Busy,   // still held by another lock when the patience ran out
        Failed, // the file cannot be made, opened or locked; see problem()
    };

    FileLock() = default;
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Waits at most `patience` for the lock on the file at path.
    Outcome take(const std::string& path, std::chrono::milliseconds patience);
    void release();

    bool held() const { return fd_ >= 0; }
    const std::string& problem() const { return problem_; }

private:
    int fd_ = -1;
    std::string problem_;
};

} // namespace skarvel
