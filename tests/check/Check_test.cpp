#include "BiniFormat.h"
#include "check/CheckCommand.h"
#include "check/Rules.h"
#include "support/PeBuilder.h"
#include "support/TestFiles.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

namespace skarvel::test {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int exitCode;
    std::string out;
    std::string err;
};

Outcome runCheck(std::vector<std::string_view> arguments) {
    std::ostringstream out;
    std::ostringstream err;
    const int exitCode = check::runCheckCommand(arguments, out, err);
    return {exitCode, out.str(), err.str()};
}

// A test mod copied into a temporary folder, with the resource DLL the game's names come
// from (built here: the fixtures hold only text).
class CheckedMod {
public:
    explicit CheckedMod(const std::string& fixture) {
        copyFixture(fixture, tmp.path() / "game");
        writeBytes(tmp.path() / "game/EXE/resources.dll",
                   buildPe({{1001, u"Elite"}, {1003, u"Gold"}, {1004, u"Silver"}}).bytes);
    }
    std::string folder() const { return (tmp.path() / "game").string(); }

    TempDir tmp;
};

std::map<std::string, std::string> folderBytes(const fs::path& folder) {
    std::map<std::string, std::string> bytes;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            bytes[entry.path().string()] = readBytes(entry.path());
        }
    }
    return bytes;
}

// What a mod's author reads: each rule once, where it is fixed.
const std::vector<std::string> kBrokenLines = {
    "DATA/Equipment/goods.ini:21: warning: [addon-hardpoint] addon 'li_gun01' sits on "
    "'HpWeapon09', which no hp_type line of 'li_elite' names",
    "DATA/Equipment/goods.ini:22: error: [addon-missing] addon 'li_gun02' is no equipment or "
    "good of any file",
    "DATA/Equipment/goods.ini:28: error: [ship-hull] hull good names ship 'ge_ghost', which no "
    "ships file defines",
    "DATA/Equipment/goods.ini:34: error: [package-hull] ship package names hull "
    "'ge_fighter_hull', which is no hull good",
    "DATA/Equipment/market_commodities.ini:7: error: [market-base] market for base "
    "'li01_99_base', which universe.ini does not define",
    "DATA/Equipment/misc_equip.ini:26: warning: [name] ids_name '1777' names no string of the "
    "game's DLLs",
    "DATA/Equipment/misc_equip.ini:30: error: [hidden-section] a byte order mark (EF BB BF) "
    "stands before '[Scanner]': the game does not see this section",
    "DATA/Equipment/weapon_equip.ini:7: error: [dup-nickname] equipment nickname 'LI_GUN01' is "
    "defined twice, first at DATA/Equipment/weapon_equip.ini:2",
    "DATA/SHIPS/shiparch.ini:5: error: [number] mass '1oo' is not a number",
    "DATA/SHIPS/shiparch.ini:10: error: [named-file] DA_archetype "
    "'ships\\liberty\\li_elite\\li_elite.cmp' is missing",
    "DATA/characters/newcharacter.ini:3: error: [character] new characters start at base "
    "'li01_77_base', which does not exist",
    "EXE/freelancer.ini:9: error: [file] DATA/Equipment/st_equip.ini is missing",
};

TEST(Check, TheBrokenModShowsEachRuleOnceAtItsLine) {
    const CheckedMod mod("check-broken");
    const std::string folder = mod.folder();
    const Outcome text = runCheck({folder});
    std::string expected;
    for (const std::string& line : kBrokenLines) {
        expected += line + "\n";
    }
    EXPECT_EQ(text.out, expected + "10 errors, 2 warnings\n");
    EXPECT_EQ(text.exitCode, 1);

    const Outcome json = runCheck({folder, "--format", "json"});
    EXPECT_EQ(json.exitCode, 1);
    EXPECT_EQ(json.err, "10 errors, 2 warnings\n");
    const auto problems = nlohmann::json::parse(json.out);
    ASSERT_EQ(problems.size(), kBrokenLines.size());
    for (std::size_t i = 0; i < problems.size(); ++i) {
        const auto& p = problems[i];
        EXPECT_EQ(p["file"].get<std::string>() + ":" + std::to_string(p["line"].get<int>()) + ": " +
                      p["severity"].get<std::string>() + ": [" + p["rule"].get<std::string>() +
                      "] " + p["message"].get<std::string>(),
                  kBrokenLines[i]);
    }
    EXPECT_EQ(problems[0]["nickname"], "li_elite_package");
    EXPECT_EQ(problems[4]["nickname"], "li01_99_base");

    std::vector<std::string> ruleIds;
    for (const auto& p : problems) {
        ruleIds.push_back(p["rule"]);
    }
    std::ranges::sort(ruleIds);
    EXPECT_EQ(std::ranges::adjacent_find(ruleIds), ruleIds.end());
    EXPECT_EQ(ruleIds.size(), check::rules().size());
}

