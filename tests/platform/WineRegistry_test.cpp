#include "platform/WineRegistry.h"
#include "support/Errors.h"
#include "support/ScopedVariable.h"
#include "support/TestFiles.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <stdexcept>

namespace skarvel {
namespace {

namespace fs = std::filesystem;
using test::fixturePath;
using test::readBytes;
using test::TempDir;
using test::writeBytes;

const char* const GameKey = "Software\\Microsoft\\Microsoft Games\\Freelancer\\1.0";

TEST(WineRegistryParse, ReadsStringsDwordsAndEscapes) {
    const auto registry = WineRegistry::parse(readBytes(fixturePath("wine/win32-system.reg")));

    EXPECT_TRUE(registry.hasKey(GameKey));
    EXPECT_TRUE(registry.hasKey("software\\MICROSOFT\\microsoft games\\freelancer\\1.0"));
    EXPECT_TRUE(registry.hasKey("\\Software\\Microsoft\\Microsoft Games\\")); // a parent
    EXPECT_FALSE(registry.hasKey("Software\\Microsoft\\Microsoft Games\\Free"));
    EXPECT_FALSE(registry.hasKey("Software\\Skarvel"));

    const auto appPath = registry.value(GameKey, "apppath");
    ASSERT_TRUE(appPath.has_value());
    EXPECT_EQ(appPath->type, RegistryValue::Type::String);
    EXPECT_EQ(appPath->text, "C:\\Program Files\\Microsoft Games\\Freelancer");
    EXPECT_EQ(registry.value(GameKey, "InstallSource")->text, "D:\\");

    const auto language = registry.value(GameKey, "Language");
    ASSERT_TRUE(language.has_value());
    EXPECT_EQ(language->type, RegistryValue::Type::Dword);
    EXPECT_EQ(language->dword, 0x409u);
    EXPECT_EQ(registry.value(GameKey, "PID")->type, RegistryValue::Type::Other);
    EXPECT_FALSE(registry.value(GameKey, "Missing").has_value());

    const char* const versionKey = "Software\\Microsoft\\Windows\\CurrentVersion";
    // \" inside a string, \x escapes as UTF-16 code units, \n.
    EXPECT_EQ(registry.value(versionKey, "SM_GamesName")->text, "Spiele \"\xC3\xBC\" Ordner\n2");
    const auto expandable = registry.value(versionKey, "ProgramFilesPath");
    EXPECT_EQ(expandable->type, RegistryValue::Type::String);
    EXPECT_EQ(expandable->text, "%ProgramFiles%");

    EXPECT_EQ(registry.value("Software\\Classes\\.ini", "")->text, "inifile"); // @=
}

TEST(WineRegistryParse, JoinsHexValuesContinuedOverLines) {
    const auto registry = WineRegistry::parse(readBytes(fixturePath("wine/win32-system.reg")));
    const char* const environment =
        "System\\CurrentControlSet\\Control\\Session Manager\\Environment";
    const auto pathExt = registry.value(environment, "PATHEXT");
    ASSERT_TRUE(pathExt.has_value());
    EXPECT_EQ(pathExt->type, RegistryValue::Type::String);
    EXPECT_EQ(pathExt->text, ".COM;.EXE;.BAT");
    // The value after the continued one is still read.
    EXPECT_EQ(registry.value(environment, "NUMBER_OF_PROCESSORS")->text, "2");
}

TEST(WineRegistryParse, ToleratesCrLfAndBrokenLines) {
    const auto registry = WineRegistry::parse("WINE REGISTRY Version 2\r\n"
                                              "\"Orphan\"=\"no key yet\"\r\n"
                                              "[Software\\\\A] 1\r\n"
                                              "\"Unclosed=\"x\r\n"
                                              "garbage line\r\n"
                                              "\"Good\"=dword:0000001f\r\n"
                                              "\"Bad\"=dword:xyz\r\n"
                                              "[Software\\\\B\r\n"
                                              "\"Lost\"=\"1\"\r\n");
    EXPECT_TRUE(registry.hasKey("Software\\A"));
    EXPECT_EQ(registry.value("Software\\A", "Good")->dword, 31u);
    EXPECT_EQ(registry.value("Software\\A", "Bad")->type, RegistryValue::Type::Other);
    EXPECT_FALSE(registry.value("Software\\A", "Lost").has_value());
    EXPECT_FALSE(registry.hasKey("Software\\B"));
}

// A Wine prefix in a temporary folder, the way winecfg lays it out.
class FindGame : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(prefix() / "drive_c");
        fs::create_directories(prefix() / "dosdevices");
        fs::create_symlink("../drive_c", prefix() / "dosdevices" / "c:");
    }
    fs::path prefix() const { return dir.path() / "wine"; }
    void useRegistry(const std::string& fixture) {
        writeBytes(prefix() / "system.reg", readBytes(fixturePath("wine/" + fixture)));
    }
    void useRegistryText(const std::string& gameKeyLines) {
        writeBytes(prefix() / "system.reg", "WINE REGISTRY Version 2\n"
                                            ";; All keys relative to \\\\Machine\n\n"
                                            "#arch=win32\n\n"
                                            "[Software\\\\Microsoft\\\\Microsoft Games\\\\"
                                            "Freelancer\\\\1.0] 1700000123\n"
                                            "#time=1da1c2e3f4a5b61\n" +
                                                gameKeyLines);
    }

