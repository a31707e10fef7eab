#include "platform/OwnFolders.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <pwd.h>
#include <system_error>
#include <unistd.h>

namespace skarvel {

namespace {

// The base folder named by the variable, else home + fallback; always ends with "/".
std::string userBase(const std::string& variable, const std::string& home, const char* fallback) {
    std::string base = !variable.empty() && variable.front() == '/'
                           ? variable
                           : home + (home.empty() || home.back() != '/' ? "/" : "") + fallback;
    if (base.back() != '/') {
        base += '/';
    }
    return base;
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string homeFolder() {
    std::string home = environment("HOME");
    if (home.empty()) {
        if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir) {
            home = entry->pw_dir;
        }
    }
    return home;
}

} // namespace

OwnFolders chooseOwnFolders(const std::string& programFolder, bool programFolderWritable,
                            const UserBaseFolders& user) {
    // A system install belongs to the package manager, even for root: a file written there
    // would keep the folder after the package is removed.
    const std::filesystem::path normal = std::filesystem::path(programFolder).lexically_normal();
    auto part = normal.begin();
    const bool belowUsr = normal.is_absolute() && ++part != normal.end() && *part == "usr";
    if (programFolderWritable && !belowUsr) {
        return {programFolder, programFolder, true};
    }
    return {userBase(user.stateHome, user.home, ".local/state") + "Skarvel/",
            userBase(user.dataHome, user.home, ".local/share") + "Skarvel/", false};
}

bool folderWritable(const std::string& folder) {
    std::error_code error;
    // Effective ids: the ones the program writes with.
    return std::filesystem::is_directory(folder, error) &&
           ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

std::string userBackupsFolder() {
    return userBase(environment("XDG_DATA_HOME"), homeFolder(), ".local/share") +
           "Skarvel/backups/";
}

std::string userDemoFolder() {
    return userBase(environment("XDG_DATA_HOME"), homeFolder(), ".local/share") + "Skarvel/demo/";
}

std::string userStateFolder() {
    return userBase(environment("XDG_STATE_HOME"), homeFolder(), ".local/state") + "Skarvel/";
}

OwnFolders ownFolders(const std::string& programFolder) {
    const OwnFolders folders = chooseOwnFolders(
        programFolder, folderWritable(programFolder),
        {environment("XDG_STATE_HOME"), environment("XDG_DATA_HOME"), homeFolder()});
    if (!folders.inProgramFolder) {
        // A folder that cannot be made shows up later as the journal's or the copy's failure.
        std::error_code error;
        std::filesystem::create_directories(folders.journal, error);
        std::filesystem::create_directories(folders.copiesBase, error);
    }
    return folders;
}

} // namespace skarvel
