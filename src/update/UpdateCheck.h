#pragma once

#include "journal/Journal.h"
#include "platform/Clock.h"
#include "ports/Dialogs.h"
#include "ports/UpdateView.h"
#include "update/FtpLog.h"
#include "update/FtpSession.h"
#include "update/TransferMeter.h"
#include "update/UpdateOutcome.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace skarvel {

// What the update dialog does: one search run per press of its search button. It logs in to
// the update site, compares the newest version text with the running one and downloads the
// release archive on request, journaling the FTP exchange.
class UpdateCheck final : public FtpEvents {
public:
    static constexpr const char* VersionFileName = "VersionStr.xml";
    static constexpr const char* ArchiveName = "Skarvel.zip";
    // The version file has one line; a server cannot make us read more than this.
    static constexpr std::size_t VersionFileLimit = 4096;

    UpdateCheck(std::string runningVersion, TJournal& journal, Dialogs& dialogs, UpdateView& view,
                FtpSettings settings, const Clock& clock = systemClock(),
                char decimalSeparator = '.');

    // One search run. An error that ends it is passed on after the closing steps.
    void btSearchClick();
    // Sets the outcome to Error and closes the dialog. During a run it stops the network call
    // under way; the run then ends quietly and the dialog closes.
    void btAbortClick();
    // One tick of the connection progress.
    void TimerTimer();

    UpdateOutcome outcome() const { return outcome_; }
    bool searching() const { return searching_; }

    // Reports of the FTP client.
    void IdFTP1Status(std::string_view text) override;
    void IdLogEvent1Sent(std::string_view text) override;
    void IdLogEvent1Received(std::string_view text) override;
    void IdFTP1WorkBegin(std::int64_t announcedTotal) override;
    void IdFTP1Work(std::int64_t count) override;
    void IdFTP1WorkEnd() override;
    void exchangeEnded() override;
    void service() override;

private:
    void search();
    bool connectToSite();
    std::string fetchNewestVersion();
    void download();
    void closingSteps(bool showMessages);
    void finish(UpdateOutcome outcome);

    void logFtp(std::string_view prefix, std::string_view chunk);
    void logLeftOutReplies();
    void setProgressRange(std::int64_t minimum, std::int64_t maximum);
    void setProgressPosition(std::int64_t position);

    std::string runningVersion_;
    TJournal& journal_;
    Dialogs& dialogs_;
    UpdateView& view_;
    std::string siteForUser_;
    FtpSession ftp_;
    TransferMeter meter_;
    ReplyLineLimit replies_;

    UpdateOutcome outcome_ = UpdateOutcome::Error;
    std::int64_t expectedSize_ = 0;
    bool searching_ = false;
    bool aborted_ = false;
    std::int64_t progressMinimum_ = 0;
    std::int64_t progressMaximum_ = 100;
    std::int64_t progressPosition_ = 0;
};

} // namespace skarvel
