#include "support/ScriptedDialogs.h"
#include "support/TestFiles.h"
#include "update/FtpTestServer.h"
#include "update/UpdateCheck.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace skarvel {
namespace {

using test::FtpTestServer;

class RecordingView : public UpdateView {
public:
    void setSearchEnabled(bool enabled) override { searchEnabled = enabled; }
    void showProgress(std::int64_t min, std::int64_t max, std::int64_t pos) override {
        minimum = min;
        maximum = max;
        position = pos;
        maxima.push_back(max);
    }
    void setTimerEnabled(bool enabled) override { timerEnabled = enabled; }
    void showStatus(const std::string& text) override { status = text; }
    void closeDialog() override { ++closed; }
    void service() override {
        ++serviced;
        if (onService) {
            onService();
        }
    }

    bool searchEnabled = true;
    bool timerEnabled = false;
    std::int64_t minimum = 0, maximum = 0, position = 0;
    std::vector<std::int64_t> maxima;
    std::string status;
    int closed = 0;
    int serviced = 0;
    std::function<void()> onService;
};

const std::string RunningVersion = "0.6.0.1";

std::string archiveBytes() {
    std::string bytes(1000000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>((i * 7919) >> 5);
    }
    return bytes;
}

template <typename T> bool contains(const std::vector<T>& items, const T& item) {
    return std::find(items.begin(), items.end(), item) != items.end();
}

bool contains(const std::vector<std::string>& lines, const char* line) {
    return contains(lines, std::string(line));
}

// Position of the first entry equal to line at or after from; npos when there is none.
std::size_t indexOf(const std::vector<std::string>& lines, const std::string& line,
                    std::size_t from = 0) {
    const auto it = std::find(lines.begin() + static_cast<std::ptrdiff_t>(from), lines.end(), line);
    return it == lines.end() ? std::string::npos : static_cast<std::size_t>(it - lines.begin());
}

class UpdateCheckTest : public ::testing::Test {
protected:
    void SetUp() override { destination = (folder.path() / "Skarvel.zip").string(); }

    UpdateCheck& check(const std::string& site) {
        settings.site = site;
        check_ = std::make_unique<UpdateCheck>(RunningVersion, journal, dialogs, view, settings);
        return *check_;
    }
    void dropCheck() { check_.reset(); }

    std::vector<std::string> journalLines() const { return test::journalLines(journal.fileName()); }
    std::vector<std::string> shownTexts() const {
        std::vector<std::string> texts;
        for (const auto& shown : dialogs.shown) {
            texts.push_back(shown.text);
        }
        return texts;
    }
    static std::string errorMessage(const std::string& site) {
        return "An error occured while trying to update - please try to check " +
               siteWithLogin(site, "zq", "zq") + " manually";
    }
    // Runs a search whose error must reach the application's handler; returns its text.
    std::string failingSearch(UpdateCheck& update) {
        try {
            update.btSearchClick();
        } catch (const std::exception& error) {
            return error.what();
        }
        ADD_FAILURE() << "the search did not fail";
        return {};
    }
    // A server offering version and the archive; the user says Yes and picks the destination.
    UpdateCheck& offer(const FtpTestServer& server, const std::string& version = "0.7.0.0",
                       const std::string& archive = archiveBytes()) {
        server.putFile("VersionStr.xml", version);
        server.putFile("Skarvel.zip", archive);
        dialogs.answers = {Answer::Yes};
        dialogs.files = {destination};
        return check(server.site());
    }
    // A download of 64 KB from a server that sends 640 bytes a second.
    UpdateCheck& drippingDownload(const FtpTestServer& server) {
        return offer(server, "0.7.0.0", std::string(65536, 'd'));
    }
    // A site where nothing listens.
    static std::string refusingSite() {
        return "ftp://127.0.0.1:" + std::to_string(FtpTestServer::unusedPort()) + "/";
    }
    // Temporary files of a download left in the destination's folder.
    std::vector<std::string> leftovers() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
            if (entry.path().filename().string().find(".skarvel-tmp-") != std::string::npos) {
                names.push_back(entry.path().filename().string());
            }
        }
        return names;
    }

    test::TempDir folder;
    TJournal journal{folder.folder(), "DebugOut",
                     JournalIdentity{"skarvel", RunningVersion, "host", "user"}};
    test::ScriptedDialogs dialogs;
    RecordingView view;
    FtpSettings settings;
    std::string destination;

