#pragma once

#include "document/ChangeSet.h"
#include "document/SaveTransaction.h"
#include "gamedata/FormCache.h"
#include "gamedata/PendingChanges.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

class TJournal;
class Form;
class Dialogs;
class DataSet;
class Hardpoints;
class ConstantsTables;
struct LoadedShip;
struct LoadedGeneral;
enum class ShipGroup;

inline constexpr std::string_view kSavedMessage =
    "                All Values have been saved\n\r\n\rA copy of the changed files have been "
    "made and is saved in the\n\rdirectory of this tool under \\data\\..  You can simply copy "
    "the\n\r\\data directory to any other network computer/server you like to\n\ruse the same "
    "values. For example to play on you own server. Only\n\rcopy the \\data directory over the "
    "\\data directory of freelancer.\n\rOn this machine the original .inis are allready "
    "overwritten";

inline constexpr std::string_view kNothingToSave = "Nothing to save: no value has changed.";

// The values a save writes, group by group in the order of the save and its journal lines,
// and whether the ship's hardpoint lines change.
struct PendingSave {
    struct Group {
        std::string_view name; // as in "Werte für <name>"
        std::vector<PendingChange> changes;
    };
    std::vector<Group> groups;
    bool hardpoints = false;

    bool empty() const;
    std::vector<PendingChange> all() const;
};

// What a save did.
enum class SaveOutcome { Saved, NothingChanged, NotOpen, Cancelled };

inline constexpr std::string_view kReviewCaption = "Review changes";

// Whether a save first shows "Review changes" (the preference "ReviewBeforeSave", on when
// not set), and how its box "Don't show again" turns it off.
struct ReviewSwitch {
    std::function<bool()> isOn;
    std::function<void()> turnOff;
};

// The ship pages' part of a save: their values as changes, the review of the whole change
// set, and the copies beside the program after it.
class ShipSaver {
public:
    ShipSaver(TJournal& journal, Form& form, Dialogs& dialogs, DataSet& dataSet,
              Hardpoints& hardpoints, std::function<bool()> securityDialogs,
              const ConstantsTables* constants = nullptr);

    // basePicked: the user picked another starting base, the only case in which it is written.
    PendingSave pendingSave(const LoadedShip& ship, const LoadedGeneral& general,
                            bool basePicked) const;

    void setReviewSwitch(ReviewSwitch review) { review_ = std::move(review); }

    // The user's look at the changes, when the switch is on; false: the save is cancelled.
    bool reviewed(const ChangeSet& changes);
    // The copies of the changed files beside the program, and the message after a save.
    void saveCopies(const std::vector<std::string>& written);

private:
    std::vector<PendingChange> shipChanges(const LoadedShip& ship, ShipGroup group) const;

    TJournal& journal_;
    Form& form_;
    Dialogs& dialogs_;
    DataSet& dataSet_;
    Hardpoints& hardpoints_;
    std::function<bool()> securityDialogs_;
    ReviewSwitch review_;
    const ConstantsTables* constants_; // saved after the general values, when given
    FormCache copyForms_;              // the copies' plain form, from save to save
};

} // namespace skarvel
