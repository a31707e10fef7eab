#include "BiniFormat.h"
#include "gamedata/GameFileRead.h"
#include "support/TestFiles.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace skarvel::test {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kOutside = "names a file outside the game folder";

// A game folder as a stranger's pull request may shape it, beside a file it must not reach.
class HostileGame : public ::testing::Test {
protected:
    HostileGame() {
        const fs::path data = tmp.path() / "game/DATA";
        writeBytes(tmp.path() / "secret.ini", "[Secret]\r\nkey = outside\r\n");
        writeBytes(tmp.path() / "elsewhere/x.ini", "[Secret]\n");
        writeBytes(data / "Ships/shiparch.ini", "[Ship]\r\nnickname = li_elite\r\n");
        writeBytes(data / "Equipment/Goods.ini", "[Good]\nnickname = gold\n");
        writeBytes(data / "nul.ini", std::string("[Good]\nnick\0name\n", 17));
        writeBytes(data / "bad.ini", "BINI\x01\x00\x00\x00garbage");
        writeBytes(data / "packed.ini", bini::fromText("[Power]\nnickname = pp\n"));
        fs::create_symlink("../../secret.ini", data / "link_out.ini");
        fs::create_directory_symlink(tmp.path() / "elsewhere", data / "LinkedFolder");
        fs::create_symlink("Ships/shiparch.ini", data / "inner_link.ini");
        fs::create_symlink("loop.ini", data / "loop.ini");
        fs::create_directory(data / "Folder.ini");
        EXPECT_EQ(::mkfifo((data / "fifo.ini").c_str(), 0600), 0);
        writeBytes(data / "big.ini", "[Ship]\n");
        fs::resize_file(data / "big.ini", kDataFileSizeCap + 1); // sparse: no real bytes
    }

    TempDir tmp;
    skarvel::GameFolderPaths game{(tmp.path() / "game").string()};
};

struct Case {
    std::string_view base, named;
    std::string_view shown;   // when read
    std::string_view refusal; // else the start of the refusal
};

TEST_F(HostileGame, EveryNamedPathIsReadInsideTheGameFolderOrRefusedWithItsReason) {
    const Case cases[] = {
        {"DATA", "ships\\SHIPARCH.ini", "DATA/Ships/shiparch.ini", {}},
        {"data", "equipment/goods.INI", "DATA/Equipment/Goods.ini", {}},
        {"DATA\\SHIPS", "..\\Equipment\\goods.ini", "DATA/Equipment/Goods.ini", {}},
        {"DATA", "inner_link.ini", "DATA/inner_link.ini", {}},
        {"DATA", "packed.ini", "DATA/packed.ini", {}},
        {"DATA", "..\\..\\secret.ini", {}, kOutside},
        {"DATA", "../DATA/../../secret.ini", {}, kOutside},
        {"DATA", "/etc/passwd", {}, kOutside},
        {"DATA", "C:\\windows\\win.ini", {}, kOutside},
        {"DATA", "link_out.ini", {}, kOutside},
        {"DATA", "LinkedFolder\\x.ini", {}, kOutside},
        {"DATA", "fifo.ini", {}, "is not a regular file"},
        {"DATA", "Folder.ini", {}, "is not a regular file"},
        {"DATA", "big.ini", {}, "is larger than the 64 MB cap"},
        {"DATA", "nul.ini", {}, "cannot be parsed: "},
        {"DATA", "bad.ini", {}, "cannot be parsed: a damaged compressed file"},
        {"DATA", "loop.ini", {}, "cannot be read: Too many levels of symbolic links"},
        {"DATA", "Universe\\universe.ini", {}, "is missing"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.base) + " + " + std::string(c.named));
        const GameFileRead read = readGameFile(game, c.base, c.named);
        if (c.refusal.empty()) {
            ASSERT_TRUE(read.ok()) << read.refusal;
            EXPECT_EQ(read.shown, c.shown);
            EXPECT_FALSE(read.ini->sections().empty());
        } else {
            EXPECT_FALSE(read.ok());
            EXPECT_TRUE(read.refusal.starts_with(c.refusal)) << read.refusal;
            EXPECT_EQ(read.ini, nullptr);
        }
    }
}

TEST_F(HostileGame, AFolderThatCannotBeListedSaysWhyInsteadOfMissing) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads every folder";
    }
    fs::permissions(tmp.path() / "game/DATA/Ships", fs::perms::none);
    const GameFileRead read = readGameFile(game, "DATA", "ships/shiparch.ini");
    fs::permissions(tmp.path() / "game/DATA/Ships", fs::perms::owner_all);
    EXPECT_EQ(read.refusal, "cannot be read: Permission denied");
}

TEST_F(HostileGame, AResolvedPathIsAnsweredAgainWithoutLookingAgain) {
    const auto first = game.resolve("DATA", "ships\\shiparch.ini");
    fs::rename(tmp.path() / "game/DATA/Ships", tmp.path() / "game/DATA/Gone");
    EXPECT_EQ(game.resolve("DATA", "ships\\shiparch.ini").path, first.path);
    EXPECT_EQ(skarvel::GameFolderPaths(game.root()).resolve("DATA", "ships\\shiparch.ini").refusal,
              "is missing");
}

} // namespace
} // namespace skarvel::test
