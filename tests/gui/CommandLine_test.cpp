#include "Version.h"
#include "app/CommandLine.h"
#include "app/Program.h"
#include "check/Rules.h"
#include "gui/WindowTestSupport.h"
#include "journal/Format.h"
#include "platform/Process.h"

#include <filesystem>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace skarvel {
namespace {

using test::ShellEnvironment;

const std::string kVersion =
    formatText("%d.%d.%d build %d", {SKARVEL_VERSION_MAJOR, SKARVEL_VERSION_MINOR,
                                     SKARVEL_VERSION_PATCH, SKARVEL_BUILD_NUMBER});

struct Answered {
    std::optional<int> exitCode;
    std::string out;
    std::string err;
};

Answered answer(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "skarvel");
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    std::ostringstream out;
    std::ostringstream err;
    const auto exitCode =
        answerCommandLine(static_cast<int>(arguments.size()), argv.data(), out, err);
    return {exitCode, out.str(), err.str()};
}

TEST(CommandLine, OwnOptionsAnswerQtOptionsPassAndTheRestIsAnError) {
    struct Case {
        std::vector<std::string> arguments;
        std::optional<int> exitCode;
        std::string out; // the start of standard output
        std::string err; // the first line of standard error
    };
    for (const Case& c : {
             Case{{}, std::nullopt, "", ""},
             Case{{"--version"}, 0, "Freelancer Skarvel " + kVersion + "\n", ""},
             Case{{"--help"}, 0, "Usage: skarvel [--help | --version]\n", ""},
             Case{{"-h"}, 0, "Usage: skarvel", ""},
             Case{{"-platform", "offscreen", "--style=fusion", "-reverse"}, std::nullopt, "", ""},
             Case{{"-session", "1234", "--version"}, 0, "Freelancer Skarvel", ""},
             Case{{"--demo", "-platform", "offscreen"}, std::nullopt, "", ""},
             Case{{"--demo", "--version"}, 0, "Freelancer Skarvel", ""},
             Case{{"--bogus"}, 2, "", "skarvel: unknown option '--bogus'"},
             Case{{"-v"}, 2, "", "skarvel: unknown option '-v'"},
             Case{{"-reverse=1"}, 2, "", "skarvel: unknown option '-reverse=1'"},
             Case{{"shiparch.ini"}, 2, "", "skarvel: unexpected argument 'shiparch.ini'"},
             Case{{"-"}, 2, "", "skarvel: unexpected argument '-'"},
             Case{{"-platform"}, 2, "", "skarvel: option '-platform' needs a value"},
             Case{{"--bogus", "--version"}, 2, "", "skarvel: unknown option '--bogus'"},
         }) {
        std::string trace;
        for (const auto& argument : c.arguments) {
            trace += argument + " ";
        }
        SCOPED_TRACE(trace);
        const Answered got = answer(c.arguments);
        EXPECT_EQ(got.exitCode, c.exitCode);
        EXPECT_EQ(got.out.substr(0, c.out.size()), c.out);
        EXPECT_EQ(got.out.empty(), c.out.empty());
        EXPECT_EQ(got.err.substr(0, got.err.find('\n')), c.err);
    }
}

// The help and the manual page say where the backups are, which preference keeps them and
// where they are restored.
TEST(CommandLine, TheHelpAndTheManualTellOfTheBackups) {
    const std::pair<const char*, std::string> texts[] = {
        {"--help", answer({"--help"}).out},
        {"skarvel.1", test::readBytes(test::kSourceRoot / "resources/package/skarvel.1.in")}};
    for (const auto& [name, text] : texts) {
        for (const char* told :
             {"$XDG_DATA_HOME/Skarvel/backups/", "~/.local/share/Skarvel/backups/", "BackupDays",
              "30", "0 keeps all", "BACKUP", "restores"}) {
            EXPECT_NE(text.find(told), std::string::npos) << name << ": " << told;
        }
    }
}

