#include "EditorSession.h"
#include "platform/OwnFolders.h"
#include "ships/SavedMessage.h"
#include "ships/ShipSaver.h"
#include "support/ScopedVariable.h"

#include <filesystem>

namespace skarvel::test {
namespace {

TEST(SavedMessage, NamesTheCopiesFolderOnlyWhenItIsNotTheProgramFolder) {
    EXPECT_EQ(savedMessage({"/opt/skarvel/", "/opt/skarvel/", true}), kSavedMessage);
    const std::string elsewhere =
        savedMessage({"/home/p/.local/state/Skarvel/", "/home/p/.local/share/Skarvel/", false});
    EXPECT_NE(elsewhere.find("saved in\n\r/home/p/.local/share/Skarvel/data/\n\r"),
              std::string::npos)
        << elsewhere;
    EXPECT_EQ(elsewhere.rfind("                All Values have been saved\n\r", 0), 0u);
}

// A program folder the user cannot write: one that does not exist (root writes everywhere).
class ReadOnlyProgramFolderTest : public EditorSession {
protected:
    ReadOnlyProgramFolderTest() {
        editor = std::make_unique<Editor>(*journal, form, dialogs, unwritable(),
                                          [this] { return securityDialogs; });
        editor->btRelloadClick();
    }
    std::string unwritable() const { return (tmp.path() / "installed/skarvel").string(); }
    std::filesystem::path dataHome() const { return tmp.path() / "share"; }

    ScopedVariable dataVariable{"XDG_DATA_HOME", dataHome().string()};
};

TEST_F(ReadOnlyProgramFolderTest, CopiesGoToTheUsersDataFolderAndTheMessageNamesIt) {
    ASSERT_TRUE(editor->dataSet().isOpen());
    click(0);
    form.setText("edPanzerung", "3500");
    securityDialogs = true;
    const auto from = mark();
    saveByButton();

    const std::string base = (dataHome() / "Skarvel").string() + "/";
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[1].kind, MessageKind::Information);
    EXPECT_EQ(dialogs.shown[1].text, savedMessage({"", base, false}));
    EXPECT_TRUE(contains(linesSince(from),
                         "[Info   ] Kopien der veränderten INIs anlegen unter: " + base + "data"));
    editor->CloseIniFiles();
    EXPECT_EQ(readBytes(resolveCaseInsensitive(base + "data/Ships/shiparch.ini")),
              gameText("Ships/shiparch.ini"));
    EXPECT_TRUE(
        std::filesystem::is_regular_file(resolveCaseInsensitive(base + "data/constants.ini")));
    EXPECT_FALSE(std::filesystem::exists(unwritable()));
}

} // namespace
} // namespace skarvel::test