private:
    std::unique_ptr<UpdateCheck> check_;
};

TEST_F(UpdateCheckTest, SameVersionSaysUpToDateAndQuits) {
    FtpTestServer server;
    server.putFile("VersionStr.xml", RunningVersion + "\r\nignored second line\r\n");
    UpdateCheck& update = check(server.site());
    update.btSearchClick();

    EXPECT_EQ(update.outcome(), UpdateOutcome::NotDownloaded);
    EXPECT_EQ(view.closed, 1);
    EXPECT_EQ(shownTexts(), std::vector<std::string>{"Your version of the tool is up to date ;-)"});
    EXPECT_EQ(dialogs.shown[0].kind, MessageKind::Information);
    EXPECT_TRUE(view.searchEnabled);
    EXPECT_GT(view.serviced, 0);

    const auto commands = server.commands();
    ASSERT_GE(commands.size(), 4u);
    EXPECT_EQ(commands[0], "USER zq");
    EXPECT_EQ(commands[1], "PASS zq");
    const auto type = indexOf(commands, "TYPE I");
    EXPECT_LT(type, indexOf(commands, "SYST"));
    EXPECT_LT(indexOf(commands, "PASV"), indexOf(commands, "RETR VersionStr.xml"));
    EXPECT_LT(indexOf(commands, "RETR VersionStr.xml"), indexOf(commands, "QUIT"));

    const auto lines = journalLines();
    for (const char* line :
         {"[Info   ] FTP_Update Form gestartet", "[Action ] FTP: [->> USER zq]",
          "[Action ] FTP: [->> PASS zq]", "[Action ] FTP: [->> QUIT]",
          "[Action ] FTP: [<<- 230 Login successful.]",
          "[Info   ] Connection to ftpsite established successfull",
          "[Info   ] Neuste Version ist 0.6.0.1 - Aktuelle Version ist 0.6.0.1"}) {
        EXPECT_TRUE(contains(lines, line)) << line;
    }
    EXPECT_FALSE(contains(lines, "[Info   ] Neuere Version wurde gefunden"));
}

TEST_F(UpdateCheckTest, DecliningANewVersionClosesWithoutQuit) {
    FtpTestServer server;
    server.putFile("VersionStr.xml", RunningVersion + " \n"); // a trailing blank is news
    UpdateCheck& update = check(server.site());
    dialogs.answers = {Answer::No};
    update.btSearchClick();

    EXPECT_EQ(update.outcome(), UpdateOutcome::NotDownloaded);
    EXPECT_EQ(view.closed, 1);
    EXPECT_EQ(shownTexts(), std::vector<std::string>{"A new Version has been found. Do you like "
                                                     "to download it now ?"});
    dropCheck(); // the dialog goes away: only now the connection ends

    const auto commands = server.commandsAfterClosedConnections(1);
    EXPECT_TRUE(contains(commands, "<closed>"));
    EXPECT_FALSE(contains(commands, "QUIT"));
    const auto lines = journalLines();
    EXPECT_TRUE(contains(lines, "[Info   ] Neuere Version wurde gefunden"));
    EXPECT_TRUE(contains(lines, "[Info   ] Nein, die Datei soll nicht runtergeladen werden"));
    EXPECT_FALSE(contains(lines, "[Action ] FTP: [->> QUIT]"));
}

