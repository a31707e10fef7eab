// Another program changes the game's files while the window has them open: the window
// notices within a second, by itself.

#include "gui/DemoWindow.h"

#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <filesystem>
#include <functional>
#include <memory>
#include <sys/stat.h>

namespace skarvel {
namespace {

using namespace test;
namespace fs = std::filesystem;

class OutsideChangeWindow : public DemoWindow {
protected:
    OutsideChangeWindow() {
        clickShip(*window, 1); // Defender, hit points 2400
    }
    ~OutsideChangeWindow() override {
        window.reset();
        journal->Release(0);
    }

    fs::path shipArch() const {
        return env.prefix / "drive_c/Games/Freelancer/DATA/SHIPS/shiparch.ini";
    }
    // As an editor saves: a new file renamed over the old one, or written in place.
    void replaceInShipArch(const std::string& from, const std::string& to, bool byRename) {
        std::string text = readBytes(shipArch());
        text.replace(text.find(from), from.size(), to);
        if (byRename) {
            writeBytes(fs::path(shipArch().string() + ".new"), text);
            fs::rename(shipArch().string() + ".new", shipArch());
        } else {
            writeBytes(shipArch(), text);
        }
    }
    bool barShown() { return control<QWidget>(*window, "panOutsideChange").isVisible(); }
};

TEST_F(OutsideChangeWindow, ChangesAreNoticedWithinASecondAndTheBarAnswers) {
    replaceInShipArch("hit_pts = 2400", "hit_pts = 2500", false);
    EXPECT_TRUE(waitUntil([&] { return fieldText(*window, "edPanzerung") == "2500"; }, 1000));
    EXPECT_FALSE(barShown());

    retype(*window, "edHoldsize", "77");
    replaceInShipArch("hit_pts = 2500", "hit_pts = 2600", true);
    ASSERT_TRUE(waitUntil([&] { return barShown(); }, 1000));
    EXPECT_EQ(control<QLabel>(*window, "labOutsideChange").text(),
              "Ships/shiparch.ini changed outside Skarvel.");
    EXPECT_EQ(fieldText(*window, "edHoldsize"), "77");
    click(control<QPushButton>(*window, "btOutsideReload"));
    EXPECT_FALSE(barShown());
    EXPECT_EQ(fieldText(*window, "edPanzerung"), "2600");

    // The watch follows the file through its replacement.
    replaceInShipArch("hit_pts = 2600", "hit_pts = 2700", false);
    EXPECT_TRUE(waitUntil([&] { return fieldText(*window, "edPanzerung") == "2700"; }, 1000));

    click(control<QToolButton>(*window, "btCloseSet"));
    EXPECT_EQ(control<QListWidget>(*window, "lbShips").count(), 0);
    EXPECT_EQ(readBytes(shipArch()).find("[Ship1]"), std::string::npos); // playable again
    click(control<QToolButton>(*window, "btRelload"));
    EXPECT_EQ(control<QListWidget>(*window, "lbShips").count(), 8);
}

// A FIFO put in a data file's place: the window names it in the bar and never waits on it.
TEST_F(OutsideChangeWindow, AFifoInAFilesPlaceIsNamedAndNeverWaitedOn) {
    const std::string text = readBytes(shipArch());
    fs::remove(shipArch());
    ASSERT_EQ(::mkfifo(shipArch().c_str(), 0600), 0);
    ASSERT_TRUE(waitUntil([&] { return barShown(); }, 2000));
    EXPECT_TRUE(
        control<QLabel>(*window, "labOutsideChange")
            .text()
            .startsWith(QStringLiteral("Ships/shiparch.ini is a FIFO, not a regular file.")));
    EXPECT_EQ(fieldText(*window, "edPanzerung"), "2400"); // the values shown stay

    fs::remove(shipArch());
    writeBytes(shipArch(), text);
    EXPECT_TRUE(waitUntil([&] { return !barShown(); }, 2000)); // taken up again
}

} // namespace
} // namespace skarvel
