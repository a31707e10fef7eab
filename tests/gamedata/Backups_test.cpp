#include "gamedata/BackupStore.h"
#include "gamedata/GameBackups.h"
#include "journal/Journal.h"
#include "platform/Files.h"
#include "platform/Sha256.h"
#include "support/ScopedVariable.h"
#include "support/TestFiles.h"

#include <atomic>
#include <ctime>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <thread>

namespace skarvel::test {
namespace {

namespace fs = std::filesystem;
using TimePoint = std::chrono::system_clock::time_point;
using std::chrono::hours;
using std::chrono::minutes;
using namespace std::chrono_literals;

const std::vector<FileContent> kFiles = {{"constants.ini", "[Constants]\r\nA = 1\r\n"},
                                         {"SHIPS/ShipArch.ini", "[Ship]\nnickname = a"}};

TimePoint at(std::string_view utc) {
    return TimePoint(std::chrono::microseconds(utcMicroseconds(utc).value()));
}

// The time zone for the life of the object; localtime_r reads it again on both ends.
class ScopedZone {
public:
    explicit ScopedZone(const std::string& zone) : zone_("TZ", zone) { ::tzset(); }

private:
    struct Reread {
        ~Reread() { ::tzset(); }
    } reread_;
    ScopedVariable zone_;
};

std::vector<std::string> namesOf(const std::vector<Backup>& backups) {
    std::vector<std::string> names;
    for (const Backup& backup : backups) {
        names.push_back(backup.name);
    }
    return names;
}

// The stored objects: every file below objects/ but the temporaries.
std::vector<fs::path> objectsOf(const BackupStore& store) {
    std::vector<fs::path> objects;
    std::error_code error;
    for (const auto& entry :
         fs::recursive_directory_iterator(fs::path(store.folder()) / "objects", error)) {
        if (entry.is_regular_file() && entry.path().filename().string().front() != '.') {
            objects.push_back(entry.path());
        }
    }
    return objects;
}

// Objects as a clean-up long after they were written sees them.
void ageObjects(const BackupStore& store) {
    for (const fs::path& object : objectsOf(store)) {
        fs::last_write_time(object, fs::file_time_type::clock::now() - hours(1));
    }
}

class BackupStoreTest : public ::testing::Test {
protected:
    TempDir tmp;
    TimePoint now = at("2026-06-15T12:00:00Z");
    BackupStore store{(tmp.path() / "backups").string(), (tmp.path() / "My Game").string(),
                      [this] { return now; }};
};

// A listing reads each manifest once, but one damaged or put back since is seen.
TEST_F(BackupStoreTest, AListingSeesAManifestChangedSinceTheLastOne) {
    const Backup backup = store.add(kFiles, "open", "1.2.3.4");
    ASSERT_EQ(store.list().size(), 1u);
    const std::string manifest = readBytes(fs::path(backup.folder) / "manifest.json");
    writeBytes(fs::path(backup.folder) / "manifest.json", "{ damaged }");
    EXPECT_TRUE(store.list().empty());
    writeBytes(fs::path(backup.folder) / "manifest.json", manifest);
    ASSERT_EQ(store.list().size(), 1u);
    EXPECT_EQ(store.list().front().manifest.files, backup.manifest.files);
}

TEST_F(BackupStoreTest, StoresEachFileOnceAndAnUnchangedFileCostsNothing) {
    EXPECT_EQ(store.folder(), (tmp.path() / "backups").string() + "/My Game-" +
                                  sha256Hex(store.game()).substr(0, 8));
    std::vector<FileContent> files = kFiles;
    for (int i = 0; i < 4; ++i) {
        files.push_back({"file" + std::to_string(i) + ".ini", "[S]\nk = " + std::to_string(i)});
    }
    const Backup first = store.add(files, "open", "1.2.3.4");
    EXPECT_EQ(objectsOf(store).size(), 6u);
    for (const BackupFile& file : first.manifest.files) {
        const std::string path = store.pathOf(first, file);
        EXPECT_EQ(path, store.folder() + "/objects/" + file.sha256.substr(0, 2) + "/" +
                            file.sha256.substr(2));
    }
    // The folder of a backup holds only its manifest.
    EXPECT_EQ(folderListing(first.folder), std::vector<std::string>{"manifest.json"});

    files[1].bytes += "\nhit_pts = 2";
    now += minutes(1);
    const Backup second = store.add(files, "save", "1.2.3.4");
    const std::vector<fs::path> objects = objectsOf(store);
    EXPECT_EQ(objects.size(), 7u);
    EXPECT_EQ(store.read(second, second.manifest.files[1]), files[1].bytes);
    EXPECT_EQ(store.read(first, first.manifest.files[1]), kFiles[1].bytes);
    EXPECT_EQ(namesOf(store.list()), (std::vector<std::string>{second.name, first.name}));
    EXPECT_EQ(store.list()[1].manifest.cause, "open");
    EXPECT_EQ(store.list()[1].manifest.version, "1.2.3.4");
    EXPECT_NO_THROW(store.verify(store.list()[0]));

    // An object changed by hand fails the check of every backup naming it, and the next
    // backup of the same bytes writes it whole again.
    writeBytes(store.pathOf(first, first.manifest.files[0]), "[Constants]\r\nA = 2\r\n");
    EXPECT_THROW(store.verify(first), BackupError);
    EXPECT_THROW(store.verify(second), BackupError);
    now += minutes(1);
    EXPECT_NO_THROW(store.verify(store.add(files, "manual", "1")));
    EXPECT_NO_THROW(store.verify(first));
    fs::remove(store.pathOf(first, first.manifest.files[0]));
    EXPECT_THROW(store.verify(first), BackupError);

    // Nothing of the temporaries stays.
    for (const auto& entry : fs::recursive_directory_iterator(store.folder())) {
        EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
    }
}

TEST_F(BackupStoreTest, RetentionKeepsByAgeAndRemovesTheObjectsNoBackupNames) {
    const ScopedZone zone("UTC0");
    struct Case {
        const char* what;
        int days;
        std::vector<hours> ages; // oldest first
        std::vector<hours> kept;
    };
    const hours day(24);
    const std::vector<Case> cases = {
        {"the last 24 hours whole", 30, {30h, 23h, 10h, 1h}, {30h, 23h, 10h, 1h}},
        {"the newest of each day",
         30,
         {100 * day, 3 * day + 2h, 3 * day + 1h, 2 * day + 5h, 2 * day + 3h, 2h},
         {100 * day, 3 * day + 1h, 2 * day + 3h, 2h}},
        {"the newest of each month before the days",
         30,
         {400 * day, 95 * day, 94 * day, 40 * day, 39 * day},
         {400 * day, 94 * day, 39 * day}},
        {"fewer days", 2, {200 * day, 5 * day, 4 * day, 3 * day}, {200 * day, 3 * day}},
        {"0 keeps all", 0, {400 * day, 95 * day, 94 * day}, {400 * day, 95 * day, 94 * day}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir root;
        BackupStore aged(root.path().string(), (tmp.path() / "My Game").string(),
                         [this] { return now; });
        const TimePoint then = now;
        std::map<std::string, hours> ageOf;
        for (const hours age : c.ages) {
            now = then - age;
            std::vector<FileContent> files = kFiles;
            files[0].bytes += std::to_string(age.count());
            ageOf[aged.add(files, "save", "1").name] = age;
        }
        now = then;
        ageObjects(aged);
        aged.prune(c.days, {});
        std::vector<hours> kept;
        for (const Backup& backup : aged.list()) {
            kept.insert(kept.begin(), ageOf.at(backup.name));
        }
        EXPECT_EQ(kept, c.kept);
        // One object shared by all, one of its own for each backup left.
        EXPECT_EQ(objectsOf(aged).size(), kept.size() + 1);
        for (const Backup& backup : aged.list()) {
            EXPECT_NO_THROW(aged.verify(backup));
        }
    }
}

TEST_F(BackupStoreTest, BackupsMadeWhileAnotherWindowDeletesKeepEveryObject) {
    // Backups to delete, sharing their objects with those the other window is making.
    const auto filesOf = [](int i) {
        return std::vector<FileContent>{kFiles[0], {"shiparch.ini", "v" + std::to_string(i % 4)}};
    };
    store.add({{"constants.ini", "original"}}, "open", "1");
    std::vector<Backup> doomed;
    for (int i = 0; i < 40; ++i) {
        now += minutes(1);
        doomed.push_back(store.add(filesOf(i), "save", "1"));
    }
    // Every object old enough for a clean-up, all the time: only the lock keeps them.
    std::atomic<bool> done{false};
    std::thread ager([&] {
        const fs::path objects = fs::path(store.folder()) / "objects";
        while (!done) {
            try {
                std::error_code ignored;
                for (const auto& prefix : fs::directory_iterator(objects, ignored)) {
                    for (const auto& object : fs::directory_iterator(prefix.path(), ignored)) {
                        fs::last_write_time(object.path(),
                                            fs::file_time_type::clock::now() - hours(1), ignored);
                    }
                }
            } catch (const fs::filesystem_error&) {
                // A folder that went while it was read; the next round sees the rest.
            }
            std::this_thread::yield();
        }
    });
    std::vector<std::string> deleteProblems;
    std::thread deleter([&] {
        BackupStore other((tmp.path() / "backups").string(), (tmp.path() / "My Game").string());
        for (const Backup& backup : doomed) {
            try {
                other.remove(backup);
            } catch (const BackupError& error) {
                deleteProblems.push_back(error.what());
            }
        }
    });
    BackupStore maker((tmp.path() / "backups").string(), (tmp.path() / "My Game").string(),
                      [this] { return now + hours(1); });
    std::vector<std::string> problems;
    for (int i = 0; i < 40; ++i) {
        try {
            maker.add(filesOf(i), "manual", "1");
        } catch (const BackupError& error) {
            problems.push_back(error.what());
        }
    }
    deleter.join();
    done = true;
    ager.join();

    EXPECT_EQ(problems, std::vector<std::string>{});
    EXPECT_EQ(deleteProblems, std::vector<std::string>{});
    EXPECT_EQ(store.list().size(), 41u);
    for (const Backup& backup : store.list()) {
        EXPECT_NO_THROW(store.verify(backup)) << backup.name;
    }
}

TEST_F(BackupStoreTest, TemporariesOfABackupCutShortGoAtTheNextUseAndNothingElse) {
    const Backup first = store.add(kFiles, "open", "1");
    const std::string objects = "objects/" + first.manifest.files[0].sha256.substr(0, 2) + "/";
    struct Leftover {
        std::string path; // below the store's folder
        bool ours;
    };
    const std::vector<Leftover> leftovers = {
        {".tmp-a1B2c3/manifest.json", true},                     // a manifest not yet moved in
        {".del-Zz09yY/2026-06-01_10-00-00/manifest.json", true}, // a delete cut short
        {objects + ".tmp-4242-7", true},                         // an object written in part
        {".tmp-a1B2c3d/manifest.json", false},                   // another length
        {".tmp-notes", false},
        {objects + ".tmp-4242-x", false},
        {objects + ".keep", false},
        {"notes.txt", false},
    };
    for (const Leftover& leftover : leftovers) {
        writeBytes(fs::path(store.folder()) / leftover.path, "half");
    }
    // A backup that fails leaves no temporary of its own: its object's name is taken by a
    // folder, so the object cannot be moved in.
    std::vector<FileContent> files = kFiles;
    files[1].bytes += "\nchanged";
    const std::string taken = store.folder() + "/objects/" +
                              describe(files)[1].sha256.substr(0, 2) + "/" +
                              describe(files)[1].sha256.substr(2);
    fs::create_directories(fs::path(taken) / "in the way");
    now += minutes(1);
    EXPECT_THROW(store.add(files, "save", "1"), BackupError);

    for (const Leftover& leftover : leftovers) {
        SCOPED_TRACE(leftover.path);
        const fs::path top = fs::path(store.folder()) / fs::path(leftover.path).begin()->string();
        const fs::path path =
            leftover.path.starts_with("objects/") ? fs::path(store.folder()) / leftover.path : top;
        EXPECT_EQ(fs::exists(path), !leftover.ours);
    }
    std::vector<std::string> temporaries;
    for (const auto& entry : fs::recursive_directory_iterator(store.folder())) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(".tmp-") && name != ".tmp-notes" && name != ".tmp-a1B2c3d" &&
            name != ".tmp-4242-x") {
            temporaries.push_back(entry.path().string());
        }
    }
    EXPECT_EQ(temporaries, std::vector<std::string>{});
    EXPECT_EQ(namesOf(store.list()), std::vector<std::string>{first.name});
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
    GameBackups backups(int keptDays = 30, const std::string& root = "backups") {
        return GameBackups(journal,
                           {(tmp.path() / root).string(), (tmp.path() / "state").string(), keptDays,
                            "1", [this] { return now; }},
                           game.string() + "/", makeDataFileSet(game.string() + "/"));
    }

