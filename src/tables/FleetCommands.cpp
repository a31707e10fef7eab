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
    try {
        writeFileAtomically(path, fleetCsv(edits_, rows, columns, byteOrderMark));
    } catch (const std::exception& error) {
        journal_.Write(error.what(), JournalEntryKind::Error);
        dialogs_.message(MessageKind::Error,
                         std::string("The CSV file was not written: ") + error.what());
        return false;
    }
    journal_.WriteFormatted("Flotte: %d Schiffe exportiert nach %s",
                            {static_cast<long long>(rows.size()), path}, JournalEntryKind::Info);
    return true;
}

namespace {

// The problems of an import that get a journal line each; the rest go kProblemsPerLine to
// a line.
constexpr std::size_t kProblemsJournalledAlone = 100;
constexpr std::size_t kProblemsPerLine = 1000;

// Why the file cannot be imported, or empty when its bytes were read.
std::string readCsvFile(const std::string& path, std::string& bytes) {
    struct stat info {};
    switch (tryReadRegularFile(path, kCsvFileCap, bytes, &info)) {
    case RegularRead::Read:
        return {};
    case RegularRead::NotRegular:
        return path + " is " + std::string(fileKindText(info.st_mode)) + ", not a regular file.";
    case RegularRead::TooLarge: {
        const auto size = static_cast<std::uint64_t>(info.st_size);
        char megabytes[32];
        std::snprintf(megabytes, sizeof megabytes, "%.1f", static_cast<double>(size) / 1048576.0);
        return path + " is " + megabytes + " MB (" + std::to_string(size) +
               " bytes); a CSV file above 64 MB is not imported.";
    }
    case RegularRead::Failed:
        break;
    }
    return path + " cannot be read: " + std::strerror(errno) + ".";
}

} // namespace

std::optional<std::string> FleetCommands::importCsv(const std::string& path) {
    std::string bytes;
    if (const std::string refusal = readCsvFile(path, bytes); !refusal.empty()) {
        journal_.Write(refusal, JournalEntryKind::Error);
        dialogs_.message(MessageKind::Error, refusal + "\nNothing was imported.");
        return std::nullopt;
    }
    // The journal syncs every line to disk: beyond the first problems, many go to a line.
    std::size_t journalled = 0;
    std::string batch;
    const auto writeBatch = [&] {
        if (!batch.empty()) {
            journal_.WriteFormatted("Flotte: nicht übernommen: %s", {batch},
                                    JournalEntryKind::Data);
            batch.clear();
        }
    };
    const FleetImport result = importFleetCsv(edits_, bytes, [&](const std::string& problem) {
        batch += (batch.empty() ? "" : " | ") + problem;
        if (++journalled <= kProblemsJournalledAlone ||
            (journalled - kProblemsJournalledAlone) % kProblemsPerLine == 0) {
            writeBatch();
        }
    });
    writeBatch();
    journal_.WriteFormatted(
        "Flotte: %d Werte importiert aus %s, %d nicht übernommen",
        {static_cast<long long>(result.changed), path, static_cast<long long>(result.problemCount)},
        JournalEntryKind::Info);
    std::string text =
        std::to_string(result.changed) +
        (result.changed == 1
             ? " value of the file differs from the value read and is now a pending change; "
             : " values of the file differ from the values read and are now pending changes; ") +
        "Review and save writes them. A value that ships share (an engine, a power plant) "
        "counts once.\n\rSeparator: " +
        std::string(separatorName(result.separator)) + ".";
    if (result.problemCount > 0) {
        text += "\n\rThese were left alone:";
        for (const std::string& problem : result.problems) {
            text += "\n\r" + fromCp1252(problem);
        }
        if (result.problemCount > result.problems.size()) {
            text += "\n\r... and " + std::to_string(result.problemCount - result.problems.size()) +
                    " more problems (all in the journal)";
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
