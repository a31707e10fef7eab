#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace skarvel::ini {

// The parsed form of one settings file. Positions are byte offsets into bytes(), which is
// never changed after parsing, so a rewrite can splice new text into the original bytes.
class ParsedIni {
public:
    struct Key {
        std::size_t nameBegin = 0, nameEnd = 0;
        // The value's text: after "=", without the blanks around it and without a trailing
        // comment. Empty (begin == end) when there is no value; then begin is where one goes.
        std::size_t valueBegin = 0, valueEnd = 0;
        bool hasEquals = false;
        std::size_t section = 0;  // index into sections()
        std::size_t lineEnd = 0;  // end of the line's text
        std::size_t lineNext = 0; // start of the next line (after the line ending)
    };
    struct Section {
        std::size_t nameBegin = 0, nameEnd = 0;
        std::size_t lineBegin = 0, lineEnd = 0, lineNext = 0; // of the header line
        std::size_t firstKey = 0, keyCount = 0;               // into keys()
    };

    explicit ParsedIni(std::string bytes);
    // Copied only on purpose: a file's parse is large.
    explicit ParsedIni(const ParsedIni&) = default;
    ParsedIni& operator=(const ParsedIni&) = delete;

    const std::string& bytes() const { return bytes_; }
    // False when the file holds a NUL byte: such a file has no sections and is never rewritten.
    bool isText() const { return isText_; }
    // The line end most lines of the file have (CR LF on a tie or when it has none): what a
    // line the program adds ends with.
    std::string_view lineEnding() const;

    const std::vector<Section>& sections() const { return sections_; }
    const std::vector<Key>& keys() const { return keys_; }
    // Unique to this parse's sections, headers and nickname values: it changes whenever one of
    // them may have, so an index over them (SectionFinder.h) knows to build itself again.
    std::uint64_t layoutStamp() const { return layoutStamp_.value; }

    // The first section / the first key of that name, compared without regard to ASCII case.
    // In a file whose sections of a numbered kind all have plain headers, the k-th of them
    // also answers to kind + k ("Ship3"), as if numbered: the numbering held in memory.
    const Section* findSection(std::string_view name) const;
    // The name a section answers to as numbered: its own, or kind + k for a plain one.
    std::string numberedName(const Section& section) const;
    const Key* findKey(const Section& section, std::string_view name) const;

    std::string_view name(const Section& section) const;
    std::string_view name(const Key& key) const;
    // The header line of the section, without its line end (and without the file's byte
    // order mark).
    std::string_view headerLine(const Section& section) const;
    // Trimmed, one pair of surrounding double quotes removed; whole, whatever its length.
    std::string value(const Key& key) const;

    // The file's bytes with the value set: replaced in place, or a key line added after the
    // last key line of the section, or the section added at the end.
    std::string withValue(std::string_view section, std::string_view key,
                          std::string_view value) const;

    // The parsed form of withValue's bytes. A plain replacement of an existing value shifts
    // the positions instead of parsing the whole file again.
    std::shared_ptr<const ParsedIni> parsedWithValue(std::string_view section, std::string_view key,
                                                     std::string_view value) const;
    // Sets the value in this parse, as parsedWithValue does in a copy.
    void assignValue(std::string_view section, std::string_view key, std::string_view value);
    // Sets the value in the section at that position of sections(), for files whose sections
    // share a name; the section must exist.
    void assignValueAt(std::size_t sectionIndex, std::string_view key, std::string_view value);
    // Sets the value of the key at that position of keys(), for keys that share a name
    // within their section (a [BaseGood]'s MarketGood lines); the key must exist.
    void assignValueOfKey(std::size_t keyIndex, std::string_view value);

private:
    ParsedIni() = default;
    void parse();
    void buildIndexes();
    // section: where the value goes, or null to add a section named sectionName at the end.
    // which: the key line to set, else the first key of that name.
    std::string withValueIn(const Section* section, std::string_view sectionName,
                            std::string_view key, std::string_view value,
                            const Key* which = nullptr) const;
    void assignValueIn(const Section* section, std::string_view sectionName, std::string_view key,
                       std::string_view value, const Key* which = nullptr);

    // A fresh number at every construction, copy and change of the layout.
    struct Stamp {
        std::uint64_t value = next();
        Stamp() = default;
        Stamp(const Stamp&) : value(next()) {}
        Stamp& operator=(const Stamp&) {
            value = next();
            return *this;
        }
        static std::uint64_t next();
    };

