#include "trade/PriceSave.h"

#include "document/SaveTransaction.h"
#include "gamedata/DataSet.h"
#include "ports/Controls.h"

namespace skarvel::trade {

namespace {

constexpr std::string_view kGroup = "COMMODITY";

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
                               std::string(controls::tvCommodities.name),
                               {}});
            continue;
        }
        const Market& market = data.markets[edit.market];
        changes.push_back({SectionRef::withKey(SettingsFile::MarketCommodities, "BaseGood", "base",
                                               data.bases[market.base].nickname),
                           "MarketGood", edit.loaded, edit.value,
                           std::string(controls::tvMarkets.name),
                           data.commodities[market.commodity].nickname});
    }
    return changes;
}

void setPrice(Calculator& calculator, const PriceEdit& edit, const std::string& text) {
    if (edit.commodity != kNone) {
        calculator.setBasePrice(edit.commodity, text);
    } else {
        calculator.setMultiplier(edit.market, text);
    }
}

PriceSaveOutcome savePrices(TJournal& journal, Dialogs& dialogs, DataSet& dataSet,
                            const Calculator& calculator) {
    ChangeSet changes;
    changes.group(kGroup).changes = priceChanges(calculator);
    SaveTransaction transaction(journal, dialogs, dataSet, {});
    switch (transaction.run("SAVE_PRICES", "save", changes)) {
    case TransactionOutcome::Saved:
        return PriceSaveOutcome::Saved;
    case TransactionOutcome::NothingChanged:
        return PriceSaveOutcome::NothingChanged;
    case TransactionOutcome::Cancelled:
        return PriceSaveOutcome::Cancelled;
    case TransactionOutcome::NotOpen:
        break;
    }
    return PriceSaveOutcome::NotOpen;
}

bool PriceChangeSource::hasChanges() const {
    const Calculator* calculator = page_.calculator();
    return calculator != nullptr && !calculator->edits().empty();
}

void PriceChangeSource::addTo(ChangeSet& changes) {
    if (const Calculator* calculator = page_.calculator()) {
        std::vector<PendingChange> prices = priceChanges(*calculator);
        if (!prices.empty()) {
            std::vector<PendingChange>& group = changes.group(kGroup).changes;
            group.insert(group.end(), prices.begin(), prices.end());
        }
    }
}

void PriceChangeSource::keepFileValue(const PendingChange& change, const std::string&) {
    Calculator* calculator = page_.calculator();
    if (calculator == nullptr) {
        return;
    }
    // The edit is taken back; the file's price is shown once the files are read again.
    // priceChanges gives one change per edit, in the edits' order.
    const std::vector<PriceEdit> edits = calculator->edits();
    const std::vector<PendingChange> changes = priceChanges(*calculator);
    for (std::size_t i = 0; i < changes.size() && i < edits.size(); ++i) {
        if (changes[i] != change) {
            continue;
        }
        setPrice(*calculator, edits[i], edits[i].loaded);
    }
    if (page_.pricesChanged) {
        page_.pricesChanged();
    }
}

void PriceChangeSource::saved() {
    if (page_.readAgain) {
        page_.readAgain();
    }
}

void PriceChangeSource::discard() {
    if (page_.readAgain) {
        page_.readAgain();
    }
}

} // namespace skarvel::trade
