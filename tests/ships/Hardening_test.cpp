// Failures injected for real: the user is told, and no file is left numbered, torn or
// changed behind the user's back.
#include "EditorSession.h"
#include "platform/Files.h"

namespace skarvel::test {
namespace {

const std::vector<std::string> kNumberedFiles = {"Equipment/misc_equip.ini",
                                                 "Equipment/engine_equip.ini",
                                                 "Equipment/goods.ini", "Ships/shiparch.ini"};

class Hardening : public EditorSession {
protected:
    ~Hardening() override { setWriteFailureForTesting({}); }

    std::vector<std::string> numberedFiles() const {
        std::vector<std::string> texts;
        for (const auto& relative : kNumberedFiles) {
            texts.push_back(gameText(relative));
        }
        return texts;
    }
    void failWritesTo(const std::string& name) {
        setWriteFailureForTesting(
            [name](const std::string& path) { return path.find(name) != std::string::npos; });
    }
};

TEST_F(Hardening, AnExitThatCannotRemoveTheNumbersAsksAndNoKeepsTheSetOpen) {
    const auto before = numberedFiles();
    editor->btRelloadClick();
    failWritesTo("shiparch");
    // No: the window and the set stay, the ship list still loads the ship it shows.
    EXPECT_FALSE(editor->closeForExit());
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[0].kind, MessageKind::Error);
    EXPECT_NE(dialogs.shown[0].text.find(gameFile("Ships/shiparch.ini")), std::string::npos);
    EXPECT_NE(dialogs.shown[0].text.find("Unable to write to"), std::string::npos);
    EXPECT_EQ(dialogs.shown[1].kind, MessageKind::Warning);
    EXPECT_TRUE(editor->dataSet().isOpen());
    click(1);
    EXPECT_EQ(form.text("edShipNickName"),
              editor->dataSet().shipArchIni().ReadValue("Ship1", "nickname", "*fail"));

    // Space freed: the next exit closes whole.
    setWriteFailureForTesting({});
    EXPECT_TRUE(editor->closeForExit());
    EXPECT_EQ(numberedFiles(), before);
}

TEST_F(Hardening, AnExitAnsweredYesLeavesNumbersThatTheNextOpenRestores) {
    const auto before = numberedFiles();
    editor->btRelloadClick();
    failWritesTo("shiparch");
    dialogs.answers = {Answer::Yes};
    EXPECT_TRUE(editor->closeForExit());
    setWriteFailureForTesting({});
    EXPECT_NE(gameText("Ships/shiparch.ini").find("[Ship0]"), std::string::npos);

    // A ship added while the numbers were left must not hide behind a second [Ship0].
    writeBytes(gameFile("Ships/shiparch.ini"),
               gameText("Ships/shiparch.ini") + "\n[Ship]\nnickname = added_ship\n");
    editor = std::make_unique<Editor>(*journal, form, dialogs, programFolder(),
                                      [this] { return securityDialogs; });
    editor->btRelloadClick();
    const int added = static_cast<int>(form.items("lbShips").size()) - 1;
    click(added);
    EXPECT_EQ(form.text("edShipNickName"), "added_ship");
    editor->CloseIniFiles();
    EXPECT_EQ(numberedFiles()[3], before[3] + "\n[Ship]\nnickname = added_ship\n");
}

// The missing file is named with its cause; the other files lose their numbers all the same,
// and with a file missing the set cannot be opened again.
TEST_F(Hardening, AFileRemovedBeforeTheExitIsNamedAndTheOthersLoseTheirNumbers) {
    editor->btRelloadClick();
    const std::string path = gameFile("Equipment/engine_equip.ini");
    const std::string engines = gameText("Equipment/engine_equip.ini");
    std::filesystem::remove(path);
    dialogs.shown.clear();
    EXPECT_FALSE(editor->closeForExit());
    ASSERT_GE(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown.back().kind, MessageKind::Warning); // exit anyway?
    EXPECT_NE(dialogs.shown[dialogs.shown.size() - 2].text.find(path + " - Unable to read " + path +
                                                                ": No such file or directory"),
              std::string::npos);
    EXPECT_EQ(gameText("Ships/shiparch.ini").find("[Ship0]"), std::string::npos);
    EXPECT_FALSE(editor->dataSet().isOpen());

    writeBytes(path, engines);
    EXPECT_TRUE(editor->closeForExit());
}

TEST_F(Hardening, OurTemporaryFilesLeftByAKilledWriteAreRemovedAtTheOpen) {
    const std::filesystem::path folder =
        std::filesystem::path(gameFile("Ships/shiparch.ini")).parent_path();
    const auto ours = folder / ("shiparch.ini" + std::string(kTemporaryMark) + "a1B2c3");
    const std::vector<std::filesystem::path> others = {folder / "shiparch.ini.bak",
                                                       folder / "shiparch.ini.skarvel-tmp-toolong",
                                                       folder / "notes.skarvel-tmp-a1B2c3"};
    writeBytes(ours, "half a file");
    for (const auto& other : others) {
        writeBytes(other, "the user's");
    }
    editor->btRelloadClick();
    EXPECT_FALSE(std::filesystem::exists(ours));
    for (const auto& other : others) {
        EXPECT_TRUE(std::filesystem::exists(other)) << other;
    }
    EXPECT_TRUE(contains(lines(), "[Warning] Temporäre Datei eines abgebrochenen Schreibens "
                                  "entfernt [" +
                                      ours.string() + "]"));
}

TEST_F(Hardening, AValueOfAnyLengthIsReadAndSavedWhole) {
    const std::string longOffset = std::string(4990, '1') + ", 25";
    const std::string shipArch = gameText("Ships/shiparch.ini");
    const auto at = shipArch.find("camera_offset = ");
    ASSERT_NE(at, std::string::npos);
    const auto end = shipArch.find('\n', at);
    writeBytes(gameFile("Ships/shiparch.ini"),
               shipArch.substr(0, at) + "camera_offset = " + longOffset + shipArch.substr(end));
    editor->btRelloadClick();
    click(0);
    EXPECT_EQ(form.text("edCameraOffset"), longOffset);
    form.setText("edPanzerung", "3900");
    editor->SAVE_INI_VALUES();
    editor->CloseIniFiles();
    EXPECT_NE(gameText("Ships/shiparch.ini").find("camera_offset = " + longOffset + "\n"),
              std::string::npos);
}

} // namespace
} // namespace skarvel::test
