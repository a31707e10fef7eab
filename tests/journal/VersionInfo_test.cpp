#include "journal/VersionInfo.h"
#include "platform/SystemFacts.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace skarvel {
namespace {

TEST(VersionInfo, TheRunningProgramHasItsCompiledVersion) {
    TVersionInfo info;
    ASSERT_TRUE(ReadVersionInfo(executablePath(), info));
    EXPECT_EQ(info.fileName, executablePath());
    EXPECT_EQ(info.fileVersion, std::to_string(info.major) + "." + std::to_string(info.minor) +
                                    "." + std::to_string(info.release) + "." +
                                    std::to_string(info.build));
    EXPECT_EQ(VersionString(executablePath()), info.fileVersion);
}

TEST(VersionInfo, OtherFilesHaveNone) {
    test::TempDir dir;
    test::writeBytes(dir.path() / "bini.exe", "MZ");
    TVersionInfo info;
    EXPECT_FALSE(ReadVersionInfo((dir.path() / "bini.exe").string(), info));
    EXPECT_FALSE(ReadVersionInfo("", info));
    EXPECT_EQ(VersionString((dir.path() / "bini.exe").string()), "0");
    EXPECT_EQ(VersionString((dir.path() / "none").string()), "0");
}

} // namespace
} // namespace skarvel
