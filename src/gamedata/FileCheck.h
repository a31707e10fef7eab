#pragma once

#include "gamedata/DataFileSet.h"

#include <optional>
#include <string>

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

} // namespace skarvel
