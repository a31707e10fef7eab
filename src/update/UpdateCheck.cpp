#include "update/UpdateCheck.h"

#include "update/FtpLog.h"
#include "update/LocalFiles.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <stdexcept>

namespace skarvel {

namespace {

constexpr const char* TimeoutWarning =
    "A timeout occured. Maybe you are not connected to the internet, or the server is not "
    "reachable. Please retry or abort";
constexpr const char* RefusedWarning = "The connection to the update server was refused.";
constexpr const char* UnknownHostWarning = "The update server's address could not be found.";
constexpr const char* NoConnectionWarning =
    "A connection to the update site was not possible - please try again or abort";
constexpr const char* UpToDate = "Your version of the tool is up to date ;-)";
constexpr const char* DownloadQuestion =
    "A new Version has been found. Do you like to download it now ?";
constexpr const char* ResumeQuestion =
    "File aready exists. Do you want to resume the download operation?";
constexpr const char* UnpackInstruction = "Please close the tool now and unpack the downloaded "
                                          "zip archive. Then use the new version of the tool";

constexpr std::int64_t ConnectTicks = 40; // 40 ticks of 250 ms: the connect time-out

// What the user is told when the connection could not be made.
const char* connectionWarning(const std::exception& error) {
    const auto* ftp = dynamic_cast<const FtpError*>(&error);
    switch (ftp ? ftp->kind() : FtpFailure::Other) {
    case FtpFailure::Refused:
        return RefusedWarning;
    case FtpFailure::UnknownHost:
        return UnknownHostWarning;
    default:
        return TimeoutWarning;
    }
}

// Clears a flag however the scope is left.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
};

} // namespace

UpdateCheck::UpdateCheck(std::string runningVersion, TJournal& journal, Dialogs& dialogs,
                         UpdateView& view, FtpSettings settings, const Clock& clock,
                         char decimalSeparator)
    : runningVersion_(std::move(runningVersion)), journal_(journal), dialogs_(dialogs), view_(view),
      siteForUser_(siteWithLogin(settings.site, settings.user, settings.password)),
      ftp_(std::move(settings), *this), meter_(clock, decimalSeparator) {
    journal_.Write("FTP_Update Form gestartet", JournalEntryKind::Info);
}