    TempDir tmp;
    fs::path game = tmp.path() / "game";
    fs::path data = game / "DATA";
    TJournal journal{tmp.folder(), "DebugOut"};
    TimePoint now = at("2026-06-15T12:00:00Z");
};

TEST_F(GameBackupsTest, HoldsThePlainFilesInTheGamesSpellingAndMakesNoTwin) {
    GameBackups set = backups();
    const Backup made = set.ensure("open");
    const auto bytesOf = [&](const Backup& backup, const std::string& path) {
        for (const BackupFile& file : backup.manifest.files) {
            if (file.path == path) {
                return set.store().read(backup, file);
            }
        }
        return std::string("not backed up");
    };
    EXPECT_EQ(bytesOf(made, "SHIPS/shiparch.ini"), "\xEF\xBB\xBF[Ship] ; first\n[Ship]");
    EXPECT_EQ(bytesOf(made, "EQUIPMENT/Goods.ini"), "[Good]\r\n[Good]\r\n");
    EXPECT_EQ(bytesOf(made, "EQUIPMENT/misc_equip.ini"), "[Power]\nnickname = p\n");
    EXPECT_EQ(bytesOf(made, "EQUIPMENT/engine_equip.ini"), std::string("BINI\0\1\2", 7));
    EXPECT_EQ(made.manifest.files.size(), 6u);

    // The same files, numbered or not, are already backed up.
    writeBytes(data / "SHIPS/shiparch.ini", "\xEF\xBB\xBF[Ship] ; first\n[Ship]");
    now += minutes(1);
    EXPECT_EQ(set.ensure("save").name, made.name);
    EXPECT_EQ(set.store().list().size(), 1u);

    // A damaged newest one is no backup: a new one is made.
    writeBytes(set.store().pathOf(made, made.manifest.files[0]), "changed");
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

    now += minutes(1);
    set.restore(original);
    EXPECT_EQ(readBytes(data / "constants.ini"), "[Constants]\nX = 1\n");
    // The plain form of the numbered files was written back.
    EXPECT_EQ(readBytes(data / "SHIPS/shiparch.ini"), "\xEF\xBB\xBF[Ship] ; first\n[Ship]");
    EXPECT_EQ(fs::last_write_time(data / "CHARACTERS/newcharacter.ini"), untouched);
    const std::vector<Backup> all = set.store().list();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].manifest.cause, "restore");

    // A backup changed by hand is refused before anything is written.
    writeBytes(set.store().pathOf(original, original.manifest.files[0]), "by hand");
    writeBytes(data / "constants.ini", "[Constants]\nX = 3\n");
    EXPECT_THROW(set.restore(original), BackupError);
    EXPECT_EQ(readBytes(data / "constants.ini"), "[Constants]\nX = 3\n");
}

