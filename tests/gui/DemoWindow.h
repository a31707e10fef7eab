#pragma once

#include "app/MainWindow.h"
#include "gui/UserHand.h"
#include "gui/WindowTestSupport.h"
#include "journal/Journal.h"

#include <QPushButton>
#include <QToolButton>
#include <memory>

namespace skarvel::test {

// The demo game opened in a window that asks nothing at start: read-first confirmed and the
// open button pressed.
class DemoWindow : public ::testing::Test {
protected:
    DemoWindow() {
        env.installDemoGame();
        env.silenceStart();
        journal = std::make_unique<TJournal>(env.program.string(), "DebugOut");
        window = std::make_unique<TformSkarvel>(*journal, env.program.string());
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        click(control<QPushButton>(*window, "btRead"));
        click(control<QToolButton>(*window, "btRelload"));
    }

    ShellEnvironment env;
    ModalHand hand;
    std::unique_ptr<TJournal> journal;
    std::unique_ptr<TformSkarvel> window;
};

} // namespace skarvel::test
