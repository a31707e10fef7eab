#include "tables/FleetCommands.h"

#include "document/ChangeReviewText.h"
#include "gamedata/DataSet.h"
#include "gamedata/IniEngine.h"
#include "journal/Encoding.h"
#include "journal/Journal.h"
#include "journal/JournaledPath.h"
#include "platform/Files.h"
#include "platform/OwnFolders.h"
#include "ports/Controls.h"
#include "ports/Dialogs.h"
#include "ports/Form.h"
#include "ships/Editor.h"
#include "ships/ExportedCopies.h"
#include "ships/HardpointLines.h"
#include "ships/ShipSaver.h"
#include "tables/CsvImportFile.h"
#include "tables/CsvText.h"
#include "tables/FleetCsv.h"
#include "tables/FleetMounts.h"
#include "tables/FleetReview.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <stdexcept>
#include <sys/stat.h>

namespace skarvel {

FleetCommands::FleetCommands(TJournal& journal, Form& form, Dialogs& dialogs, Editor& editor)
    : journal_(journal), form_(form), dialogs_(dialogs), editor_(editor),
      registration_(editor.document().addSource(*this)) {}

void FleetCommands::refresh() {
    table_ = editor_.dataSet().isOpen()
                 ? FleetTable::read(editor_.dataSet(), form_.items(controls::lbShips))
                 : FleetTable{};
    edits_.reset(table_);
}

void FleetCommands::addTo(ChangeSet& changes) {
    if (edits_.empty()) {
        return;
    }
    std::vector<PendingChange>& fleet = changes.group("Fleet").changes;
    fleet.insert(fleet.end(), edits_.changes().begin(), edits_.changes().end());
    // The special hp_type lines change by lines, on top of the values: one edit per ship, so
    // that another program's change to one ship's lines is asked about for that ship alone.
    std::map<std::string, std::vector<MountChange>> byShip;
    for (MountChange& mount : edits_.mountChanges()) {
        byShip[mount.shipNickname].push_back(std::move(mount));
    }
    for (auto& ship : byShip) {
        // A copy: lambdas cannot capture a structured binding in every compiler we build with.
        const std::string nickname = ship.first;
        std::vector<MountChange>& mounts = ship.second;
        LineEdit edit;
        edit.section = SectionRef::withNickname(SettingsFile::ShipArch, "Ship", nickname);
        edit.owner = nickname;
        edit.apply = [mounts = std::move(mounts)](const std::string& bytes) {
            return withMountLevels(bytes, mounts);
        };
        edit.linesIn = [nickname](const ini::ParsedIni& file) {
            return specialLinesOf(file, nickname);
        };
        edit.loadedLines = table_.specialLinesAsRead(nickname);
        edit.keepFile = [this, nickname] { edits_.dropMounts(nickname); };
        changes.lineEdits.push_back(std::move(edit));
    }
}

void FleetCommands::keepFileValue(const PendingChange& change, const std::string&) {
    edits_.drop(change);
}

void FleetCommands::btFleetDiscardClick() {
    journal_.WriteFormatted("Flotte: %d Änderungen verworfen",
                            {static_cast<long long>(edits_.changes().size())},
                            JournalEntryKind::Action);
    edits_.clear();
}

std::string FleetCommands::reviewText() {
    const std::size_t ships = edits_.shipCount();
    std::string text = std::to_string(ships) + (ships == 1 ? " ship changes." : " ships change.") +
                       "\n" + changedShipsLine(edits_) + "\n";
    ChangeSet changes;
    addTo(changes);
    return text + reviewTextOf(editor_.dataSet(), changes);
}

bool FleetCommands::btFleetReviewClick() {
    if (!editor_.documentChanged()) {
        dialogs_.message(MessageKind::Information, kNothingToSave);
        return true;
    }
    editor_.saveDocument(/*askFirst=*/false);
    return !editor_.documentChanged();
}

bool FleetCommands::exportCsv(const std::string& path, const std::vector<std::size_t>& rows,
                              const std::vector<std::size_t>& columns, bool byteOrderMark) const {
    if (!writeCsvFile(journal_, dialogs_, path, fleetCsv(edits_, rows, columns, byteOrderMark))) {
        return false;
    }
    journal_.WriteFormatted("Flotte: %d Schiffe exportiert nach %s",
                            {static_cast<long long>(rows.size()), path}, JournalEntryKind::Info);
    return true;
}

std::optional<std::string> FleetCommands::importCsv(const std::string& path) {
    return importCsvFile(journal_, dialogs_, path, {"Flotte", "ships", "an engine, a power plant"},
                         [this](std::string_view bytes, const CsvProblemSink& onProblem) {
                             return importFleetCsv(edits_, bytes, onProblem);
                         });
}

bool FleetCommands::save() {
    const SaveOutcome outcome = editor_.SAVE_INI_VALUES();
    if (outcome == SaveOutcome::Saved) {
        // The Ship page shows what the files hold now.
        editor_.reloadFromFiles();
    }
    return outcome == SaveOutcome::Saved || outcome == SaveOutcome::NothingChanged;
}

} // namespace skarvel
