#include "journal/VersionInfo.h"
#include "platform/SystemFacts.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace skarvel {
namespace {

TEST(VersionInfo, OnlyTheRunningProgramHasVersionData) {
    TVersionInfo info;
    ASSERT_TRUE(ReadVersionInfo(executablePath(), info));
    EXPECT_EQ(VersionString(executablePath()), info.fileVersion);

    test::TempDir dir;
    test::writeBytes(dir.path() / "bini.exe", "MZ");
    EXPECT_FALSE(ReadVersionInfo((dir.path() / "bini.exe").string(), info));
    EXPECT_EQ(VersionString((dir.path() / "bini.exe").string()), "0");
    EXPECT_EQ(VersionString((dir.path() / "none").string()), "0");
}

} // namespace
} // namespace skarvel
