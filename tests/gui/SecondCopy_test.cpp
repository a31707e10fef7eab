#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/SingleCopy.h"
#include "gamedata/DataSet.h"
#include "gui/WindowTestSupport.h"
#include "journal/Journal.h"
#include "support/MemoryForm.h"
#include "support/ScriptedDialogs.h"

#include <QSysInfo>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace skarvel {
namespace {

using test::ModalHand;
using test::ShellEnvironment;

TEST(SecondCopy, RaisesTheFirstWindowAndEndsWithoutWritingAnything) {
    ShellEnvironment env;
    env.installGameAndSilenceStart();
    ModalHand hand;
    SingleCopy first;
    ASSERT_TRUE(first.acquired());
    EXPECT_TRUE(std::filesystem::exists(env.runtime / "SkarvelStartupMutex.lock"));
    TJournal journal(env.program.string(), "DebugOut");
    TformSkarvel window(journal, env.program.string(), &first);
    window.show();
    window.showMinimized();
    ASSERT_TRUE(window.isMinimized());
    EXPECT_FALSE(SingleCopy().acquired());

    const std::string journalBefore = test::readBytes(env.journalFile());
    const auto secondFolder = env.root.path() / "second";
    std::filesystem::create_directories(secondFolder);
    static char name[] = "skarvel";
    char* argv[] = {name, nullptr};
    EXPECT_EQ(runProgram(1, argv, secondFolder.string()), 0);

    EXPECT_TRUE(test::waitUntil([&] { return !window.isMinimized(); }));
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(test::waitUntil([&] { return QApplication::activeWindow() == &window; }));
    EXPECT_TRUE(test::folderListing(secondFolder, true).empty());
    EXPECT_EQ(test::readBytes(env.journalFile()), journalBefore);
    EXPECT_TRUE(hand.shown.empty());
}

// Never the temporary folder that all users share, where another user could take the name
// first and keep every copy from starting.
TEST(SecondCopy, TheLockLivesInTheUsersOwnRuntimeFolderElseInTheCacheFolder) {
    ShellEnvironment env;
    const std::vector<std::pair<bool, std::filesystem::path>> cases = {
        {true, env.runtime}, {false, env.home / ".cache" / "Skarvel"}};
    for (const auto& [runtimeSet, folder] : cases) {
        SCOPED_TRACE(folder.string());
        if (!runtimeSet) {
            qunsetenv("XDG_RUNTIME_DIR");
        }
        SingleCopy copy;
        EXPECT_TRUE(copy.acquired());
        EXPECT_TRUE(std::filesystem::exists(folder / "SkarvelStartupMutex.lock"));
        EXPECT_EQ(QFileInfo(SingleCopy::serverName()).absolutePath(),
                  QFileInfo(SingleCopy::lockFileName()).absolutePath());
        EXPECT_EQ(std::filesystem::status(folder).permissions() & std::filesystem::perms::all,
                  std::filesystem::perms::owner_all);
        EXPECT_TRUE(test::folderListing(env.temp, true).empty());
    }
}

TEST(SecondCopy, ALockLeftByAProcessThatNoLongerRunsIsTakenOver) {
    ShellEnvironment env;
    const pid_t ended = fork();
    if (ended == 0) {
        _exit(0);
    }
    waitpid(ended, nullptr, 0);
    const pid_t other = fork(); // runs on, but is not a copy of the editor
    if (other == 0) {
        pause();
        _exit(0);
    }
    for (const pid_t pid : {ended, other}) {
        SCOPED_TRACE(pid == ended ? "ended" : "number taken by another program");
        test::writeBytes(env.runtime / "SkarvelStartupMutex.lock",
                         std::to_string(pid) + "\nskarvel\n" +
                             QSysInfo::machineHostName().toStdString() + "\n");
        SingleCopy copy;
        EXPECT_TRUE(copy.acquired());
    }
    kill(other, SIGKILL);
    waitpid(other, nullptr, 0);
}

// Copies with their own temporary, runtime and home folders do not see each other's
// single-copy lock; the lock on the game's data folder still keeps them apart.
TEST(SecondCopy, CopiesWithTheirOwnFoldersNeverOpenOneGameTogether) {
    struct Copy {
        explicit Copy(const std::filesystem::path& game, const ShellEnvironment& env)
            : journal(env.program.string(), "DebugOut"), folders{game.string() + "/",
                                                                 env.program.string() + "/"},
              dataSet(journal, dialogs, env.program.string()) {}
        SingleCopy singleCopy;
        TJournal journal;
        GameFolders folders;
        test::ScriptedDialogs dialogs;
        DataSet dataSet;
    };
    ShellEnvironment firstEnv;
    const auto game = firstEnv.root.path() / "game";
    test::copyFixture("game-mixed/game", game);
    test::copyFixture("game-mixed/program", firstEnv.program);
    Copy first(game, firstEnv);
    ASSERT_TRUE(first.singleCopy.acquired());
    first.dataSet.OpenIniFiles(first.folders);
    ASSERT_TRUE(first.dataSet.isOpen());
    {
        ShellEnvironment secondEnv;
        test::copyFixture("game-mixed/program", secondEnv.program);
        Copy second(game, secondEnv);
        EXPECT_TRUE(second.singleCopy.acquired());
        const auto refusal = second.dataSet.OpenIniFiles(second.folders);
        EXPECT_FALSE(second.dataSet.isOpen());
        ASSERT_TRUE(refusal.has_value());
        EXPECT_EQ(refusal->message,
                  "This data set is already open in another Skarvel window. The data files were "
                  "not opened.");
    }
    first.dataSet.CloseIniFiles(first.folders);
}

// The program goes on without its journal and says so once, before its first window.
TEST(SecondCopy, AJournalThatCannotBeWrittenIsReportedInOneBox) {
    ShellEnvironment env;
    env.installGame();
    env.storePreference("CheckNewVersion", "0");
    TJournal holder(env.program.string(), "DebugOut"); // the day's file, held
    const std::string held = test::readBytes(holder.fileName());
    ModalHand hand;
    hand.press(QMessageBox::Ok).press(QMessageBox::Yes); // then "back up first" ends it
    QTimer watchdog;
    watchdog.callOnTimeout([] { QCoreApplication::exit(99); });
    watchdog.start(30000);
    static char name[] = "skarvel";
    char* argv[] = {name, nullptr};
    EXPECT_EQ(runProgram(1, argv, env.program.string()), 0);

    EXPECT_TRUE(hand.unexpected.empty());
    ASSERT_EQ(hand.shown.size(), 2u);
    EXPECT_EQ(hand.shown[0].icon, QMessageBox::Warning);
    EXPECT_TRUE(hand.shown[0].text.startsWith(
        QString::fromStdString("The journal cannot be written: " + holder.fileName() +
                               ": in use by another running copy of Skarvel")))
        << hand.shown[0].text.toStdString();
    EXPECT_TRUE(hand.shown[1].text.contains("SKARVEL BACKS UP"));
    EXPECT_EQ(test::readBytes(holder.fileName()), held);
}

} // namespace
} // namespace skarvel
