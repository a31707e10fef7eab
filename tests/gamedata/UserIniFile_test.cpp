#include "gamedata/IniEngine.h"
#include "gamedata/UserIniFile.h"
#include "journal/Journal.h"
#include "support/Errors.h"
#include "support/Golden.h"
#include "support/ManualClock.h"
#include "support/TestFiles.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace skarvel {
namespace {

using test::readBytes;
using test::TempDir;
using test::writeBytes;

class UserIniFileTest : public ::testing::Test {
protected:
    std::vector<std::string> journalTail() const {
        auto lines = test::journalLines(journal.fileName());
        lines.erase(lines.begin()); // the journal's own start line
        return lines;
    }
    std::string fileIn(const std::string& name) const { return (dir.path() / name).string(); }

    TempDir dir;
    test::ManualClock clock;
    TJournal journal{dir.folder(), "DebugOut", JournalIdentity{"skarvel", "0.6", "host", "user"},
                     clock};
};

struct Write {
    std::string section, key, value;
};

struct GoldenCase {
    std::string folder;
    std::vector<Write> writes;
    bool refused = false;
};

std::ostream& operator<<(std::ostream& out, const GoldenCase& golden) {
    return out << golden.folder;
}

// Each folder of tests/data/ini holds input.ini (absent: no file yet) and the expected bytes
// after the writes.
const GoldenCase kGoldenCases[] = {
    {"replace_crlf", {{"Ship3", "hit_pts", "4200"}}},
    {"keys_without_values",
     {{"Ship", "NANOBOT_LIMIT", "20"},
      {"ship", "shield_battery_limit", "15"},
      {"Ship", "hold_size", "40"}}},
    {"repeated",
     {{"SHIP", "nickname", "changed"}, {"Ship", "hp_type", "hp_gun_special_2, HpWeapon03"}}},
    {"new_key_lf", {{"Power", "charge_rate", "90"}}},
    {"mixed_new_section", {{"Added", "key", "value"}}},
    {"no_final_line_end", {{"A", "new", "2"}}},
    {"single_line", {{"A", "k", "v"}, {"B", "k", "w"}}},
    {"section_without_keys", {{"Empty", "first", "1"}}},
    {"tabs_and_blanks", {{"Ship", "mass", "130.5"}, {"Ship", "linear_drag", "2.25"}}},
    {"non_ascii", {{"Base", "name", "K\xf6ln"}, {"Base", "money", "5000"}}},
    {"quotes", {{"Text", "quoted", "plain"}}},
    {"long_value", {{"Long", "value", "short"}}},
    {"byte_order_mark", {{"First", "k", "2"}}},
    {"nul_byte", {{"Ship", "k", "2"}}, true},
    {"new_file", {{"Ship0", "hit_pts", "4200"}}},
};

class GoldenWriteTest : public UserIniFileTest, public ::testing::WithParamInterface<GoldenCase> {};

TEST_P(GoldenWriteTest, WritesExactlyTheExpectedBytes) {
    const GoldenCase& golden = GetParam();
    const auto input = test::fixturePath("ini/" + golden.folder + "/input.ini");
    const std::string path = fileIn("file.ini");
    if (std::filesystem::exists(input)) {
        writeBytes(path, readBytes(input));
    }

    TUserIniFile ini(path, journal);
    for (const auto& write : golden.writes) {
        if (golden.refused) {
            EXPECT_EQ(test::errorOf<std::runtime_error>([&] {
                          ini.WriteString(write.section, write.key, write.value);
                      }).rfind("Unable to write to " + path + ": ", 0),
                      0u);
            continue;
        }
        ini.WriteString(write.section, write.key, write.value);
        EXPECT_EQ(ini.ReadValue(write.section, write.key, "*fail"), write.value);
    }
    ini.Flush();

    const std::string bytes = readBytes(path);
    EXPECT_EQ(bytes, test::golden("ini/" + golden.folder + "/expected.ini", bytes));
    const auto lines = journalTail();
    const auto written = std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.find("TUserIniFile_WRITE_STRING") != std::string::npos;
    });
    EXPECT_EQ(written, golden.refused ? 0 : static_cast<long>(golden.writes.size()));
}

