#include "ships/ShipSaver.h"

#include "gamedata/DataSet.h"
#include "gamedata/IniEngine.h"
#include "gamedata/SectionGuard.h"
#include "journal/Journal.h"
#include "journal/JournaledPath.h"
#include "platform/OwnFolders.h"
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

#include <stdexcept>
#include <string_view>
#include <vector>

namespace skarvel {

namespace {

constexpr auto kInfo = JournalEntryKind::Info;
constexpr auto kWarning = JournalEntryKind::Warning;

// The groups in the order of the save, with their journal names.
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

ShipSaver::ShipSaver(TJournal& journal, Form& form, Dialogs& dialogs, DataSet& dataSet,
                     Hardpoints& hardpoints, std::function<bool()> securityDialogs,
                     const ConstantsTables* constants)
    : journal_(journal), form_(form), dialogs_(dialogs), dataSet_(dataSet), hardpoints_(hardpoints),
      securityDialogs_(std::move(securityDialogs)), constants_(constants) {}

void ShipSaver::saveShipValues(const LoadedShip& ship) {
    for (const SavedGroup& saved : kSavedGroups) {
        // Written whole: the name carries an umlaut, which only Write converts.
        journal_.Write("Werte für " + std::string(saved.name), kInfo);
        const GroupPlace place = placeOf(saved.group, ship, dataSet_.sections());
        TUserIniFile& ini = dataSet_.ini(place.file);
        // A write to a missing section would add it to the game's file.
        if (place.section.empty() || !hasSection(ini, place.section)) {
            journal_.Write("Keine Sektion für " + std::string(saved.name) +
                               " gefunden - Werte werden nicht gespeichert",
                           kWarning);
            continue;
        }
        for (const ShipField& field : shipFieldsOf(saved.group)) {
            writeChangedValue(ini, place.section, field.key,
                              textForFile(field, form_.text(field.field)));
        }
    }
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

void ShipSaver::SAVE_INI_VALUES(const LoadedShip& ship, bool basePicked) {
    journal_.Write("SAVE_INI_VALUES", JournalEntryKind::Begin);
    if (!dataSet_.isOpen()) {
        journal_.Write("INIS sind nicht geöffnet - ABBRUCH", JournalEntryKind::Error);
        journal_.Write("SAVE_INI_VALUES", JournalEntryKind::End);
        return;
    }
    journal_.Write("INIS sind geöffnet und Werte werden gespeichert", kInfo);

    // No write without a verified backup; the marker tells the next open if this save is
    // cut short.
    GameBackups backups = dataSet_.backups();
    try {
        backups.marker().write(backups.ensure("save").name);
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
        if (ship.loaded) {
            saveShipValues(ship);
        } else {
            journal_.Write("Kein Schiff geladen - Schiffswerte werden nicht gespeichert", kWarning);
        }
        saveGeneralValues(journal_, dataSet_, form_, basePicked);
        if (constants_) {
            constants_->save(journal_, dataSet_.constantsIni());
        }
        batch.commit();
    }
    if (ship.loaded && ship.hardpointsLoaded) {
        hardpoints_.SaveHardpointValues(dataSet_.files().files[kShipArch], ship.shipIndex);
    } else if (ship.loaded) {
        // Levels of an earlier ship must not end up in this one.
        journal_.Write("Hardpoints nicht geladen - Hardpoints werden nicht gespeichert", kWarning);
    }

    dataSet_.FlushIniFiles();
    journal_.Write("INIS Werte speichern", kInfo);
    backups.marker().remove();

    saveCopies();
    journal_.Write("SAVE_INI_VALUES", JournalEntryKind::End);
}

} // namespace skarvel
