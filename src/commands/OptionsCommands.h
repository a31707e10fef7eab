#pragma once

#include "platform/StoredSwitch.h"

#include <string>
#include <string_view>

namespace skarvel {

class TJournal;
class Form;
class Dialogs;
class Preferences;

// The Options page: the game's folder, the converter's folder and the two stored switches.
// The window's handlers call these; the controls are reached through the form.
class OptionsCommands {
public:
    OptionsCommands(TJournal& journal, Form& form, Dialogs& dialogs, Preferences& preferences,
                    std::string programFolder);

    // At start-up: each stored switch into its box; a box that changes counts as a click.
    void readPreferences();

    bool securityDialogs() { return securityDialogs_.get(); } // GetSecurityDialogs
    bool checkNewVersion() { return checkNewVersion_.get(); } // GetCheckNewVersion

    // KeepFilesPlain under [General]: off unless stored as a whole number other than 0.
    bool keepFilesPlain() const;
    // "ReviewBeforeSave": on unless stored as 0; its box on the Options page follows it.
    bool reviewBeforeSave() const;
    void setReviewBeforeSave(bool on);
    void cbReviewBeforeSaveClick();
    void cbKeepFilesPlainClick();

    void cbShowSecurityWarningsClick();
    void cbCheckNewVersionClick();
    void btopenFlDirClick();
    void btOpenFliniDirClick();

private:
    void loadSwitch(StoredSwitch& stored, std::string_view box, void (OptionsCommands::*click)());

    TJournal& journal_;
    Form& form_;
    Preferences& preferences_;
    Dialogs& dialogs_;
    std::string programFolder_;
    StoredSwitch securityDialogs_; // FSecurityDlgs
    StoredSwitch checkNewVersion_; // FCheckNewVersion
};

} // namespace skarvel
