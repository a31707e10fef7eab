#include "ships/ShipSaver.h"

#include "gamedata/ChangeReview.h"
#include "gamedata/DataSet.h"
#include "gamedata/IniEngine.h"
#include "journal/Journal.h"
#include "journal/JournaledPath.h"
#include "platform/AsciiText.h"
#include "platform/OwnFolders.h"
#include "ports/Controls.h"
#include "ports/Dialogs.h"
#include "ports/Form.h"
#include "ships/ConstantsTables.h"
#include "ships/ExportedCopies.h"
#include "ships/GeneralValues.h"
#include "ships/Hardpoints.h"
#include "ships/SavedMessage.h"
#include "ships/ShipFields.h"
#include "ships/ShipLoader.h"
#include "ships/ShipPlaces.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace skarvel {

namespace {

constexpr auto kInfo = JournalEntryKind::Info;
constexpr auto kWarning = JournalEntryKind::Warning;

// The ship's groups in the order of the save, with their journal names.
struct SavedGroup {
    ShipGroup group;
    std::string_view name;
};
constexpr SavedGroup kSavedGroups[] = {
    {ShipGroup::Ship, "Ship"},         {ShipGroup::Extended, "Extended"},
    {ShipGroup::Handling, "Handling"}, {ShipGroup::Hull, "Hülle"},
    {ShipGroup::Tractor, "Tractor"},   {ShipGroup::Power, "Power"},
    {ShipGroup::Engine, "Engine"},
};

} // namespace

bool PendingSave::empty() const {
    for (const Group& group : groups) {
        if (!group.changes.empty()) {
            return false;
        }
    }
    return !hardpoints;
}

std::vector<PendingChange> PendingSave::all() const {
    std::vector<PendingChange> changes;
    for (const Group& group : groups) {
        changes.insert(changes.end(), group.changes.begin(), group.changes.end());
    }
    return changes;
}

ShipSaver::ShipSaver(TJournal& journal, Form& form, Dialogs& dialogs, DataSet& dataSet,
                     Hardpoints& hardpoints, std::function<bool()> securityDialogs,
                     const ConstantsTables* constants)
    : journal_(journal), form_(form), dialogs_(dialogs), dataSet_(dataSet), hardpoints_(hardpoints),
      securityDialogs_(std::move(securityDialogs)), constants_(constants) {}

std::vector<PendingChange> ShipSaver::shipChanges(const LoadedShip& ship, ShipGroup group) const {
    std::vector<PendingChange> changes;
    if (!ship.loaded) {
        return changes;
    }
    for (const ShipField& field : shipFieldsOf(group)) {
        const auto found = ship.loadedTexts.find(field.field);
        const std::string loaded = found == ship.loadedTexts.end() ? std::string() : found->second;
        const std::string text = textForFile(field, form_.text(field.field), loaded);
        // An emptied field writes nothing: the key keeps its value.
        if (!text.empty() && text != loaded) {
            changes.push_back({sectionRefOf(group, ship), std::string(field.key), loaded, text,
                               std::string(field.field)});
        }
    }
    return changes;
}

PendingSave ShipSaver::pendingSave(const LoadedShip& ship, const LoadedGeneral& general,
                                   bool basePicked) const {
    PendingSave pending;
    for (const SavedGroup& saved : kSavedGroups) {
        pending.groups.push_back({saved.name, shipChanges(ship, saved.group)});
    }
    GeneralChanges generalValues = generalChanges(dataSet_, form_, general, basePicked);
    pending.groups.push_back({"GENERAL", std::move(generalValues.general)});
    pending.groups.push_back({"NEWCHARACTER", std::move(generalValues.newCharacter)});
    if (constants_) {
        pending.groups.push_back({"CONSTANTS", constants_->changes()});
    }
    pending.hardpoints = ship.loaded && ship.hardpointsLoaded && hardpoints_.hasChanges();
    return pending;
}

