#pragma once

#include "gamedata/PendingChanges.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace skarvel {

class Form;
class DataSet;

// The game-wide values of the General page and the new character of the Character page.

// What the two pages showed after the load: a save writes only what differs from it.
struct LoadedGeneral {
    std::map<std::string, std::string, std::less<>> texts; // by field
    std::string base;                                      // the file's starting base
};

// Fills the fields and the starting-base list from the open data set. A starting base that
// resource.ini does not know is added to the list by its nickname and shown. No journal
// lines of its own and no change marking.
LoadedGeneral loadGeneralValues(const DataSet& dataSet, Form& form);
// The same values as the files hold them now, without touching the pages (after a save).
LoadedGeneral readGeneralValues(const DataSet& dataSet);

// The values the user changed since the load, for "Werte für GENERAL" and "Werte für
// NEWCHARACTER". An empty field writes nothing. The base counts only when the user picked
// another one (basePicked).
struct GeneralChanges {
    std::vector<PendingChange> general;
    std::vector<PendingChange> newCharacter;
};
GeneralChanges generalChanges(const DataSet& dataSet, const Form& form, const LoadedGeneral& loaded,
                              bool basePicked);

} // namespace skarvel