// Every file below the data folder with its bytes, temporaries included.
std::map<std::string, std::string> contentsBelow(const fs::path& folder) {
    std::map<std::string, std::string> contents;
    for (const std::string& path : folderListing(folder, true)) {
        contents[path] = fs::is_directory(folder / path) ? "<folder>" : readBytes(folder / path);
    }
    return contents;
}

// Restores the real writes however the test ends.
struct WriteFailureReset {
    WriteFailureReset() = default;
    WriteFailureReset(const WriteFailureReset&) = delete;
    WriteFailureReset& operator=(const WriteFailureReset&) = delete;
    ~WriteFailureReset() { setWriteFailureForTesting({}); }
};

TEST_F(GameBackupsTest, ARestoreThatCannotWriteEveryFileChangesNone) {
    writeBytes(data / "EQUIPMENT/market_commodities.ini", "[BaseGood]\nbase = b\n");
    GameBackups set = backups();
    const Backup original = set.ensure("open");
    // Every file differs from the backup, so each one is written back.
    for (const std::string name :
         {"constants.ini", "EQUIPMENT/misc_equip.ini", "EQUIPMENT/engine_equip.ini",
          "EQUIPMENT/Goods.ini", "SHIPS/shiparch.ini", "CHARACTERS/newcharacter.ini",
          "EQUIPMENT/market_commodities.ini"}) {
        writeBytes(data / name, "[Changed]\n" + name + "\n");
    }
    const std::map<std::string, std::string> before = contentsBelow(data);
    const WriteFailureReset reset;
    for (const std::string failing :
         {"/constants.ini", "/misc_equip.ini", "/market_commodities.ini"}) {
        SCOPED_TRACE(failing);
        setWriteFailureForTesting([&](const std::string& path) { return path.ends_with(failing); });
        now += minutes(1);
        try {
            set.restore(original);
            ADD_FAILURE() << "restored";
        } catch (const RestoreError& error) {
            EXPECT_EQ(error.restored(), std::vector<std::string>{});
            EXPECT_NE(std::string(error.what()).find(failing), std::string::npos) << error.what();
        }
        EXPECT_EQ(contentsBelow(data), before);
    }

    // A rename that fails part way: the files before it are the backup's, the rest as they
    // were, and the error names both.
    setWriteFailureForTesting({});
    fs::remove(data / "EQUIPMENT/market_commodities.ini");
    fs::create_directory(data / "EQUIPMENT/market_commodities.ini");
    try {
        set.restore(original);
        ADD_FAILURE() << "restored";
    } catch (const RestoreError& error) {
        ASSERT_EQ(error.restored().size(), 6u);
        EXPECT_EQ(error.notRestored(),
                  std::vector<std::string>{(data / "EQUIPMENT/market_commodities.ini").string()});
        const std::string text = error.what();
        EXPECT_NE(text.find("These files were restored:\n\r" + error.restored()[0]),
                  std::string::npos)
            << text;
        EXPECT_NE(text.find("These files were not restored:\n\r" + error.notRestored()[0]),
                  std::string::npos)
            << text;
    }
    EXPECT_EQ(readBytes(data / "constants.ini"), "[Constants]\nX = 1\n");
    for (const std::string& path : folderListing(data, true)) {
        EXPECT_EQ(path.find(kTemporaryMark), std::string::npos) << path;
    }
}

