#include "EditorSession.h"

namespace skarvel::test {
namespace {

// The disk under the journal fills up in the middle of the run: the save, its copies and
// the close still run to their end, and the user is told once.
TEST_F(EditorSession, ASaveRunsToItsEndWhileTheJournalCannotBeWritten) {
    std::vector<std::string> problems;
    journal->setFailureHandler([&](const std::string& problem) { problems.push_back(problem); });
    editor->btRelloadClick();
    click(2);
    journal->redirectForTesting("/dev/full");

    form.setText("edPanzerung", "1300");
    editor->markChanged();
    saveByButton();
    EXPECT_FALSE(editor->valuesChanged());
    editor->CloseIniFiles();
    EXPECT_FALSE(editor->dataSet().isOpen());
    journal->Release(0);

    const std::string shipArch = gameText("Ships/shiparch.ini");
    EXPECT_NE(shipArch.find("hit_pts = 1300\n"), std::string::npos);
    EXPECT_EQ(shipArch.find("[Ship0]"), std::string::npos);
    EXPECT_NE(readBytes(resolveCaseInsensitive(programFolder() + "data/Ships/shiparch.ini"))
                  .find("hit_pts = 1300\n"),
              std::string::npos);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("No space left on device"), std::string::npos);
}

} // namespace
} // namespace skarvel::test
