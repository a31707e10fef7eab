// The editor's side of files that another program (a text editor, git, the game's own tools)
// changes while the set is open, and the close that keeps the window.
#include "gamedata/IniEngine.h"
#include "journal/Journal.h"
#include "platform/AsciiText.h"
#include "ports/Controls.h"
#include "ports/Dialogs.h"
#include "ports/Form.h"
#include "ships/Editor.h"

namespace skarvel {

namespace {

constexpr std::string_view kCloseQuestion =
    "If you close the data set now, all unsaved changes get lost!\n\rDo you really want to "
    "close it?";

// "Ships/shiparch.ini and constants.ini".
std::string fileNames(const std::vector<DataFileIndex>& files) {
    std::string text;
    for (std::size_t i = 0; i < files.size(); ++i) {
        text += i == 0 ? "" : (i + 1 == files.size() ? " and " : ", ");
        text += kDataFileNames[static_cast<std::size_t>(files[i])];
    }
    return text;
}

} // namespace

void Editor::showOutsideBar(const std::string& text) {
    form_.setText(controls::labOutsideChange, text);
    form_.setVisible(controls::panOutsideChange, true);
}

void Editor::hideOutsideBar() {
    form_.setVisible(controls::panOutsideChange, false);
}

bool Editor::followShownShip() {
    if (!ship_.loaded) {
        return true;
    }
    const auto& ships = dataSet_.sections().ships;
    for (std::size_t k = 0; k < ships.size(); ++k) {
        if (equalsIgnoringCase(dataSet_.shipArchIni().ReadValue(ships[k], "nickname", ""),
                               ship_.shipNickname)) {
            ship_.shipIndex = static_cast<int>(k);
            form_.setSelectedIndex(controls::lbShips, ship_.shipIndex);
            return true;
        }
    }
    journal_.WriteFormatted("Schiff %s nicht mehr vorhanden", {ship_.shipNickname},
                            JournalEntryKind::Warning);
    form_.setSelectedIndex(controls::lbShips, -1);
    // Unsaved edits of a ship that is gone for a moment (a branch switch) are not thrown
    // away: they stay, and a save stops on the missing section with its own message.
    if (pendingSave().empty()) {
        forgetShip();
    }
    return false;
}

void Editor::reloadShownValues() {
    LOAD_INI_VALUES();
    if (!ship_.loaded) {
        return;
    }
    loader_.CLEAR_ALL_VALUES();
    const ini::ReadOnlyPhase readOnly;
    loader_.load(ship_);
}

bool Editor::filesChangedOutside() {
    if (busy_ > 0) {
        return false;
    }
    const std::vector<DataFileIndex> changed = dataSet_.changedSinceSnapshot();
    if (changed.empty()) {
        return true;
    }
    const Busy busy(busy_);
    const bool unsaved = !pendingSave().empty();
    const std::string shownShip = ship_.shipNickname;
    if (const auto problems = dataSet_.adoptOutsideChanges(changed); !problems.empty()) {
        // The values shown stay; the save checks the files it writes.
        std::string text;
        for (const DataFileProblem& problem : problems) {
            text += std::string(kDataFileNames[static_cast<std::size_t>(problem.file)]) + " " +
                    problem.problem + ". ";
        }
        showOutsideBar(text + "Skarvel takes up the changes once every data file can be read "
                              "again; a save to such a file is refused.");
        return true;
    }
    if (!followShownShip()) {
        showOutsideBar(ship_.loaded
                           ? "The ship " + shownShip +
                                 " is gone from Ships/shiparch.ini outside Skarvel; your unsaved "
                                 "changes to it are kept, but cannot be saved while it is gone."
                           : "The ship " + shownShip +
                                 " was removed from Ships/shiparch.ini outside Skarvel; its "
                                 "values are no longer shown.");
        return true;
    }
    const std::string what = fileNames(changed) + " changed outside Skarvel.";
    if (unsaved) {
        journal_.Write("Außerhalb geändert - ungespeicherte Änderungen bleiben",
                       JournalEntryKind::Info);
        showOutsideBar(what);
        return true;
    }
    journal_.Write("Außerhalb geändert - Werte neu geladen", JournalEntryKind::Info);
    reloadShownValues();
    hideOutsideBar();
    return true;
}

void Editor::btOutsideReloadClick() {
    const Busy busy(busy_);
    journal_.Write("Außerhalb geändert - eigene Änderungen verworfen", JournalEntryKind::Action);
    reloadShownValues();
    valuesChanged_ = false;
    hideOutsideBar();
}

void Editor::reloadFromFiles() {
    const Busy busy(busy_);
    reloadShownValues();
    valuesChanged_ = false;
}

void Editor::btOutsideKeepClick() {
    journal_.Write("Außerhalb geändert - eigene Änderungen behalten", JournalEntryKind::Action);
    hideOutsideBar();
}

void Editor::btCloseSetClick() {
    const Busy busy(busy_);
    journal_.Write("Daten sollen geschlossen werden", JournalEntryKind::System);
    if (documentChanged() &&
        !isYes(dialogs_.askWithCancel(MessageKind::Confirmation, kCloseQuestion))) {
        journal_.Write("NEIN - Daten bleiben geöffnet", JournalEntryKind::System);
        return;
    }
    if (!closeShowingFailures()) {
        dataSet_.reopenAfterFailedClose();
        return;
    }
    showClosedSet();
}

void Editor::showClosedSet() {
    forgetShip();
    document_.discard();
    valuesChanged_ = false;
    shipListArmed_ = false;
    form_.setItems(controls::lbShips, {});
    form_.setEnabled(controls::btSave, false);
    form_.setEnabled(controls::btCloseSet, false);
    hideOutsideBar();
}

} // namespace skarvel