TEST_F(GameBackupsTest, ARestoreNearTheRetentionLimitKeepsTheBackupItRestores) {
    const ScopedZone zone("UTC0");
    struct Case {
        const char* what;
        int count;
        int restored; // from the oldest
        int marked;   // named by a marker; -1 none
    };
    const std::vector<Case> cases = {
        {"25 backups, the second-oldest", 25, 1, -1},
        {"21 backups, the second-oldest, a marker on the third", 21, 1, 2},
        {"25 backups, the newest but one", 25, 23, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string root = "backups-" + std::to_string(&c - cases.data());
        GameBackups set = backups(30, root);
        set.marker().remove();
        // One day's saves, two days ago: only the day's newest outlives the next backup.
        std::vector<std::string> made;
        for (int i = 0; i < c.count; ++i) {
            now = at("2026-06-13T08:00:00Z") + i * minutes(10);
            writeBytes(data / "constants.ini", "[Constants]\nX = " + std::to_string(i) + "\n");
            made.push_back(set.ensure("save").name);
        }
        ASSERT_EQ(set.store().list().size(), static_cast<std::size_t>(c.count));
        std::set<std::string> kept = {made.front(), made.back(), made[c.restored]};
        if (c.marked >= 0) {
            set.marker().write(made[c.marked]);
            kept.insert(made[c.marked]);
        }

        now = at("2026-06-15T12:00:00Z");
        writeBytes(data / "constants.ini", "[Constants]\nX = now\n");
        set.restore(*set.find(made[c.restored]));
        EXPECT_EQ(readBytes(data / "constants.ini"),
                  "[Constants]\nX = " + std::to_string(c.restored) + "\n");
        const std::vector<Backup> left = set.store().list();
        EXPECT_EQ(left.front().manifest.cause, "restore");
        kept.insert(left.front().name);
        const std::vector<std::string> names = namesOf(left);
        EXPECT_EQ(std::set<std::string>(names.begin(), names.end()), kept);
        for (const Backup& backup : left) {
            EXPECT_NO_THROW(set.store().verify(backup)) << backup.name;
        }
        set.marker().remove();
    }
}

TEST_F(GameBackupsTest, BackupsOfTheOldLayoutAreListedInTimeOrderAndRestoredInPlace) {
    struct Old {
        const char* name;
        const char* time;
        const char* constants;
    };
    // Folder names in local time, unordered across the offsets; the manifests tell.
    const std::vector<Old> olds = {
        {"2025-01-05_10-00-00", "2025-01-05T10:00:00+01:00", "[Constants]\nX = first\n"},
        {"2025-01-05_08-30-00", "2025-01-05T08:30:00-05:00", "[Constants]\nX = second\n"},
        {"2025-07-01_09-00-00-2", "2025-07-01T09:00:00+02:00", "[Constants]\nX = third\n"},
    };
    GameBackups set = backups();
    for (const Old& old : olds) {
        const fs::path folder = fs::path(set.store().folder()) / old.name;
        writeBytes(folder / "constants.ini", old.constants);
        writeBytes(folder / "manifest.json",
                   manifestToJson({old.time, "", "1", "save", set.store().game(), false,
                                   describe({{"constants.ini", old.constants}})}));
    }
    const auto oldFiles = [&] {
        std::vector<std::string> listing = folderListing(set.store().folder(), true);
        std::erase_if(listing, [](const std::string& path) { return !path.starts_with("2025"); });
        return listing;
    };
    const std::vector<std::string> before = oldFiles();

    const Backup newest = set.ensure("open");
    EXPECT_EQ(namesOf(set.store().list()),
              (std::vector<std::string>{newest.name, olds[2].name, olds[1].name, olds[0].name}));
    EXPECT_TRUE(set.rows().back().original);
    for (const Old& old : olds) {
        SCOPED_TRACE(old.name);
        const std::optional<Backup> backup = set.find(old.name);
        ASSERT_TRUE(backup);
        EXPECT_FALSE(backup->manifest.objects);
        now += minutes(1);
        set.restore(*backup);
        EXPECT_EQ(readBytes(data / "constants.ini"), old.constants);
    }
    // Nothing of the old backups was moved or copied into the objects.
    EXPECT_EQ(oldFiles(), before);
    for (const Old& old : olds) {
        EXPECT_EQ(readBytes(fs::path(set.store().folder()) / old.name / "constants.ini"),
                  old.constants);
    }
}

TEST_F(GameBackupsTest, TheOrderFollowsUtcAcrossTimeZoneChanges) {
    struct Step {
        const char* zone;
        const char* utc;
    };
    struct Case {
        const char* what;
        std::vector<Step> made; // in the order they were made
        const char* shownZone;
        const char* shownNewest; // the newest as the page shows it in shownZone
    };
    const char* const berlin = "CET-1CEST,M3.5.0,M10.5.0/3";
    const char* const newYork = "EST5EDT,M3.2.0,M11.1.0";
    const std::vector<Case> cases = {
        {"the clocks go back an hour",
         {{berlin, "2026-10-25T00:30:00Z"}, {berlin, "2026-10-25T01:15:00Z"}},
         berlin,
         "2026-10-25 02:15:00"},
        {"a flight west",
         {{"JST-9", "2026-03-01T10:00:00Z"}, {newYork, "2026-03-01T12:00:00Z"}},
         newYork,
         "2026-03-01 07:00:00"},
        {"a flight east and back",
         {{newYork, "2026-03-01T05:00:00Z"},
          {"JST-9", "2026-03-01T06:00:00Z"},
          {newYork, "2026-03-01T07:00:00Z"}},
         "JST-9",
         "2026-03-01 16:00:00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GameBackups set = backups(30, "backups-" + std::to_string(&c - cases.data()));
        std::vector<std::string> made;
        for (const Step& step : c.made) {
            const ScopedZone zone(step.zone);
            now = at(step.utc);
            writeBytes(data / "constants.ini",
                       "[Constants]\nX = " + std::to_string(made.size()) + "\n");
            made.push_back(set.ensure("save").name);
        }
        // The names alone would put them in another order.
        std::vector<std::string> byName = made;
        std::sort(byName.begin(), byName.end());
        EXPECT_NE(byName, made);

        const ScopedZone zone(c.shownZone);
        now += hours(1);
        const std::vector<BackupRow> rows = set.rows();
        ASSERT_EQ(rows.size(), made.size());
        EXPECT_EQ(rows.front().backup.name, made.back());
        EXPECT_EQ(rows.front().shownTime, c.shownNewest);
        EXPECT_EQ(rows.back().backup.name, made.front());
        EXPECT_TRUE(rows.back().original);
        // The newest holds the files as they are: no new backup.
        EXPECT_EQ(set.ensure("manual").name, made.back());
    }
}

} // namespace
} // namespace skarvel::test
