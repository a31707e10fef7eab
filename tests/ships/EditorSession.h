#pragma once

#include "ships/Editor.h"
#include "support/GameCopy.h"

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

    bool securityDialogs = false;
    std::unique_ptr<Editor> editor;
};

} // namespace skarvel::test
