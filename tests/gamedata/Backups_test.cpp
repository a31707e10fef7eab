#include "gamedata/BackupStore.h"
#include "gamedata/GameBackups.h"
#include "journal/Journal.h"
#include "platform/Sha256.h"
#include "support/TestFiles.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace skarvel::test {
namespace {

namespace fs = std::filesystem;

const std::vector<FileContent> kFiles = {{"constants.ini", "[Constants]\r\nA = 1\r\n"},
                                         {"SHIPS/ShipArch.ini", "[Ship]\nnickname = a"}};

class BackupStoreTest : public ::testing::Test {
protected:
    TempDir tmp;
    BackupStore store{(tmp.path() / "backups").string(), (tmp.path() / "My Game").string()};
};

TEST_F(BackupStoreTest, AddsVerifiedBackupsNamedByTimeNewestFirst) {
    EXPECT_EQ(store.folder(), (tmp.path() / "backups").string() + "/My Game-" +
                                  sha256Hex(store.game()).substr(0, 8));
    const Backup first = store.add(kFiles, "open", "1.2.3.4");
    const Backup second = store.add(kFiles, "save", "1.2.3.4");
    // Made within the same second, or the next.
    EXPECT_TRUE(second.name == first.name + "-2" || second.name > first.name) << second.name;
    EXPECT_EQ(second.name.size() >= 19, true);

    const std::vector<Backup> listed = store.list();
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].name, second.name);
    EXPECT_EQ(listed[1].manifest.cause, "open");
    EXPECT_EQ(listed[1].manifest.version, "1.2.3.4");
    ASSERT_EQ(listed[1].manifest.files.size(), 2u);
    EXPECT_EQ(listed[1].manifest.files[1].path, "SHIPS/ShipArch.ini");
    EXPECT_EQ(listed[1].manifest.files[1].sha256, sha256Hex(kFiles[1].bytes));
    EXPECT_EQ(readBytes(fs::path(first.folder) / "SHIPS/ShipArch.ini"), kFiles[1].bytes);
    EXPECT_EQ(listed[0].manifest.files, describe(kFiles));
    EXPECT_NE(listed[0].manifest.files, describe({kFiles[0], {"SHIPS/ShipArch.ini", "x"}}));
    EXPECT_NO_THROW(store.verify(listed[0]));

    // Nothing of the temporary folders stays.
    for (const auto& entry : fs::directory_iterator(store.folder())) {
        EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
    }
}

TEST_F(BackupStoreTest, AFileChangedByHandFailsTheCheck) {
    const Backup backup = store.add(kFiles, "open", "1");
    writeBytes(fs::path(backup.folder) / "constants.ini", "[Constants]\r\nA = 2\r\n");
    EXPECT_THROW(store.verify(backup), BackupError);
    fs::remove(fs::path(backup.folder) / "constants.ini");
    EXPECT_THROW(store.verify(backup), BackupError);
}

TEST_F(BackupStoreTest, TheOldestIsNeverRemovedAndPruningKeepsTheNewest) {
    std::vector<std::string> names;
    for (int i = 0; i < 6; ++i) {
        names.push_back(store.add(kFiles, "save", "1").name);
    }
    EXPECT_THROW(store.remove(store.list().back()), BackupError);
    EXPECT_EQ(store.prune(0), std::vector<std::string>{}); // 0 keeps all
    EXPECT_EQ(store.prune(2), (std::vector<std::string>{names[3], names[2], names[1]}));
    std::vector<std::string> left;
    for (const Backup& backup : store.list()) {
        left.push_back(backup.name);
    }
    EXPECT_EQ(left, (std::vector<std::string>{names[5], names[4], names[0]}));
    store.remove(store.list().front());
    EXPECT_EQ(store.list().size(), 2u);
}

TEST_F(BackupStoreTest, AFolderThatCannotBeWrittenGivesTheCauseAndLeavesNothing) {
    // Root writes into any folder: a file where the folder must be stops it for everyone.
    writeBytes(store.folder(), "in the way");
    try {
        store.add(kFiles, "open", "1");
        FAIL() << "no error";
    } catch (const BackupError& error) {
        EXPECT_NE(std::string(error.what()).find(store.folder()), std::string::npos)
            << error.what();
    }
    EXPECT_TRUE(store.list().empty());
}

