#include "ships/Editor.h"

#include "gamedata/IniEngine.h"
#include "journal/Journal.h"
#include "platform/AsciiText.h"
#include "ports/Controls.h"
#include "ports/Dialogs.h"
#include "ports/Form.h"
#include "ships/EquipmentUsers.h"
#include "ships/GeneralValues.h"
#include "ships/ShipCatalogue.h"
#include "ships/ShipFields.h"
#include "ships/ShipFilter.h"

#include <algorithm>

namespace skarvel {

namespace {

constexpr std::string_view kReloadQuestion =
    "IF YOU RELOAD THE VALUES OUT OF THE INI FILES, ALL UNSAVED CHANGES GET LOST !\n\rDo you "
    "realy want to reload the values ?";
constexpr std::string_view kSaveQuestion =
    "Do you realy want to save the actual values to the ini files?";
constexpr std::string_view kExitAnywayQuestion =
    "Exit anyway? The next open of this game removes the numbers.\n\rAnswer No to keep the data "
    "set open, free some space and close the program again.";
constexpr std::string_view kShipChangeQuestion =
    "There are unsaved changes. Do you want to save them now ? - otherwise they will get lost !";

constexpr std::string_view kExitQuestion =
    "If you exit the program now, any non saved changes will get lost !\n\rDo you realy want "
    "to exit now ?";

constexpr std::string_view kSaveFailed = "The values could not be saved:";
constexpr std::string_view kSavedNotOpened =
    "The values were saved, but the data files could not be opened again:";

// A command the user started that fails is shown, not only journaled; the error goes on to
// the handler, which journals it and ends the command.
template <typename Command>
void shownOnFailure(Dialogs& dialogs, std::string_view what, Command&& command) {
    try {
        command();
    } catch (const std::exception& error) {
        dialogs.message(MessageKind::Error, std::string(what) + "\n\r" + error.what());
        throw;
    }
}

} // namespace

Editor::Editor(TJournal& journal, Form& form, Dialogs& dialogs, std::string programFolder,
               std::function<bool()> securityDialogs)
    : journal_(journal), form_(form), dialogs_(dialogs),
      dataSet_(journal, dialogs, std::move(programFolder)),
      engineValues_(form, [this] { markChanged(); }), hardpoints_(journal, form),
      loader_(journal, form, dataSet_, hardpoints_),
      saver_(journal, form, dialogs, dataSet_, hardpoints_, std::move(securityDialogs),
             &constants_),
      constants_(form), backups_(journal, form, dialogs, dataSet_,
                                 {[this] { return documentChanged(); },
                                  [this] {
                                      if (closeShowingFailures()) {
                                          return true;
                                      }
                                      dataSet_.reopenAfterFailedClose();
                                      return false;
                                  },
                                  [this] {
                                      openDataSet(true);
                                      LOAD_INI_VALUES();
                                      forgetShip();
                                      form_.setSelectedIndex(controls::lbShips, 0);
                                  },
                                  [this] { showClosedSet(); }}) {
    dataSet_.setShipListFiller([this] { FillShipList(dataSet_, form_); });
    ownChanges_ = document_.addSource(*this);
}

Editor::~Editor() = default;

void Editor::markChanged() {
    valuesChanged_ = true;
    form_.setEnabled(controls::btSave, true);
}

GameFolders Editor::folders() const {
    return {form_.text(controls::edPfad), form_.text(controls::edFliniDir)};
}

void Editor::showWrongFolder(GameFolder folder) {
    form_.showPage("Options");
    form_.setFocus(folder == GameFolder::Game ? controls::edPfad : controls::edFliniDir);
}

void Editor::openDataSet(bool alreadyBackedUp, std::string_view refusalLead) {
    const std::optional<OpenRefusal> refusal = dataSet_.OpenIniFiles(folders(), alreadyBackedUp);
    if (!refusal) {
        return;
    }
    if (!refusal->message.empty()) {
        dialogs_.message(MessageKind::Error, refusalLead.empty() ? refusal->message
                                                                 : std::string(refusalLead) +
                                                                       "\n\r" + refusal->message);
    }
    if (refusal->wrongFolder) {
        showWrongFolder(*refusal->wrongFolder);
    }
}

CloseOutcome Editor::closeDataSet() {
    if (dataSet_.isOpen()) {
        form_.setEnabled(controls::btSave, false);
    }
    CloseOutcome outcome = dataSet_.CloseIniFiles(folders());
    if (outcome.wrongFolder) {
        showWrongFolder(*outcome.wrongFolder);
    }
    clearConstantsWhenClosed();
    return outcome;
}

void Editor::CloseIniFiles() {
    closeDataSet();
}

void Editor::clearConstantsWhenClosed() {
    if (!dataSet_.isOpen()) {
        constants_.clear();
    }
}

void Editor::forgetShip() {
    loader_.CLEAR_ALL_VALUES();
    // No level of the ship shown before may stay in view, or in a save.
    for (const std::string_view field :
         {controls::edWeaponHPLevel, controls::edTurretHpLevel, controls::edShieldHPLevel}) {
        form_.setText(field, "");
    }
    ship_ = LoadedShip{};
    endHistory();
}

bool Editor::closeShowingFailures() {
    const std::vector<std::string> failures = closeDataSet().failures;
    if (failures.empty()) {
        return true;
    }
    std::string text = "The section numbers could not be removed from these files, so the game "
                       "cannot read them yet:";
    for (const std::string& failure : failures) {
        text += "\n\r" + failure;
    }
    dialogs_.message(MessageKind::Error, text);
    return false;
}

bool Editor::FormClose(bool doExit) {
    const Busy busy(busy_);
    if (doExit) {
        journal_.Write("Programm wird wegen des Sicherheitsdialoges beendet",
                       JournalEntryKind::System);
        return true;
    }
    journal_.Write("Programm soll beendet werden", JournalEntryKind::System);
    if (!isYes(dialogs_.askWithCancel(MessageKind::Confirmation, kExitQuestion))) {
        journal_.Write("NEIN - Programm nicht beenden", JournalEntryKind::System);
        return false;
    }
    journal_.Write("JA - Programm beenden", JournalEntryKind::System);
    return closeForExit();
}

bool Editor::closeForExit() {
    if (closeShowingFailures()) {
        return true;
    }
    if (isYes(dialogs_.message(MessageKind::Warning, kExitAnywayQuestion))) {
        journal_.Write("JA - Programm trotz nummerierter Dateien beenden",
                       JournalEntryKind::System);
        return true;
    }
    journal_.Write("NEIN - Daten bleiben geöffnet", JournalEntryKind::System);
    dataSet_.reopenAfterFailedClose();
    return false;
}

void Editor::reloadDataSet(bool alreadyBackedUp, std::string_view refusalLead) {
    closeDataSet();
    ship_.shipIndex = 0;
    openDataSet(alreadyBackedUp, refusalLead);
    LOAD_INI_VALUES();
    form_.showPage("Extended");
    form_.showPage("Ship");
    if (dataSet_.isOpen()) {
        shipListArmed_ = true;
    }
    form_.setEnabled(controls::btCloseSet, dataSet_.isOpen());
    hideOutsideBar();
}

void Editor::btRelloadClick() {
    const Busy busy(busy_);
    journal_.Write("Daten sollen geöffnet werden", JournalEntryKind::System);
    bool reload = true;
    if (documentChanged()) {
        journal_.Write("Es sind noch Daten geöffnet", JournalEntryKind::Info);
        if (isYes(dialogs_.askWithCancel(MessageKind::Confirmation, kReloadQuestion))) {
            journal_.Write("Daten sollen trotzdem geladen werden", JournalEntryKind::System);
        } else {
            journal_.Write("NEIN - Daten sollen nicht geladen werden", JournalEntryKind::System);
            reload = false;
        }
    }
    if (reload) {
        document_.discard();
        shownOnFailure(dialogs_,
                       "The data files could not be opened:", [this] { reloadDataSet(); });
        // The open points FShipIndex at the first ship while the fields still show the ship
        // of before: forget that ship, so that no save writes its values into another one.
        forgetShip();
    }
    // A refused reload keeps the ship shown, and the list keeps showing it.
    form_.setSelectedIndex(controls::lbShips, !reload && ship_.loaded ? ship_.shipIndex : 0);
}

PendingSave Editor::pendingSave() const {
    return saver_.pendingSave(ship_, general_, startingBasePicked_);
}

std::string Editor::withSharedEquipment(std::string_view question,
                                        const PendingSave& pending) const {
    std::string text(question);
    for (const PendingSave::Group& group : pending.groups) {
        if (group.changes.empty()) {
            continue;
        }
        if (group.name == "Engine" && !ship_.engineSharedWith.empty()) {
            text += "\n\rThis engine is also used by: " + joinedNames(ship_.engineSharedWith);
        } else if (group.name == "Power" && !ship_.powerSharedWith.empty()) {
            text += "\n\rThis power plant is also used by: " + joinedNames(ship_.powerSharedWith);
        }
    }
    return text;
}

void Editor::btSaveClick() {
    saveDocument(/*askFirst=*/true);
}

void Editor::saveDocument(bool askFirst) {
    const Busy busy(busy_);
    journal_.Write("Daten sollen gespeichert werden", JournalEntryKind::System);
    const PendingSave pending = pendingSave();
    if (dataSet_.isOpen() && document_.changes().empty()) {
        journal_.Write("Keine Werte verändert - nichts zu speichern", JournalEntryKind::Info);
        dialogs_.message(MessageKind::Information, kNothingToSave);
        valuesChanged_ = false;
        return;
    }
    if (askFirst && !isYes(dialogs_.message(MessageKind::Confirmation,
                                            withSharedEquipment(kSaveQuestion, pending)))) {
        return;
    }
    SaveOutcome outcome = SaveOutcome::NotOpen;
    shownOnFailure(dialogs_, kSaveFailed, [&] { outcome = SAVE_INI_VALUES(); });
    if (outcome == SaveOutcome::Cancelled) {
        return; // the edits stay, unsaved
    }
    if (outcome == SaveOutcome::NothingChanged) {
        dialogs_.message(MessageKind::Information, kNothingToSave);
        valuesChanged_ = false;
        return;
    }
    journal_.Write("Daten wurden gespeichert", JournalEntryKind::System);
    valuesChanged_ = false;

    journal_.Write("Daten sollen geöffnet werden", JournalEntryKind::System);
    shownOnFailure(dialogs_, kSavedNotOpened, [this] { reloadDataSet(true, kSavedNotOpened); });
    reselectSavedShip();
}

void Editor::reselectSavedShip() {
    if (!ship_.loaded || !dataSet_.isOpen()) {
        form_.setSelectedIndex(controls::lbShips, ship_.loaded ? ship_.shipIndex : 0);
        return;
    }
    followShownShip();
}

bool Editor::showShipNamed(std::string_view nickname) {
    const std::vector<std::string> ships = shipNicknames(dataSet_);
    const auto ship = std::ranges::find_if(
        ships, [&](const std::string& each) { return equalsIgnoringCase(each, nickname); });
    if (ship == ships.end()) {
        return false;
    }
    form_.setSelectedIndex(controls::lbShips, static_cast<int>(ship - ships.begin()));
    lbShipsClick();
    form_.showPage("Ship");
    return true;
}

void Editor::lbShipsClick() {
    const Busy busy(busy_);
    if (!shipListArmed_) {
        return;
    }
    journal_.Write("LB_SHIPS_CLICKED", JournalEntryKind::Begin);
    if (valuesChanged_) {
        journal_.Write("Es wurden Werte verändert -> nach speichern fragen",
                       JournalEntryKind::Warning);
        const Answer answer = dialogs_.askWithCancel(
            MessageKind::Warning, withSharedEquipment(kShipChangeQuestion, pendingSave()));
        if (answer == Answer::Cancel) {
            // The way back: the ship and its edits stay, and so does the list.
            form_.setSelectedIndex(controls::lbShips, ship_.shipIndex);
            journal_.Write("LB_SHIPS_CLICKED", JournalEntryKind::End);
            return;
        }
        if (isYes(answer)) {
            journal_.Write("JA - Werte sollen gespeichert werden", JournalEntryKind::Action);
            SaveOutcome outcome = SaveOutcome::NotOpen;
            try {
                shownOnFailure(dialogs_, kSaveFailed, [&] { outcome = SAVE_INI_VALUES(); });
            } catch (...) {
                // The fields still show the ship that was to be saved: so does the list.
                if (ship_.loaded) {
                    form_.setSelectedIndex(controls::lbShips, ship_.shipIndex);
                }
                throw;
            }
            if (outcome == SaveOutcome::Cancelled) {
                // The user went back: the ship and its edits stay.
                form_.setSelectedIndex(controls::lbShips, ship_.shipIndex);
                journal_.Write("LB_SHIPS_CLICKED", JournalEntryKind::End);
                return;
            }
        } else {
            journal_.Write("NEIN - Änderungen verworfen", JournalEntryKind::Action);
        }
        valuesChanged_ = false;
        form_.setEnabled(controls::btSave, false);
    }
    if (!dataSet_.isOpen()) {
        // The files of a closed set carry no numbers; nothing can be addressed.
        journal_.Write("INIS sind nicht geöffnet - ABBRUCH", JournalEntryKind::Error);
        if (ship_.loaded) {
            form_.setSelectedIndex(controls::lbShips, ship_.shipIndex);
        }
        journal_.Write("LB_SHIPS_CLICKED", JournalEntryKind::End);
        return;
    }
    loader_.CLEAR_ALL_VALUES();
    try {
        // The searches read one key of every good, power and engine section.
        const ini::ReadOnlyPhase readOnly;
        loader_.load(ship_);
    } catch (...) {
        // The fields no longer show the ship before: neither does the history.
        endHistory(HistoryEnd::Fields);
        throw;
    }
    endHistory(HistoryEnd::Fields);
    form_.setEnabled(controls::btSave, true);
    journal_.Write("LB_SHIPS_CLICKED", JournalEntryKind::End);
}

void Editor::LOAD_INI_VALUES() {
    journal_.Write("LOAD_INI_VALUES", JournalEntryKind::Begin);
    if (!dataSet_.isOpen()) {
        journal_.Write("INIS sind nicht geöffnet - ABBRUCH", JournalEntryKind::Error);
    } else {
        journal_.Write("INIS sind geöffnet und Werte werden geladen", JournalEntryKind::Info);
        const ini::ReadOnlyPhase readOnly;
        general_ = loadGeneralValues(dataSet_, form_);
        constants_.load(dataSet_.constantsIni());
        valuesChanged_ = false;
        startingBasePicked_ = false;
    }
    endHistory();
    journal_.Write("LOAD_INI_VALUES", JournalEntryKind::End);
}

std::string Editor::constantsEdit(std::string_view table, int row, std::string_view typed) {
    const std::vector<KeyValueRow> before = form_.rows(table);
    std::string refusal = constants_.edit(table, row, typed);
    if (refusal.empty() && form_.rows(table) != before) {
        markChanged();
    }
    return refusal;
}

void Editor::generalFieldEdited(std::string_view field) {
    constants_.fieldEdited(field);
}

void Editor::undoLastSave() {
    const Busy busy(busy_);
    const std::string& backup = document_.lastBackup();
    if (backup.empty()) {
        dialogs_.message(MessageKind::Information, kNoSaveToUndo);
        return;
    }
    backups_.btBackupRestoreClick(backup);
}

EditState Editor::editState() const {
    EditState state = readEditedControls(form_);
    state.hardpoints = hardpoints_.edits();
    state.basePicked = startingBasePicked_;
    return state;
}

void Editor::restoreEditState(const EditState& state) {
    showEditedControls(form_, state);
    hardpoints_.restoreEdits(state.hardpoints);
    startingBasePicked_ = state.basePicked;
    valuesChanged_ = !pendingSave().empty();
    if (valuesChanged_) {
        markChanged();
    }
}

void Editor::cbStartingBaseChange() {
    startingBasePicked_ = true;
    markChanged();
    journal_.Write("VALUE CHANGED", JournalEntryKind::System);
}

} // namespace skarvel
