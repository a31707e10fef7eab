#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

class FormCache;
class TJournal;
struct DataFileSet;

// Copies the six data files to base + "data/...", keeping the letter case of the game's
// own folders and files below its data folder; the four numbered files get plain headers.
// Each copy replaces the one before atomically. Returns, for each copy that could not be
// made, "Unable to ... <path>: <cause>" (each also journaled as an Error); empty when all six
// were made. Each of others (a file below the data folder that a save wrote, such as
// market_commodities.ini) is copied as it is, to its place below base + "data". forms, when
// given, keeps the plain form of the files from one save to the next.
std::vector<std::string> makeExportedCopies(TJournal& journal, const DataFileSet& files,
                                            const std::string& base,
                                            const std::vector<std::string>& others = {},
                                            FormCache* forms = nullptr);

} // namespace skarvel
