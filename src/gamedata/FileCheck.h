#pragma once

#include "gamedata/DataFileSet.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

class TJournal;
class Dialogs;

// The two folders the user sets on the Options page.
struct GameFolders {
    std::string game;      // the game's installation folder
    std::string converter; // the folder of the converter for compressed files
};

enum class GameFolder { Game, Converter };

struct FileCheckResult {
    bool passed = true;
    // The last folder found wrong; the user is sent there to correct it.
    std::optional<GameFolder> wrongFolder;
};

// CHECK_FILES_AND_DIRS: both folders exist, every used file of the set exists and none is
// left read-only (a read-only flag is cleared where found). Tells the user of a wrong folder
// and of files left read-only.
FileCheckResult CheckFilesAndDirs(TJournal& journal, Dialogs& dialogs, const GameFolders& folders,
                                  const DataFileSet& files);

// True for the bytes of a compressed (BINI) file: only these go to the converter. An empty
// file or one with a NUL byte elsewhere is damaged, not compressed.
bool isCompressedForm(std::string_view bytes);

// What a data file lacks to be read (and written) as a settings file now, or empty when it
// can be: "is missing", "is a FIFO, not a regular file" (or a folder, ...), "cannot be read:
// <cause>", "is larger than the 64 MB cap", "is damaged: it is empty", "is damaged: it holds
// a NUL byte, so it is not a text file" or, unless compressedAllowed, "is a compressed file
// now; open the data files again to unpack it". Opened without blocking, read whole.
std::string dataFileProblem(const std::string& path, bool compressedAllowed = false);
inline constexpr std::string_view kFileMissing = "is missing";

// A file of the set that cannot be read as it is now; text() is "<path> <problem>".
struct DataFileProblem {
    DataFileIndex file = kConstants;
    std::string path;
    std::string problem;

    std::string text() const { return path + " " + problem; }
    bool operator==(const DataFileProblem&) const = default;
};

// The files of the set that cannot be read as they are now, in the set's order. Missing files
// are left to CheckFilesAndDirs when withMissing is false.
std::vector<DataFileProblem> dataFileProblems(const DataFileSet& files, bool compressedAllowed,
                                              bool withMissing);

} // namespace skarvel
