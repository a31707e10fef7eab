#pragma once

#include "platform/PeStringTable.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

class GameFolderPaths;
class TJournal;

// The names the game itself shows, from the string tables of its resource DLLs. Resource file
// 0 is EXE/resources.dll, files 1, 2, ... are the "DLL =" lines of the [Resources] section of
// EXE/freelancer.ini in their order (names matched without regard to case).
class GameNames {
public:
    // Reads the list and the string tables of the game in gameDirectory (as edPfad gives it).
    // A file with the path, size and change time of an earlier read is not read again. A file
    // that is missing or damaged gives no names and one Warning line naming it.
    void load(TJournal& journal, const std::string& gameDirectory);
    // The same without a journal (the command-line check): warn gets the path and the cause.
    using Warn = std::function<void(const std::string& path, const std::string& cause)>;
    void load(const std::string& gameDirectory, const Warn& warn);
    // The same with the paths resolved in the check's own folder object (listed once a run).
    // A DLL path that leaves the game folder is refused: no names from it.
    void load(const GameFolderPaths& folder, const Warn& warn);

    // Whether any file of the last load gave a name: without one, no ids_name can be judged.
    bool hasNames() const;

    // The string an ids_name value names (file n >> 16, string n & 0xFFFF), in UTF-8;
    // empty when there is none.
    std::string_view text(std::string_view idsName) const;

private:
    struct Read {
        std::int64_t size = -1;
        std::int64_t changed = 0;                     // modification time in nanoseconds
        std::shared_ptr<const PeStringTable> strings; // null when the file cannot be read
        std::string error;
    };
    Read read(const std::string& path) const;

    std::map<std::string, Read> cache_;                       // by path, the files of the last load
    std::vector<std::shared_ptr<const PeStringTable>> files_; // by resource file number
};

} // namespace skarvel
