#include "ships/ShipSaver.h"

#include "document/ChangeReviewText.h"
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

bool ShipSaver::reviewed(const ChangeSet& changes) {
    if (review_.isOn && !review_.isOn()) {
        return true;
    }
    const ReviewAnswer answer = dialogs_.review(kReviewCaption, reviewTextOf(dataSet_, changes),
                                                /*offerDontShowAgain=*/true);
    if (answer.save && answer.dontShowAgain && review_.turnOff) {
        review_.turnOff();
    }
    return answer.save;
}

void ShipSaver::saveCopies(const std::vector<std::string>& written) {
    const OwnFolders folders = ownFolders(dataSet_.programFolder());
    const std::string base = makeCorrectPath(folders.copiesBase, journal_);
    journal_.WriteFormatted("Kopien der veränderten INIs anlegen unter: %s", {base + "data"},
                            kInfo);
    // The six files always; any other file the save wrote (market_commodities.ini) too.
    std::vector<std::string> others;
    for (const std::string& path : written) {
        const auto& six = dataSet_.files().files;
        if (std::find(six.begin(), six.end(), path) == six.end()) {
            others.push_back(path);
        }
    }
    const std::vector<std::string> failed =
        makeExportedCopies(journal_, dataSet_.files(), base, others, &copyForms_);
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

} // namespace skarvel
