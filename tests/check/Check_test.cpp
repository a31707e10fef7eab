#include "BiniFormat.h"
#include "DataSetGenerator.h"
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
        writeBytes(tmp.path() / "game/EXE/resources.dll", buildPe({{1001, u"Elite"},
                                                                   {1002, u"Gunboat"},
                                                                   {1003, u"Gold"},
                                                                   {1004, u"Silver"},
                                                                   {1010, u"Laser"},
                                                                   {1011, u"Turret"},
                                                                   {1012, u"Engine"},
                                                                   {1013, u"Shield"},
                                                                   {1014, u"Thruster"},
                                                                   {1015, u"Flares"},
                                                                   {1020, u"Manhattan"},
                                                                   {1021, u"Platform"},
                                                                   {1022, u"Leeds"},
                                                                   {1030, u"New York"},
                                                                   {1031, u"New London"},
                                                                   {1040, u"Freelancers"},
                                                                   {1041, u"Freelancer"},
                                                                   {1042, u"Navy"}})
                                                              .bytes);
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
    "DATA/Equipment/goods.ini:23: error: [addon-hardpoint] addon 'li_gun01' mounts on "
    "hp_gun_special_1, and no hp_type line of 'li_elite' gives 'HpWeapon09' that type",
    "DATA/Equipment/goods.ini:30: error: [addon-missing] addon 'li_gun03' is no equipment "
    "or good of any file",
    "DATA/Equipment/goods.ini:35: error: [ship-hull] hull good names ship 'ge_ghost', "
    "which no ships file defines",
    "DATA/Equipment/goods.ini:41: error: [package-hull] ship package names hull "
    "'ge_fighter_hull', which is no hull good",
    "DATA/Equipment/goods.ini:49: error: [missing-key] a commodity [Good] needs the key "
    "price",
    "DATA/Equipment/market_commodities.ini:4: error: [field-count] MarketGood has 5 "
    "fields, not at least 7",
    "DATA/Equipment/market_commodities.ini:6: error: [market-dup] a second [BaseGood] for "
    "base 'li01_01_base', the first at DATA/Equipment/market_commodities.ini:1",
    "DATA/Equipment/market_misc.ini:3: error: [market-base] market for base "
    "'li01_99_base', which universe.ini does not define",
    "DATA/Equipment/misc_equip.ini:26: warning: [name] ids_name '1777' names no string of "
    "the game's DLLs",
    "DATA/Equipment/misc_equip.ini:30: error: [hidden-section] a byte order mark (EF BB BF) "
    "stands before '[Scanner]': the game does not see this section",
    "DATA/MISSIONS/npcships.ini:5: error: [archetype] ship_archetype 'li_npc_cruiser' is "
    "no ship any file defines",
    "DATA/SHIPS/loadouts.ini:6: error: [loadout-item] equip 'li_gun04' is no equipment of "
    "any file",
    "DATA/SHIPS/loadouts.ini:8: error: [loadout-hardpoint] equip 'li_turret01' sits on "
    "'HpTurret09', which no hp_type line of 'li_npc_gunboat' names",
    "DATA/SHIPS/shiparch.ini:7: error: [dup-nickname] archetype nickname 'li_elite' is "
    "defined twice, first at DATA/Equipment/weapon_equip.ini:22 as [Gun]",
    "DATA/SHIPS/shiparch.ini:11: error: [number] mass '1oo' is not a number",
    "DATA/SHIPS/shiparch.ini:12: error: [unknown-key] [Ship] knows no key 'hold_sise'; "
    "did you mean hold_size?",
    "DATA/SHIPS/shiparch.ini:32: error: [named-file] DA_archetype "
    "'ships\\liberty\\li_gunboat\\li_gunboat.cmp' is missing",
    "DATA/Universe/SYSTEMS/Li02/li02.ini:4: error: [system-link] goto names object "
    "'LI01_to_li03', which system 'li01' does not have",
    "DATA/Universe/universe.ini:22: error: [base-system] base is in system 'li09', which "
    "universe.ini does not define",
    "DATA/characters/newcharacter.ini:3: error: [character] new characters start at base "
    "'li01_77_base', which does not exist",
    "EXE/freelancer.ini:7: error: [file] DATA/SOLAR/stararch.ini is missing",
};

