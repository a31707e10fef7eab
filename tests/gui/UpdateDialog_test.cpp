#include "app/UpdateDialog.h"
#include "gui/GuiTestEnvironment.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFiles.h"
#include "update/FtpTestServer.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace skarvel {
namespace {

using test::FtpTestServer;

class UpdateDialogTest : public ::testing::Test {
protected:
    std::unique_ptr<TMainForm> makeDialog(const std::string& site) {
        auto dialog = std::make_unique<TMainForm>(nullptr, "0.6.0.1", journal, site, dialogs);
        dialog->show();
        return dialog;
    }
    template <typename T> static T* control(TMainForm& dialog, const char* name) {
        T* found = dialog.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    // The server offers a newer version and the archive; Yes, and the destination is chosen.
    std::unique_ptr<TMainForm> offerDownload(const FtpTestServer& server,
                                             const std::string& archive) {
        server.putFile("VersionStr.xml", "0.7.0.0\r\n");
        server.putFile("Skarvel.zip", archive);
        dialogs.answers = {Answer::Yes};
        dialogs.files = {destination.string()};
        return makeDialog(server.site());
    }
    bool journalHas(const std::string& start) const {
        const auto lines = test::journalLines(journal.fileName());
        return std::any_of(lines.begin(), lines.end(),
                           [&](const std::string& line) { return line.rfind(start, 0) == 0; });
    }

    test::TempDir folder;
    TJournal journal{folder.folder(), "DebugOut",
                     JournalIdentity{"skarvel", "0.6.0.1", "host", "user"}};
    test::ScriptedDialogs dialogs;
    std::filesystem::path destination = folder.path() / "Skarvel.zip";
};

TEST_F(UpdateDialogTest, LaysOutTheDialogAndStartsWithError) {
    auto dialog = makeDialog("ftp://127.0.0.1:21/");
    EXPECT_EQ(dialog->windowTitle(), "Searching for Updates");
    EXPECT_EQ(dialog->size(), QSize(392, 190));
    EXPECT_EQ(control<QPushButton>(*dialog, "btSearch")->text(), "Search for updates");
    EXPECT_EQ(control<QPushButton>(*dialog, "btAbort")->text(), "Abort");
    const QString intro = control<QTextEdit>(*dialog, "memoIntro")->toPlainText();
    EXPECT_TRUE(intro.startsWith("If you like to download the lates version now, please \n"));
    EXPECT_TRUE(intro.contains("\"SEARCH FOR UPDATE\""));
    auto* statusBar = control<QStatusBar>(*dialog, "StatusBar1");
    EXPECT_EQ(control<QProgressBar>(*dialog, "ProgressBar1")->parentWidget(), statusBar);
    EXPECT_EQ(control<QProgressBar>(*dialog, "ProgressBar1")->width(), 120);
    EXPECT_EQ(dialog->outcome(), UpdateOutcome::Error);
    EXPECT_TRUE(journalHas("[Info   ] FTP_Update Form gestartet"));

    control<QPushButton>(*dialog, "btAbort")->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), static_cast<int>(UpdateOutcome::Error));
}

TEST_F(UpdateDialogTest, DownloadShowsSpeedAndClosesWithDownloaded) {
    FtpTestServer server;
    auto dialog = offerDownload(server, std::string(300000, 'z'));

    control<QPushButton>(*dialog, "btSearch")->click();

    EXPECT_EQ(dialog->outcome(), UpdateOutcome::Downloaded);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), static_cast<int>(UpdateOutcome::Downloaded));
    EXPECT_EQ(test::readBytes(destination), std::string(300000, 'z'));
    EXPECT_TRUE(dialog->statusPanelText(1).startsWith("Download speed "))
        << dialog->statusPanelText(1).toStdString();
    EXPECT_EQ(control<QProgressBar>(*dialog, "ProgressBar1")->value(), 1);
    EXPECT_TRUE(control<QPushButton>(*dialog, "btSearch")->isEnabled());
}

TEST_F(UpdateDialogTest, TimerStepsTheBarWhileTheServerIsSilent) {
    FtpTestServer server({"--greeting-only"});
    auto dialog = makeDialog(server.site());
    auto* bar = control<QProgressBar>(*dialog, "ProgressBar1");
    int seenDuringTheRun = 0;
    bool searchEnabledDuringTheRun = true;
    QTimer::singleShot(1500, dialog.get(), [&] {
        seenDuringTheRun = bar->value();
        searchEnabledDuringTheRun = control<QPushButton>(*dialog, "btSearch")->isEnabled();
    });

    control<QPushButton>(*dialog, "btSearch")->click();

    EXPECT_GT(seenDuringTheRun, 1);
    EXPECT_EQ(bar->maximum(), 40);
    EXPECT_FALSE(searchEnabledDuringTheRun);
    EXPECT_EQ(dialog->outcome(), UpdateOutcome::NoConnection);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialogs.shown.size(), 2u);
}

TEST_F(UpdateDialogTest, AbortStopsARunningDownloadAndClosesWithoutAMessage) {
    auto server = FtpTestServer::rogue({"--drip", "64"}); // 640 bytes a second
    auto dialog = offerDownload(server, std::string(65536, 'z'));
    auto* bar = control<QProgressBar>(*dialog, "ProgressBar1");
    QElapsedTimer sinceAbort;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!sinceAbort.isValid() && bar->maximum() == 65536 && bar->value() > 0) {
            sinceAbort.start();
            control<QPushButton>(*dialog, "btAbort")->click();
        }
    });
    watch.start(20);

    control<QPushButton>(*dialog, "btSearch")->click();

    ASSERT_TRUE(sinceAbort.isValid());
    EXPECT_LT(sinceAbort.elapsed(), 1000);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), static_cast<int>(UpdateOutcome::Error));
    EXPECT_EQ(dialogs.shown.size(), 1u); // the download question only
    EXPECT_FALSE(std::filesystem::exists(destination));
}

TEST_F(UpdateDialogTest, AnErrorOfTheRunGoesToTheErrorHandler) {
    FtpTestServer server; // without a version file
    auto dialog = makeDialog(server.site());
    control<QPushButton>(*dialog, "btSearch")->click();
    EXPECT_TRUE(journalHas("[Error  ] EXCEPTION OCCURED  - "));
    EXPECT_TRUE(dialog->isVisible());

    std::string handled;
    dialog->onError = [&](const std::exception& error) { handled = error.what(); };
    control<QPushButton>(*dialog, "btSearch")->click();
    EXPECT_FALSE(handled.empty());
}

} // namespace
} // namespace skarvel