TEST(Check, TheCleanModHasNothingInEitherFormat) {
    const CheckedMod mod("check-clean");
    const std::string folder = mod.folder();
    const Outcome text = runCheck({folder});
    EXPECT_EQ(text.out, "0 errors, 0 warnings\n");
    EXPECT_EQ(text.exitCode, 0);
    const Outcome json = runCheck({"--format=json", folder});
    EXPECT_EQ(nlohmann::json::parse(json.out), nlohmann::json::array());
    EXPECT_EQ(json.exitCode, 0);
}

// Compressed files are read through the converter in memory: nothing is written.
TEST(Check, CompressedFilesAreReadWithoutWritingAByte) {
    const CheckedMod mod("check-broken");
    for (const char* file : {"DATA/Universe/universe.ini", "DATA/Equipment/goods.ini"}) {
        const fs::path path = mod.tmp.path() / "game" / file;
        writeBytes(path, bini::fromText(readBytes(path)));
    }
    const auto before = folderBytes(mod.tmp.path());
    const std::string folder = mod.folder();
    const Outcome run = runCheck({folder, "--rules", "market-base,package-hull"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("[market-base] market for base 'li01_99_base'"), std::string::npos);
    EXPECT_NE(run.out.find("DATA/Equipment/goods.ini:"), std::string::npos);
    EXPECT_NE(run.out.find("[package-hull]"), std::string::npos);
    EXPECT_EQ(folderBytes(mod.tmp.path()), before);
}

TEST(Check, ExitCodesTellErrorsFromFaults) {
    const CheckedMod mod("check-broken");
    const TempDir empty;
    struct Case {
        std::vector<std::string_view> arguments;
        int exitCode;
        std::string err; // the start of standard error
    };
    const std::string folder = mod.folder();
    const std::string nowhere = folder + "/nowhere";
    const std::string emptyFolder = empty.folder();
    for (const Case& c : {
             Case{{folder, "--rules", "name,addon-hardpoint"}, 0, ""},
             Case{{folder, "--rules=number"}, 1, ""},
             Case{{}, 2, "skarvel: --check needs the game folder"},
             Case{{folder, "--rules", "nmber"}, 2, "skarvel: unknown rule 'nmber'"},
             Case{{folder, "--format", "xml"}, 2, "skarvel: unknown format 'xml'"},
             Case{{folder, "--format"}, 2, "skarvel: option '--format' needs a value"},
             Case{{folder, folder}, 2, "skarvel: unexpected argument"},
             Case{{nowhere}, 2, "skarvel: no game folder at"},
             Case{{emptyFolder}, 2, "skarvel: EXE/freelancer.ini is missing"},
         }) {
        SCOPED_TRACE(c.err);
        const Outcome run = runCheck(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(run.err.substr(0, c.err.size()), c.err);
    }
}

// The rules a user picks by id, what each looks for and how bad it is.
TEST(Check, TheRulesTable) {
    const std::vector<std::pair<std::string_view, check::Severity>> expected = {
        {"dup-nickname", check::Severity::Error},
        {"ship-hull", check::Severity::Error},
        {"package-hull", check::Severity::Error},
        {"addon-missing", check::Severity::Error},
        {"addon-hardpoint", check::Severity::Warning},
        {"number", check::Severity::Error},
        {"name", check::Severity::Warning},
        {"market-base", check::Severity::Error},
        {"character", check::Severity::Error},
        {"file", check::Severity::Error},
        {"named-file", check::Severity::Error},
        {"hidden-section", check::Severity::Error}};
    ASSERT_EQ(check::rules().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const check::Rule& rule = check::rules()[i];
        EXPECT_EQ(rule.id, expected[i].first);
        EXPECT_EQ(rule.severity, expected[i].second) << rule.id;
        EXPECT_FALSE(rule.text.empty() || rule.text.find('\n') != std::string_view::npos);
        EXPECT_EQ(check::findRule(rule.id), &rule);
    }
}

} // namespace
} // namespace skarvel::test
