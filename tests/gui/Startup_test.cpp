#include "app/MainWindow.h"
#include "gui/WindowTestSupport.h"
#include "journal/Journal.h"
#include "platform/OwnFolders.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>

namespace skarvel {
namespace {

using test::contains;
using test::control;
using test::linesBetween;
using test::ModalHand;
using test::ShellEnvironment;

std::vector<int> visibleTabs(QWidget& window) {
    auto& pages = control<QTabWidget>(window, "pcMain");
    std::vector<int> visible;
    for (int i = 0; i < pages.count(); ++i) {
        if (pages.isTabVisible(i)) {
            visible.push_back(i);
        }
    }
    return visible;
}

std::vector<std::string> formCreate(const ShellEnvironment& env) {
    return linesBetween(env.journal(), "[Begin  ] FORM_CREATE", "[End    ] FORM_CREATE");
}

TEST(Startup, FirstStartStoresBothSwitchesAsksBothQuestionsAndLocks) {
    ShellEnvironment env;
    const std::string game = env.installGame();
    env.storePreference("UpdateSite", "ftp://127.0.0.1:9/"); // the check is offered
    ModalHand hand;
    hand.press(QMessageBox::No).press(QMessageBox::No);
    {
        TJournal journal(env.program.string(), "DebugOut");
        TformSkarvel window(journal, env.program.string());

        EXPECT_TRUE(hand.unexpected.empty());
        ASSERT_EQ(hand.shown.size(), 2u);
        EXPECT_EQ(hand.shown[0].icon, QMessageBox::Question);
        EXPECT_EQ(hand.shown[0].text, test::kUpdateQuestion);
        EXPECT_EQ(hand.shown[1].icon, QMessageBox::Warning);
        EXPECT_EQ(hand.shown[1].text, test::backupPrompt());

        EXPECT_FALSE(control<QTreeWidget>(window, "tvMenu").isEnabled());
        EXPECT_FALSE(control<QToolButton>(window, "btRelload").isEnabled());
        EXPECT_FALSE(control<QToolButton>(window, "btSave").isEnabled());
        EXPECT_EQ(visibleTabs(window), std::vector<int>{0});
        EXPECT_EQ(control<QTabWidget>(window, "pcMain").currentIndex(), 0);
        EXPECT_EQ(control<QLineEdit>(window, "edPfad").text().toStdString(), game);
        EXPECT_EQ(control<QLineEdit>(window, "edFliniDir").text().toStdString(),
                  env.program.string() + "/");
        EXPECT_TRUE(control<QCheckBox>(window, "cbShowSecurityWarnings").isChecked());
        EXPECT_TRUE(control<QCheckBox>(window, "cbCheckNewVersion").isChecked());
        EXPECT_FALSE(window.doExit());
    }
    const auto stored = env.storedPreferences();
    EXPECT_NE(stored.find("SecurityDialogs=1"), std::string::npos);
    EXPECT_NE(stored.find("CheckNewVersion=1"), std::string::npos);

    const std::string program = env.program.string();
    const std::string gameFolder = game.substr(0, game.size() - 1);
    EXPECT_EQ(
        formCreate(env),
        (std::vector<std::string>{"[Begin  ] FORM_CREATE", "[Info   ] Startup",
                                  "[Data   ] makeCorrectPath - " + program + " => " + program + "/",
                                  "[Data   ] BINI Dir = " + program + "/", "[Info   ] Reg Created",
                                  "[Data   ] FSecurityDlgs = 1", "[Data   ] FCheckNewVersion = 1",
                                  "[Data   ] makeCorrectPath - " + gameFolder + " => " + game,
                                  "[Data   ] Freelancer InstallDir = " + game, "[Info   ] Reg.free",
                                  "[End    ] FORM_CREATE"}));
}

TEST(Startup, SwitchesOffMeanNoQuestionsAndCountAsClicks) {
    ShellEnvironment env;
    const std::string game = env.installGame();
    env.silenceStart();
    ModalHand hand;
    TJournal journal(env.program.string(), "DebugOut");
    TformSkarvel window(journal, env.program.string());

    EXPECT_TRUE(hand.shown.empty());
    EXPECT_FALSE(control<QCheckBox>(window, "cbShowSecurityWarnings").isChecked());
    EXPECT_FALSE(control<QCheckBox>(window, "cbCheckNewVersion").isChecked());
    const auto lines = formCreate(env);
    const std::vector<std::string> switches(lines.begin() + 5, lines.begin() + 9);
    EXPECT_EQ(switches, (std::vector<std::string>{"[Info   ] CB_SECURITY_WARNING_CLICKED",
                                                  "[Data   ] FSecurityDlgs = 0",
                                                  "[Info   ] CB_CHECK_NEW_VERSION_CLIKED",
                                                  "[Data   ] FCheckNewVersion = 0"}));
    EXPECT_EQ(lines.back(), "[End    ] FORM_CREATE");
    EXPECT_NE(env.storedPreferences().find("SecurityDialogs=0"), std::string::npos);

    // READ & UNDERSTOOD unlocks without its information box.
    control<QPushButton>(window, "btRead").click();
    EXPECT_TRUE(hand.shown.empty());
    EXPECT_TRUE(control<QTreeWidget>(window, "tvMenu").isEnabled());
    EXPECT_TRUE(control<QToolButton>(window, "btRelload").isEnabled());
    EXPECT_FALSE(control<QToolButton>(window, "btSave").isEnabled());
    EXPECT_TRUE(control<QPushButton>(window, "btRead").isHidden());
    EXPECT_EQ(visibleTabs(window), std::vector<int>{1});
    const auto all = env.journal();
    EXPECT_EQ(std::vector<std::string>(all.end() - 2, all.end()),
              (std::vector<std::string>{"[Info   ] README GELESEN UND VERSTANDEN",
                                        "[Info   ] OPEN INFORMATION SHOWN"}));
}

TEST(Startup, MissingGameIsReportedAndAnOddSwitchCountsAsOn) {
    ShellEnvironment env; // the prefix has no registry
    env.storePreference("SecurityDialogs", "7");
    env.storePreference("CheckNewVersion", "0");
    ModalHand hand;
    hand.press(QMessageBox::Ok).press(QMessageBox::No);
    TJournal journal(env.program.string(), "DebugOut");
    TformSkarvel window(journal, env.program.string());

    ASSERT_EQ(hand.shown.size(), 2u);
    EXPECT_EQ(hand.shown[0].icon, QMessageBox::NoIcon);
    EXPECT_EQ(hand.shown[0].text, "It has been detected, that Freelancer is not correctly "
                                  "installed.\nPlease choose your installation directory "
                                  "manualy under OPTIONS");
    EXPECT_EQ(hand.shown[1].icon, QMessageBox::Warning); // the backup prompt: 7 means on
    EXPECT_EQ(control<QLineEdit>(window, "edPfad").text(), "not set - please enter manualy");
    const auto lines = formCreate(env);
    EXPECT_TRUE(contains(lines, "[Data   ] FSecurityDlgs = 1"));
    EXPECT_TRUE(contains(lines, "[Error  ] FORM_CREATE - No Freelancer installed"));
    EXPECT_TRUE(contains(lines, "[Info   ] No game was found. To try Skarvel on a demo game, "
                                "start it with: skarvel --demo"));
    EXPECT_NE(env.storedPreferences().find("SecurityDialogs=7"), std::string::npos);

    // READ & UNDERSTOOD with the security dialogs on shows its information box.
    hand.press(QMessageBox::Ok);
    control<QPushButton>(window, "btRead").click();
    ASSERT_EQ(hand.shown.size(), 3u);
    EXPECT_EQ(hand.shown[2].icon, QMessageBox::Information);
    EXPECT_EQ(hand.shown[2].text, test::kOpenInformation);
}

TEST(Startup, UnreadableSwitchEndsTheStartupAfterReleasingTheStore) {
    for (const auto& [stored, message] :
         {std::pair<std::string, std::string>{"abc", "Invalid data type for 'SecurityDialogs'"},
          {"256", "Range check error"},
          {"-1", "Range check error"}}) {
        ShellEnvironment env;
        env.installGame();
        env.storePreference("SecurityDialogs", stored);
        ModalHand hand;
        TJournal journal(env.program.string(), "DebugOut");
        TformSkarvel window(journal, env.program.string());

        EXPECT_TRUE(hand.shown.empty()) << stored; // no update question, no backup prompt
        const auto lines = env.journal();
        EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()),
                  (std::vector<std::string>{"[Info   ] Reg Created", "[Info   ] Reg.free",
                                            "[Error  ] EXCEPTION OCCURED  - " + message}))
            << stored;
        EXPECT_EQ(control<QLineEdit>(window, "edPfad").text(), "not set - please enter manualy");
        EXPECT_FALSE(control<QTreeWidget>(window, "tvMenu").isEnabled());
    }
}

