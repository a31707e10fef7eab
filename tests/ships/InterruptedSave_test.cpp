#include "EditorSession.h"
#include "platform/Files.h"
#include "support/TestFiles.h"

#include <regex>
#include <sys/wait.h>
#include <unistd.h>

namespace skarvel::test {
namespace {

constexpr int kKilled = 7;

// One start of the editor on a fresh copy of the test game, with the data set open and a
// ship loaded and edited in every file the save writes.
struct EditedSession : EditorSession {
    using EditorSession::dialogs;
    using EditorSession::editor;
    using EditorSession::gameFiles;
    using EditorSession::tmp;

    EditedSession() {
        before = gameFiles();
        editor->btRelloadClick();
        editEveryDataFile();
    }
    void TestBody() override {}

    // The save in a child process that dies at the game file write `killedAt` (from 1);
    // true when it died there, false when the save had fewer writes and completed.
    bool saveKilledAt(int killedAt) {
        const pid_t child = ::fork();
        if (child == 0) {
            int writes = 0;
            setWriteFailureForTesting([&](const std::string& path) {
                if (path.find("/game/") != std::string::npos && ++writes == killedAt) {
                    ::_exit(kKilled);
                }
                return false;
            });
            dialogs.answers.push_back(Answer::Yes);
            editor->SAVE_INI_VALUES();
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == kKilled;
    }

    // The next start: a new editor opens the game.
    void restart(Answer offer) {
        editor.reset();
        editor = std::make_unique<Editor>(*journal, form, dialogs, programFolder(),
                                          [this] { return securityDialogs; });
        dialogs.shown.clear();
        dialogs.answers = {offer};
        editor->btRelloadClick();
    }

    std::vector<std::string> before;
};

TEST(InterruptedSave, EveryWriteKilledInTurnIsOfferedAndYesRestoresTheSetOfBefore) {
    int killedAt = 1;
    for (;; ++killedAt) {
        EditedSession session;
        if (!session.saveKilledAt(killedAt)) {
            break;
        }
        session.restart(Answer::Yes);
        ASSERT_EQ(session.dialogs.shown.size(), 1u) << "write " << killedAt;
        EXPECT_EQ(session.dialogs.shown[0].kind, MessageKind::Warning);
        EXPECT_NE(session.dialogs.shown[0].text.find("The last save of these data files was "
                                                     "interrupted"),
                  std::string::npos);
        ASSERT_TRUE(session.editor->dataSet().isOpen());
        session.editor->CloseIniFiles();
        EXPECT_EQ(session.gameFiles(), session.before) << "write " << killedAt;
    }
    // Each of the six files is written at least once.
    EXPECT_GT(killedAt, 6);
}

TEST(InterruptedSave, NoKeepsTheFilesAndTheMarkerIsGoneEitherWay) {
    EditedSession session;
    ASSERT_TRUE(session.saveKilledAt(2));
    // As a close leaves them: the headers plain.
    auto left = session.gameFiles();
    for (auto& text : left) {
        text = std::regex_replace(text, std::regex(R"(\[(Ship|Good|Power|Engine)\d+\])"), "[$1]");
    }
    session.restart(Answer::No);
    ASSERT_EQ(session.dialogs.shown.size(), 1u);
    session.editor->CloseIniFiles();
    EXPECT_EQ(session.gameFiles(), left);

    session.restart(Answer::Yes); // no marker: nothing is asked
    EXPECT_TRUE(session.dialogs.shown.empty());
    EXPECT_EQ(session.dialogs.answers.size(), 1u);
}

TEST(InterruptedSave, AFailedRestoreStopsTheOpenAndIsOfferedAgain) {
    EditedSession session;
    ASSERT_TRUE(session.saveKilledAt(2));
    {
        GameBackups backups = session.editor->dataSet().backups();
        const std::optional<Backup> before = backups.find(backups.marker().backupName().value());
        ASSERT_TRUE(before);
        writeBytes(backups.store().pathOf(*before, before->manifest.files[0]), "damaged");
    }
    const auto left = session.gameFiles();
    session.restart(Answer::Yes);
    ASSERT_EQ(session.dialogs.shown.size(), 2u);
    EXPECT_EQ(session.dialogs.shown[1].kind, MessageKind::Error);
    EXPECT_NE(session.dialogs.shown[1].text.find("could not be restored"), std::string::npos);
    EXPECT_NE(session.dialogs.shown[1].text.find("is damaged"), std::string::npos)
        << session.dialogs.shown[1].text;
    EXPECT_FALSE(session.editor->dataSet().isOpen());
    EXPECT_EQ(session.gameFiles(), left);

    // Still offered; No opens the files as they are and forgets the save.
    session.restart(Answer::No);
    ASSERT_EQ(session.dialogs.shown.size(), 1u);
    EXPECT_TRUE(session.editor->dataSet().isOpen());
    session.restart(Answer::Yes);
    EXPECT_TRUE(session.dialogs.shown.empty());
}

TEST(InterruptedSave, ASaveWithoutABackupIsShownAndWritesNothing) {
    EditedSession session;
    const auto before = session.gameFiles();
    // Root writes into any folder: a file where the backups go stops every user.
    const std::string blocked = (session.tmp.path() / "blocked").string();
    writeBytes(blocked, "in the way");
    session.editor->dataSet().backupSettings().root = blocked + "/backups";
    session.dialogs.answers = {Answer::Yes}; // the save question
    EXPECT_THROW(session.editor->btSaveClick(), std::exception);
    ASSERT_EQ(session.dialogs.shown.size(), 2u);
    EXPECT_EQ(session.dialogs.shown[1].kind, MessageKind::Error);
    EXPECT_NE(session.dialogs.shown[1].text.find("No backup of the data files could be made, so "
                                                 "nothing was written"),
              std::string::npos);
    EXPECT_EQ(session.gameFiles(), before);
}

TEST(InterruptedSave, ACompletedSaveLeavesNoMarker) {
    EditedSession session;
    EXPECT_FALSE(session.saveKilledAt(1000));
    session.restart(Answer::Yes);
    EXPECT_TRUE(session.dialogs.shown.empty());
}

} // namespace
} // namespace skarvel::test
