#include "tables/FleetCommands.h"

#include "document/ChangeReviewText.h"
#include "gamedata/DataSet.h"
#include "gamedata/IniEngine.h"
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
#include "tables/FleetCsv.h"
#include "tables/FleetMounts.h"
#include "tables/FleetReview.h"

#include <algorithm>
#include <map>
#include <stdexcept>

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
    for (auto& [nickname, mounts] : byShip) {
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

void FleetCommands::exportCsv(const std::string& path, const std::vector<std::size_t>& rows,
                              const std::vector<std::size_t>& columns) const {
    writeFileAtomically(path, fleetCsv(edits_, rows, columns));
    journal_.WriteFormatted("Flotte: %d Schiffe exportiert nach %s",
                            {static_cast<long long>(rows.size()), path}, JournalEntryKind::Info);
}

std::string FleetCommands::importCsv(const std::string& path) {
    const FleetImport result = importFleetCsv(edits_, readFile(path));
    journal_.WriteFormatted("Flotte: %d Werte importiert aus %s, %d nicht übernommen",
                            {static_cast<long long>(result.changed), path,
                             static_cast<long long>(result.problems.size())},
                            JournalEntryKind::Info);
    std::string text = std::to_string(result.changed) +
                       " values of the file differ from the table and are now pending changes; "
                       "Review and save writes them.";
    if (!result.problems.empty()) {
        text += "\n\rThese were left alone:";
        for (const std::string& problem : result.problems) {
            text += "\n\r" + problem;
        }
    }
    return text;
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
