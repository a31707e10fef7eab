#pragma once

#include "commands/BackupCommands.h"
#include "document/Document.h"
#include "gamedata/DataSet.h"
#include "ships/ConstantsTables.h"
#include "ships/EditState.h"
#include "ships/EngineValues.h"
#include "ships/GeneralValues.h"
#include "ships/Hardpoints.h"
#include "ships/ShipLoader.h"
#include "ships/ShipSaver.h"

#include <functional>
#include <memory>
#include <string>

namespace skarvel {

class TJournal;
class Form;
class Dialogs;

// The editing state of the main window and its commands: reload, ship click, save,
// general values, key handlers and hardpoint handlers. The window's handlers call these.
inline constexpr std::string_view kNoSaveToUndo =
    "Nothing to undo: no save was made since Skarvel started.";

class Editor : private ChangeSource {
public:
    // securityDialogs: GetSecurityDialogs of the preferences.
    Editor(TJournal& journal, Form& form, Dialogs& dialogs, std::string programFolder,
           std::function<bool()> securityDialogs);
    ~Editor() override;
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    // Tool bar and list commands.
    void btRelloadClick();
    void btSaveClick();
    // The one save of every page's changes; askFirst: the tool bar's question before the
    // review (a page's own Save button goes straight to the review).
    void saveDocument(bool askFirst);
    void lbShipsClick();
    // Shows the ship of that nickname (letter case aside) on the Ship page; false when the
    // ship list has none.
    bool showShipNamed(std::string_view nickname);
    // The ship the Ship page shows: its sections' positions and nicknames.
    const LoadedShip& loadedShip() const { return ship_; }
    // Closes the set and keeps the window (after the question about unsaved changes), so
    // that the game can read its files; the open button opens them again.
    void btCloseSetClick();

    // Another program may have changed files of the open set: those it changed are read
    // again, their new sections numbered and listed, and the pages show the new values, or,
    // with unsaved changes, the bar says what changed. False while a command runs: ask again
    // later.
    bool filesChangedOutside();
    // The bar's two answers.
    void btOutsideReloadClick();
    void btOutsideKeepClick();
    void CloseIniFiles(); // a close without questions
    // The user closes the window: asks, then closes the set. doExit: the start-up's backup
    // prompt ends the program, without a question. False keeps the program running.
    bool FormClose(bool doExit);
    // The exit's close. A close that leaves files numbered is shown, and the user may stay:
    // false keeps the program running with the set open.
    bool closeForExit();

    void LOAD_INI_VALUES();
    SaveOutcome SAVE_INI_VALUES();
    // What a save would write now.
    PendingSave pendingSave() const;
    void cbStartingBaseChange();

    // An edit of a value of the Constants page: refused (the cell keeps its value, the
    // result says why) or taken, which marks the data as changed when the value differs.
    std::string constantsEdit(std::string_view table, int row, std::string_view typed);
    // The user edited a General-page field that the Constants page shows too.
    void generalFieldEdited(std::string_view field);

    // The undo history: what the user can change, and going back to it. The history ends
    // (historyEnded is called) whenever the pages show the files anew: a load, a save, a
    // reload, a close.
    EditState editState() const;
    // Restores the backup made before the last save of this session, after the Backup
    // page's question listing the files.
    void undoLastSave();
    void restoreEditState(const EditState& state);
    // What ends the undo history: everything (a load, save, reload or close), or only the
    // steps of the fields (another ship shown), when the pages' own changes stay pending.
    enum class HistoryEnd { All, Fields };
    void setHistoryEnded(std::function<void(HistoryEnd)> historyEnded) {
        historyEnded_ = std::move(historyEnded);
    }

    // The pages show the files' values again; unsaved changes are dropped.
    void reloadFromFiles();
    void setReviewSwitch(ReviewSwitch review) { saver_.setReviewSwitch(std::move(review)); }

    BackupCommands& backups() { return backups_; }
    EngineValues& engineValues() { return engineValues_; }
    Hardpoints& hardpoints() { return hardpoints_; }
    DataSet& dataSet() { return dataSet_; }
    // Every page's changes: the Ship, General, Character and Constants pages' own (from their
    // fields), then those of the pages that add a source.
    Document& document() { return document_; }
    const Document& document() const { return document_; }
    // Some page holds a change not yet saved.
    bool documentChanged() const { return valuesChanged_ || document_.hasChanges(); }

