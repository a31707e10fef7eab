#pragma once

#include "gamedata/DataFileSet.h"

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

// Line rules of the numbering. Only header lines count: a line whose first non-blank
// character is "[" (a commented-out header stays as it is).
// "[Ship]" (exact case) becomes "[Ship" + n + "]"; the blanks before the bracket and the text
// after it stay. Already numbered headers keep their number and are not counted. Returns the
// number of headers numbered.
int numberHeaders(std::vector<std::string>& lines, std::string_view name);
// "[Ship" + digits + "]" becomes "[Ship]"; the rest of the line stays.
void removeHeaderNumbers(std::vector<std::string>& lines, std::string_view name);

// Numbers goods, ships, power plants and engines, in that order. Reads all four files
// first: when one is not text, journals it and throws NotTextFileError before any file is
// rewritten. Other read or write failures throw std::runtime_error; files written so far
// stay numbered. Every rewrite is atomic.
void NumberSections(TJournal& journal, const DataFileSet& files);

// Restores the plain headers of ships, goods, power plants and engines. A file that cannot
// be handled is journaled and left as it is; the others are still restored.
void RemoveSectionNumbers(TJournal& journal, const DataFileSet& files);

// The file's section names that contain the text (exact case), in file order.
std::vector<std::string> sectionsContaining(const TUserIniFile& ini, std::string_view text);

} // namespace skarvel