// A game with numbered files (an open set) and a compressed one.
class GameBackupsTest : public ::testing::Test {
protected:
    GameBackupsTest() {
        writeBytes(data / "constants.ini", "[Constants]\nX = 1\n");
        writeBytes(data / "EQUIPMENT/misc_equip.ini", "[Power0]\nnickname = p\n");
        writeBytes(data / "EQUIPMENT/engine_equip.ini", std::string("BINI\0\1\2", 7));
        writeBytes(data / "EQUIPMENT/Goods.ini", "[Good0]\r\n[Good1]\r\n");
        writeBytes(data / "SHIPS/shiparch.ini", "\xEF\xBB\xBF[Ship0] ; first\n[Ship1]");
        writeBytes(data / "CHARACTERS/newcharacter.ini", "[Faction]\n");
    }
    GameBackups backups() {
        return GameBackups(
            journal, {(tmp.path() / "backups").string(), (tmp.path() / "state").string(), 20, "1"},
            game.string() + "/", makeDataFileSet(game.string() + "/"));
    }

    TempDir tmp;
    fs::path game = tmp.path() / "game";
    fs::path data = game / "DATA";
    TJournal journal{tmp.folder(), "DebugOut"};
};

TEST_F(GameBackupsTest, HoldsThePlainFilesInTheGamesSpellingAndMakesNoTwin) {
    GameBackups set = backups();
    const Backup made = set.ensure("open");
    const fs::path folder = made.folder;
    EXPECT_EQ(readBytes(folder / "SHIPS/shiparch.ini"), "\xEF\xBB\xBF[Ship] ; first\n[Ship]");
    EXPECT_EQ(readBytes(folder / "EQUIPMENT/Goods.ini"), "[Good]\r\n[Good]\r\n");
    EXPECT_EQ(readBytes(folder / "EQUIPMENT/misc_equip.ini"), "[Power]\nnickname = p\n");
    EXPECT_EQ(readBytes(folder / "EQUIPMENT/engine_equip.ini"), std::string("BINI\0\1\2", 7));
    EXPECT_EQ(made.manifest.files.size(), 6u);

    // The same files, numbered or not, are already backed up.
    writeBytes(data / "SHIPS/shiparch.ini", "\xEF\xBB\xBF[Ship] ; first\n[Ship]");
    EXPECT_EQ(set.ensure("save").name, made.name);
    EXPECT_EQ(set.store().list().size(), 1u);

    // A damaged newest one is no backup: a new one is made.
    writeBytes(folder / "constants.ini", "changed");
    EXPECT_NE(set.ensure("save").name, made.name);
    EXPECT_EQ(set.store().list().size(), 2u);
}

TEST_F(GameBackupsTest, RestoreWritesOnlyTheFilesThatDifferAfterBackingThemUp) {
    GameBackups set = backups();
    const Backup original = set.ensure("open");
    writeBytes(data / "constants.ini", "[Constants]\nX = 2\n");
    const auto untouched = fs::last_write_time(data / "CHARACTERS/newcharacter.ini");

    const std::vector<FileComparison> compared = set.compare(original);
    ASSERT_EQ(compared.size(), 6u);
    EXPECT_FALSE(compared[0].same);
    EXPECT_TRUE(compared[5].same);

    set.restore(original);
    EXPECT_EQ(readBytes(data / "constants.ini"), "[Constants]\nX = 1\n");
    // The plain form of the numbered files was written back.
    EXPECT_EQ(readBytes(data / "SHIPS/shiparch.ini"), "\xEF\xBB\xBF[Ship] ; first\n[Ship]");
    EXPECT_EQ(fs::last_write_time(data / "CHARACTERS/newcharacter.ini"), untouched);
    const std::vector<Backup> all = set.store().list();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].manifest.cause, "restore");

    // A backup changed by hand is refused before anything is written.
    writeBytes(fs::path(original.folder) / "constants.ini", "by hand");
    writeBytes(data / "constants.ini", "[Constants]\nX = 3\n");
    EXPECT_THROW(set.restore(original), BackupError);
    EXPECT_EQ(readBytes(data / "constants.ini"), "[Constants]\nX = 3\n");
}

} // namespace
} // namespace skarvel::test
