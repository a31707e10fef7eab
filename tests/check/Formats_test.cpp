// What release scripts and code-scanning views read: SARIF, baselines, the exit code when
// the report cannot be written, and each rule once however often it is asked for.
#include "check/CheckCommand.h"
#include "check/Rules.h"
#include "support/CheckRun.h"

#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

namespace skarvel::test {
namespace {

using nlohmann::json;

// The same problems as the text output, in SARIF 2.1.0's shape; a problem without a line
// (here a damaged newcharacter.ini) has no region.
TEST(CheckFormats, SarifHoldsTheRuleTableAndEveryProblem) {
    const CheckedGame mod("check-broken");
    writeBytes(mod.game() / "DATA/characters/newcharacter.ini", "BINI");
    const std::string folder = mod.folder();
    const CheckOutcome text = runCheck({folder});
    const CheckOutcome sarif = runCheck({folder, "--format=sarif"});
    EXPECT_EQ(sarif.exitCode, 1);
    EXPECT_EQ(sarif.err, text.out.substr(text.out.rfind('\n', text.out.size() - 2) + 1));

    const json log = json::parse(sarif.out);
    EXPECT_EQ(log["version"], "2.1.0");
    ASSERT_EQ(log["runs"].size(), 1u);
    const json& run = log["runs"][0];
    const json& rules = run["tool"]["driver"]["rules"];
    ASSERT_EQ(rules.size(), check::rules().size());
    for (std::size_t i = 0; i < rules.size(); ++i) {
        const check::Rule& rule = check::rules()[i];
        EXPECT_EQ(rules[i]["id"], rule.id);
        EXPECT_EQ(rules[i]["shortDescription"]["text"], rule.text);
        EXPECT_EQ(rules[i]["defaultConfiguration"]["level"], check::severityText(rule.severity));
    }
    const std::string root = run["originalUriBaseIds"]["GAMEFOLDER"]["uri"];
    EXPECT_EQ(root, "file://" + folder + "/");

    std::string lines;
    bool fileLevelSeen = false;
    for (const json& result : run["results"]) {
        const json& location = result["locations"][0]["physicalLocation"];
        EXPECT_EQ(location["artifactLocation"]["uriBaseId"], "GAMEFOLDER");
        const std::string uri = location["artifactLocation"]["uri"];
        EXPECT_FALSE(uri.starts_with('/'));
        const int line =
            location.contains("region") ? location["region"]["startLine"].get<int>() : 0;
        EXPECT_TRUE(!location.contains("region") || line >= 1);
        fileLevelSeen = fileLevelSeen || line == 0;
        EXPECT_EQ(rules[result["ruleIndex"].get<std::size_t>()]["id"], result["ruleId"]);
        lines += uri + ":" + std::to_string(line) + ": " + result["level"].get<std::string>() +
                 ": [" + result["ruleId"].get<std::string>() + "] " +
                 result["message"]["text"].get<std::string>() + "\n";
    }
    EXPECT_TRUE(fileLevelSeen);
    EXPECT_EQ(lines + sarif.err, text.out);
}

// Old problems stay quiet when lines above them move; a new one fails the run.
TEST(CheckFormats, ABaselineHidesOldProblemsAndFailsOnNewOnes) {
    const CheckedGame mod("check-broken");
    const std::string folder = mod.folder();
    const std::string baseline = (mod.tmp.path() / "baseline.json").string();
    const CheckOutcome first = runCheck({folder, "--write-baseline", baseline});
    EXPECT_EQ(first.exitCode, 1);
    const json written = json::parse(readBytes(baseline));
    EXPECT_EQ(written, json::parse(runCheck({folder, "--format", "json"}).out));
    const std::string all = std::to_string(written.size());

    mod.edit("DATA/SHIPS/shiparch.ini", "[Ship0]\r\n", "; moved down\r\n\r\n[Ship0]\r\n");
    const CheckOutcome old = runCheck({folder, "--baseline", baseline});
    EXPECT_EQ(old.exitCode, 0);
    EXPECT_EQ(old.out, "0 errors, 0 warnings\n");
    EXPECT_NE(old.err.find(all + " of " + all + " problems are in the baseline"), std::string::npos)
        << old.err;

    mod.edit("DATA/SHIPS/shiparch.ini", "hit_pts = 1700", "hit_pts = 17oo");
    const CheckOutcome added = runCheck({folder, "--baseline=" + baseline});
    EXPECT_EQ(added.exitCode, 1);
    EXPECT_EQ(added.out, "DATA/SHIPS/shiparch.ini:12: error: [number] hit_pts '17oo' is not a "
                         "number\n1 error, 0 warnings\n");

    writeBytes(baseline, "{\"not\": \"a list\"}");
    const CheckOutcome broken = runCheck({folder, "--baseline", baseline});
    EXPECT_EQ(broken.exitCode, 2);
    EXPECT_NE(broken.err.find("is no baseline"), std::string::npos) << broken.err;
}

TEST(CheckFormats, AReportThatCannotBeWrittenExitsTwo) {
    const CheckedGame mod("check-clean");
    const std::string folder = mod.folder();
    for (const char* format : {"text", "json", "sarif"}) {
        std::ofstream full("/dev/full");
        ASSERT_TRUE(full.is_open());
        std::ostringstream err;
        const std::vector<std::string_view> arguments = {folder, "--format", format};
        EXPECT_EQ(check::runCheckCommand(arguments, full, err), 2) << format;
        EXPECT_NE(err.str().find("the report could not be written"), std::string::npos);
    }
}

TEST(CheckFormats, ARuleNamedTwiceRunsOnce) {
    const CheckedGame mod("check-broken");
    const std::string folder = mod.folder();
    EXPECT_EQ(runCheck({folder, "--rules=number,number,number"}).out,
              "DATA/SHIPS/shiparch.ini:11: error: [number] mass '1oo' is not a number\n"
              "1 error, 0 warnings\n");
}

} // namespace
} // namespace skarvel::test
