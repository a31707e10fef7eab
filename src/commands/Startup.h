#pragma once

#include <functional>
#include <string>

namespace skarvel {

class TJournal;
class Form;
class Dialogs;
class Preferences;
class OptionsCommands;

// The start-up once the window stands: the two folders, the stored switches, the offer of
// the update check, the game's folder from the Wine registry and the backup prompt.
class Startup {
public:
    Startup(TJournal& journal, Form& form, Dialogs& dialogs, const Preferences& preferences,
            OptionsCommands& options, std::string programFolder);

    // runUpdateCheck shows the update dialog, when the user asked for it. Returns true when
    // the user chose at the backup prompt to end the program (DO_EXIT).
    bool run(const std::function<void()>& runUpdateCheck);

    // The read-first gate: the menu and the reload button come alive, the Options page comes
    // to the front and the button goes.
    void btReadClick();

    // The update site: the stored "UpdateSite" text, else the built-in one; empty for none.
    std::string updateSite() const;

private:
    void offerUpdate(const std::function<void()>& runUpdateCheck);
    void locateGame();
    bool askForBackup();

    TJournal& journal_;
    Form& form_;
    Dialogs& dialogs_;
    const Preferences& preferences_;
    OptionsCommands& options_;
    std::string programFolder_;
};

} // namespace skarvel
