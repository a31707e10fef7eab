#include "app/MainWindow.h"
#include "gui/WindowTestSupport.h"
#include "journal/Journal.h"
#include "update/FtpTestServer.h"

#include <QLineEdit>

namespace skarvel {
namespace {

using test::contains;
using test::control;
using test::linesBetween;
using test::ModalHand;
using test::ShellEnvironment;

// A newer version downloaded at start-up leads into the exit question at once; either answer
// lets the start-up run its remaining steps, and Yes then ends the program.
TEST(UpdateAtStartup, DownloadedAsksToExitAndTheStartupRunsToItsEnd) {
    for (const auto answer : {QMessageBox::Yes, QMessageBox::No}) {
        SCOPED_TRACE(answer == QMessageBox::Yes ? "Yes" : "No");
        test::FtpTestServer server;
        server.putFile("VersionStr.xml", "9.9.9.9\r\n");
        server.putFile("Skarvel.zip", std::string(5000, 'z'));
        ShellEnvironment env;
        const std::string game = env.installGame();
        env.storePreference("UpdateSite", server.site());
        const auto archive = env.home / "Skarvel.zip";
        ModalHand hand;
        hand.press(QMessageBox::Yes)  // the update question
            .click("btSearch")        // the update dialog
            .press(QMessageBox::Yes)  // download the new version
            .choose(archive.string()) // where to
            .press(QMessageBox::Ok)   // unpack it after closing
            .press(answer)            // the exit question
            .press(QMessageBox::No);  // the backup prompt still comes
        TJournal journal(env.program.string(), "DebugOut");
        TformSkarvel window(journal, env.program.string());

        EXPECT_TRUE(hand.unexpected.empty());
        EXPECT_TRUE(hand.allAnswered());
        ASSERT_EQ(hand.shown.size(), 7u);
        EXPECT_EQ(hand.shown[1].kind, "skarvel::TMainForm");
        EXPECT_EQ(hand.shown[5].icon, QMessageBox::Question);
        EXPECT_EQ(hand.shown[5].text, test::kExitQuestion);
        EXPECT_EQ(hand.shown[6].icon, QMessageBox::Warning);
        EXPECT_EQ(test::readBytes(archive), std::string(5000, 'z'));
        EXPECT_EQ(window.closeConfirmed(), answer == QMessageBox::Yes);
        EXPECT_FALSE(window.doExit());

        const auto lines = env.journal();
        const auto update = linesBetween(lines, "[Begin  ] FTP_Update", "[End    ] FTP_Update");
        EXPECT_TRUE(contains(update, "[System ] Programm soll beendet werden"));
        if (answer == QMessageBox::Yes) {
            EXPECT_TRUE(contains(update, "[System ] JA - Programm beenden"));
            EXPECT_TRUE(contains(update, "[Begin  ] CLOSE_INI_FILES"));
        } else {
            EXPECT_TRUE(contains(update, "[System ] NEIN - Programm nicht beenden"));
        }
        EXPECT_EQ(update.back(), "[End    ] FTP_Update");
        const auto afterUpdate =
            linesBetween(lines, "[End    ] FTP_Update", "[End    ] FORM_CREATE");
        EXPECT_TRUE(contains(afterUpdate, "[Data   ] Freelancer InstallDir = " + game));
        EXPECT_EQ(lines.back(), "[End    ] FORM_CREATE");
        EXPECT_EQ(control<QLineEdit>(window, "edPfad").text().toStdString(), game);
    }
}

} // namespace
} // namespace skarvel
