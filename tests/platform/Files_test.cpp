#include "platform/Files.h"
#include "support/Errors.h"
#include "support/TestFiles.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>
#include <sys/stat.h>

namespace skarvel {
namespace {

namespace fs = std::filesystem;
using test::readBytes;
using test::TempDir;
using test::writeBytes;

mode_t modeOf(const fs::path& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0);
    return info.st_mode & 07777;
}

TEST(AtomicWrite, ReplacesContentKeepsPermissionsAndLeavesNoTemporaryFile) {
    TempDir dir;
    const auto file = dir.path() / "goods.ini";
    writeBytes(file, "old\r\n");
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);

    writeFileAtomically(file.string(), std::string("new\r\n\0binary", 13));

    EXPECT_EQ(readBytes(file), std::string("new\r\n\0binary", 13));
    EXPECT_EQ(modeOf(file), 0640u);
    EXPECT_EQ(test::folderListing(dir.path()), std::vector<std::string>{"goods.ini"});

    // A read-only file stays read-only after the rewrite.
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    writeFileAtomically(file.string(), "third", false);
    EXPECT_EQ(readBytes(file), "third");
    EXPECT_EQ(modeOf(file), 0444u);
}

TEST(AtomicWrite, NewFileGetsOrdinaryPermissions) {
    TempDir dir;
    const auto file = dir.path() / "new.ini";
    writeFileAtomically(file.string(), "");
    EXPECT_TRUE(fileExists(file.string()));
    EXPECT_EQ(readBytes(file), "");
    EXPECT_EQ(modeOf(file), 0644u);
}

TEST(AtomicWrite, WritesThroughALinkAndKeepsTheLink) {
    TempDir dir;
    writeBytes(dir.path() / "real.ini", "old");
    fs::create_symlink("real.ini", dir.path() / "link.ini");
    writeFileAtomically((dir.path() / "link.ini").string(), "new");
    EXPECT_TRUE(fs::is_symlink(dir.path() / "link.ini"));
    EXPECT_EQ(readBytes(dir.path() / "real.ini"), "new");
}

TEST(AtomicWrite, FailureThrowsAndLeavesTheOldFileAndNoTemporaryFile) {
    TempDir dir;
    const auto missingFolder = dir.path() / "missing" / "file.ini";
    EXPECT_EQ(test::errorOf<std::runtime_error>(
                  [&] { writeFileAtomically(missingFolder.string(), "x"); }),
              "Unable to write to " + missingFolder.string() + ": No such file or directory");

    // The target is a folder: the rename fails after the temporary file was written.
    const auto folderTarget = dir.path() / "DATA";
    writeBytes(folderTarget / "shiparch.ini", "kept");
    EXPECT_THROW(writeFileAtomically(folderTarget.string(), "x"), std::runtime_error);
    EXPECT_EQ(readBytes(folderTarget / "shiparch.ini"), "kept");
    EXPECT_EQ(test::folderListing(dir.path()), std::vector<std::string>{"DATA"});

    // A folder in the path replaced by a file.
    writeBytes(dir.path() / "Ships", "not a folder");
    EXPECT_THROW(writeFileAtomically((dir.path() / "Ships" / "a.ini").string(), "x"),
                 std::runtime_error);
    EXPECT_EQ(readBytes(dir.path() / "Ships"), "not a folder");
}

TEST(ReadFile, ReturnsBytesOrThrowsWithThePath) {
    TempDir dir;
    const std::string bytes("a\0b\r\n\xF6", 6);
    writeBytes(dir.path() / "f", bytes);
    EXPECT_EQ(readFile((dir.path() / "f").string()), bytes);

    const auto missing = (dir.path() / "none").string();
    EXPECT_EQ(test::errorOf<std::runtime_error>([&] { readFile(missing); }),
              "Unable to read " + missing + ": No such file or directory");
    EXPECT_THROW(readFile(dir.path().string()), std::runtime_error);
}

// Files from anyone: only a regular file up to the cap is read, and a FIFO never blocks.
TEST(ReadFile, ARegularFileUpToTheCapOrItsReason) {
    TempDir dir;
    const auto at = [&](const char* name) { return (dir.path() / name).string(); };
    writeBytes(at("small"), "[Ship]\r\n");
    writeBytes(at("huge"), "x");
    std::filesystem::resize_file(at("huge"), std::uintmax_t{1} << 40); // sparse
    ASSERT_EQ(::mkfifo(at("fifo").c_str(), 0600), 0);
    std::filesystem::create_directory(at("folder"));
    EXPECT_EQ(readRegularFile(at("small"), 8), "[Ship]\r\n");
    const std::pair<const char*, std::string> refused[] = {
        {"small", " is larger than the 0 MB cap"}, // 8 bytes over a cap of 7
        {"huge", " is larger than the 64 MB cap"},
        {"fifo", " is not a regular file"},
        {"folder", " is not a regular file"},
        {"none", " cannot be read: No such file or directory"},
    };
    for (const auto& [name, reason] : refused) {
        const std::uint64_t cap = std::string_view(name) == "small" ? 7 : 64ull << 20;
        EXPECT_EQ(test::errorOf<std::runtime_error>([&] { readRegularFile(at(name), cap); }),
                  at(name) + reason);
    }
}