namespace {

// The field or table cell shows the file's value again: the user kept it.
void showFileValue(Form& form, const OutsideConflict& conflict) {
    const std::string& field = conflict.change.field;
    const Control* control = controls::find(field);
    if (control == nullptr || control->kind == ControlKind::ComboBox) {
        return; // the list keeps the pick; the save leaves the file's base
    }
    if (control->kind != ControlKind::Table) {
        form.setText(field, conflict.fileValue);
        return;
    }
    std::vector<KeyValueRow> rows = form.rows(field);
    for (KeyValueRow& row : rows) {
        if (equalsIgnoringCase(row.key, conflict.change.key)) {
            row.value = conflict.fileValue;
        }
    }
    form.setRows(field, rows);
}

} // namespace

bool ShipSaver::settleOutsideConflicts(PendingSave& pending) {
    const std::vector<OutsideConflict> conflicts = outsideConflicts(dataSet_, pending.all());
    if (conflicts.empty()) {
        return true;
    }
    for (const OutsideConflict& conflict : conflicts) {
        journal_.WriteFormatted(
            "Auch außerhalb geändert [%s] %s: Datei %s, Eingabe %s",
            {conflict.path, conflict.change.key, conflict.fileValue, conflict.change.value},
            kWarning);
    }
    const std::size_t answer =
        dialogs_.choose(MessageKind::Warning, describeConflicts(conflicts),
                        {std::string(kWriteMine), std::string(kKeepTheFiles), "Cancel"});
    if (answer == 0) {
        journal_.Write("Eigene Werte werden geschrieben", kInfo);
        return true;
    }
    if (answer != 1) {
        return false;
    }
    journal_.Write("Werte der Dateien bleiben", kInfo);
    for (const OutsideConflict& conflict : conflicts) {
        showFileValue(form_, conflict);
        for (PendingSave::Group& group : pending.groups) {
            std::erase(group.changes, conflict.change);
        }
    }
    return true;
}

std::string ShipSaver::reviewText(const PendingSave& pending, const LoadedShip& ship) const {
    std::vector<FileEdit> edits = editsOf(dataSet_, pending.all());
    if (pending.hardpoints) {
        // The hardpoint lines are edited after the values, in the file the values left.
        auto shipArch = std::find_if(edits.begin(), edits.end(), [](const FileEdit& edit) {
            return edit.file == SettingsFile::ShipArch;
        });
        if (shipArch == edits.end()) {
            const std::string& path = dataSet_.ini(SettingsFile::ShipArch).path();
            const auto now = ini::currentIni(path);
            edits.push_back(
                {SettingsFile::ShipArch, path, now ? now->bytes() : "", {}, now, nullptr});
            shipArch = edits.end() - 1;
            shipArch->after = shipArch->before;
        }
        shipArch->after = hardpoints_.previewHardpointValues(shipArch->after, ship.shipNickname);
    }
    return skarvel::reviewText(reviewOf(edits, gameNamesOf(dataSet_.gameNames())));
}

bool ShipSaver::reviewed(const PendingSave& pending, const LoadedShip& ship) {
    if (review_.isOn && !review_.isOn()) {
        return true;
    }
    const ReviewAnswer answer =
        dialogs_.review(kReviewCaption, reviewText(pending, ship), /*offerDontShowAgain=*/true);
    if (answer.save && answer.dontShowAgain && review_.turnOff) {
        review_.turnOff();
    }
    return answer.save;
}

void ShipSaver::saveCopies() {
    const OwnFolders folders = ownFolders(dataSet_.programFolder());
    const std::string base = makeCorrectPath(folders.copiesBase, journal_);
    journal_.WriteFormatted("Kopien der veränderten INIs anlegen unter: %s", {base + "data"},
                            kInfo);
    const std::vector<std::string> failed = makeExportedCopies(journal_, dataSet_.files(), base);
    if (!failed.empty()) {
        std::string text = "The copy of the changed files could not be made:";
        for (const std::string& path : failed) {
            text += "\n\r" + path;
        }
        dialogs_.message(MessageKind::Error, text);
    } else if (securityDialogs_ && securityDialogs_()) {
        dialogs_.message(MessageKind::Information, savedMessage(folders));
    }
}

