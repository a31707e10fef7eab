#pragma once

#include "gamedata/DataFileSet.h"

namespace skarvel {

class TJournal;
class Form;
class Dialogs;

// CHECK_FILES_AND_DIRS: the game folder (edPfad) and the converter folder (edFliniDir) exist,
// every used file of the set exists and none is left read-only (a read-only flag is cleared
// where found). Sends the user to the Options page when a folder is wrong.
bool CheckFilesAndDirs(TJournal& journal, Form& form, Dialogs& dialogs, const DataFileSet& files);

} // namespace skarvel