    std::string bytes_;
    Stamp layoutStamp_;
    bool isText_ = true;
    std::vector<Section> sections_;
    std::vector<Key> keys_;
    // Open-addressing tables over the names without regard to case: slot = index + 1 of the
    // first section of a name, and of the first key of a name within its section; 0 = free.
    std::vector<std::uint32_t> sectionSlots_;
    std::vector<std::uint32_t> keySlots_;
    // Lower-case "ship3" -> index of the fourth plain [Ship], for files without numbers.
    std::unordered_map<std::string, std::size_t> numberedAliases_;
    // By section: its alias, "" for none (the way back, so that naming every section is linear).
    std::vector<std::string> aliasOf_;
};

// Whether the bytes hold a section header line, as their parse would find (none when they
// hold a NUL byte); without parsing them.
bool hasSectionHeader(std::string_view bytes);

// The current parsed state of a file, kept in a process-wide cache and checked against the
// file on disk (size, change times, inode) with one stat per call, or once per file inside a
// ReadOnlyPhase. Null when the file does not exist or cannot be read.
std::shared_ptr<const ParsedIni> currentIni(const std::string& path);

// Whether the file has at least one section header, as its parse would; without parsing a
// file the cache does not hold (the check for compressed files runs before the numbering
// rewrites every file anyway).
bool hasSection(const std::string& path);

// While one is alive, a file already checked in it is trusted without another stat. For the
// read-only parts of one command (a ship load reads one key of each of thousands of sections):
// the process writes nothing then, and a change by another program within those milliseconds
// is seen by the next command. Writes through writeIniValue keep the cache exact regardless.
class ReadOnlyPhase {
public:
    ReadOnlyPhase();
    ~ReadOnlyPhase();
    ReadOnlyPhase(const ReadOnlyPhase&) = delete;
    ReadOnlyPhase& operator=(const ReadOnlyPhase&) = delete;
};

// Sets one value and replaces the file atomically (without fsync), then updates the cache
// from the bytes written. Throws std::runtime_error "Unable to write to <path>: <cause>" when the
// file cannot be read or written, is read-only, is not text, or a name or the value would
// break the line structure.
void writeIniValue(const std::string& path, std::string_view section, std::string_view key,
                   std::string_view value);
// The same for the section at position sectionIndex of the file's sections, which must still
// be named sectionName (letter case ignored); a section is never added. For sections found
// by their content (a nickname) among sections that share a name.
void writeIniValueAt(const std::string& path, std::size_t sectionIndex,
                     std::string_view sectionName, std::string_view key, std::string_view value);

// The same for the key at position keyIndex of the file's keys, which must still be named key
// and lie in the section at sectionIndex named sectionName; a key is never added. For keys
// found by their value among keys that share a name.
void writeIniValueOfKey(const std::string& path, std::size_t sectionIndex,
                        std::string_view sectionName, std::size_t keyIndex, std::string_view key,
                        std::string_view value);

// Replaces the file's whole text (lines edited by the caller from its current bytes): inside a
// WriteBatch as one more change of that file, else written at once. The same refusals as
// writeIniValue.
void replaceIniBytes(const std::string& path, std::string bytes);

// The rule: each file gets all of the batch's values or none of them.
// Within one, value writes change the cached parse at once and reach the disk when it ends:
// one atomic replacement per file instead of one per value (a save writes some forty values,
// most into the largest file). Reads see the written values. A write's checks (the file
// exists, is writable and is text) still fail at once. commit() writes the files in the
// order of their first write and throws "Unable to write to <path>: <cause>" at the first that
// cannot be written (or that another program changed since), leaving it and the rest unwritten.
// Ended without commit(), as by an error, it writes nothing of what it holds.
class WriteBatch {
public:
    WriteBatch();
    ~WriteBatch();
    WriteBatch(const WriteBatch&) = delete;
    WriteBatch& operator=(const WriteBatch&) = delete;

    void commit();
    // The files commit() has replaced so far, in order: all of them after it returned, those
    // before the failing one after it threw.
    const std::vector<std::string>& written() const { return written_; }

private:
    bool done_ = false;
    std::vector<std::string> written_;
};

} // namespace skarvel::ini
