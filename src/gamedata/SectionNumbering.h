#pragma once

#include "gamedata/DataFileSet.h"

#include <array>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

class TJournal;
class TUserIniFile;

// A file of the set that holds a NUL byte: it is not text and is never rewritten as lines.
class NotTextFileError : public std::runtime_error {
public:
    explicit NotTextFileError(std::string path);
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// The numbering of one file could not be written; the files numbered before it were given
// their bytes back, except those of unrestored() ("<file> - <cause>"), which what() names too.
class NumberingError : public std::runtime_error {
public:
    NumberingError(std::string path, const std::string& cause,
                   std::vector<std::string> unrestored = {});
    const std::string& path() const { return path_; }
    const std::string& cause() const { return cause_; }
    const std::vector<std::string>& unrestored() const { return unrestored_; }

private:
    std::string path_;
    std::string cause_;
    std::vector<std::string> unrestored_;
};

// How many sections of its kind the numbering gave each file, by DataFileIndex (zero for the
// files that are not numbered): file k of a kind is section kind + k.
using SectionCounts = std::array<int, kDataFileNames.size()>;

// Line rules of the numbering, by the header rule of SectionHeader.h.
// "[Ship]" becomes "[Ship" + n + "]"; the blanks before the bracket and the text after it
// stay. Already numbered headers keep their number and are not counted. Returns the number
// of headers numbered.
int numberHeaders(std::vector<std::string>& lines, std::string_view name);
// "[Ship" + digits + "]" becomes "[Ship]"; the rest of the line stays.
void removeHeaderNumbers(std::vector<std::string>& lines, std::string_view name);

// The text with every numbered header of kind made plain again; every other byte stays.
std::string withPlainHeaders(std::string_view text, std::string_view kind);

// The file's bytes as they are when the set is closed: numbered headers of its kind made
// plain; files without numbered sections and files that are not text stay as they are.
std::string closedFormOf(DataFileIndex file, std::string_view bytes);

// Numbers goods, ships, power plants and engines, in that order. Every other byte of the
// files stays as it was, line ends included; headers numbered by an earlier run are
// numbered anew. Reads all four files first: when one is not text, journals it and throws
// NotTextFileError before any file is rewritten; a read failure throws std::runtime_error.
// A write that fails undoes the numbering already written and throws NumberingError, which
// names every file the undoing could not restore.
// Every rewrite is atomic.
SectionCounts NumberSections(TJournal& journal, const DataFileSet& files);

// Numbers the plain headers of the four kinds that another program added to files of the
// open set: each gets the number after the highest its file uses, in file order; numbered
// headers keep theirs. Only the files named are read, and only those that change are
// written (atomically). Returns "<file>: <count>" for each file that got numbers; a failure
// throws and leaves that file as it was.
std::vector<std::string> NumberNewSections(TJournal& journal, const DataFileSet& files,
                                           const std::vector<DataFileIndex>& which);

// The numbered section names of kind in the bytes, in file order: "Ship3", "Ship0", ...
std::vector<std::string> numberedSectionNames(std::string_view text, std::string_view kind);

// Restores the plain headers of ships, goods, power plants and engines. A file that cannot
// be handled is journaled and left as it is; the others are still restored.
// Returns "<file> - <cause>" for each file that kept its numbers.
std::vector<std::string> RemoveSectionNumbers(TJournal& journal, const DataFileSet& files);

} // namespace skarvel
