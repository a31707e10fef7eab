#include "ships/FleetCommands.h"

#include "gamedata/ChangeReview.h"
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
#include "ships/FleetCsv.h"
#include "ships/FleetMounts.h"
#include "ships/FleetReview.h"
#include "ships/ShipSaver.h"

#include <algorithm>
#include <stdexcept>

namespace skarvel {

namespace {

constexpr std::string_view kLabel = "FLEET_SAVE";

constexpr std::string_view kShipPageQuestion =
    "The Ship page has unsaved changes. Save them before the Fleet page opens?\n\rNo drops them.";
constexpr std::string_view kFleetQuestion =
    "The Fleet page has changes that are not saved yet. Review and save them now?\n\rNo drops "
    "them.";

} // namespace

FleetCommands::FleetCommands(TJournal& journal, Form& form, Dialogs& dialogs, Editor& editor)
    : journal_(journal), form_(form), dialogs_(dialogs), editor_(editor) {}

void FleetCommands::refresh() {
    table_ = editor_.dataSet().isOpen()
                 ? FleetTable::read(editor_.dataSet(), form_.items(controls::lbShips))
                 : FleetTable{};
    edits_.reset(table_);
}

bool FleetCommands::enterPage() {
    if (!editor_.valuesChanged()) {
        return true;
    }
    journal_.Write("Flotte: ungespeicherte Änderungen der Schiffsseite", JournalEntryKind::Warning);
    const Answer answer = dialogs_.askYesNoCancel(kShipPageQuestion);
    if (answer == Answer::Yes) {
        editor_.btSaveClick();
        return !editor_.valuesChanged();
    }
    if (answer == Answer::No) {
        journal_.Write("NEIN - Änderungen verworfen", JournalEntryKind::Action);
        editor_.reloadFromFiles();
        return true;
    }
    return false;
}

bool FleetCommands::leavePage() {
    if (edits_.empty()) {
        return true;
    }
    journal_.Write("Flotte: Änderungen nicht gespeichert", JournalEntryKind::Warning);
    const Answer answer = dialogs_.askYesNoCancel(kFleetQuestion);
    if (answer == Answer::Yes) {
        return btFleetReviewClick();
    }
    if (answer == Answer::No) {
        btFleetDiscardClick();
        return true;
    }
    return false;
}

void FleetCommands::btFleetDiscardClick() {
    journal_.WriteFormatted("Flotte: %d Änderungen verworfen",
                            {static_cast<long long>(edits_.changes().size())},
                            JournalEntryKind::Action);
    edits_.clear();
}

std::string FleetCommands::reviewText() const {
    const std::size_t ships = edits_.shipCount();
    std::string text = std::to_string(ships) + (ships == 1 ? " ship changes." : " ships change.") +
                       "\n" + changedShipsLine(edits_) + "\n";
    const ini::ReadOnlyPhase readOnly;
    std::vector<FileEdit> edits = editsOf(editor_.dataSet(), edits_.changes());
    if (const auto mounts = edits_.mountChanges(); !mounts.empty()) {
        // The special hp_type lines change by lines, on top of the values.
        const auto shipArch = std::find_if(edits.begin(), edits.end(), [](const FileEdit& edit) {
            return edit.file == SettingsFile::ShipArch;
        });
        if (shipArch == edits.end()) {
            const std::string& path = editor_.dataSet().shipArchIni().path();
            const std::string bytes = readFile(path);
            edits.push_back({SettingsFile::ShipArch, path, bytes, bytes, nullptr, nullptr});
            edits.back().after = withMountLevels(bytes, mounts);
        } else {
            shipArch->after = withMountLevels(shipArch->after, mounts);
        }
    }
    return text + skarvel::reviewText(reviewOf(edits, gameNamesOf(editor_.dataSet().gameNames())));
}

bool FleetCommands::btFleetReviewClick() {
    if (edits_.empty()) {
        dialogs_.message(MessageKind::Information, kNothingToSave);
        return true;
    }
    const ReviewAnswer answer = dialogs_.review("Review and save", reviewText(), false);
    if (!answer.save) {
        return false;
    }
    try {
        return save();
    } catch (const std::exception& error) {
        dialogs_.message(MessageKind::Error,
                         std::string("The values could not be saved:\n\r") + error.what());
        throw;
    }
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

bool FleetCommands::settleOutsideConflicts(std::vector<PendingChange>& changes) {
    std::vector<OutsideConflict> conflicts;
    {
        const ini::ReadOnlyPhase readOnly;
        conflicts = outsideConflicts(editor_.dataSet(), changes);
    }
    if (conflicts.empty()) {
        return true;
    }
    const std::size_t answer =
        dialogs_.choose(MessageKind::Warning, describeConflicts(conflicts),
                        {std::string(kWriteMine), std::string(kKeepTheFiles), "Cancel"});
    if (answer == 0) {
        return true;
    }
    if (answer != 1) {
        return false;
    }
    for (const OutsideConflict& conflict : conflicts) {
        std::erase(changes, conflict.change);
    }
    return true;
}

bool FleetCommands::save() {
    DataSet& dataSet = editor_.dataSet();
    journal_.Write(kLabel, JournalEntryKind::Begin);
    const auto end = [&] { journal_.Write(kLabel, JournalEntryKind::End); };
    if (!dataSet.isOpen()) {
        journal_.Write("INIS sind nicht geöffnet - ABBRUCH", JournalEntryKind::Error);
        end();
        return false;
    }
    std::vector<PendingChange> changes = edits_.changes();
    const std::vector<MountChange> mounts = edits_.mountChanges();
    std::vector<SectionRef> ships;
    for (const MountChange& mount : mounts) {
        ships.push_back(
            SectionRef::withNickname(SettingsFile::ShipArch, "Ship", mount.shipNickname));
    }
    std::vector<SectionProblem> problems;
    {
        // Each of many sections is looked up: the files are checked once, not per lookup.
        const ini::ReadOnlyPhase readOnly;
        problems = sectionProblems(dataSet, changes, ships);
    }
    if (!problems.empty()) {
        const std::string text = describeProblems(problems);
        journal_.Write("Nicht gespeichert - " + text, JournalEntryKind::Error);
        end();
        throw std::runtime_error(text);
    }
    if (!settleOutsideConflicts(changes)) {
        journal_.Write("Speichern abgebrochen", JournalEntryKind::Info);
        end();
        return false;
    }
    if (changes.empty() && mounts.empty()) {
        // Every value was left as the file has it: no backup, no write.
        journal_.Write("Keine Werte verändert - nichts zu speichern", JournalEntryKind::Info);
        end();
        refresh();
        return true;
    }
    journal_.WriteFormatted(
        "Flotte: %d Werte von %d Schiffen werden gespeichert",
        {static_cast<long long>(changes.size()), static_cast<long long>(edits_.shipCount())},
        JournalEntryKind::Info);
    GameBackups backups = dataSet.backups();
    try {
        backups.marker().write(backups.ensure("fleet").name);
    } catch (const std::exception& error) {
        journal_.Write("Sicherung fehlgeschlagen - " + std::string(error.what()),
                       JournalEntryKind::Error);
        end();
        throw std::runtime_error("No backup of the data files could be made, so nothing was "
                                 "written:\n\r" +
                                 std::string(error.what()));
    }
    {
        ini::WriteBatch batch;
        journal_.Write("Werte für Fleet", JournalEntryKind::Info);
        writeChanges(dataSet, changes);
        batch.commit();
    }
    if (!mounts.empty()) {
        journal_.Write("HardpointWerte speichern", JournalEntryKind::Begin);
        const std::string& path = dataSet.shipArchIni().path();
        const std::string bytes = readFile(path);
        if (const std::string edited = withMountLevels(bytes, mounts); edited != bytes) {
            writeFileAtomically(path, edited, /*durable=*/true);
        }
        journal_.Write("HardpointWerte speichern", JournalEntryKind::End);
    }
    dataSet.FlushIniFiles();
    journal_.Write("INIS Werte speichern", JournalEntryKind::Info);
    backups.marker().remove();
    const OwnFolders folders = ownFolders(dataSet.programFolder());
    const std::string base = makeCorrectPath(folders.copiesBase, journal_);
    if (const auto failed = makeExportedCopies(journal_, dataSet.files(), base); !failed.empty()) {
        std::string text = "The copy of the changed files could not be made:";
        for (const std::string& path : failed) {
            text += "\n\r" + path;
        }
        dialogs_.message(MessageKind::Error, text);
    }
    dataSet.takeSnapshot(); // what the save wrote is no outside change
    end();
    refresh();
    // The Ship page shows what the files hold now.
    editor_.reloadFromFiles();
    return true;
}

} // namespace skarvel
