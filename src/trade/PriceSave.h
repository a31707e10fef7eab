#pragma once

#include "gamedata/PendingChanges.h"
#include "trade/Calculator.h"

#include <vector>

namespace skarvel {

class TJournal;
class Dialogs;
class DataSet;

namespace trade {

// The edited base prices as changes of the one write path: the price key of the commodity's
// [Good] section, found by its nickname.
std::vector<PendingChange> priceChanges(const Calculator& calculator);

enum class PriceSaveOutcome { Saved, NothingChanged, NotOpen, Cancelled };

// SAVE_PRICES: writes the edited base prices like the ship save writes its values: every
// section found again first, the user asked about keys another program changed too, a
// backup, then one batch. A failure throws with the text for the user.
PriceSaveOutcome savePrices(TJournal& journal, Dialogs& dialogs, DataSet& dataSet,
                            const Calculator& calculator);

// The Save button of the Commodity page: a failure is shown to the user, then goes on to the
// window's handler; "nothing to save" is said.
PriceSaveOutcome btCommoditySaveClick(TJournal& journal, Dialogs& dialogs, DataSet& dataSet,
                                      const Calculator& calculator);

} // namespace trade
} // namespace skarvel
