#include "document/SaveTransaction.h"

#include "BiniFormat.h"
#include "gamedata/DataSet.h"
#include "gamedata/IniEngine.h"
#include "journal/Journal.h"
#include "platform/Files.h"
#include "ports/Dialogs.h"

#include <algorithm>
#include <stdexcept>

namespace skarvel {

namespace {

constexpr auto kInfo = JournalEntryKind::Info;

// A conflict of whole lines: the hardpoint levels another program changed too.
struct LineConflict {
    std::size_t edit = 0;
    std::string path;
    std::string fileLines;
};

std::string joined(const std::vector<std::string>& paths) {
    std::string text;
    for (const std::string& path : paths) {
        text += "\n\r" + path;
    }
    return text;
}

// A compressed market_commodities.ini that a change goes to is written as text first, as the
// open does with the six files; after the backup, which keeps it compressed.
// Before the checks and the review, which read it as text; after a backup, which keeps it
// compressed.
void unpackMarkets(TJournal& journal, DataSet& dataSet, const ChangeSet& changes,
                   std::string_view cause) {
    const std::vector<PendingChange> all = changes.all();
    const bool needed =
        std::any_of(all.begin(), all.end(),
                    [](const PendingChange& c) {
                        return c.section.file == SettingsFile::MarketCommodities;
                    }) ||
        std::any_of(changes.lineEdits.begin(), changes.lineEdits.end(), [](const LineEdit& edit) {
            return edit.section.file == SettingsFile::MarketCommodities;
        });
    if (!needed) {
        return;
    }
    const std::string& path = dataSet.ini(SettingsFile::MarketCommodities).path();
    const std::string bytes = readFile(path);
    if (bytes.starts_with("BINI")) {
        dataSet.backups().ensure(cause);
        writeFileAtomically(path, bini::toText(bytes));
        journal.Write("In Textform geschrieben [" + path + "]", kInfo);
    }
}

// The user kept the file's lines of the conflicts: those edits, and every edit of their
// groups, leave the change set, and their pages are told.
void keepFileLines(ChangeSet& changes, const std::vector<LineConflict>& conflicts,
                   const std::function<void(const LineEdit&)>& keptByTransaction) {
    std::vector<bool> kept(changes.lineEdits.size(), false);
    for (const LineConflict& conflict : conflicts) {
        kept[conflict.edit] = true;
        const std::string& group = changes.lineEdits[conflict.edit].group;
        for (std::size_t i = 0; i < kept.size(); ++i) {
            kept[i] = kept[i] || (!group.empty() && changes.lineEdits[i].group == group);
        }
    }
    std::vector<LineEdit> staying;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        LineEdit& edit = changes.lineEdits[i];
        if (!kept[i]) {
            staying.push_back(std::move(edit));
        } else if (edit.keepFile) {
            edit.keepFile();
        } else if (keptByTransaction) {
            keptByTransaction(edit);
        }
    }
    changes.lineEdits = std::move(staying);
}

} // namespace

SaveTransaction::SaveTransaction(TJournal& journal, Dialogs& dialogs, DataSet& dataSet,
                                 TransactionSteps steps)
    : journal_(journal), dialogs_(dialogs), dataSet_(dataSet), steps_(std::move(steps)) {}

void SaveTransaction::takeUp() {
    if (steps_.takeUpOutsideChanges) {
        steps_.takeUpOutsideChanges();
    }
}

void SaveTransaction::checkSections(const ChangeSet& changes) const {
    std::vector<SectionProblem> problems;
    {
        // Each of many sections is looked up: the files are checked once, not per lookup.
        const ini::ReadOnlyPhase readOnly;
        problems = sectionProblems(dataSet_, changes.all(), changes.lineSections());
    }
    if (!problems.empty()) {
        const std::string text = describeProblems(problems);
        journal_.Write("Nicht gespeichert - " + text, JournalEntryKind::Error);
        throw std::runtime_error(text);
    }
}