TEST(Check, TheBrokenModShowsEachRuleOnceAtItsLine) {
    const CheckedMod mod("check-broken");
    const std::string folder = mod.folder();
    const Outcome text = runCheck({folder});
    std::string expected;
    for (const std::string& line : kBrokenLines) {
        expected += line + "\n";
    }
    EXPECT_EQ(text.out, expected + "20 errors, 1 warning\n");
    EXPECT_EQ(text.exitCode, 1);

    const Outcome json = runCheck({folder, "--format", "json"});
    EXPECT_EQ(json.exitCode, 1);
    EXPECT_EQ(json.err, "20 errors, 1 warning\n");
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
    EXPECT_EQ(problems[7]["nickname"], "li01_99_base");

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

// One mistake planted into the sound mod: what is reported, exactly, and nothing else.
struct Planted {
    std::string file; // below the game folder
    std::string old;  // text replaced (the first time it stands), or the file removed when empty
    std::string now;
    std::vector<std::string> lines;
};

void plant(const CheckedMod& mod, const Planted& mistake) {
    const fs::path path = mod.tmp.path() / "game" / mistake.file;
    if (mistake.old.empty()) {
        fs::remove(path);
        return;
    }
    std::string bytes = readBytes(path);
    const std::size_t at = bytes.find(mistake.old);
    ASSERT_NE(at, std::string::npos) << mistake.old;
    writeBytes(path, bytes.replace(at, mistake.old.size(), mistake.now));
}

TEST(Check, EachMistakePlantedIntoASoundModIsReportedWhereItIsMended) {
    const std::string equipment = "DATA/Equipment/";
    const std::string li01 = "DATA/Universe/SYSTEMS/Li01/li01.ini";
    const std::vector<Planted> cases = {
        // mounting by type
        {equipment + "goods.ini",
         "li_gun01, hpweapon02",
         "li_gun01, HpThruster01",
         {"DATA/Equipment/goods.ini:23: error: [addon-hardpoint] addon 'li_gun01' mounts on "
          "hp_gun_special_1, and no hp_type line of 'li_elite' gives 'HpThruster01' that type"}},
        {"DATA/SHIPS/shiparch.ini",
         "hp_elite_shield_special_1",
         "hp_elite_shield_special_2",
         {"DATA/Equipment/goods.ini:25: error: [addon-hardpoint] addon 'ge_shield01' mounts on "
          "hp_elite_shield_special_1, and no hp_type line of 'li_elite' gives 'HpShield01' that "
          "type"}},
        // markets
        {equipment + "market_commodities.ini",
         ";MarketGood",
         "MarketGood",
         {"DATA/Equipment/market_commodities.ini:9: error: [market-dup] market good "
          "'commodity_gold' is listed twice for base 'li02_01_base', first at "
          "DATA/Equipment/market_commodities.ini:8"}},
        // a [Simple] and a [Ship] share the hashed space
        {"DATA/SHIPS/shiparch.ini",
         "li_elite_cockpit",
         "li_npc_gunboat",
         {"DATA/SHIPS/shiparch.ini:29: error: [dup-nickname] archetype nickname 'li_npc_gunboat' "
          "is defined twice, first at DATA/SHIPS/shiparch.ini:2 as [Simple]"}},
        // the game adds the ship's drag to the engine's
        {"DATA/SHIPS/shiparch.ini",
         "linear_drag = 2",
         "linear_drag = 0",
         {"DATA/Equipment/engine_equip.ini:14: warning: [number] linear_drag is zero, and so is "
          "the drag of a ship that carries it: the engine speed divides by their sum"}},
        // the universe
        {li01,
         "dock_with = LI01_01_BASE",
         "dock_with = li01_09_base",
         {li01 + ":13: error: [system-link] dock_with names base 'li01_09_base', which "
                 "universe.ini does not define"}},
        {li01,
         "prev_ring = li01_trade_lane_ring_1",
         "prev_ring = li01_trade_lane_ring_0",
         {li01 + ":31: error: [system-link] prev_ring names object 'li01_trade_lane_ring_0', "
                 "which this system does not have"}},
        {li01,
         "goto = li02,",
         "goto = li03,",
         {li01 + ":36: error: [system-link] goto names system 'li03', which universe.ini does "
                 "not define"}},
        {"DATA/Universe/universe.ini",
         "bases\\li01_01_base.ini",
         "bases\\li01_09_base.ini",
         {"DATA/Universe/universe.ini:8: error: [base-system] the base's file "
          "'universe\\systems\\li01\\bases\\li01_09_base.ini' is missing"}},
        // shapes
        {equipment + "goods.ini",
         "li_contrail, HpContrail01, 1",
         "li_contrail, HpContrail01",
         {"DATA/Equipment/goods.ini:29: error: [field-count] addon has 2 fields, not 3"}},
        {equipment + "goods.ini",
         "ship = li_elite\nprice = 9000",
         "price = 9000",
         {"DATA/Equipment/goods.ini:32: error: [missing-key] a shiphull [Good] needs the key "
          "ship"}},
        // a file that cannot be read is one error and one count
        {equipment + "weapon_equip.ini",
         "",
         "",
         {"EXE/freelancer.ini:9: error: [file] DATA/Equipment/weapon_equip.ini is missing",
          "EXE/freelancer.ini:9: warning: [file] 5 references into "
          "DATA/Equipment/weapon_equip.ini could not be checked"}},
        {"DATA/Universe/SYSTEMS/Li02/li02.ini",
         "",
         "",
         {"DATA/Universe/universe.ini:27: error: [file] DATA/Universe/SYSTEMS/Li02/li02.ini is "
          "missing",
          "DATA/Universe/universe.ini:27: warning: [file] 1 reference into "
          "DATA/Universe/SYSTEMS/Li02/li02.ini could not be checked"}},
    };
    for (const Planted& mistake : cases) {
        SCOPED_TRACE(mistake.lines.front());
        const CheckedMod mod("check-clean");
        plant(mod, mistake);
        std::string expected;
        for (const std::string& line : mistake.lines) {
            expected += line + "\n";
        }
        const Outcome run = runCheck({mod.folder()});
        EXPECT_EQ(run.out.substr(0, run.out.rfind('\n', run.out.size() - 2) + 1), expected);
    }
}

// Sound games give no problem: the demo game the program ships and opens with --demo, and a
// whole mod of the largest size (1,500 ships, 100 systems, loadouts, lights on model
// hardpoints, NPC ships that no hull good names).
TEST(Check, SoundGamesHaveNoProblem) {
    const fs::path demo = SKARVEL_DEMO_GAME_DIR;
    const bench::GeneratedDataSet large(bench::DataSetSize::Large);
    bench::generateModFiles(large.gameDir(), bench::DataSetSize::Large);
    for (const fs::path& game : {demo, large.gameDir()}) {
        SCOPED_TRACE(game.string());
        const Outcome run = runCheck({game.string()});
        EXPECT_EQ(run.out, "0 errors, 0 warnings\n");
        EXPECT_EQ(run.exitCode, 0);
    }
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
             Case{{folder, "--rules", "name"}, 0, ""},
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
        {"dup-nickname", check::Severity::Error},  {"market-dup", check::Severity::Error},
        {"ship-hull", check::Severity::Error},     {"package-hull", check::Severity::Error},
        {"addon-missing", check::Severity::Error}, {"addon-hardpoint", check::Severity::Error},
        {"loadout-item", check::Severity::Error},  {"loadout-hardpoint", check::Severity::Error},
        {"archetype", check::Severity::Error},     {"base-system", check::Severity::Error},
        {"system-link", check::Severity::Error},   {"unknown-key", check::Severity::Error},
        {"missing-key", check::Severity::Error},   {"field-count", check::Severity::Error},
        {"number", check::Severity::Error},        {"name", check::Severity::Warning},
        {"market-base", check::Severity::Error},   {"character", check::Severity::Error},
        {"file", check::Severity::Error},          {"named-file", check::Severity::Error},
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
