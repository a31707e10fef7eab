#include "platform/CaseInsensitivePath.h"
#include "support/TestFiles.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace skarvel {
namespace {

using test::TempDir;
using test::writeBytes;

class CaseInsensitivePath : public ::testing::Test {
protected:
    void SetUp() override {
        // Two installs in the mixed spellings real games have.
        writeBytes(dir.path() / "fl1" / "DATA" / "SHIPS" / "shiparch.ini", "");
        writeBytes(dir.path() / "fl1" / "DATA" / "EQUIPMENT" / "Goods.ini", "");
        writeBytes(dir.path() / "fl2" / "Data" / "Ships" / "ShipArch.INI", "");
    }
    std::string root() const { return dir.path().string(); }

    TempDir dir;
};

TEST_F(CaseInsensitivePath, FindsEveryComponentAsSpelledOnDisk) {
    EXPECT_EQ(resolveCaseInsensitive(root() + "/fl1/data/Ships/shiparch.ini"),
              root() + "/fl1/DATA/SHIPS/shiparch.ini");
    EXPECT_EQ(resolveCaseInsensitive(root() + "/fl1/data/equipment/goods.ini"),
              root() + "/fl1/DATA/EQUIPMENT/Goods.ini");
    EXPECT_EQ(resolveCaseInsensitive(root() + "/FL2/DATA/SHIPS/shiparch.ini"),
              root() + "/fl2/Data/Ships/ShipArch.INI");
}

TEST_F(CaseInsensitivePath, KeepsTheGivenSpellingFromTheFirstMissingComponent) {
    EXPECT_EQ(resolveCaseInsensitive(root() + "/fl1/data/Characters/newcharacter.ini"),
              root() + "/fl1/DATA/Characters/newcharacter.ini");
    EXPECT_EQ(resolveCaseInsensitive(root() + "/fl1/data/ships/shiparch.ini.txt"),
              root() + "/fl1/DATA/SHIPS/shiparch.ini.txt");
    // A file cannot hold anything: the rest stays as given.
    EXPECT_EQ(resolveCaseInsensitive(root() + "/fl1/data/ships/shiparch.ini/X"),
              root() + "/fl1/DATA/SHIPS/shiparch.ini/X");
}

TEST_F(CaseInsensitivePath, ExactMatchWinsAndOtherwiseTheChoiceIsStable) {
    writeBytes(dir.path() / "both" / "data" / "a.ini", "");
    writeBytes(dir.path() / "both" / "DATA" / "b.ini", "");
    EXPECT_EQ(resolveCaseInsensitive(root() + "/both/data/a.ini"), root() + "/both/data/a.ini");
    EXPECT_EQ(resolveCaseInsensitive(root() + "/both/DATA/b.ini"), root() + "/both/DATA/b.ini");
    // Neither spelling matches exactly: the first in sorted order.
    EXPECT_EQ(resolveCaseInsensitive(root() + "/both/Data"), root() + "/both/DATA");
}

TEST_F(CaseInsensitivePath, KeepsTrailingSlashAndWorksOnRelativePaths) {
    EXPECT_EQ(resolveCaseInsensitive(root() + "/FL1/data/"), root() + "/fl1/DATA/");

    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    const std::string relative = resolveCaseInsensitive("fl2/DATA/ships/");
    const std::string dotted = resolveCaseInsensitive("./fl2/../fl1/data");
    std::filesystem::current_path(previous);
    EXPECT_EQ(relative, "fl2/Data/Ships/");
    EXPECT_EQ(dotted, "./fl2/../fl1/DATA");
}

} // namespace
} // namespace skarvel