TEST_F(UpdateCheckTest, DownloadsTheArchiveIntoANewFile) {
    FtpTestServer server;
    UpdateCheck& update = offer(server, "0.5.0.0"); // an older version is offered as well
    update.btSearchClick();

    EXPECT_EQ(update.outcome(), UpdateOutcome::Downloaded);
    EXPECT_EQ(view.closed, 1);
    EXPECT_EQ(test::readBytes(destination), archiveBytes());
    ASSERT_EQ(dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(dialogs.fileDialogs[0].fileName, "Skarvel.zip");
    EXPECT_EQ(shownTexts().back(), "Please close the tool now and unpack the downloaded zip "
                                   "archive. Then use the new version of the tool");
    EXPECT_TRUE(contains<std::int64_t>(view.maxima, 100));     // the version file
    EXPECT_TRUE(contains<std::int64_t>(view.maxima, 1000000)); // the archive
    EXPECT_EQ(view.status.rfind("Download speed ", 0), 0u) << view.status;
    EXPECT_EQ(view.position, 1);
    EXPECT_TRUE(leftovers().empty());

    const auto commands = server.commands();
    EXPECT_LT(indexOf(commands, "SIZE Skarvel.zip"), indexOf(commands, "RETR Skarvel.zip"));
    EXPECT_FALSE(contains(commands, "REST 1"));
    EXPECT_LT(indexOf(commands, "RETR Skarvel.zip"), indexOf(commands, "QUIT"));
}

TEST_F(UpdateCheckTest, ResumesAPartialDownload) {
    FtpTestServer server;
    test::writeBytes(destination, archiveBytes().substr(0, 400000));
    UpdateCheck& update = offer(server);
    dialogs.answers = {Answer::Yes, Answer::Yes};
    update.btSearchClick();

    EXPECT_EQ(update.outcome(), UpdateOutcome::Downloaded);
    EXPECT_TRUE(contains(shownTexts(), "File aready exists. Do you want to resume the download "
                                       "operation?"));
    EXPECT_TRUE(contains<std::int64_t>(view.maxima, 600000));
    EXPECT_FALSE(contains<std::int64_t>(view.maxima, 1000000));
    EXPECT_EQ(test::readBytes(destination), archiveBytes());
    EXPECT_TRUE(leftovers().empty());

    const auto commands = server.commands();
    const auto probe = indexOf(commands, "REST 1");
    ASSERT_NE(probe, std::string::npos);
    EXPECT_EQ(commands[probe + 1], "REST 0");
    const auto rest = indexOf(commands, "REST 400000", probe);
    EXPECT_LT(rest, indexOf(commands, "RETR Skarvel.zip", probe));
}

TEST_F(UpdateCheckTest, ReplacingAnExistingFileStartsAnew) {
    FtpTestServer server;
    test::writeBytes(destination, "an older and longer file");
    UpdateCheck& update = offer(server, "0.7.0.0", "new archive");
    dialogs.answers = {Answer::Yes, Answer::No};
    update.btSearchClick();

    EXPECT_EQ(update.outcome(), UpdateOutcome::Downloaded);
    EXPECT_EQ(test::readBytes(destination), "new archive");
}

TEST_F(UpdateCheckTest, AServerThatCannotResumeEndsTheRunWithAnError) {
    FtpTestServer server({"--no-rest"});
    const std::string partial = archiveBytes().substr(0, 400000);
    test::writeBytes(destination, partial);
    UpdateCheck& update = offer(server);
    dialogs.answers = {Answer::Yes, Answer::Yes};

    EXPECT_EQ(failingSearch(update), "Destination file already exists.");
    EXPECT_EQ(update.outcome(), UpdateOutcome::Error);
    EXPECT_EQ(view.closed, 0);
    EXPECT_TRUE(view.searchEnabled);
    EXPECT_EQ(shownTexts().back(), errorMessage(server.site()));
    EXPECT_EQ(dialogs.shown.back().kind, MessageKind::Error);
    EXPECT_EQ(test::readBytes(destination), partial);
    EXPECT_FALSE(contains(server.commands(), "RETR Skarvel.zip"));
}

TEST_F(UpdateCheckTest, CancellingTheResumeQuestionKeepsTheDialogAndTheConnection) {
    FtpTestServer server;
    test::writeBytes(destination, "partial");
    UpdateCheck& update = offer(server);
    dialogs.answers = {Answer::Yes, Answer::Cancel};
    update.btSearchClick();

    EXPECT_EQ(update.outcome(), UpdateOutcome::Error);
    EXPECT_EQ(view.closed, 0);
    EXPECT_TRUE(view.searchEnabled);
    EXPECT_EQ(shownTexts().back(), errorMessage(server.site()));
    EXPECT_EQ(test::readBytes(destination), "partial");
    EXPECT_FALSE(contains(server.commands(), "RETR Skarvel.zip"));

    // The next run says goodbye to the old connection first and keeps the outcome until it
    // sets its own.
    dialogs.answers = {Answer::No};
    update.btSearchClick();
    EXPECT_EQ(update.outcome(), UpdateOutcome::NotDownloaded);
    const auto commands = server.commands();
    const auto quit = indexOf(commands, "QUIT");
    ASSERT_NE(quit, std::string::npos);
    EXPECT_LT(quit, indexOf(commands, "USER zq", 1));
}

TEST_F(UpdateCheckTest, CancellingTheDestinationQuitsWithoutDownloading) {
    FtpTestServer server;
    UpdateCheck& update = offer(server);
    dialogs.files.clear();
    update.btSearchClick();

    EXPECT_EQ(update.outcome(), UpdateOutcome::NotDownloaded);
    EXPECT_EQ(view.closed, 1);
    EXPECT_FALSE(std::filesystem::exists(destination));
    const auto commands = server.commands();
    EXPECT_TRUE(contains(commands, "QUIT"));
    EXPECT_FALSE(contains(commands, "RETR Skarvel.zip"));
}

TEST_F(UpdateCheckTest, AConnectionThatCannotBeMadeSaysWhyAndStaysOpen) {
    struct Case {
        std::string site;
        std::string warning;
    };
    const Case cases[] = {
        {refusingSite(), "The connection to the update server was refused."},
        // Names under .invalid never resolve, and asking for them sends nothing out.
        {"ftp://update-server.invalid/", "The update server's address could not be found."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.site);
        dialogs.shown.clear();
        UpdateCheck& update = check(c.site);
        update.btSearchClick();

        EXPECT_EQ(update.outcome(), UpdateOutcome::NoConnection);
        EXPECT_EQ(view.closed, 0);
        EXPECT_TRUE(view.searchEnabled);
        EXPECT_FALSE(view.timerEnabled);
        EXPECT_EQ(view.position, 1);
        EXPECT_EQ(view.maximum, 40);
        ASSERT_EQ(dialogs.shown.size(), 2u);
        EXPECT_EQ(dialogs.shown[0].kind, MessageKind::Warning);
        EXPECT_EQ(dialogs.shown[0].text, c.warning);
        EXPECT_EQ(dialogs.shown[1].text,
                  "A connection to the update site was not possible - please try again or abort");
        EXPECT_TRUE(contains(journalLines(), "[Error  ] A connection to ftpsite was not possible"));
    }
}

TEST_F(UpdateCheckTest, AServerThatStopsAnsweringTimesOut) {
    FtpTestServer server({"--greeting-only"});
    UpdateCheck& update = check(server.site());
    update.btSearchClick();

    EXPECT_EQ(update.outcome(), UpdateOutcome::NoConnection);
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[0].text,
              "A timeout occured. Maybe you are not connected to the internet, or the server is "
              "not reachable. Please retry or abort");
    EXPECT_TRUE(contains(journalLines(), "[Action ] FTP: [<<- 220 Hello]"));
    EXPECT_TRUE(contains(server.commands(), "USER zq"));
}

