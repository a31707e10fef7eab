#include "trade/PriceSave.h"

#include "BiniFormat.h"
#include "gamedata/DataSet.h"
#include "gamedata/IniEngine.h"
#include "journal/Journal.h"
#include "platform/Files.h"
#include "ports/Dialogs.h"

#include <algorithm>
#include <stdexcept>

namespace skarvel::trade {

namespace {

constexpr std::string_view kLabel = "SAVE_PRICES";

void end(TJournal& journal) {
    journal.Write(kLabel, JournalEntryKind::End);
}

// A compressed market_commodities.ini that a change goes to is written as text first, as the
// open does with the six files; after the backup, which keeps it compressed.
void unpackMarkets(TJournal& journal, const DataSet& dataSet,
                   const std::vector<PendingChange>& changes) {
    const bool needed = std::any_of(changes.begin(), changes.end(), [](const PendingChange& c) {
        return c.section.file == SettingsFile::MarketCommodities;
    });
    if (!needed) {
        return;
    }
    const std::string& path = dataSet.ini(SettingsFile::MarketCommodities).path();
    const std::string bytes = readFile(path);
    if (bytes.starts_with("BINI")) {
        writeFileAtomically(path, bini::toText(bytes));
        journal.Write("In Textform geschrieben [" + path + "]", JournalEntryKind::Info);
    }
}

} // namespace

std::vector<PendingChange> priceChanges(const Calculator& calculator) {
    const TradeData& data = calculator.data();
    std::vector<PendingChange> changes;
    for (const PriceEdit& edit : calculator.edits()) {
        if (edit.commodity != kNone) {
            changes.push_back({SectionRef::withNickname(SettingsFile::Goods, "Good",
                                                        data.commodities[edit.commodity].nickname),
                               "price",
                               edit.loaded,
                               edit.value,
                               "tvCommodities",
                               {}});
            continue;
        }
        const Market& market = data.markets[edit.market];
        changes.push_back({SectionRef::withKey(SettingsFile::MarketCommodities, "BaseGood", "base",
                                               data.bases[market.base].nickname),
                           "MarketGood", edit.loaded, edit.value, "tvMarkets",
                           data.commodities[market.commodity].nickname});
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
    // A file the prices go to that cannot take them stops the save before anything is written.
    if (const auto problems = fileProblems(dataSet, changes); !problems.empty()) {
        const std::string text = describeProblems(problems);
        journal.Write("Nicht gespeichert - " + text, JournalEntryKind::Error);
        end(journal);
        throw std::runtime_error(text);
    }
    // No write without a verified backup; the marker tells the next open if this save is
    // cut short.
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
    unpackMarkets(journal, dataSet, changes);
    if (const auto problems = sectionProblems(dataSet, changes); !problems.empty()) {
        const std::string text = describeProblems(problems);
        journal.Write("Nicht gespeichert - " + text, JournalEntryKind::Error);
        backups.marker().remove();
        end(journal);
        throw std::runtime_error(text);
    }
    if (const auto conflicts = outsideConflicts(dataSet, changes); !conflicts.empty()) {
        if (!isYes(dialogs.message(MessageKind::Warning,
                                   describeConflicts(conflicts) + "\n\r\n\rWrite yours?"))) {
            journal.Write("Speichern abgebrochen", JournalEntryKind::Info);
            backups.marker().remove();
            end(journal);
            return PriceSaveOutcome::Cancelled;
        }
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
        dialogs.message(MessageKind::Information, "Nothing to save: no price has changed.");
    }
    return outcome;
}

} // namespace skarvel::trade
