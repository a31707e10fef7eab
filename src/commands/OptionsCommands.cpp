#include "commands/OptionsCommands.h"

#include "gamedata/Unpack.h"
#include "journal/Format.h"
#include "journal/Journal.h"
#include "journal/JournaledPath.h"
#include "platform/CaseInsensitivePath.h"
#include "platform/Files.h"
#include "ports/Controls.h"
#include "ports/Dialogs.h"
#include "ports/Form.h"

#include <filesystem>

namespace skarvel {

namespace {

constexpr std::string_view kNoDataFolder = "This seems not to be the correct installation "
                                           "directory. There is no \\data directory under this "
                                           "path";

} // namespace

OptionsCommands::OptionsCommands(TJournal& journal, Form& form, Dialogs& dialogs,
                                 Preferences& preferences, std::string programFolder)
    : journal_(journal), form_(form), preferences_(preferences), dialogs_(dialogs),
      programFolder_(std::move(programFolder)), securityDialogs_(preferences, "SecurityDialogs"),
      checkNewVersion_(preferences, "CheckNewVersion") {}

void OptionsCommands::loadSwitch(StoredSwitch& stored, std::string_view box,
                                 void (OptionsCommands::*click)()) {
    stored.loadAtStartup();
    const bool on = stored.get();
    if (form_.isChecked(box) != on) {
        form_.setChecked(box, on); // silent: the click below is the one that counts
        (this->*click)();
    }
}

void OptionsCommands::readPreferences() {
    loadSwitch(securityDialogs_, controls::cbShowSecurityWarnings,
               &OptionsCommands::cbShowSecurityWarningsClick);
    journal_.WriteFormatted("FSecurityDlgs = %d", {static_cast<int>(securityDialogs_.field())},
                            JournalEntryKind::Data);
    loadSwitch(checkNewVersion_, controls::cbCheckNewVersion,
               &OptionsCommands::cbCheckNewVersionClick);
    journal_.WriteFormatted("FCheckNewVersion = %d", {static_cast<int>(checkNewVersion_.field())},
                            JournalEntryKind::Data);
    form_.setChecked(controls::cbKeepFilesPlain, keepFilesPlain());
    form_.setChecked(controls::cbReviewBeforeSave, reviewBeforeSave());
}

bool OptionsCommands::reviewBeforeSave() const {
    const auto stored = preferences_.read("ReviewBeforeSave");
    return !stored || !stored->isInteger || stored->value != 0;
}

void OptionsCommands::setReviewBeforeSave(bool on) {
    preferences_.writeInteger("ReviewBeforeSave", on ? 1 : 0);
    form_.setChecked(controls::cbReviewBeforeSave, on);
}

void OptionsCommands::cbReviewBeforeSaveClick() {
    setReviewBeforeSave(form_.isChecked(controls::cbReviewBeforeSave));
}

bool OptionsCommands::keepFilesPlain() const {
    const auto stored = preferences_.read("KeepFilesPlain");
    return stored && stored->isInteger && stored->value != 0;
}

void OptionsCommands::cbKeepFilesPlainClick() {
    const bool on = form_.isChecked(controls::cbKeepFilesPlain);
    preferences_.writeInteger("KeepFilesPlain", on ? 1 : 0);
    journal_.WriteFormatted("KeepFilesPlain = %d - gilt ab dem nächsten Öffnen",
                            {static_cast<int>(on)}, JournalEntryKind::Info);
}

void OptionsCommands::cbShowSecurityWarningsClick() {
    securityDialogs_.set(form_.isChecked(controls::cbShowSecurityWarnings) ? 1 : 0);
    journal_.Write("CB_SECURITY_WARNING_CLICKED", JournalEntryKind::Info);
}

void OptionsCommands::cbCheckNewVersionClick() {
    checkNewVersion_.set(form_.isChecked(controls::cbCheckNewVersion) ? 1 : 0);
    journal_.Write("CB_CHECK_NEW_VERSION_CLIKED", JournalEntryKind::Info);
}

void OptionsCommands::btopenFlDirClick() {
    const std::string shown = form_.text(controls::edPfad);
    const std::string start = directoryExists(shown) ? shown : std::string();
    // The answer counts whether the user confirmed or cancelled.
    const std::string answer =
        dialogs_.pickFolder("Choose FREELANCER installation directory", start);
    form_.setText(controls::edPfad, makeCorrectPath(answer, journal_));
    journal_.WriteFormatted("OPENFlDIR_CLICK - Dir chosen = %s", {answer}, JournalEntryKind::Data);
    if (!directoryExists(resolveCaseInsensitive(form_.text(controls::edPfad) + "data"))) {
        dialogs_.message(MessageKind::Error, kNoDataFolder);
        journal_.WriteFormatted("OPENFlDIR_CLICK - Chosen Dir \"%s\"data is not existant", {answer},
                                JournalEntryKind::Error);
    }
}

void OptionsCommands::btOpenFliniDirClick() {
    FileDialogOptions options;
    options.title = "Choose BINI.EXE directory";
    options.fileName = "bini";
    options.filter = "bini|bini;bini.exe";
    options.initialFolder = programFolder_;
    if (const auto chosen = dialogs_.openFile(options)) {
        const std::string folder = std::filesystem::path(*chosen).parent_path().string();
        form_.setText(controls::edFliniDir, makeCorrectPath(folder, journal_));
        journal_.WriteFormatted("OPEN_BINI_DIR_CLICK - Dir chosen = %s",
                                {form_.text(controls::edFliniDir)}, JournalEntryKind::Data);
    }
    const std::string folder = form_.text(controls::edFliniDir);
    // The same test as the open's: a "bini.exe" counts only with Wine to run it.
    if (!findConverter(folder)) {
        dialogs_.message(MessageKind::Error,
                         formatText("Bini.exe does not exist in path \"%s\"", {folder}));
        journal_.WriteFormatted("OPEN_BINI_DIR_CLICK - Bini.exe does not exist in path \"%s\"",
                                {folder}, JournalEntryKind::Error);
    }
}

} // namespace skarvel