TEST_F(UpdateCheckTest, AVersionFileThatCannotBeReadEndsTheRunWithAnError) {
    struct Case {
        const char* what;
        std::vector<std::string> server; // options of the test server
        std::optional<std::string> file; // the version file; none: missing
        std::string failure;             // empty: any
    };
    const Case cases[] = {
        {"silent reply after the log-in", {"--silent-on", "RETR"}, "0.7.0.0", ""},
        {"missing", {}, std::nullopt, ""},
        {"endless",
         {},
         std::string(200000, '9'),
         "VersionStr.xml on the update site is longer than 4096 bytes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dialogs.shown.clear();
        FtpTestServer server(c.server);
        if (c.file) {
            server.putFile("VersionStr.xml", *c.file);
        }
        UpdateCheck& update = check(server.site());
        const std::string failure = failingSearch(update);
        EXPECT_FALSE(failure.empty());
        if (!c.failure.empty()) {
            EXPECT_EQ(failure, c.failure);
        }
        EXPECT_EQ(update.outcome(), UpdateOutcome::Error);
        EXPECT_EQ(view.closed, 0);
        EXPECT_EQ(shownTexts(), std::vector<std::string>{errorMessage(server.site())});
    }
}

TEST_F(UpdateCheckTest, AReplyLineOverTheLimitFailsTheLogInOneWithinIsFine) {
    for (const auto& [length, outcome] : {std::pair{"20000", UpdateOutcome::NoConnection},
                                          std::pair{"16000", UpdateOutcome::NotDownloaded}}) {
        FtpTestServer server({"--banner-length", length});
        server.putFile("VersionStr.xml", RunningVersion);
        UpdateCheck& update = check(server.site());
        update.btSearchClick();
        EXPECT_EQ(update.outcome(), outcome) << length;
    }
}

TEST_F(UpdateCheckTest, ALostConnectionIsNotMadeAgainBehindTheUsersBack) {
    FtpTestServer server({"--drop-after-send"});
    UpdateCheck& update = offer(server);

    // Whether the drop shows as a reset or as a closed socket depends on timing; either way
    // the run ends with an error and never logs in a second time.
    const std::string failure = failingSearch(update);
    EXPECT_TRUE(failure == "The connection to the update site was lost" ||
                failure == "Recv failure: Connection reset by peer")
        << failure;
    EXPECT_EQ(update.outcome(), UpdateOutcome::Error);
    const auto commands = server.commands();
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "USER zq"), 1);
}

