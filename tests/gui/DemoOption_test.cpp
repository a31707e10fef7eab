// skarvel --demo on a fresh home: the demo game found beside the program is laid out where
// the start-up finds it, and it opens.

#include "app/MainWindow.h"
#include "gui/UserHand.h"
#include "gui/WindowTestSupport.h"
#include "journal/Journal.h"
#include "platform/SystemFacts.h"
#include "ships/DemoGame.h"
#include "support/ScriptedDialogs.h"

#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

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
    click(control<QPushButton>(window, "btRead"));
    click(control<QToolButton>(window, "btRelload"));
    EXPECT_EQ(control<QListWidget>(window, "lbShips").count(), 8);
}

} // namespace
} // namespace skarvel
