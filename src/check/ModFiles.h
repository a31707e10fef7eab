#pragma once

#include "check/Problem.h"
#include "gamedata/GameFolderPaths.h"
#include "gamedata/IniEngine.h"

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace skarvel::check {

// What a file holds for the rules, by the "[Data]" key of freelancer.ini that names it; the
// character and initial world files have fixed places, a system's file is named by universe.ini.
enum class FileRole {
    Equipment,
    Ships,
    Goods,
    Markets,
    Universe,
    Character,
    Loadouts,
    Solar,
    NpcShips,
    InitialWorld,
    System
};

// One data file as read, never written: a compressed one holds the text form made in memory.
struct SourceFile {
    std::string shown; // below the game folder, as spelled on disk
    FileRole role = FileRole::Equipment;
    std::shared_ptr<const ini::ParsedIni> ini;
    std::vector<std::size_t> lineStarts;
    std::string system; // of a system's file: the nickname of its [System] in universe.ini

    // The 1-based line holding the byte at offset.
    int lineOf(std::size_t offset) const;
};

// The game folder cannot be read as a game at all (exit code 2, not a problem of the mod).
class ReadFault : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A named file that could not be read: references that would resolve into it are not judged.
struct UnreadFile {
    FileRole role = FileRole::Equipment;
    std::string system; // of a system's file
    std::string shown;
    std::string namedIn;
    int line = 0;
};

struct ModFiles {
    std::string gameFolder; // ends with "/"
    // Every path the files name is resolved in it: inside the game folder, each folder
    // listed once per run.
    std::shared_ptr<const GameFolderPaths> folder;
    std::vector<SourceFile> files;
    Problems fileProblems; // the "file" rule: named files that are missing or unreadable
    std::vector<UnreadFile> unread;
    bool namedByFreelancerIni = false;

    bool has(FileRole role) const;
};

// The files named in EXE/freelancer.ini [Data] (equipment, ships, goods, markets, universe,
// loadouts, solar, npcships; relative to DATA), or the data files the editor works on when there
// is no freelancer.ini, plus Characters/newcharacter.ini, initialworld.ini and the systems' files
// universe.ini names (relative to its folder); every path found without regard to letter case,
// inside the game folder. Throws ReadFault when gameFolder is no folder or cannot be listed, when
// EXE/freelancer.ini is there but cannot be read or parsed, or when it and DATA are missing.
ModFiles readModFiles(const std::string& gameFolder);

} // namespace skarvel::check