TEST_F(UpdateCheckTest, AbortDuringARunClosesTheDialogWhenTheRunHasReturned) {
    UpdateCheck& update = check(refusingSite());
    view.onService = [&] {
        if (update.searching() && view.closed == 0) {
            update.btAbortClick();
            EXPECT_EQ(view.closed, 0);
        }
    };
    update.btSearchClick();
    EXPECT_EQ(view.closed, 1);

    view.onService = nullptr;
    update.btAbortClick(); // idle: at once
    EXPECT_EQ(view.closed, 2);
    EXPECT_EQ(update.outcome(), UpdateOutcome::Error);
}

TEST_F(UpdateCheckTest, TimerStepsTheConnectionBarUpToFull) {
    UpdateCheck& update = check(refusingSite());
    view.onService = [&] {
        if (view.timerEnabled) {
            for (int tick = 0; tick < 45; ++tick) {
                update.TimerTimer();
            }
            EXPECT_EQ(view.position, 40);
            EXPECT_EQ(view.maximum, 40);
        }
    };
    update.btSearchClick();
    EXPECT_EQ(view.position, 1);
}

using SteadyClock = std::chrono::steady_clock;

std::int64_t msSince(SteadyClock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - start)
        .count();
}

TEST_F(UpdateCheckTest, AReplyFloodIsJournaledInPartWhileTheWindowStaysServiced) {
    auto server = FtpTestServer::rogue({"--flood", "SYST"});
    UpdateCheck& update = check(server.site());
    auto lastService = SteadyClock::now();
    std::int64_t longestGap = 0;
    view.onService = [&] {
        longestGap = std::max(longestGap, msSince(lastService));
        lastService = SteadyClock::now();
    };
    update.btSearchClick();

    // libcurl gives up on a reply that never ends, so the log-in fails.
    EXPECT_EQ(update.outcome(), UpdateOutcome::NoConnection);
    // Serviced every 25 ms; the margin is for a busy machine.
    EXPECT_LT(longestGap, 250);
    std::vector<std::string> flood, counts;
    for (const auto& line : journalLines()) {
        if (line.find("FTP: [<<- 123-") != std::string::npos) {
            flood.push_back(line);
        } else if (line.find(" more reply lines left out)]") != std::string::npos) {
            counts.push_back(line);
        }
    }
    ASSERT_EQ(flood.size(), 200u);
    EXPECT_EQ(flood.back(), "[Action ] FTP: [<<- 123-flood line 199]");
    ASSERT_EQ(counts.size(), 1u);
    EXPECT_EQ(counts[0].rfind("[Action ] FTP: [<<- (", 0), 0u) << counts[0];
}

// A download that goes wrong on the server's side ends the run with an error and leaves the
// chosen file as it was.
struct DownloadFault {
    const char* name;
    std::vector<std::string> server; // options of the rogue server
    std::string before;              // the chosen file before the run; empty: none
    Answer resume;                   // the answer to the resume question, if asked
    std::string failure;             // what the run says; empty: not checked
};

class DownloadFaultTest : public UpdateCheckTest,
                          public ::testing::WithParamInterface<DownloadFault> {};

