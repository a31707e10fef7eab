#pragma once

#include <array>
#include <filesystem>

namespace skarvel::bench {

// Demo: the six files of the demo game shipped in resources/demo-game (8 ships). Mid: a
// mid-size mod, 300 ships and 700 goods. Large: the size of the largest mods, 1,500 ships
// (shiparch.ini about 1.4 MB), 2,500 goods (goods.ini about 600 KB), 1,500 engines.
enum class DataSetSize { Demo, Mid, Large };

inline constexpr std::array<DataSetSize, 3> kAllSizes = {DataSetSize::Demo, DataSetSize::Mid,
                                                         DataSetSize::Large};
const char* sizeName(DataSetSize size);

// Writes the six data files in the game's shape below gameDir, with the folder spelling of
// a real install (DATA/SHIPS, DATA/EQUIPMENT, DATA/Characters) and CR LF line ends. The demo
// size copies the demo game's files; the others are generated, the same size always giving
// the same bytes.
void generateDataSet(const std::filesystem::path& gameDir, DataSetSize size);

// Adds what a whole mod has beside the six files, in the game's shape: EXE/freelancer.ini
// naming every file, weapons and lights, loadouts and NPC ships for every ship, solar
// archetypes, a universe (30 systems for the mid size, 100 for the large, each with three
// bases, two gates and a trade lane), the markets, and a small stand-in for every model file
// the data names. The mod check finds nothing in it. The demo size is left as it is.
void generateModFiles(const std::filesystem::path& gameDir, DataSetSize size);

// The last ship that has a hull and a package good: a click on it searches nearly every good.
int lastBuyableShip(DataSetSize size);

// The six files as generateDataSet writes them, in the order of the data file set:
// constants, misc_equip, engine_equip, goods, shiparch, newcharacter.
std::array<std::filesystem::path, 6> dataSetFiles(const std::filesystem::path& gameDir);

// A generated data set in a temporary folder, removed again with the object.
class GeneratedDataSet {
public:
    explicit GeneratedDataSet(DataSetSize size);
    ~GeneratedDataSet();
    GeneratedDataSet(const GeneratedDataSet&) = delete;
    GeneratedDataSet& operator=(const GeneratedDataSet&) = delete;

    const std::filesystem::path& gameDir() const { return gameDir_; }
    std::array<std::filesystem::path, 6> files() const { return dataSetFiles(gameDir_); }

private:
    std::filesystem::path root_;
    std::filesystem::path gameDir_;
};

} // namespace skarvel::bench