INSTANTIATE_TEST_SUITE_P(Golden, GoldenWriteTest, ::testing::ValuesIn(kGoldenCases),
                         [](const auto& test) { return test.param.folder; });

TEST_F(UserIniFileTest, ReadsLikeTheProfileFunctions) {
    const std::string path = test::fixturePath("ini/lookups/input.ini").string();
    TUserIniFile ini(path, journal);

    struct Lookup {
        const char* section;
        const char* key;
        const char* defaultValue;
        std::string expected;
    };
    const Lookup lookups[] = {
        {"Ship", "nickname", "*fail", "li_fighter"}, // first key, case, trailing comment
        {"ship", "IDS_NAME", "", "237033"},          // tabs and blanks trimmed
        {"Ship", "empty", "*fail", ""},
        {"Ship", "blank_only", "*fail", ""},
        {"Ship", "alone", "*fail", ""}, // a key line without "="
        {"Ship", "quoted", "", "  in quotes "},
        {"Ship", "single", "", "\""},
        {"Ship", "semi", "", "a"},
        {"Ship", "extra", "*fail", "*fail"},          // only in the second [SHIP]
        {"Ship", "long", "", std::string(5000, 'y')}, // whole, past the old 2047 limit
        {"Ship", "high", "", "\xf6l"},
        {"Ship", "orphan", "*fail", "*fail"}, // before the first section
        {"Money", "money", "0", "2000"},
        {"spaced name", "k", "", "v"},
        {"Missing", "k", "*fail", "*fail"},
        {"Ship", "missing", "Unknown Ship (editable)", "Unknown Ship (editable)"},
    };
    for (const auto& lookup : lookups) {
        EXPECT_EQ(ini.ReadValue(lookup.section, lookup.key, lookup.defaultValue), lookup.expected)
            << "[" << lookup.section << "] " << lookup.key;
    }

    EXPECT_EQ(ini.ListSections(),
              (std::vector<std::string>{"Ship", "SHIP", "Money", "spaced name"}));
    EXPECT_EQ(ini.ListKeys("SHIP"),
              (std::vector<std::string>{"NickName", "ids_name", "empty", "blank_only", "alone",
                                        "quoted", "single", "semi", "nickname", "long", "high"}));
    EXPECT_TRUE(ini.ListKeys("Nowhere").empty());
}

TEST_F(UserIniFileTest, MissingFileGivesDefaultsAndNoSections) {
    const std::string path = fileIn("missing.ini");
    TUserIniFile ini(path, journal);

    EXPECT_EQ(ini.ReadValue("Ship", "ids_name", "*fail"), "*fail");
    EXPECT_TRUE(ini.ListSections().empty());
    EXPECT_TRUE(ini.ListKeys("Ship").empty());
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(journalTail(),
              std::vector<std::string>{"[System ] TUserIniFile_CREATE [ " + path + " ]"});
}

TEST_F(UserIniFileTest, FileWithNulByteIsNotText) {
    const std::string path = fileIn("packed.ini");
    writeBytes(path, readBytes(test::fixturePath("ini/nul_byte/input.ini")));
    TUserIniFile ini(path, journal);

    EXPECT_TRUE(ini.ListSections().empty());
    EXPECT_EQ(ini.ReadValue("Ship", "k", "*fail"), "*fail");
}

TEST_F(UserIniFileTest, JournalsCreationAndNonEmptyWritesOnly) {
    const std::string path = fileIn("shiparch.ini");
    const std::string before = "[Ship3]\r\nhit_pts = 3500\r\n";
    writeBytes(path, before);
    {
        TUserIniFile ini(path, journal);
        ini.WriteString("Ship3", "hit_pts", "");
        EXPECT_EQ(readBytes(path), before);
        ini.WriteString("Ship3", "hit_pts", "4200");
    }

    EXPECT_EQ(readBytes(path), "[Ship3]\r\nhit_pts = 4200\r\n");
    EXPECT_EQ(journalTail(), (std::vector<std::string>{
                                 "[System ] TUserIniFile_CREATE [ " + path + " ]",
                                 "[Data   ] TUserIniFile_WRITE_STRING - [Ship3] hit_pts = 4200",
                             }));
}

