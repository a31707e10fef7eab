#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

class TJournal;
struct DataFileSet;

// The header lines of a numbered file made plain again: a line whose first non-blank
// character opens "[" + name + digits + "]" reads "[" + name + "]" with the rest of the
// line kept. Every other byte stays as it is.
std::string withPlainHeaders(std::string_view text, std::string_view name);

// Copies the six data files to base + "data/...", keeping the letter case of the game's
// own folders and files below its data folder; the four numbered files get plain headers.
// Each copy replaces the one before atomically. Returns the copies that could not be made
// (each also journaled as an Error); empty when all six were made.
std::vector<std::string> makeExportedCopies(TJournal& journal, const DataFileSet& files,
                                            const std::string& base);

} // namespace skarvel
