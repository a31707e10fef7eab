#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace skarvel {

class TJournal;
class Form;
class Dialogs;
class DataSet;
class Hardpoints;
class ConstantsTables;
struct LoadedShip;

inline constexpr std::string_view kSavedMessage =
    "                All Values have been saved\n\r\n\rA copy of the changed files have been "
    "made and is saved in the\n\rdirectory of this tool under \\data\\..  You can simply copy "
    "the\n\r\\data directory to any other network computer/server you like to\n\ruse the same "
    "values. For example to play on you own server. Only\n\rcopy the \\data directory over the "
    "\\data directory of freelancer.\n\rOn this machine the original .inis are allready "
    "overwritten";

// SAVE_INI_VALUES: writes the shown values into the game's files in place, flushes them and
// leaves the exported copies beside the program. Ship values go only to the sections the
// last ship load found; a failed write ends the save by its exception.
class ShipSaver {
public:
    ShipSaver(TJournal& journal, Form& form, Dialogs& dialogs, DataSet& dataSet,
              Hardpoints& hardpoints, std::function<bool()> securityDialogs,
              const ConstantsTables* constants = nullptr);

    // basePicked: the user picked another starting base, the only case in which it is written.
    void SAVE_INI_VALUES(const LoadedShip& ship, bool basePicked);

private:
    void saveShipValues(const LoadedShip& ship);
    void saveCopies();

    TJournal& journal_;
    Form& form_;
    Dialogs& dialogs_;
    DataSet& dataSet_;
    Hardpoints& hardpoints_;
    std::function<bool()> securityDialogs_;
    const ConstantsTables* constants_; // saved after the general values, when given
};

} // namespace skarvel
