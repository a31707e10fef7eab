#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/SingleCopy.h"
#include "gui/WindowTestSupport.h"
#include "journal/Journal.h"

namespace skarvel {
namespace {

using test::ModalHand;
using test::ShellEnvironment;

std::vector<std::filesystem::path> filesIn(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        files.push_back(entry.path());
    }
    return files;
}

TEST(SecondCopy, RaisesTheFirstWindowAndEndsWithoutWritingAnything) {
    ShellEnvironment env;
    env.installGameAndSilenceStart();
    ModalHand hand;
    SingleCopy first;
    ASSERT_TRUE(first.acquired());
    EXPECT_TRUE(std::filesystem::exists(env.temp / "SkarvelStartupMutex.lock"));
    TJournal journal(env.program.string(), "DebugOut");
    TformSkarvel window(journal, env.program.string(), &first);
    window.show();
    window.showMinimized();
    ASSERT_TRUE(window.isMinimized());
    EXPECT_FALSE(SingleCopy().acquired());

    const std::string journalBefore = test::readBytes(env.journalFile());
    const auto secondFolder = env.root.path() / "second";
    std::filesystem::create_directories(secondFolder);
    static char name[] = "skarvel";
    char* argv[] = {name, nullptr};
    EXPECT_EQ(runProgram(1, argv, secondFolder.string()), 0);

    EXPECT_TRUE(test::waitUntil([&] { return !window.isMinimized(); }));
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(test::waitUntil([&] { return QApplication::activeWindow() == &window; }));
    EXPECT_TRUE(filesIn(secondFolder).empty());
    EXPECT_EQ(test::readBytes(env.journalFile()), journalBefore);
    EXPECT_TRUE(hand.shown.empty());
}

} // namespace
} // namespace skarvel
