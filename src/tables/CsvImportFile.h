#pragma once

#include "tables/TableCsvImport.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace skarvel {

class TJournal;
class Dialogs;

// The CSV files of the table pages: written, and read back in.

// The largest CSV file an import reads.
inline constexpr std::uint64_t kCsvFileCap = 64 * 1024 * 1024;

// How a page's import speaks: its journal lines' name ("Flotte"), its rows ("ships") and what
// they share ("an engine, a power plant").
struct CsvImportWords {
    std::string_view journal;
    std::string_view rows;
    std::string_view shared;
};

using CsvProblemSink = std::function<void(const std::string&)>;
using CsvImport = std::function<TableImport(std::string_view csv, const CsvProblemSink&)>;

// "Export CSV…" of a table page: the text written to the file. False, the user told why, when
// it could not be written (journaled too).
bool writeCsvFile(TJournal& journal, Dialogs& dialogs, const std::string& path,
                  const std::string& text);

// "Import CSV…" of a table page: reads the file (a regular file of at most kCsvFileCap) and
// imports it, journaling every problem. The message for the user counts the changes and lists
// what was left alone; nothing, the user told why, when the file cannot be read.
std::optional<std::string> importCsvFile(TJournal& journal, Dialogs& dialogs,
                                         const std::string& path, const CsvImportWords& words,
                                         const CsvImport& import);

} // namespace skarvel