    TempDir dir;
};

TEST_F(FindGame, MapsDriveCAndResolvesMixedCaseFolders) {
    fs::create_directories(prefix() / "drive_c" / "program files" / "Microsoft Games" /
                           "FREELANCER" / "DATA");
    useRegistry("win32-system.reg");
    const auto registryBefore = readBytes(prefix() / "system.reg");

    const auto location = findGame(prefix().string());

    EXPECT_TRUE(location.keyFound);
    EXPECT_EQ(location.appPath,
              (prefix() / "drive_c" / "program files" / "Microsoft Games" / "FREELANCER").string());
    // Nothing in the prefix is written.
    EXPECT_EQ(readBytes(prefix() / "system.reg"), registryBefore);
    EXPECT_FALSE(fs::exists(prefix() / "user.reg"));
}

TEST_F(FindGame, FollowsADriveLinkFromTheWow6432NodeKey) {
    const auto drive = dir.path() / "mnt" / "games";
    fs::create_directories(drive / "GAMES" / "freelancer");
    fs::create_symlink(drive, prefix() / "dosdevices" / "d:");
    useRegistry("win64-system.reg");

    const auto location = findGame(prefix().string());

    EXPECT_TRUE(location.keyFound);
    EXPECT_EQ(location.appPath, (drive / "GAMES" / "freelancer").string());
}

TEST_F(FindGame, DriveCWithoutLinkFallsBackToDriveC) {
    fs::remove(prefix() / "dosdevices" / "c:");
    fs::create_directories(prefix() / "drive_c" / "Games" / "Freelancer");
    useRegistryText("\"AppPath\"=\"c:\\\\games\\\\freelancer\\\\\"\n");

    const auto location = findGame(prefix().string());

    EXPECT_EQ(location.appPath, (prefix() / "drive_c" / "Games" / "Freelancer").string() + "/");
}

TEST_F(FindGame, MissingPartsKeepTheGivenSpelling) {
    useRegistryText("\"AppPath\"=\"C:\\\\Games\\\\Freelancer\"\n");
    EXPECT_EQ(findGame(prefix().string()).appPath,
              (prefix() / "drive_c" / "Games" / "Freelancer").string());
}

TEST_F(FindGame, KeyWithoutAppPathGivesAnEmptyPath) {
    useRegistryText("\"Language\"=dword:00000409\n");
    const auto location = findGame(prefix().string());
    EXPECT_TRUE(location.keyFound);
    EXPECT_EQ(location.appPath, "");
}

TEST_F(FindGame, AppPathOfAnotherTypeIsAnError) {
    useRegistryText("\"AppPath\"=dword:00000001\n");
    EXPECT_EQ(test::errorOf<std::runtime_error>([&] { findGame(prefix().string()); }),
              "Invalid data type for 'AppPath'");
}

TEST_F(FindGame, NoPrefixNoRegistryOrNoKeyIsNotFound) {
    EXPECT_FALSE(findGame("").keyFound);
    EXPECT_FALSE(findGame((dir.path() / "none").string()).keyFound);
    EXPECT_FALSE(findGame(prefix().string()).keyFound);
    EXPECT_FALSE(fs::exists(prefix() / "system.reg"));

    writeBytes(prefix() / "system.reg", "WINE REGISTRY Version 2\n\n"
                                        "[Software\\\\Microsoft\\\\Microsoft Games\\\\"
                                        "Freelancer Demo\\\\1.0] 1\n\"AppPath\"=\"C:\\\\x\"\n");
    EXPECT_FALSE(findGame(prefix().string()).keyFound);
}

TEST(DefaultWinePrefix, PrefersWinePrefixOverHome) {
    const test::ScopedVariable home("HOME", "/home/pilot");
    {
        const test::ScopedVariable prefix("WINEPREFIX", "/games/wine-fl");
        EXPECT_EQ(defaultWinePrefix(), "/games/wine-fl");
    }
    const test::ScopedVariable noPrefix("WINEPREFIX", std::nullopt);
    EXPECT_EQ(defaultWinePrefix(), "/home/pilot/.wine");
}

} // namespace
} // namespace skarvel