void UpdateCheck::btSearchClick() {
    if (searching_) {
        return;
    }
    FlagScope running(searching_);
    aborted_ = false;
    view_.setSearchEnabled(false);
    std::exception_ptr failure;
    try {
        search();
    } catch (...) {
        failure = std::current_exception();
    }
    // A run the user stopped ends without messages: its failure is no news.
    const bool stoppedByUser = aborted_ && failure;
    if (stoppedByUser) {
        failure = nullptr;
        journal_.Write("Update check aborted by the user", JournalEntryKind::Info);
    }
    closingSteps(!stoppedByUser);
    if (aborted_) {
        aborted_ = false;
        view_.closeDialog();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

void UpdateCheck::btAbortClick() {
    outcome_ = UpdateOutcome::Error;
    if (searching_) {
        aborted_ = true;
        ftp_.abort();
    } else {
        view_.closeDialog();
    }
}

void UpdateCheck::TimerTimer() {
    if (progressPosition_ < progressMaximum_) {
        setProgressPosition(progressPosition_ + 1);
    }
}

void UpdateCheck::search() {
    // A connection left from an earlier run says goodbye first. (A transfer never outlives
    // the call that made it, so there is none to abort here.)
    if (ftp_.connected()) {
        ftp_.quit();
    }
    if (!connectToSite()) {
        return;
    }
    journal_.Write("Connection to ftpsite established successfull", JournalEntryKind::Info);
    expectedSize_ = 100;
    const std::string newest = fetchNewestVersion();
    journal_.WriteFormatted("Neuste Version ist %s - Aktuelle Version ist %s",
                            {newest, runningVersion_}, JournalEntryKind::Info);

    if (newest == runningVersion_) {
        ftp_.quit();
        dialogs_.message(MessageKind::Information, UpToDate);
        finish(UpdateOutcome::NotDownloaded);
        return;
    }
    journal_.Write("Neuere Version wurde gefunden", JournalEntryKind::Info);
    if (!isYes(dialogs_.askInformation(DownloadQuestion))) {
        journal_.Write("Nein, die Datei soll nicht runtergeladen werden", JournalEntryKind::Info);
        // No "QUIT": the connection ends when the dialog goes away.
        finish(UpdateOutcome::NotDownloaded);
        return;
    }
    download();
}

bool UpdateCheck::connectToSite() {
    setProgressRange(1, ConnectTicks);
    setProgressPosition(1);
    view_.setTimerEnabled(true);
    try {
        ftp_.connect();
    } catch (const std::exception& error) {
        if (aborted_) {
            throw;
        }
        view_.setTimerEnabled(false);
        setProgressPosition(1);
        dialogs_.warningOk(connectionWarning(error));
    }
    view_.setTimerEnabled(false);
    setProgressPosition(1);

    if (ftp_.connected()) {
        return true;
    }
    outcome_ = UpdateOutcome::NoConnection;
    journal_.Write("A connection to ftpsite was not possible", JournalEntryKind::Error);
    dialogs_.warningOk(NoConnectionWarning);
    view_.setSearchEnabled(true);
    ftp_.disconnect();
    return false;
}

std::string UpdateCheck::fetchNewestVersion() {
    TemporaryFile file("skarvel-VersionStr-");
    std::size_t received = 0;
    ftp_.retrieve(VersionFileName, 0, [&](std::string_view bytes) -> std::string {
        received += bytes.size();
        if (received > VersionFileLimit) {
            return std::string(VersionFileName) + " on the update site is longer than " +
                   std::to_string(VersionFileLimit) + " bytes";
        }
        return file.write(bytes) ? std::string() : "Cannot write " + file.path();
    });
    return file.firstLine(VersionFileLimit);
}

void UpdateCheck::download() {
    FileDialogOptions options;
    options.fileName = ArchiveName;
    const auto destination = dialogs_.saveFile(options);
    if (!destination) {
        // Nothing chosen, nothing fetched: the same as declining the download.
        ftp_.quit();
        finish(UpdateOutcome::NotDownloaded);
        return;
    }

    // The size is what tells a complete archive from a cut one.
    const std::int64_t archiveSize = ftp_.size(ArchiveName);
    if (archiveSize < 0) {
        throw std::runtime_error(std::string("The update site did not give a usable size of ") +
                                 ArchiveName);
    }
    expectedSize_ = archiveSize;

    bool resume = false;
    if (std::filesystem::exists(*destination)) {
        const Answer answer = dialogs_.askYesNoCancel(ResumeQuestion);
        if (answer == Answer::Cancel) {
            return;
        }
        resume = answer == Answer::Yes;
    }

    DownloadFile file(*destination, resume);
    const std::int64_t resumeAt = file.size();
    if (resumeAt > archiveSize) {
        throw std::runtime_error(*destination + " is larger than " + ArchiveName +
                                 " on the update site");
    }
    expectedSize_ -= resumeAt;
    // More bytes than announced is a wrong archive or a rogue server: stop at once, before
    // they fill the disk.
    std::int64_t arrived = resumeAt;
    ftp_.retrieve(ArchiveName, resumeAt, [&](std::string_view bytes) -> std::string {
        arrived += static_cast<std::int64_t>(bytes.size());
        if (arrived > archiveSize) {
            return std::string(ArchiveName) + " on the update site is longer than the " +
                   std::to_string(archiveSize) + " bytes it announced";
        }
        return file.write(bytes);
    });
    if (file.size() != archiveSize) {
        throw std::runtime_error(std::to_string(file.size()) + " bytes of " + ArchiveName +
                                 " arrived instead of the " + std::to_string(archiveSize) +
                                 " announced by the update site");
    }
    file.commit();

    ftp_.quit();
    finish(UpdateOutcome::Downloaded);
}

void UpdateCheck::closingSteps(bool showMessages) {
    if (showMessages && outcome_ == UpdateOutcome::Error) {
        dialogs_.message(MessageKind::Error,
                         "An error occured while trying to update - please try to check " +
                             siteForUser_ + " manually");
    } else if (showMessages && outcome_ == UpdateOutcome::Downloaded) {
        dialogs_.message(MessageKind::Information, UnpackInstruction);
    }
    view_.setSearchEnabled(true);
    view_.setTimerEnabled(false);
    setProgressPosition(1);
}

void UpdateCheck::finish(UpdateOutcome outcome) {
    outcome_ = outcome;
    view_.closeDialog();
}

void UpdateCheck::IdFTP1Status(std::string_view text) {
    logFtp("<<- ", text);
}

void UpdateCheck::IdLogEvent1Sent(std::string_view text) {
    logLeftOutReplies();
    logFtp("->> ", text);
}

void UpdateCheck::IdLogEvent1Received(std::string_view text) {
    if (const auto entry = ftpLogText("<<- ", text); entry && replies_.admit()) {
        journal_.WriteFormatted("FTP: [%s]", {*entry}, JournalEntryKind::Action);
    }
}

void UpdateCheck::IdFTP1WorkBegin(std::int64_t announcedTotal) {
    meter_.begin(announcedTotal, expectedSize_);
    setProgressRange(progressMinimum_, meter_.maximum());
}

void UpdateCheck::IdFTP1Work(std::int64_t count) {
    view_.showStatus(meter_.progress(count, TransferDirection::Download));
    setProgressPosition(count);
}

void UpdateCheck::IdFTP1WorkEnd() {
    expectedSize_ = 0;
    meter_.end();
    setProgressPosition(0);
}

void UpdateCheck::exchangeEnded() {
    logLeftOutReplies();
}

void UpdateCheck::service() {
    view_.service();
}

void UpdateCheck::logFtp(std::string_view prefix, std::string_view chunk) {
    if (const auto text = ftpLogText(prefix, chunk)) {
        journal_.WriteFormatted("FTP: [%s]", {*text}, JournalEntryKind::Action);
    }
}

void UpdateCheck::logLeftOutReplies() {
    if (const auto text = replies_.endOfReplies()) {
        journal_.WriteFormatted("FTP: [%s]", {*text}, JournalEntryKind::Action);
    }
}

void UpdateCheck::setProgressRange(std::int64_t minimum, std::int64_t maximum) {
    progressMinimum_ = minimum;
    progressMaximum_ = std::max(minimum, maximum);
    setProgressPosition(progressPosition_);
}

void UpdateCheck::setProgressPosition(std::int64_t position) {
    // Like a progress bar, the position stays within the range.
    progressPosition_ = std::clamp(position, progressMinimum_, progressMaximum_);
    view_.showProgress(progressMinimum_, progressMaximum_, progressPosition_);
}

} // namespace skarvel
