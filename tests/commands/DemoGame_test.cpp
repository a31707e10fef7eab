#include "commands/DemoGame.h"
#include "platform/WineRegistry.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFiles.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <stdexcept>

namespace skarvel {
namespace {

namespace fs = std::filesystem;
using test::readBytes;
using test::writeBytes;

const fs::path kShipped = fs::path(SKARVEL_TEST_DATA_DIR) / "../../resources/demo-game";
const std::string kShiparch = "DATA/SHIPS/shiparch.ini";

// A fresh copy unless the user keeps the one there; the prefix around it is always whole.
TEST(DemoGame, AFreshCopyUnlessTheUserKeepsTheOneThere) {
    struct Case {
        const char* name;
        bool earlierCopy;
        std::optional<Answer> answer; // nullopt: no question expected
        bool editKept;
    };
    for (const Case& c :
         {Case{"first run", false, std::nullopt, false}, Case{"kept", true, Answer::No, true},
          Case{"replaced", true, Answer::Yes, false}}) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        const DemoGame demo(kShipped.string(), dir.folder() + "demo/");
        const fs::path game = demo.gameFolder();
        test::ScriptedDialogs dialogs;
        if (c.earlierCopy) {
            demo.prepare(dialogs);
            writeBytes(game / kShiparch, "edited");
            fs::remove(dir.path() / "demo/system.reg");
        }
        if (c.answer) {
            dialogs.answers.push_back(*c.answer);
        }
        const std::size_t asked = dialogs.shown.size();
        demo.prepare(dialogs);

        ASSERT_EQ(dialogs.shown.size(), asked + (c.answer ? 1 : 0));
        if (c.answer) {
            EXPECT_EQ(dialogs.shown.back().kind, MessageKind::Confirmation);
            EXPECT_EQ(dialogs.shown.back().text, "A demo game from an earlier run is in " +
                                                     game.string() +
                                                     ". Replace it with a fresh copy?");
        }
        EXPECT_EQ(readBytes(game / kShiparch),
                  c.editKept ? "edited" : readBytes(kShipped / kShiparch));
        EXPECT_EQ(readBytes(game / "DATA/EQUIPMENT/misc_equip.ini").substr(0, 4), "BINI");
        const GameLocation found = findGame(demo.prefix());
        EXPECT_TRUE(found.keyFound);
        EXPECT_EQ(found.appPath + "/", demo.gameFolder());
        EXPECT_FALSE(fs::exists(game.parent_path().parent_path() / ".Freelancer-new"));
    }
}

TEST(DemoGame, WithoutTheShippedGameTheCopyThereStaysAsItWas) {
    test::TempDir dir;
    test::ScriptedDialogs dialogs;
    const DemoGame shipped(kShipped.string(), dir.folder());
    shipped.prepare(dialogs);
    writeBytes(fs::path(shipped.gameFolder()) / kShiparch, "edited");

    dialogs.answers.push_back(Answer::Yes);
    EXPECT_THROW(DemoGame((dir.path() / "missing").string(), dir.folder()).prepare(dialogs),
                 std::runtime_error);
    EXPECT_EQ(readBytes(fs::path(shipped.gameFolder()) / kShiparch), "edited");
}

// Installed: share/skarvel/demo-game beside lib/skarvel/; built: demo-game/ beside the program.
TEST(DemoGame, TheShippedGameIsFoundBesideTheProgram) {
    test::TempDir dir;
    const fs::path installed = dir.path() / "usr/share/skarvel/demo-game";
    const fs::path built = dir.path() / "build/demo-game";
    for (const fs::path& folder : {installed, built, dir.path() / "usr/lib/skarvel"}) {
        fs::create_directories(folder);
    }
    EXPECT_EQ(shippedDemoGame((dir.path() / "usr/lib/skarvel").string()), "");
    fs::create_directories(installed / "DATA");
    fs::create_directories(built / "DATA");
    EXPECT_EQ(shippedDemoGame((dir.path() / "usr/lib/skarvel").string()), installed.string());
    EXPECT_EQ(shippedDemoGame((dir.path() / "build").string()), built.string());
}

} // namespace
} // namespace skarvel
