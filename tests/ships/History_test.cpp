// Going back: the states of the undo history, the last save undone from its backup, and
// the way back from every question about unsaved changes.
#include "EditorSession.h"
#include "platform/Files.h"
#include "ports/Controls.h"

#include <filesystem>
#include <functional>

namespace skarvel::test {
namespace {

class History : public EditorSession {
protected:
    History() {
        editor->btRelloadClick();
        click(0);
    }

    // A digit typed at the end of a field, as the key handler sees it before the field.
    void typeDigit(const std::string& field, char digit, void (EngineValues::*handler)(int&)) {
        int key = digit;
        (editor->engineValues().*handler)(key);
        form.setText(field, form.text(field) + digit);
    }
};

TEST_F(History, EditsOnEveryPageUndoneStepByStepLeaveNothingToSave) {
    const auto files = gameFiles();
    std::vector<EditState> states{editor->editState()};
    const std::vector<std::function<void()>> edits = {
        [&] { typeDigit("edEngineMaxForce", '7', &EngineValues::edEngineMaxForceKeyDown); },
        [&] { form.setText("edHoldsize", "77"); },
        [&] { form.setText("edMaxSpeed", "390"); },
        [&] {
            form.setSelectedIndex("cbStartingBase", 1);
            editor->cbStartingBaseChange();
        },
        [&] {
            form.setSelectedIndex("cbWeaponHP", 0);
            editor->hardpoints().cbWeaponHPChange();
            form.setText("edWeaponHPLevel", "9");
            editor->hardpoints().edWeaponHPLevelChange();
        },
        [&] { editor->constantsEdit("ValueListEditor1", 0, "123"); },
    };
    for (const auto& edit : edits) {
        edit();
        states.push_back(editor->editState());
        EXPECT_NE(states.back(), states[states.size() - 2]);
    }

    // Undo, one step after the other: each earlier state comes back whole.
    for (std::size_t step = states.size() - 1; step-- > 0;) {
        editor->restoreEditState(states[step]);
        EXPECT_EQ(editor->editState(), states[step]) << step;
    }
    EXPECT_TRUE(editor->pendingSave().empty());
    EXPECT_FALSE(editor->valuesChanged());
    // Redo brings the last one back, with its changes to save.
    editor->restoreEditState(states.back());
    EXPECT_FALSE(editor->pendingSave().empty());
    editor->restoreEditState(states.front());

    saveByButton();
    EXPECT_EQ(gameFiles(), files);
    EXPECT_EQ(dialogs.shown.back().text, kNothingToSave);
}

TEST_F(History, TheDerivedSpeedsFollowAnUndo) {
    const EditState loaded = editor->editState();
    const std::string speed = form.text("edEngineSpeed");
    typeDigit("edEngineMaxForce", '5', &EngineValues::edEngineMaxForceKeyDown);
    ASSERT_NE(form.text("edEngineSpeed"), speed);
    editor->restoreEditState(loaded);
    EXPECT_EQ(form.text("edEngineSpeed"), speed);
}

TEST_F(History, UndoLastSaveRestoresTheFilesOfBeforeIt) {
    editor->undoLastSave();
    EXPECT_EQ(dialogs.shown.back().text, kNoSaveToUndo);

    form.setText("edHoldsize", "77");
    saveByButton();
    const std::string saved = "hold_size = 77";
    ASSERT_NE(gameText("Ships/shiparch.ini").find(saved), std::string::npos);
    dialogs.answers.push_back(Answer::Yes);
    editor->undoLastSave();
    ASSERT_GE(dialogs.shown.size(), 2u);
    EXPECT_NE(dialogs.shown[dialogs.shown.size() - 2].text.find("These files will be replaced:"),
              std::string::npos);
    EXPECT_EQ(gameText("Ships/shiparch.ini").find(saved), std::string::npos);
}

// A failed undo says what became of the files, and opens the set again only on files it
// left as they were.
TEST_F(History, AnUndoThatFailsSaysWhatBecameOfTheFiles) {
    struct Case {
        const char* what;
        bool renameFails; // the trade file is a folder now: the last rename fails
        const char* ending;
        bool open;
    };
    const std::vector<Case> cases = {
        {"a temporary cannot be written", false, "\n\rThe data files were left as they were.",
         true},
        {"a rename fails", true, "\n\rThe data set stays closed.", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string market = gameFile("Equipment") + "/market_commodities.ini";
        std::filesystem::remove_all(market);
        writeBytes(market, "[BaseGood]\nbase = b\n");
        const std::string character = gameText("Characters/newcharacter.ini");
        editor->btRelloadClick();
        click(0);
        form.setText("edHoldsize", "77");
        // Another base each time, so that each save changes the file.
        form.setSelectedIndex("cbStartingBase", 1 + static_cast<int>(&c - cases.data()));
        editor->cbStartingBaseChange();
        saveByButton();
        ASSERT_NE(gameText("Characters/newcharacter.ini"), character);
        if (c.renameFails) {
            std::filesystem::remove(market);
            std::filesystem::create_directory(market);
        } else {
            setWriteFailureForTesting(
                [](const std::string& path) { return path.ends_with("newcharacter.ini"); });
        }
        const std::vector<std::string> before = gameFiles();
        dialogs.answers.push_back(Answer::Yes);
        editor->undoLastSave();
        setWriteFailureForTesting({});

        const std::string& text = dialogs.shown.back().text;
        EXPECT_TRUE(text.ends_with(c.ending)) << text;
        EXPECT_EQ(editor->dataSet().isOpen(), c.open);
        EXPECT_EQ(form.items("lbShips").empty(), !c.open);
        if (c.open) {
            EXPECT_EQ(gameFiles(), before);
        } else {
            EXPECT_NE(text.find("These files were not restored:\n\r" + market), std::string::npos)
                << text;
            EXPECT_EQ(gameText("Characters/newcharacter.ini"), character);
        }
    }
}

struct Question {
    std::string name;
    std::function<void(Editor&, MemoryForm&)> ask;
};

class CancelledQuestion : public History, public ::testing::WithParamInterface<Question> {};

TEST_P(CancelledQuestion, LeavesTheShipAndItsEditsAsTheyWere) {
    form.setText("edHoldsize", "77");
    editor->markChanged();
    dialogs.answers.push_back(Answer::Cancel);
    GetParam().ask(*editor, form);
    EXPECT_EQ(form.selectedIndex("lbShips"), 0);
    EXPECT_EQ(form.text("edHoldsize"), "77");
    EXPECT_TRUE(editor->dataSet().isOpen());
    EXPECT_FALSE(editor->pendingSave().empty());
}

INSTANTIATE_TEST_SUITE_P(
    UnsavedChanges, CancelledQuestion,
    ::testing::Values(
        Question{"ShipChange",
                 [](Editor& editor, MemoryForm& form) {
                     form.setSelectedIndex("lbShips", 1);
                     editor.lbShipsClick();
                 }},
        Question{"Reload", [](Editor& editor, MemoryForm&) { editor.btRelloadClick(); }},
        Question{"Close", [](Editor& editor, MemoryForm&) { editor.btCloseSetClick(); }},
        Question{"Exit",
                 [](Editor& editor, MemoryForm&) { EXPECT_FALSE(editor.FormClose(false)); }}),
    [](const auto& param) { return param.param.name; });

} // namespace
} // namespace skarvel::test