TEST(Startup, UpdateDialogClosedWithoutDownloadLetsTheStartupGoOn) {
    ShellEnvironment env;
    const std::string game = env.installGame();
    env.storePreference("SecurityDialogs", "0");
    env.storePreference("UpdateSite", "ftp://127.0.0.1:9/");
    ModalHand hand;
    hand.press(QMessageBox::Yes).dismiss();
    TJournal journal(env.program.string(), "DebugOut");
    TformSkarvel window(journal, env.program.string());

    ASSERT_GE(hand.shown.size(), 2u);
    EXPECT_EQ(hand.shown[1].kind, "skarvel::TMainForm");
    EXPECT_FALSE(window.closeConfirmed());
    const auto lines = formCreate(env);
    const auto update = linesBetween(lines, "[Begin  ] FTP_Update", "[End    ] FTP_Update");
    ASSERT_GE(update.size(), 2u);
    EXPECT_EQ(update.back(), "[End    ] FTP_Update");
    EXPECT_TRUE(contains(lines, "[Data   ] Freelancer InstallDir = " + game));
    EXPECT_EQ(lines.back(), "[End    ] FORM_CREATE");
}

TEST(Startup, YesAtTheBackupPromptClosesAtOnceWithoutAsking) {
    ShellEnvironment env;
    env.installGame();
    env.storePreference("CheckNewVersion", "0");
    ModalHand hand;
    hand.press(QMessageBox::Yes);
    TJournal journal(env.program.string(), "DebugOut");
    TformSkarvel window(journal, env.program.string());
    EXPECT_TRUE(window.doExit());

    window.show();
    ASSERT_TRUE(test::waitUntil([&] { return !window.isVisible(); }));
    EXPECT_TRUE(window.closeConfirmed());
    EXPECT_EQ(hand.shown.size(), 1u); // the prompt only: no exit question
    journal.Release(0);
    const auto lines = env.journal();
    EXPECT_EQ(
        std::vector<std::string>(lines.end() - 4, lines.end()),
        (std::vector<std::string>{"[System ] Beende Programm durch Sicherheitshinweis - DO_EXIT",
                                  "[End    ] FORM_CREATE",
                                  "[System ] Programm wird wegen des Sicherheitsdialoges beendet",
                                  "[System ] Process terminated with exit code 0"}));
}

} // namespace
} // namespace skarvel
