#include "commands/OptionsCommands.h"
#include "support/GameCopy.h"
#include "support/MemoryPreferences.h"

namespace skarvel::test {
namespace {

class OptionsCommandsTest : public GameCopy {
protected:
    OptionsCommandsTest() : GameCopy("game-ships", "bini") {}

    MemoryPreferences preferences;
    OptionsCommands options{*journal, form, dialogs, preferences, programFolder()};
};

// The folder picker: the answer is taken with its slash, confirmed or cancelled, and a
// folder without a data folder is told.
TEST_F(OptionsCommandsTest, TheGameFolderIsTakenAndAFolderWithoutDataIsTold) {
    const std::string game = (tmp.path() / "game").string();
    const struct {
        std::optional<std::string> picked;
        std::string shown;
        bool told;
    } cases[] = {
        {game, game + "/", false},
        {std::nullopt, game + "/", false}, // cancelled: the folder shown stays
        {programFolder(), programFolder(), true},
    };
    for (const auto& c : cases) {
        dialogs.folders.push_back(c.picked);
        dialogs.shown.clear();
        options.btopenFlDirClick();
        EXPECT_EQ(form.text("edPfad"), c.shown);
        ASSERT_EQ(dialogs.shown.size(), c.told ? 1u : 0u) << c.shown;
        if (c.told) {
            EXPECT_EQ(dialogs.shown[0].text,
                      "This seems not to be the correct installation directory. There is no "
                      "\\data directory under this path");
        }
    }
    EXPECT_EQ(dialogs.folderInstructions.back(), "Choose FREELANCER installation directory");
    EXPECT_TRUE(contains(lines(), "[Error  ] OPENFlDIR_CLICK - Chosen Dir \"" + programFolder() +
                                      "\"data is not existant"));
}

TEST_F(OptionsCommandsTest, AConverterFolderWithoutTheConverterIsTold) {
    dialogs.files.push_back(programFolder() + "bini");
    options.btOpenFliniDirClick();
    EXPECT_EQ(form.text("edFliniDir"), programFolder());
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "Bini.exe does not exist in path \"" + programFolder() + "\"");
    EXPECT_EQ(dialogs.fileDialogs.back().initialFolder, programFolder());
}

// A stored switch that differs from its box ticks the box and counts as a click.
TEST_F(OptionsCommandsTest, StoredSwitchesReachTheirBoxes) {
    preferences.values["SecurityDialogs"] = StoredValue{true, 0, {}};
    form.setChecked("cbShowSecurityWarnings", true);
    form.setChecked("cbCheckNewVersion", true);
    options.readPreferences();
    EXPECT_FALSE(form.isChecked("cbShowSecurityWarnings"));
    EXPECT_TRUE(form.isChecked("cbCheckNewVersion"));
    EXPECT_FALSE(options.securityDialogs());
    EXPECT_TRUE(options.checkNewVersion());
    EXPECT_TRUE(contains(lines(), "[Info   ] CB_SECURITY_WARNING_CLICKED"));
    EXPECT_FALSE(contains(lines(), "[Info   ] CB_CHECK_NEW_VERSION_CLIKED"));
}

} // namespace
} // namespace skarvel::test