// Every failed read or write names the system's cause, so that the user can act on it.
TEST(FileErrors, NameTheSystemsCause) {
    TempDir dir;
    writeBytes(dir.path() / "Ships", "a file where a folder belongs");
    const std::string underFile = (dir.path() / "Ships" / "shiparch.ini").string();
    const std::string game = (dir.path() / "goods.ini").string();
    writeBytes(game, "[Good]\r\n");
    struct Case {
        const char* name;
        std::function<void()> access;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"write below a file", [&] { writeFileAtomically(underFile, "x"); },
         "Unable to write to " + underFile + ": Not a directory"},
        {"new file below a file", [&] { writeNewFile(underFile, "x"); },
         "Unable to write to " + underFile + ": Not a directory"},
        {"read below a file", [&] { readFile(underFile); },
         "Unable to read " + underFile + ": Not a directory"},
        {"read a folder", [&] { readFile(dir.path().string()); },
         "Unable to read " + dir.path().string() + ": Is a directory"},
        {"read a FIFO without blocking",
         [&] {
             ASSERT_EQ(::mkfifo((dir.path() / "fifo").c_str(), 0600), 0);
             readFile((dir.path() / "fifo").string());
         },
         "Unable to read " + (dir.path() / "fifo").string() + ": it is a FIFO, not a regular file"},
        {"full disk",
         [&] {
             setWriteFailureForTesting([](const std::string&) { return true; });
             try {
                 writeFileAtomically(game, "x");
             } catch (...) {
                 setWriteFailureForTesting({});
                 throw;
             }
         },
         "Unable to write to " + game + ": No space left on device"},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        EXPECT_EQ(test::errorOf<std::runtime_error>(each.access), each.expected);
    }
    EXPECT_EQ(readBytes(game), "[Good]\r\n");
}

TEST(ReadAll, AppendsTheWholeFileWhateverSizeWasExpected) {
    TempDir dir;
    const auto file = dir.path() / "shiparch.ini";
    const std::string bytes = std::string(70000, 'x') + std::string("\r\n\0end", 6);
    writeBytes(file, bytes);
    // fstat's size may be stale: too small, exact, too large, or unknown.
    for (const std::size_t expected :
         {std::size_t{0}, std::size_t{1}, bytes.size(), bytes.size() + 9}) {
        FileDescriptor fd(::open(file.c_str(), O_RDONLY));
        std::string read = "kept";
        ASSERT_TRUE(readAll(fd.get(), read, expected));
        EXPECT_EQ(read, "kept" + bytes) << expected;
    }
    std::string none;
    EXPECT_FALSE(readAll(-1, none));
    EXPECT_EQ(errno, EBADF);
    EXPECT_FALSE(writeAll(-1, "x"));
}

TEST(ReadOnlyFlag, IsTheOwnerWriteBitAndClearingKeepsOtherBits) {
    TempDir dir;
    const auto file = dir.path() / "constants.ini";
    writeBytes(file, "x");
    ASSERT_EQ(::chmod(file.c_str(), 0555), 0);
    // Mode bits decide, even for a user who could write anyway.
    EXPECT_TRUE(isReadOnly(file.string()));

    EXPECT_TRUE(clearReadOnly(file.string()));
    EXPECT_FALSE(isReadOnly(file.string()));
    EXPECT_EQ(modeOf(file), 0755u);

    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    EXPECT_FALSE(isReadOnly(file.string()));

    EXPECT_FALSE(isReadOnly((dir.path() / "none").string()));
    EXPECT_FALSE(clearReadOnly((dir.path() / "none").string()));
}

TEST(ReadOnlyFlag, TestSeamReplacesClearingUntilReset) {
    TempDir dir;
    const auto file = dir.path() / "goods.ini";
    writeBytes(file, "x");
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);

    std::vector<std::string> asked;
    setClearReadOnlyForTesting([&asked](const std::string& path) {
        asked.push_back(path);
        return false;
    });
    EXPECT_FALSE(clearReadOnly(file.string()));
    EXPECT_TRUE(isReadOnly(file.string()));
    EXPECT_EQ(asked, std::vector<std::string>{file.string()});

    setClearReadOnlyForTesting({});
    EXPECT_TRUE(clearReadOnly(file.string()));
    EXPECT_FALSE(isReadOnly(file.string()));
}

} // namespace
} // namespace skarvel
