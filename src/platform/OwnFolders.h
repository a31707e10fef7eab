#pragma once

#include <string>

namespace skarvel {

// Where the program writes files of its own: the journal and the exported copies.
struct OwnFolders {
    std::string journal;    // the journal's folder
    std::string copiesBase; // the copies go below copiesBase + "data/"
    bool inProgramFolder = true;
};

// The user's base folders as the environment gives them; empty when unset.
struct UserBaseFolders {
    std::string stateHome; // $XDG_STATE_HOME
    std::string dataHome;  // $XDG_DATA_HOME
    std::string home;      // $HOME
};

// The program's own folder, as given, while the user can write it and it is not below /usr.
// Otherwise the journal goes to $XDG_STATE_HOME/Skarvel/ (else ~/.local/state/Skarvel/) and
// the copies below $XDG_DATA_HOME/Skarvel/ (else ~/.local/share/Skarvel/); a relative base
// counts as unset.
OwnFolders chooseOwnFolders(const std::string& programFolder, bool programFolderWritable,
                            const UserBaseFolders& user);

// The user may create files in the folder (false for a missing one).
bool folderWritable(const std::string& folder);

// $XDG_DATA_HOME/Skarvel/backups/ (else ~/.local/share/Skarvel/backups/): backups of the
// game's files, whatever folder the program runs from.
std::string userBackupsFolder();
// $XDG_DATA_HOME/Skarvel/demo/ (else ~/.local/share/Skarvel/demo/): the demo game's prefix.
std::string userDemoFolder();
// $XDG_STATE_HOME/Skarvel/ (else ~/.local/state/Skarvel/).
std::string userStateFolder();

// The choice for this process; folders outside the program's folder are created.
OwnFolders ownFolders(const std::string& programFolder);

} // namespace skarvel