bool SaveTransaction::settleConflicts(ChangeSet& changes) {
    // Each answer is a dialog, during which another program may write again: the files are
    // read once more after it, until a reading finds nothing new to ask about.
    while (true) {
        takeUp();
        checkSections(changes);
        std::vector<OutsideConflict> conflicts;
        std::vector<LineConflict> lineConflicts;
        {
            const ini::ReadOnlyPhase readOnly;
            conflicts = outsideConflicts(dataSet_, changes.all());
            for (std::size_t i = 0; i < changes.lineEdits.size(); ++i) {
                const LineEdit& edit = changes.lineEdits[i];
                if (!edit.linesIn) {
                    continue;
                }
                const std::string& path = dataSet_.iniOf(edit.section).path();
                const auto now = ini::currentIni(path);
                const std::string lines = now ? edit.linesIn(*now) : std::string();
                if (lines != edit.loadedLines) {
                    lineConflicts.push_back({i, path, lines});
                }
            }
        }
        if (conflicts.empty() && lineConflicts.empty()) {
            return true;
        }
        std::string text = conflicts.empty() ? std::string() : describeConflicts(conflicts);
        for (const OutsideConflict& conflict : conflicts) {
            journal_.WriteFormatted(
                "Auch außerhalb geändert [%s] %s: Datei %s, Eingabe %s",
                {conflict.path, conflict.change.key, conflict.fileValue, conflict.change.value},
                JournalEntryKind::Warning);
        }
        for (const LineConflict& conflict : lineConflicts) {
            const LineEdit& edit = changes.lineEdits[conflict.edit];
            journal_.WriteFormatted(edit.what.empty() ? "Auch außerhalb geändert [%s] hp_type: %s"
                                                      : "Auch außerhalb geändert [%s] %s",
                                    {conflict.path, edit.owner}, JournalEntryKind::Warning);
            text += std::string(text.empty() ? "" : "\n\r") + "Another program changed the " +
                    (edit.what.empty() ? "hardpoint levels of " + edit.owner : edit.what) + " in " +
                    conflict.path + " since Skarvel read them, and you changed them too.";
        }
        const std::size_t answer =
            dialogs_.choose(MessageKind::Warning, text,
                            {std::string(kWriteMine), std::string(kKeepTheFiles), "Cancel"});
        if (answer == 0) {
            journal_.Write("Eigene Werte werden geschrieben", kInfo);
            // Asked once: the same file value is not asked about again.
            for (const OutsideConflict& conflict : conflicts) {
                for (ChangeGroup& group : changes.groups) {
                    for (PendingChange& change : group.changes) {
                        if (change == conflict.change) {
                            change.loaded = conflict.fileValue;
                        }
                    }
                }
            }
            for (const LineConflict& conflict : lineConflicts) {
                changes.lineEdits[conflict.edit].loadedLines = conflict.fileLines;
            }
            continue;
        }
        if (answer != 1) {
            return false;
        }
        journal_.Write("Werte der Dateien bleiben", kInfo);
        for (const OutsideConflict& conflict : conflicts) {
            changes.erase(conflict.change);
            if (steps_.keepFileValue) {
                steps_.keepFileValue(conflict.change, conflict.fileValue);
            }
        }
        keepFileLines(changes, lineConflicts, steps_.keepFileLines);
    }
}

TransactionOutcome SaveTransaction::run(std::string_view label, std::string_view cause,
                                        ChangeSet& changes) {
    written_.clear();
    journal_.Write(label, JournalEntryKind::Begin);
    struct End {
        TJournal& journal;
        std::string_view label;
        ~End() { journal.Write(label, JournalEntryKind::End); }
    } end{journal_, label};
    if (!dataSet_.isOpen()) {
        journal_.Write("INIS sind nicht geöffnet - ABBRUCH", JournalEntryKind::Error);
        return TransactionOutcome::NotOpen;
    }
    if (changes.empty()) {
        journal_.Write("Keine Werte verändert - nichts zu speichern", kInfo);
        return TransactionOutcome::NothingChanged;
    }
    journal_.Write("INIS sind geöffnet und Werte werden gespeichert", kInfo);
    unpackMarkets(journal_, dataSet_, changes, cause);
    takeUp();
    checkSections(changes);
    if ((steps_.review && !steps_.review(changes)) || !settleConflicts(changes)) {
        journal_.Write("Speichern abgebrochen", kInfo);
        return TransactionOutcome::Cancelled;
    }
    if (changes.empty()) {
        journal_.Write("Keine Werte verändert - nichts zu speichern", kInfo);
        return TransactionOutcome::NothingChanged;
    }

    // No write without a verified backup; the marker tells the next open if this save is
    // cut short.
    GameBackups backups = dataSet_.backups();
    try {
        backup_ = backups.ensure(cause).name;
        backups.marker().write(backup_);
    } catch (const std::exception& error) {
        journal_.Write("Sicherung fehlgeschlagen - " + std::string(error.what()),
                       JournalEntryKind::Error);
        throw std::runtime_error("No backup of the data files could be made, so nothing was "
                                 "written:\n\r" +
                                 std::string(error.what()));
    }
    write(changes);
    dataSet_.FlushIniFiles();
    journal_.Write("INIS Werte speichern", kInfo);
    // Only what this save wrote is the program's own: a file another program changed
    // meanwhile stays an outside change.
    dataSet_.takeSnapshotOf(written_);
    backups.marker().remove();
    if (steps_.afterWrite) {
        steps_.afterWrite(written_);
    }
    return TransactionOutcome::Saved;
}