// The help, the manual page and the README offer the demo game.
TEST(CommandLine, TheHelpTheManualAndTheReadmeOfferTheDemo) {
    const std::pair<const char*, std::string> texts[] = {
        {"--help", answer({"--help"}).out},
        {"skarvel.1",
         std::regex_replace(test::readBytes(test::kSourceRoot / "resources/package/skarvel.1.in"),
                            std::regex(R"(\\-)"), "-")},
        {"README", test::readBytes(test::kSourceRoot / "README.md")}};
    for (const auto& [name, text] : texts) {
        for (const char* told : {"--demo", "Skarvel/demo/", "demo game"}) {
            EXPECT_NE(text.find(told), std::string::npos) << name << ": " << told;
        }
    }
}

// Script writers learn the check's options, exit codes and every rule from either text.
TEST(CommandLine, TheHelpAndTheManualTellOfTheCheck) {
    const std::pair<const char*, std::string> texts[] = {
        {"--help", answer({"--help"}).out},
        {"skarvel.1", test::readBytes(test::kSourceRoot / "resources/package/skarvel.1.in")}};
    for (const auto& [name, text] : texts) {
        std::vector<std::string> told{"check", "GAME_FOLDER", "json", "rules"};
        for (const check::Rule& rule : check::rules()) {
            told.emplace_back(rule.id);
        }
        for (const std::string& word : told) {
            EXPECT_NE(text.find(word), std::string::npos) << name << ": " << word;
        }
    }
}

// Only the answer: no lock, no journal, no file in the program's folder.
TEST(CommandLine, TheProgramAnswersBeforeItsLockAndItsJournalExist) {
    for (const auto& [option, exitCode] :
         std::vector<std::pair<std::string, int>>{{"--version", 0}, {"--help", 0}, {"-x", 2}}) {
        SCOPED_TRACE(option);
        ShellEnvironment env;
        std::string name = "skarvel";
        std::string argument = option;
        char* argv[] = {name.data(), argument.data(), nullptr};
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const int result = runProgram(2, argv, env.program.string());
        const std::string out = testing::internal::GetCapturedStdout();
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(result, exitCode);
        EXPECT_EQ(out.empty(), exitCode != 0);
        EXPECT_EQ(err.empty(), exitCode == 0);
        EXPECT_TRUE(std::filesystem::is_empty(env.program));
        EXPECT_TRUE(std::filesystem::is_empty(env.runtime));
        EXPECT_TRUE(std::filesystem::is_empty(env.home));
    }
}

// The installed programs, started without a display or a Qt platform.
TEST(CommandLine, BothProgramsAnswerWithoutADisplay) {
    const std::filesystem::path folder = std::filesystem::path(SKARVEL_BINI_PATH).parent_path();
    struct Case {
        std::string program;
        std::string option;
        int exitCode;
        std::string out;
    };
    for (const Case& c : {
             Case{"skarvel", "--version", 0, "Freelancer Skarvel " + kVersion + "\n"},
             Case{"skarvel", "--nonsense", 2, ""},
             Case{"skarvel", "--check '" + test::fixturePath("check-clean").string() + "'", 0,
                  "0 errors, 0 warnings\n"},
             Case{"skarvel", "--check '" + test::fixturePath("check-broken").string() + "'", 1,
                  "20 errors, 0 warnings\n"},
             Case{"bini", "--version", 0, "bini " + kVersion + "\n"},
             Case{"bini", "--nonsense", 2, ""},
         }) {
        SCOPED_TRACE(c.program + " " + c.option);
        test::TempDir dir;
        const std::filesystem::path out = dir.path() / "out";
        const std::string command = "exec env -i HOME='" + dir.path().string() +
                                    "' XDG_RUNTIME_DIR='" + dir.path().string() + "' '" +
                                    (folder / c.program).string() + "' " + c.option + " >'" +
                                    out.string() + "' 2>/dev/null";
        const ProcessResult result =
            runProgram("/bin/sh", {"-c", command}, std::chrono::seconds(20));
        ASSERT_TRUE(result.started);
        EXPECT_EQ(result.exitCode, c.exitCode);
        const std::string printed = test::readBytes(out);
        EXPECT_TRUE(c.out.empty() ? printed.empty() : printed.ends_with(c.out)) << printed;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    }
}

} // namespace
} // namespace skarvel
