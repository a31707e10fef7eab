#pragma once

#include <functional>
#include <memory>
#include <string>

#include "gamedata/DataSet.h"
#include "ships/EngineValues.h"
#include "ships/Hardpoints.h"

namespace skarvel {

class TJournal;
class Form;
class Dialogs;

// The editing state of the main window and its commands: reload, ship click, save,
// general values, key handlers and hardpoint handlers. The window's handlers call these.
class Editor {
public:
    // securityDialogs: GetSecurityDialogs of the preferences.
    Editor(TJournal& journal, Form& form, Dialogs& dialogs, std::string programFolder,
           std::function<bool()> securityDialogs);
    ~Editor();

    // Tool bar and list commands.
    void btRelloadClick();
    void btSaveClick();
    void lbShipsClick();
    void CloseIniFiles(); // the exit's close

    void LOAD_INI_VALUES();
    void SAVE_INI_VALUES();
    void cbStartingBaseChange();

    EngineValues& engineValues() { return engineValues_; }
    Hardpoints& hardpoints() { return hardpoints_; }
    DataSet& dataSet() { return dataSet_; }

    bool valuesChanged() const { return valuesChanged_; } // FValuesChanged
    void markChanged();                                     // sets it, enables btSave
    int shipIndex() const { return shipIndex_; }            // FShipIndex
    bool shipListArmed() const { return shipListArmed_; }   // FShipListArmed
    bool shipLoaded() const { return shipLoaded_; }

    // Indexes fixed by the last ship load.
    int hullGoodIndex() const { return hullGoodIndex_; }
    int packageGoodIndex() const { return packageGoodIndex_; }
    int powerIndex() const { return powerIndex_; }
    int engineIndex() const { return engineIndex_; }
    const std::string& engineName() const { return engineName_; }
    const std::string& powerName() const { return powerName_; }
    const std::string& scannerName() const { return scannerName_; }
    const std::string& tractorName() const { return tractorName_; }

private:
    TJournal& journal_;
    Form& form_;
    Dialogs& dialogs_;
    std::function<bool()> securityDialogs_;
    DataSet dataSet_;
    EngineValues engineValues_;
    Hardpoints hardpoints_;

    bool valuesChanged_ = false;
    bool shipListArmed_ = false;
    bool shipLoaded_ = false;
    int shipIndex_ = 0;
    int hullGoodIndex_ = -1;
    int packageGoodIndex_ = -1;
    int powerIndex_ = -1;
    int engineIndex_ = -1;
    std::string hullNickname_;
    std::string engineName_;
    std::string powerName_;
    std::string scannerName_;
    std::string tractorName_;
};

} // namespace skarvel