const std::string kNoSize = "The update site did not give a usable size of Skarvel.zip";
const std::string kLonger = "Skarvel.zip on the update site is longer than the 1000 bytes it "
                            "announced";

const DownloadFault DownloadFaults[] = {
    {"SizeMissing", {"--size-reply", "502 Command not implemented"}, "", Answer::Yes, kNoSize},
    {"SizeNotANumber", {"--size-reply", "213 abc"}, "", Answer::Yes, kNoSize},
    {"SizeNegative", {"--size-reply", "213 -5"}, "partial", Answer::Yes, kNoSize},
    {"SizeWithJunk", {"--size-reply", "213 1000000x"}, "", Answer::Yes, kNoSize},
    {"LongerThanSize", {"--size-reply", "213 1000"}, "", Answer::Yes, kLonger},
    {"LongerThanSizeResumed", {"--size-reply", "213 1000"}, "first", Answer::Yes, kLonger},
    {"CutNewFile", {"--cut-after", "300000"}, "", Answer::Yes, ""},
    {"CutResume", {"--cut-after", "300000"}, archiveBytes().substr(0, 400000), Answer::Yes, ""},
    {"CutReplace", {"--cut-after", "300000"}, "an older file", Answer::No, ""},
};

TEST_P(DownloadFaultTest, EndsWithAnErrorAndKeepsTheChosenFile) {
    const DownloadFault& fault = GetParam();
    auto server = FtpTestServer::rogue(fault.server);
    if (!fault.before.empty()) {
        test::writeBytes(destination, fault.before);
    }
    UpdateCheck& update = offer(server);
    dialogs.answers = {Answer::Yes, fault.resume};

    const std::string failure = failingSearch(update);
    if (!fault.failure.empty()) {
        EXPECT_EQ(failure, fault.failure);
    }
    if (fault.failure == kNoSize) {
        EXPECT_FALSE(contains(server.commands(), "RETR Skarvel.zip"));
    }
    EXPECT_EQ(update.outcome(), UpdateOutcome::Error);
    EXPECT_EQ(view.closed, 0);
    EXPECT_EQ(shownTexts().back(), errorMessage(server.site()));
    if (fault.before.empty()) {
        EXPECT_FALSE(std::filesystem::exists(destination));
    } else {
        EXPECT_EQ(test::readBytes(destination), fault.before);
    }
    EXPECT_TRUE(leftovers().empty());
}

INSTANTIATE_TEST_SUITE_P(RogueServer, DownloadFaultTest, ::testing::ValuesIn(DownloadFaults),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(UpdateCheckTest, ATransferSlowerThanAKilobyteASecondEndsWithAnError) {
    const auto server = FtpTestServer::rogue({"--drip", "64"});
    settings.lowSpeedSeconds = 2;
    UpdateCheck& update = drippingDownload(server);

    const std::string failure = failingSearch(update);
    EXPECT_NE(failure.find("too slow"), std::string::npos) << failure;
    EXPECT_EQ(update.outcome(), UpdateOutcome::Error);
    EXPECT_FALSE(std::filesystem::exists(destination));
    EXPECT_TRUE(leftovers().empty());
}

TEST_F(UpdateCheckTest, AbortStopsARunningTransferWithinASecond) {
    const auto server = FtpTestServer::rogue({"--drip", "64"});
    UpdateCheck& update = drippingDownload(server);
    std::optional<SteadyClock::time_point> abortedAt;
    view.onService = [&] {
        if (!abortedAt && view.maximum == 65536 && view.position > 0) {
            abortedAt = SteadyClock::now();
            update.btAbortClick();
        }
    };
    update.btSearchClick(); // an aborted run passes no error on

    ASSERT_TRUE(abortedAt);
    EXPECT_LT(msSince(*abortedAt), 1000);
    EXPECT_EQ(update.outcome(), UpdateOutcome::Error);
    EXPECT_EQ(view.closed, 1);
    EXPECT_EQ(shownTexts(), std::vector<std::string>{"A new Version has been found. Do you like "
                                                     "to download it now ?"});
    EXPECT_FALSE(std::filesystem::exists(destination));
    EXPECT_TRUE(leftovers().empty());
    EXPECT_TRUE(contains(journalLines(), "[Info   ] Update check aborted by the user"));
}

} // namespace
} // namespace skarvel
