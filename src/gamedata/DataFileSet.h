#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

// The six data files, relative to the game's data folder, in the order of the check and
// the unpacking.
inline constexpr auto kDataFileNames = std::to_array<std::string_view>(
    {"constants.ini", "Equipment/misc_equip.ini", "Equipment/engine_equip.ini",
     "Equipment/goods.ini", "Ships/shiparch.ini", "Characters/newcharacter.ini"});

enum DataFileIndex : int {
    kConstants = 0,
    kMiscEquip = 1,
    kEngineEquip = 2,
    kGoods = 3,
    kShipArch = 4,
    kNewCharacter = 5
};

// FDataDir and FIniFileNames: the game directory text followed by "data/" (plain
// concatenation), and the six full paths, each resolved on disk without regard to case.
struct DataFileSet {
    std::string dataDir;
    std::array<std::string, 6> files;
    int count = 0; // FIniFileCount: 0 until the first open, then 6
    // Further files of the mod (below dataDir) the pages write: backed up with the six.
    std::vector<std::string> modFiles;
};

DataFileSet makeDataFileSet(std::string_view gameDirectory);

} // namespace skarvel
