#include "gamedata/GameNames.h"
#include "journal/Journal.h"
#include "support/ManualClock.h"
#include "support/PeBuilder.h"
#include "support/TestFiles.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace skarvel::test {
namespace {

using Strings = std::map<std::uint16_t, std::u16string>;

class GameNamesTest : public ::testing::Test {
protected:
    GameNamesTest()
        : journal(tmp.folder(), "DebugOut", JournalIdentity{}, clock),
          game(tmp.folder() + "game/") {}

    void write(const std::string& relative, const std::string& bytes) {
        writeBytes(game + relative, bytes);
    }
    void writeDll(const std::string& relative, const Strings& strings) {
        write(relative, buildPe(strings).bytes);
    }

    TempDir tmp;
    ManualClock clock;
    TJournal journal;
    std::string game;
    GameNames names;
};

TEST_F(GameNamesTest, TheHighWordPicksTheFileInTheOrderOfTheResourcesSection) {
    write("Exe/FreeLancer.ini", "[Startup]\r\nDLL = startup.dll\r\n[Resources]\r\n"
                                "DLL = Second.DLL ; the mod's own\r\ndll = sub\\third.dll\r\n");
    writeDll("Exe/startup.dll", {{5, u"startup"}});
    writeDll("Exe/resources.dll", {{5, u"zero"}});
    writeDll("Exe/SECOND.dll", {{5, u"one"}});
    writeDll("Exe/Sub/Third.dll", {{5, u"two"}, {0xFFFF, u"top"}});
    names.load(journal, game);

    const struct {
        const char* ids;
        const char* text;
    } cases[] = {{"5", "zero"},      {"65541", "one"}, {"131077", "two"}, {"196607", "top"},
                 {"196613", ""},     {"6", ""},        {"", ""},          {"x5", ""},
                 {"4294967301", ""}, {"-5", ""},       {"5x", ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(names.text(c.ids), c.text) << c.ids;
    }
    EXPECT_TRUE(std::ranges::none_of(journalLines(journal.fileName()), [](const std::string& line) {
        return line.starts_with("[Warning]");
    }));
}

TEST_F(GameNamesTest, AFileIsReadAgainOnlyWhenItsSizeOrTimeChanged) {
    const std::string path = game + "EXE/resources.dll";
    writeDll("EXE/resources.dll", {{5, u"old"}});
    names.load(journal, game);
    const auto time = std::filesystem::last_write_time(path);

    // The same size and time: the names of the first read stay.
    writeDll("EXE/resources.dll", {{5, u"new"}});
    std::filesystem::last_write_time(path, time);
    names.load(journal, game);
    EXPECT_EQ(names.text("5"), "old");

    std::filesystem::last_write_time(path, time + std::chrono::seconds(1));
    names.load(journal, game);
    EXPECT_EQ(names.text("5"), "new");
}

} // namespace
} // namespace skarvel::test