TEST_F(UserIniFileTest, EmptyWriteDoesNotCreateAFile) {
    const std::string path = fileIn("none.ini");
    TUserIniFile ini(path, journal);
    ini.WriteString("Ship", "k", "");
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(UserIniFileTest, FailedWritesThrowAndJournalNothing) {
    const std::string readOnly = fileIn("readonly.ini");
    writeBytes(readOnly, "[S]\r\nk = 1\r\n");
    ::chmod(readOnly.c_str(), 0444);
    const std::string noFolder = fileIn("no/such/folder.ini");
    const std::string plain = fileIn("plain.ini");
    writeBytes(plain, "[S]\r\nk = 1\r\nnext = 2\r\n");

    struct Failure {
        std::string path, section, key, value, cause;
    };
    const std::string breaks = "a name or value that would break its line";
    const Failure failures[] = {
        {readOnly, "S", "k", "2", "Permission denied"},
        {noFolder, "S", "k", "2", "No such file or directory"},
        {plain, "S", "k", "2\r\nnext = 3", breaks}, // would change another key
        {plain, "S", "k\nx", "2", breaks},
        {plain, "S\r", "k", "2", breaks},
    };
    for (const auto& failure : failures) {
        TUserIniFile ini(failure.path, journal);
        EXPECT_EQ(test::errorOf<std::runtime_error>(
                      [&] { ini.WriteString(failure.section, failure.key, failure.value); }),
                  "Unable to write to " + failure.path + ": " + failure.cause);
    }

    EXPECT_EQ(readBytes(readOnly), "[S]\r\nk = 1\r\n");
    EXPECT_EQ(readBytes(plain), "[S]\r\nk = 1\r\nnext = 2\r\n");
    EXPECT_FALSE(std::filesystem::exists(noFolder));
    for (const auto& line : journalTail()) {
        EXPECT_EQ(line.find("WRITE_STRING"), std::string::npos) << line;
    }
}

TEST_F(UserIniFileTest, SeesChangesMadeOnDiskBetweenCalls) {
    const std::string path = fileIn("goods.ini");
    writeBytes(path, "[Good0]\r\nprice = 1000\r\n");
    TUserIniFile ini(path, journal);
    EXPECT_EQ(ini.ReadValue("Good0", "price", ""), "1000");

    // Same size, same inode, written in place; only the modification time tells.
    writeBytes(path, "[Good0]\r\nprice = 2000\r\n");
    const timespec times[2] = {{1000000000, 5}, {1000000000, 7}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    EXPECT_EQ(ini.ReadValue("Good0", "price", ""), "2000");

    // A line-based rewrite by others, then our own write on top of it.
    writeBytes(path, "[Good0]\r\nprice = 3000\r\n[Good1]\r\nprice = 4\r\n");
    EXPECT_EQ(ini.ListSections(), (std::vector<std::string>{"Good0", "Good1"}));
    ini.WriteString("Good1", "price", "5");
    EXPECT_EQ(readBytes(path), "[Good0]\r\nprice = 3000\r\n[Good1]\r\nprice = 5\r\n");

    std::filesystem::remove(path);
    EXPECT_EQ(ini.ReadValue("Good0", "price", "*fail"), "*fail");
}

TEST_F(UserIniFileTest, AReadOnlyPhaseChecksEachFileOnceAndKeepsItsOwnWrites) {
    const std::string path = fileIn("goods.ini");
    writeBytes(path, "[Good0]\r\nprice = 1000\r\n");
    TUserIniFile ini(path, journal);
    {
        const ini::ReadOnlyPhase phase;
        EXPECT_EQ(ini.ReadValue("Good0", "price", ""), "1000");
        writeBytes(path, "[Good0]\r\nprice = 2000\r\n[Good1]\r\n");
        EXPECT_EQ(ini.ReadValue("Good0", "price", ""), "1000"); // trusted within the phase
        ini.WriteString("Good0", "price", "3000");
        EXPECT_EQ(ini.ReadValue("Good0", "price", ""), "3000");
    }
    // Our write replaced the file; outside a phase every call checks it again.
    EXPECT_EQ(readBytes(path), "[Good0]\r\nprice = 3000\r\n[Good1]\r\n");
    writeBytes(path, "[Good0]\r\nprice = 4000\r\n");
    EXPECT_EQ(ini.ReadValue("Good0", "price", ""), "4000");
}

TEST_F(UserIniFileTest, ABatchWritesEachFileOnceWhenItEnds) {
    const std::string ships = fileIn("shiparch.ini");
    const std::string goods = fileIn("goods.ini");
    writeBytes(ships, "[Ship0]\r\nhit_pts = 1\r\nmass = 2\r\n");
    writeBytes(goods, "[Good0]\r\nprice = 3\r\n");
    TUserIniFile shipArch(ships, journal);
    TUserIniFile goodsIni(goods, journal);
    {
        ini::WriteBatch batch;
        shipArch.WriteString("Ship0", "hit_pts", "100");
        shipArch.WriteString("Ship0", "mass", "200");
        goodsIni.WriteString("Good0", "price", "300");
        EXPECT_EQ(shipArch.ReadValue("Ship0", "hit_pts", ""), "100");
        EXPECT_EQ(readBytes(ships), "[Ship0]\r\nhit_pts = 1\r\nmass = 2\r\n");
        batch.commit();
    }
    EXPECT_EQ(readBytes(ships), "[Ship0]\r\nhit_pts = 100\r\nmass = 200\r\n");
    EXPECT_EQ(readBytes(goods), "[Good0]\r\nprice = 300\r\n");

    // A file another program changed meanwhile is left to it, and so is every later file.
    {
        ini::WriteBatch batch;
        shipArch.WriteString("Ship0", "hit_pts", "111");
        goodsIni.WriteString("Good0", "price", "333");
        writeBytes(ships, "[Ship0]\r\nhit_pts = 9\r\n");
        EXPECT_THROW(
            {
                try {
                    batch.commit();
                } catch (const std::runtime_error& error) {
                    EXPECT_EQ(std::string(error.what()),
                              "Unable to write to " + ships +
                                  ": changed by another program meanwhile");
                    throw;
                }
            },
            std::runtime_error);
    }
    EXPECT_EQ(shipArch.ReadValue("Ship0", "hit_pts", ""), "9");
    EXPECT_EQ(goodsIni.ReadValue("Good0", "price", ""), "300");

    // A write refused at once ends the command, and nothing of the batch reaches the disk.
    std::filesystem::permissions(goods, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_THROW(
        {
            ini::WriteBatch batch;
            shipArch.WriteString("Ship0", "hit_pts", "42");
            goodsIni.WriteString("Good0", "price", "1");
            batch.commit();
        },
        std::runtime_error);
    EXPECT_EQ(readBytes(ships), "[Ship0]\r\nhit_pts = 9\r\n");
    EXPECT_EQ(shipArch.ReadValue("Ship0", "hit_pts", ""), "9");
    EXPECT_EQ(readBytes(goods), "[Good0]\r\nprice = 300\r\n");
}

TEST_F(UserIniFileTest, TwoObjectsOnOneFileSeeEachOthersWrites) {
    const std::string path = fileIn("constants.ini");
    writeBytes(path, "[PhySysConsts]\nANOM_LIMITS_MAX_VELOCITY = 350\n");
    TUserIniFile reader(path, journal);
    TUserIniFile writer(path, journal);
    EXPECT_EQ(reader.ReadValue("physysconsts", "anom_limits_max_velocity", ""), "350");
    writer.WriteString("PhySysConsts", "ANOM_LIMITS_MAX_VELOCITY", "400");
    EXPECT_EQ(reader.ReadValue("PhySysConsts", "ANOM_LIMITS_MAX_VELOCITY", ""), "400");
}

} // namespace
} // namespace skarvel
