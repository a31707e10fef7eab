#pragma once

#include "gamedata/PendingChanges.h"
#include "trade/Calculator.h"

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

enum class PriceSaveOutcome { Saved, NothingChanged, NotOpen, Cancelled };

// SAVE_PRICES: writes the edited prices like the ship save writes its values: a backup, a
// compressed market_commodities.ini written as text, every section found again, the user
// asked about keys another program changed too, then one batch. A failure throws with the
// text for the user.
PriceSaveOutcome savePrices(TJournal& journal, Dialogs& dialogs, DataSet& dataSet,
                            const Calculator& calculator);

// The Save button of the Commodity page: a failure is shown to the user, then goes on to the
// window's handler; "nothing to save" is said.
PriceSaveOutcome btCommoditySaveClick(TJournal& journal, Dialogs& dialogs, DataSet& dataSet,
                                      const Calculator& calculator);

} // namespace trade
} // namespace skarvel
