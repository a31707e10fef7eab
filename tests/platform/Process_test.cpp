#include "platform/Process.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace skarvel {
namespace {

using namespace std::chrono_literals;
using test::readBytes;
using test::TempDir;

TEST(RunProgram, ReportsTheExitCode) {
    const auto ok = runProgram("/bin/sh", {"-c", "exit 0"}, 10s);
    EXPECT_TRUE(ok.started);
    EXPECT_FALSE(ok.timedOut);
    EXPECT_EQ(ok.exitCode, 0);

    const auto failed = runProgram("sh", {"-c", "exit 3"}, 10s); // found in PATH
    EXPECT_TRUE(failed.started);
    EXPECT_EQ(failed.exitCode, 3);
}

TEST(RunProgram, PassesEachArgumentWholeWithoutAShell) {
    TempDir dir;
    const auto out = dir.path() / "args.txt";
    const std::string tricky = "C:/Program Files/\"quoted\" $HOME; *.ini";
    const auto result = runProgram(
        "/bin/sh", {"-c", "printf '%s|' \"$@\" > \"$0\"", out.string(), tricky, ""}, 10s);
    ASSERT_TRUE(result.started);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(readBytes(out), tricky + "||");
}

TEST(RunProgram, KillsAProgramPastItsTimeLimit) {
    const auto result = runProgram("/bin/sleep", {"30"}, 200ms);
    EXPECT_TRUE(result.started);
    EXPECT_TRUE(result.timedOut);
}

TEST(RunProgram, MissingProgramIsNotStarted) {
    TempDir dir;
    EXPECT_FALSE(runProgram((dir.path() / "bini").string(), {}, 1s).started);
    EXPECT_FALSE(runProgram("skarvel-no-such-program", {}, 1s).started);
}

TEST(FindInPath, FindsProgramsAndOnlyExecutableOnes) {
    const auto sh = findInPath("sh");
    ASSERT_TRUE(sh.has_value());
    EXPECT_EQ(sh->back(), 'h');
    EXPECT_EQ(sh->find('/'), 0u);
    EXPECT_FALSE(findInPath("skarvel-no-such-program").has_value());

    TempDir dir;
    test::writeBytes(dir.path() / "data.txt", "not a program");
    EXPECT_FALSE(findInPath((dir.path() / "data.txt").string()).has_value());
}

} // namespace
} // namespace skarvel
