// skarvel --demo on a fresh home: the demo game found beside the program is laid out where
// the start-up finds it, and READ & UNDERSTOOD opens it.

#include "app/MainWindow.h"
#include "commands/DemoGame.h"
#include "gui/UserHand.h"
#include "gui/WindowTestSupport.h"
#include "journal/Journal.h"
#include "platform/SystemFacts.h"
#include "support/ScriptedDialogs.h"

#include <QListWidget>
#include <QPushButton>

namespace skarvel {
namespace {

using namespace test;

TEST(DemoOption, AFreshHomeGetsAGameThatOpens) {
    ShellEnvironment env;
    const ScopedVariable dataHome("XDG_DATA_HOME", (env.root.path() / "data").string());
    env.installProgramFiles();
    env.silenceStart();
    ScriptedDialogs dialogs;
    // The test program lies in the build's program folder, beside its demo-game/.
    const std::string game = useDemoGame(dialogs, executableFolder());
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(game, (env.root.path() / "data/Skarvel/demo/drive_c/Games/Freelancer/").string());

    ModalHand hand;
    TJournal journal(env.program.string(), "DebugOut");
    TformSkarvel window(journal, env.program.string());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(control<QLineEdit>(window, "edPfad").text().toStdString(), game);
    window.openWhenRead(); // as skarvel --demo starts it
    click(control<QPushButton>(window, "btRead"));
    EXPECT_EQ(control<QListWidget>(window, "lbShips").count(), 8);
}

} // namespace
} // namespace skarvel
