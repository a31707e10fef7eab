#include "GameFolder.h"
#include "gamedata/DataSet.h"

#include <cerrno>
#include <cstring>
#include <map>

namespace skarvel::test {
namespace {

namespace fs = std::filesystem;

const std::string kOpenElsewhere =
    "This data set is already open in another Skarvel window. The data files were not opened.";

// The fixture's editor and, as another copy of the program would have them, a second one
// with its own form, dialogs and journal.
class DataFolderLockTest : public GameFolder {
protected:
    struct OtherCopy {
        OtherCopy(const std::string& program, const std::string& game, const std::string& converter,
                  ManualClock& clock)
            : journal(program, "Second", JournalIdentity{}, clock), folders{game, converter},
              dataSet(journal, dialogs, program) {}
        // The open as the editor runs it: the refusal is shown.
        void open() {
            if (const auto refusal = dataSet.OpenIniFiles(folders)) {
                dialogs.message(MessageKind::Error, refusal->message);
            }
        }
        TJournal journal;
        GameFolders folders;
        ScriptedDialogs dialogs;
        DataSet dataSet;
    };

    std::unique_ptr<OtherCopy> otherCopy(const std::string& game) {
        return std::make_unique<OtherCopy>(programFolder(), game, converterFolder(), clock);
    }

    // What another process finds: 0 when it can lock the data folder, 1 when it cannot.
    int otherProcessLocks() const {
        const auto run =
            runProgram(findInPath("flock").value_or("flock"), {"-n", gameFolder() + "DATA", "true"},
                       std::chrono::seconds(20));
        EXPECT_TRUE(run.started);
        return run.exitCode;
    }

    static std::vector<std::string> namesOf(const std::map<std::string, std::string>& files) {
        std::vector<std::string> names;
        for (const auto& [name, bytes] : files) {
            names.push_back(name);
        }
        return names;
    }
    std::map<std::string, std::string> snapshot() const {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(tmp.path() / "game")) {
            if (entry.is_regular_file()) {
                files[entry.path().string()] = readBytes(entry.path());
            }
        }
        return files;
    }
};

TEST_F(DataFolderLockTest, ASecondEditorOnTheSameGameOpensNothingUntilTheFirstCloses) {
    fs::create_directory_symlink(tmp.path() / "game", tmp.path() / "link");
    const std::vector<std::pair<std::string, std::string>> ways = {
        {"the same path", gameFolder()},
        {"a link to the game folder", (tmp.path() / "link").string() + "/"},
        {"a path through ..", gameFolder() + "DATA/../"},
    };
    for (const auto& [way, game] : ways) {
        SCOPED_TRACE(way);
        auto first = std::make_unique<DataSet>(*journal, dialogs, programFolder());
        first->OpenIniFiles(folders());
        ASSERT_TRUE(first->isOpen());
        const auto numbered = snapshot();

        auto second = otherCopy(game);
        second->open();
        EXPECT_FALSE(second->dataSet.isOpen());
        ASSERT_EQ(second->dialogs.shown.size(), 1u);
        EXPECT_EQ(second->dialogs.shown[0].kind, MessageKind::Error);
        EXPECT_EQ(second->dialogs.shown[0].text, kOpenElsewhere);
        const auto lines = journalLines(second->journal.fileName());
        EXPECT_TRUE(contains(lines, "[Error  ] Data folder " + second->dataSet.files().dataDir +
                                        " is open in another Skarvel window"));
        EXPECT_EQ(lines.back(), "[Info   ] INIS OPEN = False");
        EXPECT_EQ(snapshot(), numbered);

        first->CloseIniFiles(folders());
        second->open();
        EXPECT_TRUE(second->dataSet.isOpen());
        EXPECT_EQ(second->dialogs.shown.size(), 1u);
        second->dataSet.CloseIniFiles(second->folders);
    }
}

TEST_F(DataFolderLockTest, AnotherProcessFindsTheFolderLockedWhileTheSetIsOpen) {
    auto set = std::make_unique<DataSet>(*journal, dialogs, programFolder());
    const auto before = snapshot();
    EXPECT_EQ(otherProcessLocks(), 0);
    set->OpenIniFiles(folders());
    ASSERT_TRUE(set->isOpen());
    EXPECT_EQ(otherProcessLocks(), 1);
    EXPECT_EQ(namesOf(snapshot()), namesOf(before)); // the lock adds no file to the game

    // A close that leaves a file numbered keeps the lock, and so does the reload after it.
    const std::string shiparch = gameFile("Ships/shiparch.ini");
    const std::string numberedShips = readBytes(shiparch);
    fs::remove(shiparch);
    EXPECT_FALSE(set->CloseIniFiles(folders()).failures.empty());
    EXPECT_EQ(otherProcessLocks(), 1);
    writeBytes(shiparch, numberedShips);
    set->OpenIniFiles(folders());
    ASSERT_TRUE(set->isOpen());
    for (const auto& shown : dialogs.shown) {
        EXPECT_EQ(shown.text.find("another Skarvel window"), std::string::npos);
    }
    EXPECT_EQ(otherProcessLocks(), 1);

    set->CloseIniFiles(folders());
    EXPECT_EQ(otherProcessLocks(), 0);

    // A program that ends without the close leaves no lock behind.
    set->OpenIniFiles(folders());
    ASSERT_TRUE(set->isOpen());
    set.reset();
    EXPECT_EQ(otherProcessLocks(), 0);
}

// The errno of a file system that has no locks (NFS without its lock service, some FUSE ones).
int lockFailure = 0;

TEST_F(DataFolderLockTest, WithoutLocksTheUserIsWarnedOnceThatAnotherMachineCouldOpenTheGame) {
    for (const int error : {ENOLCK, EOPNOTSUPP}) {
        SCOPED_TRACE(error);
        lockFailure = error;
        const auto flock = DataFolderLock::replaceLockCall([](int, int) {
            errno = lockFailure;
            return -1;
        });
        dialogs.shown.clear();
        DataSet set(*journal, dialogs, programFolder());
        for (int open = 0; open < 2; ++open) {
            set.OpenIniFiles(folders());
            EXPECT_TRUE(set.isOpen());
            set.CloseIniFiles(folders());
        }
        DataFolderLock::replaceLockCall(flock);

        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0].kind, MessageKind::Warning);
        const std::string& text = dialogs.shown[0].text;
        EXPECT_NE(text.find("Another copy of Skarvel on another machine could open the same game"),
                  std::string::npos)
            << text;
        EXPECT_NE(text.find(std::strerror(error)), std::string::npos) << text;
    }
}

} // namespace
} // namespace skarvel::test
