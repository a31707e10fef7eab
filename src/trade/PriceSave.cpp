#include "trade/PriceSave.h"

#include "gamedata/DataSet.h"
#include "gamedata/IniEngine.h"
#include "journal/Journal.h"
#include "ports/Dialogs.h"

#include <stdexcept>

namespace skarvel::trade {

namespace {

constexpr std::string_view kLabel = "SAVE_PRICES";

void end(TJournal& journal) {
    journal.Write(kLabel, JournalEntryKind::End);
}

} // namespace

std::vector<PendingChange> priceChanges(const Calculator& calculator) {
    std::vector<PendingChange> changes;
    for (const PriceEdit& edit : calculator.edits()) {
        if (edit.commodity == kNone) {
            continue;
        }
        changes.push_back(
            {SectionRef::withNickname(SettingsFile::Goods, "Good",
                                      calculator.data().commodities[edit.commodity].nickname),
             "price", edit.loaded, edit.value, "tvCommodities"});
    }
    return changes;
}

PriceSaveOutcome savePrices(TJournal& journal, Dialogs& dialogs, DataSet& dataSet,
                            const Calculator& calculator) {
    journal.Write(kLabel, JournalEntryKind::Begin);
    if (!dataSet.isOpen()) {
        journal.Write("INIS sind nicht geöffnet - ABBRUCH", JournalEntryKind::Error);
        end(journal);
        return PriceSaveOutcome::NotOpen;
    }
    const std::vector<PendingChange> changes = priceChanges(calculator);
    if (changes.empty()) {
        journal.Write("Keine Werte verändert - nichts zu speichern", JournalEntryKind::Info);
        end(journal);
        return PriceSaveOutcome::NothingChanged;
    }
    if (const auto problems = sectionProblems(dataSet, changes); !problems.empty()) {
        const std::string text = describeProblems(problems);
        journal.Write("Nicht gespeichert - " + text, JournalEntryKind::Error);
        end(journal);
        throw std::runtime_error(text);
    }
    if (const auto conflicts = outsideConflicts(dataSet, changes); !conflicts.empty()) {
        if (!isYes(dialogs.message(MessageKind::Warning,
                                   describeConflicts(conflicts) + "\n\r\n\rWrite yours?"))) {
            journal.Write("Speichern abgebrochen", JournalEntryKind::Info);
            end(journal);
            return PriceSaveOutcome::Cancelled;
        }
    }
    GameBackups backups = dataSet.backups();
    try {
        backups.marker().write(backups.ensure("save").name);
    } catch (const std::exception& error) {
        journal.Write("Sicherung fehlgeschlagen - " + std::string(error.what()),
                      JournalEntryKind::Error);
        end(journal);
        throw std::runtime_error("No backup of the data files could be made, so nothing was "
                                 "written:\n\r" +
                                 std::string(error.what()));
    }
    {
        ini::WriteBatch batch;
        journal.Write("Werte für COMMODITY", JournalEntryKind::Info);
        writeChanges(dataSet, changes);
        batch.commit();
    }
    dataSet.FlushIniFiles();
    backups.marker().remove();
    dataSet.takeSnapshot(); // what the save wrote is no outside change
    end(journal);
    return PriceSaveOutcome::Saved;
}

PriceSaveOutcome btCommoditySaveClick(TJournal& journal, Dialogs& dialogs, DataSet& dataSet,
                                      const Calculator& calculator) {
    PriceSaveOutcome outcome = PriceSaveOutcome::NotOpen;
    try {
        outcome = savePrices(journal, dialogs, dataSet, calculator);
    } catch (const std::exception& error) {
        dialogs.message(MessageKind::Error,
                        std::string("The prices could not be saved:\n\r") + error.what());
        throw;
    }
    if (outcome == PriceSaveOutcome::NothingChanged) {
        dialogs.message(MessageKind::Information, "Nothing to save: no base price has changed.");
    }
    return outcome;
}

} // namespace skarvel::trade
