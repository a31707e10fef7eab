#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

class TJournal;

// Key access to one settings file, with the lookup rules of the Windows profile functions:
// the first section of a name and the first key of a name count, names are compared
// without regard to case, values come back trimmed (one pair of surrounding quotes
// removed, whole whatever its length), a missing file, section or key gives the default.
// ";" starts a comment line or a trailing comment. A file with a NUL byte is not text: it
// lists no section and is never rewritten.
//
// The object holds only the path; parsed files are cached by the shared engine and checked
// against the file on disk at every call, so changes made by others are seen at once.
class TUserIniFile {
public:
    // Journals "TUserIniFile_CREATE [ %s ]" (System). No file access.
    TUserIniFile(std::string path, TJournal& journal);
    ~TUserIniFile(); // flushes; never throws
    TUserIniFile(const TUserIniFile&) = delete;
    TUserIniFile& operator=(const TUserIniFile&) = delete;

    std::string ReadValue(std::string_view section, std::string_view key,
                          std::string_view defaultValue) const;
    // An empty value does nothing. Otherwise replaces the value in place (key spelling,
    // spacing around "=", trailing comment and every other byte stay), adds a missing key
    // after the last key line of its section, or a missing section at the end; the file is
    // replaced atomically. Then journals "TUserIniFile_WRITE_STRING - [%s] %s = %s" (Data).
    // Failure throws std::runtime_error "Unable to write to <path>: <cause>".
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    // As WriteString, into the section at position sectionIndex of the file's sections, which
    // must still be named sectionName; never adds a section. For sections that share a name.
    void WriteStringAt(std::size_t sectionIndex, std::string_view sectionName, std::string_view key,
                       std::string_view value);
    // As WriteStringAt, into the key at position keyIndex of the file's keys, which must
    // still be named key and lie in that section; never adds a key. For keys that share a name.
    void WriteStringOfKey(std::size_t sectionIndex, std::string_view sectionName,
                          std::size_t keyIndex, std::string_view key, std::string_view value);
    std::vector<std::string> ListSections() const;
    // ListSections().empty() == !HasSections(), cheaper on a file not read before.
    bool HasSections() const;
    std::vector<std::string> ListKeys(std::string_view section) const;
    // Makes every write so far durable (fsync).
    void Flush();

    const std::string& path() const { return path_; }

private:
    std::string path_;
    TJournal& journal_;
    bool dirty_ = false;
};

} // namespace skarvel