void SaveTransaction::write(ChangeSet& changes) {
    std::vector<std::string> paths; // every file the batch may write
    for (const PendingChange& change : changes.all()) {
        paths.push_back(dataSet_.iniOf(change.section).path());
    }
    for (const LineEdit& edit : changes.lineEdits) {
        paths.push_back(dataSet_.iniOf(edit.section).path());
    }
    std::sort(paths.begin(), paths.end());
    paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
    ini::WriteBatch batch;
    try {
        // Each file is replaced once with all its values and lines.
        for (const ChangeGroup& group : changes.groups) {
            // Written whole: a name carries an umlaut, which only Write converts.
            journal_.Write("Werte für " + group.name, kInfo);
            writeChanges(dataSet_, group.changes);
        }
        for (const LineEdit& edit : changes.lineEdits) {
            if (edit.write) {
                edit.write();
                continue;
            }
            const std::string& path = dataSet_.iniOf(edit.section).path();
            const auto now = ini::currentIni(path);
            if (!now) {
                throw std::runtime_error("Unable to write to " + path + ": it cannot be read");
            }
            if (std::string edited = edit.apply(now->bytes()); edited != now->bytes()) {
                ini::replaceIniBytes(path, std::move(edited));
            }
        }
        batch.commit();
    } catch (const std::exception& error) {
        written_ = batch.written();
        if (written_.empty()) {
            // Nothing reached the disk: no later open has a save to restore.
            dataSet_.backups().marker().remove();
            throw;
        }
        writeStopped(error, paths, changes);
    }
    written_ = batch.written();
}

void SaveTransaction::writeStopped(const std::exception& error,
                                   const std::vector<std::string>& paths,
                                   const ChangeSet& changes) {
    std::vector<std::string> notWritten;
    for (const std::string& path : paths) {
        if (std::find(written_.begin(), written_.end(), path) == written_.end()) {
            notWritten.push_back(path);
        }
    }
    journal_.Write("Speichern unvollständig - " + std::string(error.what()),
                   JournalEntryKind::Error);
    // The files written hold the program's own values: no later save blames another program
    // for them. The marker stays, so that the next open offers the backup.
    dataSet_.takeSnapshotOf(written_);
    const auto wasWritten = [this](const SectionRef& section) {
        const std::string& path = dataSet_.iniOf(section).path();
        return std::find(written_.begin(), written_.end(), path) != written_.end();
    };
    for (const PendingChange& change : changes.all()) {
        if (wasWritten(change.section) && steps_.keepFileValue) {
            steps_.keepFileValue(change, change.value);
        }
    }
    for (const LineEdit& edit : changes.lineEdits) {
        if (wasWritten(edit.section) && steps_.keepFileLines) {
            steps_.keepFileLines(edit);
        }
    }
    throw std::runtime_error(std::string(error.what()) +
                             "\n\r\n\rThe save stopped part way. These files hold the new "
                             "values:" +
                             joined(written_) +
                             "\n\rThese files were not written:" + joined(notWritten) +
                             "\n\rThe backup made before the save can restore all of them.");
}

} // namespace skarvel
