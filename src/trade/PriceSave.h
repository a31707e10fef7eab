#pragma once

#include "document/ChangeSet.h"
#include "gamedata/PendingChanges.h"
#include "trade/Calculator.h"

#include <functional>
#include <vector>

namespace skarvel {

class TJournal;
class Dialogs;
class DataSet;

namespace trade {

// The edited prices as changes of the one write path: the price key of the commodity's [Good]
// section found by its nickname, or the one MarketGood line of the commodity in the [BaseGood]
// section found by its base.
std::vector<PendingChange> priceChanges(const Calculator& calculator);

// Sets the price the edit is about to text: its base price or its multiplier.
void setPrice(Calculator& calculator, const PriceEdit& edit, const std::string& text);

enum class PriceSaveOutcome { Saved, NothingChanged, NotOpen, Cancelled };

// SAVE_PRICES: the edited prices alone through the one transaction, without a review (for
// scripts and tests; the window saves them with every other page's changes). A failure
// throws with the text for the user.
PriceSaveOutcome savePrices(TJournal& journal, Dialogs& dialogs, DataSet& dataSet,
                            const Calculator& calculator);

// The Commodity page's part of the document: the typed prices of the calculator the page
// shows now (none while it has none).
class PriceChangeSource : public ChangeSource {
public:
    struct Page {
        std::function<Calculator*()> calculator;
        std::function<void()> pricesChanged; // an edit was taken back
        std::function<void()> readAgain;     // the files were written or the edits dropped
    };
    explicit PriceChangeSource(Page page) : page_(std::move(page)) {}

    bool hasChanges() const override;
    void addTo(ChangeSet& changes) override;
    void keepFileValue(const PendingChange& change, const std::string& fileValue) override;
    void saved() override;
    void discard() override;

private:
    Page page_;
};

} // namespace trade
} // namespace skarvel
