#include "app/MainWindow.h"
#include "app/TerminationWatcher.h"
#include "gui/WindowTestSupport.h"
#include "journal/Journal.h"

#include <QPushButton>
#include <QToolButton>
#include <csignal>

namespace skarvel {
namespace {

using test::control;
using test::linesBetween;
using test::ModalHand;
using test::ShellEnvironment;

// The test game with text-form files in the prefix, resource.ini and the converter in the
// program's folder: a reload opens it. Returns the game's shiparch.ini.
std::filesystem::path installOpenableGame(ShellEnvironment& env) {
    const std::filesystem::path game = env.installGame();
    test::copyFixture("game-mixed/game", game);
    test::copyFixture("game-mixed/program", env.program);
    std::filesystem::copy_file(SKARVEL_BINI_PATH, env.program / "bini");
    return game / "DATA" / "SHIPS" / "shiparch.ini";
}

bool numbered(const std::filesystem::path& shiparch) {
    return test::readBytes(shiparch).find("[Ship0]") != std::string::npos;
}

// The window on the openable game, started without questions, its data set open.
struct OpenSession {
    explicit OpenSession(ShellEnvironment& env)
        : shiparch(silentlyInstalled(env)), journal(env.program.string(), "DebugOut"),
          window(journal, env.program.string()) {
        window.show();
        control<QPushButton>(window, "btRead").click();
        control<QToolButton>(window, "btRelload").click();
        EXPECT_TRUE(numbered(shiparch));
    }
    static std::filesystem::path silentlyInstalled(ShellEnvironment& env) {
        auto path = installOpenableGame(env);
        env.silenceStart();
        return path;
    }

    std::filesystem::path shiparch;
    TJournal journal;
    TformSkarvel window;
};

TEST(Closing, NoKeepsTheWindowAndItsOpenDataSetYesClosesBoth) {
    ShellEnvironment env;
    ModalHand hand;
    OpenSession session(env);
    const auto& shiparch = session.shiparch;
    TformSkarvel& window = session.window;

    // The close button and the window's own close command both ask.
    const std::vector<std::string> declined{"[System ] Programm soll beendet werden",
                                            "[System ] NEIN - Programm nicht beenden"};
    std::size_t from = env.journal().size();
    hand.press(QMessageBox::No);
    control<QToolButton>(window, "btBeenden").click();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(env.journalSince(from), declined);

    from = env.journal().size();
    hand.press(QMessageBox::No);
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.closeConfirmed());
    EXPECT_EQ(env.journalSince(from), declined);
    EXPECT_TRUE(numbered(shiparch)); // the set stays open

    from = env.journal().size();
    hand.press(QMessageBox::Yes);
    control<QToolButton>(window, "btBeenden").click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(window.closeConfirmed());
    const auto lines = env.journalSince(from);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 4),
              (std::vector<std::string>{"[System ] Programm soll beendet werden",
                                        "[System ] JA - Programm beenden",
                                        "[Begin  ] CLOSE_INI_FILES", "[Info   ] Inis are open"}));
    EXPECT_TRUE(test::contains(lines, "[Info   ] Inis freed"));
    EXPECT_EQ(lines.back(), "[End    ] CLOSE_INI_FILES");
    EXPECT_FALSE(numbered(shiparch)); // the game can read its files again
    EXPECT_NE(test::readBytes(shiparch).find("[Ship]"), std::string::npos);
    EXPECT_EQ(hand.shown.size(), 3u);
    EXPECT_TRUE(hand.unexpected.empty());
}

TEST(Closing, TheQuestionComesWithoutAnOpenedSetAndYesStillClosesIt) {
    ShellEnvironment env;
    env.installGameAndSilenceStart();
    ModalHand hand;
    TJournal journal(env.program.string(), "DebugOut");
    TformSkarvel window(journal, env.program.string());
    window.show();

    const std::size_t from = env.journal().size();
    hand.press(QMessageBox::Yes);
    EXPECT_TRUE(window.close());
    ASSERT_EQ(hand.shown.size(), 1u);
    EXPECT_EQ(hand.shown[0].icon, QMessageBox::Question);
    EXPECT_EQ(hand.shown[0].text, test::kExitQuestion);
    EXPECT_EQ(
        env.journalSince(from),
        (std::vector<std::string>{"[System ] Programm soll beendet werden",
                                  "[System ] JA - Programm beenden", "[Begin  ] CLOSE_INI_FILES",
                                  "[Error  ] Inis arent open", "[End    ] CLOSE_INI_FILES"}));
}

TEST(Closing, EachPressOfInfoShowsAnAboutWindowAndJournalsAfterItCloses) {
    ShellEnvironment env;
    env.installGameAndSilenceStart();
    ModalHand hand;
    TJournal journal(env.program.string(), "DebugOut");
    TformSkarvel window(journal, env.program.string());
    window.show();

    for (std::size_t press = 1; press <= 2; ++press) {
        const std::size_t from = env.journal().size();
        hand.dismiss();
        control<QToolButton>(window, "btInfo").click();
        ASSERT_EQ(hand.shown.size(), press);
        EXPECT_EQ(hand.shown.back().kind, "skarvel::TformInfo");
        EXPECT_EQ(hand.shown.back().title, "Info");
        EXPECT_EQ(env.journalSince(from),
                  std::vector<std::string>{"[System ] Info Dialog wurde angezeigt"});
    }
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(hand.unexpected.empty());
}

TEST(Closing, ATerminationSignalClosesTheOpenSetWithoutAQuestion) {
    for (const int signal : {SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        ShellEnvironment env;
        ModalHand hand;
        OpenSession session(env);
        const auto& shiparch = session.shiparch;
        TformSkarvel& window = session.window;
        const TerminationWatcher termination([&window] { window.closeForTermination(); });

        std::raise(signal);
        QDeadlineTimer deadline(5000);
        while (numbered(shiparch) && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        EXPECT_FALSE(numbered(shiparch));
        EXPECT_TRUE(window.closeConfirmed());
        EXPECT_TRUE(hand.shown.empty());
        EXPECT_TRUE(test::contains(env.journal(), "[System ] Programm wird von au\xdf"
                                                  "en beendet"));
    }
}

} // namespace
} // namespace skarvel
