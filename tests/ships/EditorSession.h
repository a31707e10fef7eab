#pragma once

#include "ships/Editor.h"
#include "support/GameCopy.h"

#include <string>
#include <vector>

namespace skarvel::test {

// A game folder in the game's shape (tests/data/game-ships) and the editor's own folder,
// both in a fresh temporary folder, with an editor working on them.
class EditorSession : public GameCopy {
protected:
    explicit EditorSession(const std::string& fixture = "game-ships") : GameCopy(fixture, "bini") {
        // As the window starts.
        form.setEnabled("btSave", false);
        form.setItems("cbShieldTyp", {"original", "fighter", "elite", "freighter"});
        editor = std::make_unique<Editor>(*journal, form, dialogs, programFolder(),
                                          [this] { return securityDialogs; });
    }

    void click(int index) {
        form.setSelectedIndex("lbShips", index);
        editor->lbShipsClick();
    }

    // The save command, answered Yes.
    void saveByButton() {
        dialogs.answers.push_back(Answer::Yes);
        editor->btSaveClick();
    }

    // The first ship loaded and one value or more changed in each file the save writes.
    void editEveryDataFile() {
        click(0);
        form.setText("edPanzerung", "3500");
        form.setText("edShipPrice", "12500");
        form.setText("edTractorRange", "1600");
        form.setText("edPowerCapacity", "850");
        form.setText("edReverseFraction", "0,2");
        form.setText("edCruisePowerUsage", "1,25");
        form.setText("edMaxSpeed", "380");
        form.setSelectedIndex("cbStartingBase", 1);
        editor->cbStartingBaseChange();
    }

    // The files the save writes, as the game reads them, in kDataFiles' order.
    std::vector<std::string> gameFiles() const {
        std::vector<std::string> texts;
        for (const auto& relative : kDataFiles) {
            texts.push_back(gameText(relative));
        }
        return texts;
    }

    static inline const std::vector<std::string> kDataFiles = {
        "constants.ini",       "Equipment/misc_equip.ini", "Equipment/engine_equip.ini",
        "Equipment/goods.ini", "Ships/shiparch.ini",       "Characters/newcharacter.ini"};

    bool securityDialogs = false;
    std::unique_ptr<Editor> editor;
};

} // namespace skarvel::test
