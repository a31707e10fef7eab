// A termination request (here SIGTERM) that comes while a dialog is open: the whole program,
// run in-process, must end with every data file free of section numbers, whichever dialog
// was open and whatever its command would have done next.

#include "app/MainWindow.h"
#include "app/Program.h"
#include "gui/UserHand.h"
#include "gui/WindowTestSupport.h"

#include <QPushButton>
#include <QToolButton>
#include <algorithm>
#include <csignal>
#include <functional>
#include <map>

namespace skarvel {
namespace {

using namespace test;
namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;

Files dataFiles(const fs::path& data) {
    Files files;
    for (const auto& entry : fs::recursive_directory_iterator(data)) {
        if (entry.is_regular_file()) {
            files[entry.path().lexically_relative(data).string()] = readBytes(entry.path());
        }
    }
    return files;
}

bool numbered(const std::string& bytes) {
    for (const char* header : {"[Ship0]", "[Good0]", "[Power0]", "[Engine0]"}) {
        if (bytes.find(header) != std::string::npos) {
            return true;
        }
    }
    return false;
}

TformSkarvel* runningWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<TformSkarvel*>(widget)) {
            return window;
        }
    }
    return nullptr;
}

void terminate() {
    std::raise(SIGTERM);
}

struct DialogCase {
    const char* dialog;
    bool saved; // the hit points typed before the dialog reach the file
    std::function<void(TformSkarvel&, ModalHand&)> bringUp;
};

TEST(Termination, WhileADialogIsOpenEndsTheProgramWithPlainFiles) {
    const std::vector<DialogCase> cases = {
        {"the message after a save", true,
         [](TformSkarvel& window, ModalHand& hand) {
             control<QAbstractButton>(window, "cbShowSecurityWarnings").click(); // the message
             hand.press(QMessageBox::Yes).meanwhile(terminate);
             control<QToolButton>(window, "btSave").click();
         }},
        {"the question before a save", false,
         [](TformSkarvel& window, ModalHand& hand) {
             hand.meanwhile(terminate);
             control<QToolButton>(window, "btSave").click();
         }},
        {"the file dialog", false,
         [](TformSkarvel& window, ModalHand& hand) {
             hand.meanwhile(terminate);
             control<QAbstractButton>(window, "btOpenFliniDir").click();
         }},
        {"the folder picker", false,
         [](TformSkarvel& window, ModalHand& hand) {
             hand.meanwhile(terminate);
             control<QAbstractButton>(window, "btopenFlDir").click();
         }},
        {"the About window", false,
         [](TformSkarvel& window, ModalHand& hand) {
             hand.meanwhile(terminate);
             control<QToolButton>(window, "btInfo").click();
         }},
    };
    for (const DialogCase& with : cases) {
        SCOPED_TRACE(with.dialog);
        ShellEnvironment env;
        const fs::path data = env.installGame() + "DATA";
        copyFixture("game-mixed/game", fs::path(data).parent_path());
        copyFixture("game-mixed/program", env.program);
        fs::copy_file(SKARVEL_BINI_PATH, env.program / "bini");
        env.silenceStart();
        const Files before = dataFiles(data);
        ModalHand hand;
        bool reached = false;
        QTimer::singleShot(0, [&] {
            TformSkarvel* window = runningWindow();
            ASSERT_NE(window, nullptr);
            control<QPushButton>(*window, "btRead").click();
            control<QToolButton>(*window, "btRelload").click();
            ASSERT_TRUE(numbered(readBytes(data / "SHIPS" / "shiparch.ini")));
            clickShip(*window, 1);
            retype(*window, "edPanzerung", "4321");
            reached = true;
            with.bringUp(*window, hand);
        });
        QTimer watchdog;
        watchdog.callOnTimeout([] { QCoreApplication::exit(99); });
        watchdog.start(30000);
        static char name[] = "skarvel";
        char* argv[] = {name, nullptr};

        EXPECT_EQ(runProgram(1, argv, env.program.string()), 0);
        EXPECT_TRUE(reached);
        EXPECT_TRUE(hand.allAnswered());
        EXPECT_TRUE(hand.unexpected.empty());
        const Files after = dataFiles(data);
        for (const auto& [file, bytes] : after) {
            EXPECT_FALSE(numbered(bytes)) << file;
        }
        EXPECT_EQ(after != before, with.saved);
        EXPECT_EQ(after.at("SHIPS/shiparch.ini").find("4321") != std::string::npos, with.saved);
        const auto lines = env.journal();
        const auto ending = std::find(lines.begin(), lines.end(),
                                      "[System ] Programm wird von au\xdf"
                                      "en beendet");
        ASSERT_NE(ending, lines.end());
        const std::vector<std::string> rest(ending, lines.end());
        EXPECT_FALSE(contains(rest, "[Begin  ] OPEN_INI_FILES"));
        EXPECT_TRUE(contains(rest, "[Info   ] Inis freed"));
    }
}

} // namespace
} // namespace skarvel