SaveOutcome ShipSaver::SAVE_INI_VALUES(const LoadedShip& ship, const LoadedGeneral& general,
                                       bool basePicked) {
    journal_.Write("SAVE_INI_VALUES", JournalEntryKind::Begin);
    if (!dataSet_.isOpen()) {
        journal_.Write("INIS sind nicht geöffnet - ABBRUCH", JournalEntryKind::Error);
        journal_.Write("SAVE_INI_VALUES", JournalEntryKind::End);
        return SaveOutcome::NotOpen;
    }
    PendingSave pending = pendingSave(ship, general, basePicked);
    if (pending.empty()) {
        journal_.Write("Keine Werte verändert - nichts zu speichern", kInfo);
        journal_.Write("SAVE_INI_VALUES", JournalEntryKind::End);
        return SaveOutcome::NothingChanged;
    }
    journal_.Write("INIS sind geöffnet und Werte werden gespeichert", kInfo);

    // Every section is found again by its nickname before anything is written: one that
    // another program removed or doubled stops the whole save.
    std::vector<SectionRef> needed;
    if (pending.hardpoints) {
        needed.push_back(sectionRefOf(ShipGroup::Ship, ship));
    }
    if (const auto problems = sectionProblems(dataSet_, pending.all(), needed); !problems.empty()) {
        const std::string text = describeProblems(problems);
        journal_.Write("Nicht gespeichert - " + text, JournalEntryKind::Error);
        journal_.Write("SAVE_INI_VALUES", JournalEntryKind::End);
        throw std::runtime_error(text);
    }

    if (!settleOutsideConflicts(pending) || (!pending.empty() && !reviewed(pending, ship))) {
        journal_.Write("Speichern abgebrochen", kInfo);
        journal_.Write("SAVE_INI_VALUES", JournalEntryKind::End);
        return SaveOutcome::Cancelled;
    }
    if (pending.empty()) {
        journal_.Write("Keine Werte verändert - nichts zu speichern", kInfo);
        journal_.Write("SAVE_INI_VALUES", JournalEntryKind::End);
        return SaveOutcome::NothingChanged;
    }

    // No write without a verified backup; the marker tells the next open if this save is
    // cut short.
    GameBackups backups = dataSet_.backups();
    try {
        lastBackup_ = backups.ensure("save").name;
        backups.marker().write(lastBackup_);
    } catch (const std::exception& error) {
        journal_.Write("Sicherung fehlgeschlagen - " + std::string(error.what()),
                       JournalEntryKind::Error);
        journal_.Write("SAVE_INI_VALUES", JournalEntryKind::End);
        throw std::runtime_error("No backup of the data files could be made, so nothing was "
                                 "written:\n\r" +
                                 std::string(error.what()));
    }

    {
        // Each file is replaced once with all its values, before the hardpoint lines are
        // rewritten line by line.
        ini::WriteBatch batch;
        if (!ship.loaded) {
            journal_.Write("Kein Schiff geladen - Schiffswerte werden nicht gespeichert", kWarning);
        }
        for (const PendingSave::Group& group : pending.groups) {
            // Written whole: a name carries an umlaut, which only Write converts.
            journal_.Write("Werte für " + std::string(group.name), kInfo);
            writeChanges(dataSet_, group.changes);
        }
        batch.commit();
    }
    if (pending.hardpoints) {
        hardpoints_.SaveHardpointValues(dataSet_.files().files[kShipArch], ship.shipNickname);
    } else if (ship.loaded && !ship.hardpointsLoaded) {
        // Levels of an earlier ship must not end up in this one.
        journal_.Write("Hardpoints nicht geladen - Hardpoints werden nicht gespeichert", kWarning);
    }

    dataSet_.FlushIniFiles();
    journal_.Write("INIS Werte speichern", kInfo);
    backups.marker().remove();

    saveCopies();
    journal_.Write("SAVE_INI_VALUES", JournalEntryKind::End);
    return SaveOutcome::Saved;
}

} // namespace skarvel
