#pragma once

#include "support/JournalLines.h"

#include <filesystem>
#include <string>
#include <vector>

namespace skarvel::test {

// A fresh folder under the system's temporary folder, removed with its contents.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Native path with a trailing "/".
    std::string folder() const { return path_.string() + "/"; }

private:
    std::filesystem::path path_;
};

std::string readBytes(const std::filesystem::path& path);
// Creates the parent folders as needed.
void writeBytes(const std::filesystem::path& path, const std::string& bytes);
// Copies a folder of tests/data into target (recursively).
void copyFixture(const std::string& fixture, const std::filesystem::path& target);
std::filesystem::path fixturePath(const std::string& relative);
// What a folder holds, sorted: the names in it, or with recursive the paths of everything
// below it.
std::vector<std::string> folderListing(const std::filesystem::path& folder, bool recursive = false);

} // namespace skarvel::test
