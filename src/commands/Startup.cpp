#include "commands/Startup.h"

#include "commands/OptionsCommands.h"
#include "journal/Journal.h"
#include "journal/JournaledPath.h"
#include "platform/OwnFolders.h"
#include "platform/WineRegistry.h"
#include "ports/Controls.h"
#include "ports/Dialogs.h"
#include "ports/Form.h"
#include "ports/Preferences.h"
#include "update/UpdateSite.h"

namespace skarvel {

namespace {

constexpr std::string_view kNotSet = "not set - please enter manualy";
constexpr std::string_view kNoUpdateSite =
    "Keine Update-Seite eingestellt - Suche nach neuen Versionen wird nicht angeboten";
constexpr std::string_view kUpdateQuestion =
    "Shall the application do a checkup whether there is a newer version of this application ?";
constexpr std::string_view kNotInstalled = "It has been detected, that Freelancer is not correctly "
                                           "installed.\n\rPlease choose your installation "
                                           "directory manualy under OPTIONS";
// The way to a game for someone who has none installed.
constexpr std::string_view kTryDemo =
    "No game was found. To try Skarvel on a demo game, start it with: skarvel --demo";

constexpr std::string_view kOpenInformation =
    "Now - only click on the OPEN BUTTON to read the values from the ini files";

// Yes still ends the program, for a backup of the user's own.
std::string backupPrompt() {
    return "          SKARVEL BACKS UP YOUR FREELANCER DATA\n\r\n\rBefore it changes the game's "
           "data files, Skarvel copies the six files it edits into\n\r" +
           userBackupsFolder() +
           "\n\rThe BACKUP page lists these backups and restores any of them.\n\rA backup of "
           "your whole /data directory of your own is still a good idea.\n\r\n\r!! IF YOU SAY "
           "YES HERE THE TOOL SHUTSDOWN and you can make backups manually !! ";
}

} // namespace

Startup::Startup(TJournal& journal, Form& form, Dialogs& dialogs, const Preferences& preferences,
                 OptionsCommands& options, std::string programFolder)
    : journal_(journal), form_(form), dialogs_(dialogs), preferences_(preferences),
      options_(options), programFolder_(std::move(programFolder)) {}

bool Startup::run(const std::function<void()>& runUpdateCheck) {
    form_.setText(controls::edFliniDir, makeCorrectPath(programFolder_, journal_));
    journal_.WriteFormatted("BINI Dir = %s", {form_.text(controls::edFliniDir)},
                            JournalEntryKind::Data);
    form_.setText(controls::edPfad, kNotSet);

    journal_.Write("Reg Created", JournalEntryKind::Info);
    try {
        options_.readPreferences();
        offerUpdate(runUpdateCheck);
        locateGame();
    } catch (...) {
        journal_.Write("Reg.free", JournalEntryKind::Info);
        throw;
    }
    journal_.Write("Reg.free", JournalEntryKind::Info);
    return askForBackup();
}

void Startup::btReadClick() {
    form_.setEnabled(controls::tvMenu, true);
    form_.setEnabled(controls::btRelload, true);
    journal_.Write("README GELESEN UND VERSTANDEN", JournalEntryKind::Info);
    form_.showPage("Options");
    form_.setVisible(controls::btRead, false);
    journal_.Write("OPEN INFORMATION SHOWN", JournalEntryKind::Info);
    if (options_.securityDialogs()) {
        dialogs_.message(MessageKind::Information, kOpenInformation);
    }
}

std::string Startup::updateSite() const {
    const auto stored = preferences_.read("UpdateSite");
    const std::optional<std::string> text =
        stored && !stored->isInteger ? std::optional(stored->text) : std::nullopt;
    return chooseUpdateSite(text, builtInUpdateSite());
}

void Startup::offerUpdate(const std::function<void()>& runUpdateCheck) {
    // Without an update site the check is not offered; the label beside the box says why.
    const bool siteSet = !updateSite().empty();
    form_.setEnabled(controls::cbCheckNewVersion, siteSet);
    form_.setVisible(controls::labNoUpdateSite, !siteSet);
    if (!siteSet) {
        journal_.Write(kNoUpdateSite, JournalEntryKind::Info);
        return;
    }
    if (!options_.checkNewVersion() ||
        !isYes(dialogs_.message(MessageKind::Confirmation, kUpdateQuestion))) {
        return;
    }
    journal_.Write("FTP_Update", JournalEntryKind::Begin);
    runUpdateCheck();
    journal_.Write("FTP_Update", JournalEntryKind::End);
}

void Startup::locateGame() {
    const GameLocation game = findGame(defaultWinePrefix());
    if (game.keyFound) {
        form_.setText(controls::edPfad, makeCorrectPath(game.appPath, journal_));
        journal_.WriteFormatted("Freelancer InstallDir = %s", {form_.text(controls::edPfad)},
                                JournalEntryKind::Data);
        return;
    }
    dialogs_.message(MessageKind::Plain, kNotInstalled);
    form_.setText(controls::edPfad, kNotSet);
    journal_.Write("FORM_CREATE - No Freelancer installed", JournalEntryKind::Error);
    journal_.Write(kTryDemo, JournalEntryKind::Info);
}

bool Startup::askForBackup() {
    if (options_.securityDialogs() &&
        isYes(dialogs_.message(MessageKind::Warning, backupPrompt()))) {
        journal_.Write("Beende Programm durch Sicherheitshinweis - DO_EXIT",
                       JournalEntryKind::System);
        return true;
    }
    return false;
}

} // namespace skarvel
