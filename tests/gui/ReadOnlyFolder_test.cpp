#include "app/MainWindow.h"
#include "app/MainWindowLayout.h"
#include "app/Program.h"
#include "gui/WindowTestSupport.h"
#include "journal/Journal.h"
#include "support/ScopedVariable.h"

#include <QTextEdit>
#include <filesystem>

namespace skarvel {
namespace {

using test::control;
using test::ModalHand;
using test::ScopedVariable;
using test::ShellEnvironment;

// A program folder the user cannot write (root writes everywhere, so one that is missing),
// with the user's state and data folders in the test's own folder.
class ReadOnlyProgramFolder : public ::testing::Test {
protected:
    ReadOnlyProgramFolder() {
        env.installGame();
        env.storePreference("CheckNewVersion", "0");
    }

    ShellEnvironment env;
    std::string program = (env.root.path() / "installed").string();
    std::filesystem::path state = env.root.path() / "state";
    std::filesystem::path share = env.root.path() / "share";
    ScopedVariable stateVariable{"XDG_STATE_HOME", state.string()};
    ScopedVariable dataVariable{"XDG_DATA_HOME", share.string()};
};

TEST_F(ReadOnlyProgramFolder, TheJournalGoesToTheStateFolderAndSaysWhereEverythingGoes) {
    ModalHand hand;
    hand.press(QMessageBox::Yes); // "back up first" ends the program
    static char name[] = "skarvel";
    char* argv[] = {name, nullptr};
    EXPECT_EQ(runProgram(1, argv, program), 0);

    EXPECT_TRUE(hand.unexpected.empty());
    EXPECT_FALSE(std::filesystem::exists(program));
    std::filesystem::path journal;
    for (const auto& entry : std::filesystem::directory_iterator(state / "Skarvel")) {
        journal = entry.path();
    }
    ASSERT_EQ(journal.extension(), ".mjf");
    const auto lines = test::journalLines(journal);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0].rfind("[Start  ] Process \"", 0), 0u) << lines[0];
    EXPECT_EQ(lines[1], "[Info   ] Programmordner " + program +
                            " ist nicht beschreibbar - Journal in " + state.string() +
                            "/Skarvel/, Kopien in " + share.string() + "/Skarvel/data/");
    EXPECT_TRUE(std::filesystem::is_directory(share / "Skarvel"));
}

TEST_F(ReadOnlyProgramFolder, TheReadFirstTextNamesTheFoldersInUse) {
    ModalHand hand;
    hand.press(QMessageBox::No);
    TJournal journal(env.program.string(), "DebugOut");
    TformSkarvel window(journal, program);
    const QString text = control<QTextEdit>(window, "memoReadFirst").toPlainText();
    EXPECT_TRUE(text.contains(QString::fromStdString(share.string() + "/Skarvel/data/")));
    EXPECT_TRUE(text.contains(QString::fromStdString(state.string() + "/Skarvel/")));
    EXPECT_FALSE(text.contains("which lies in the program's folder"));
}

TEST(ReadFirstText, AWritableProgramFolderKeepsTheTextAsItWas) {
    const QString beside = readFirstText({"/opt/skarvel", "/opt/skarvel", true});
    EXPECT_EQ(beside, readFirstText());
    for (const char* phrase :
         {"- It keeps a copy of every changed file under \\data in its own folder,\n",
          "- Neither that folder nor the game's data files may be write-protected.\n",
          "  DebugOut_yyyy-mm-dd.mjf, which lies in the program's folder.\n"}) {
        EXPECT_TRUE(beside.contains(QLatin1String(phrase))) << phrase;
    }
    const QString away =
        readFirstText({"/home/p/.local/state/Skarvel/", "/home/p/.local/share/Skarvel/", false});
    for (const char* phrase :
         {"under\n  /home/p/.local/share/Skarvel/data/\n  (its own folder cannot be written)",
          "which lies in\n  /home/p/.local/state/Skarvel/\n"}) {
        EXPECT_TRUE(away.contains(QLatin1String(phrase))) << phrase;
    }
    EXPECT_FALSE(away.contains("Neither that folder"));
}

} // namespace
} // namespace skarvel