    bool valuesChanged() const { return valuesChanged_; } // FValuesChanged
    void markChanged();                                   // sets it, enables btSave
    int shipIndex() const { return ship_.shipIndex; }     // FShipIndex
    bool shipListArmed() const { return shipListArmed_; } // FShipListArmed
    // The fields show a ship that a save may write back (false after the user's reload).
    bool shipLoaded() const { return ship_.loaded; }
    // The shown ship's name for the user: its real name, else its nickname.
    std::string shownShipName() const;

    // Indexes fixed by the last ship load.
    int hullGoodIndex() const { return ship_.hullGoodIndex; }
    int packageGoodIndex() const { return ship_.packageGoodIndex; }
    int powerIndex() const { return ship_.powerIndex; }
    int engineIndex() const { return ship_.engineIndex; }
    const std::string& engineName() const { return ship_.engineName; }
    const std::string& powerName() const { return ship_.powerName; }
    const std::string& scannerName() const { return ship_.scannerName; }
    const std::string& tractorName() const { return ship_.tractorName; }

private:
    // The fields' part of the document (EditorChanges.cpp).
    bool hasChanges() const override;
    void addTo(ChangeSet& changes) override;
    void keepFileValue(const PendingChange& change, const std::string& fileValue) override;
    void saved() override;
    void discard() override;
    // The hardpoint levels as a line edit of the shown ship's section.
    LineEdit hardpointEdit();
    // The steps of a save around the transaction: take-up, review, the file's lines kept.
    TransactionSteps saveSteps();

    // Close, open, general values and the page switch, as the reload button does them.
    // refusalLead goes before the message of a refused open (after a save: it was saved).
    void reloadDataSet(bool alreadyBackedUp = false, std::string_view refusalLead = {});
    // A closed set shows no constants.
    void clearConstantsWhenClosed();
    // The fields no longer show a ship a save may write back.
    void forgetShip();
    // A close that leaves files numbered is shown; the set then stays open.
    bool closeShowingFailures();
    // The two folders as the Options page shows them now.
    GameFolders folders() const;
    // The data set's own steps; what they refuse is shown here.
    void openDataSet(bool alreadyBackedUp, std::string_view refusalLead = {});
    CloseOutcome closeDataSet();
    // Brings the Options page with the wrong folder's field to the front.
    void showWrongFolder(GameFolder folder);
    // A save question, with the other ships that share an engine or power plant it changes.
    std::string withSharedEquipment(std::string_view question, const PendingSave& pending) const;
    // After a save's reload: the saved ship is selected again by its nickname, wherever its
    // row is now; a ship that is gone is not replaced by its neighbour.
    void reselectSavedShip();
    // The shown ship's row after the lists were built again; false when it is gone (its
    // fields are then cleared).
    bool followShownShip();
    // The ship, general, character and constants values as the files hold them now.
    void reloadShownValues();
    void endHistory(HistoryEnd end = HistoryEnd::All) {
        if (historyEnded_) {
            historyEnded_(end);
        }
    }
    void showOutsideBar(const std::string& text);
    void hideOutsideBar();
    // The window as a closed set leaves it: no ship, no list, nothing to save or close.
    void showClosedSet();

    // Commands of the user that are running; outside changes wait for them.
    int busy_ = 0;
    struct Busy {
        explicit Busy(int& count) : count_(count) { ++count_; }
        ~Busy() { --count_; }
        Busy(const Busy&) = delete;
        Busy& operator=(const Busy&) = delete;
        int& count_;
    };

    TJournal& journal_;
    Form& form_;
    Dialogs& dialogs_;
    DataSet dataSet_;
    Document document_{dataSet_};
    Document::Registration ownChanges_;
    EngineValues engineValues_;
    Hardpoints hardpoints_;
    ShipLoader loader_;
    ShipSaver saver_;
    ConstantsTables constants_;
    BackupCommands backups_;

    bool valuesChanged_ = false;
    bool shipListArmed_ = false;
    // The user picked another starting base since the general values were loaded.
    bool startingBasePicked_ = false;
    LoadedShip ship_;
    LoadedGeneral general_;
    std::function<void(HistoryEnd)> historyEnded_;
};

} // namespace skarvel
