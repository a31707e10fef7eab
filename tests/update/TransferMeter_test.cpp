#include "support/ManualClock.h"
#include "update/FtpLog.h"
#include "update/FtpSession.h"
#include "update/TransferMeter.h"

#include <gtest/gtest.h>

namespace skarvel {
namespace {

TEST(TransferMeter, HalfOfTwoMegabytesAfterEightAndAHalfSeconds) {
    test::ManualClock clock;
    TransferMeter meter(clock);
    meter.begin(0, 2097152);
    EXPECT_EQ(meter.maximum(), 2097152);
    clock.ms += 8500;
    EXPECT_EQ(meter.progress(1048576, TransferDirection::Download),
              "Download speed 120.47 KB/s; Time remaining  0: 0: 8");
}

TEST(TransferMeter, AnnouncedTotalWinsOverExpectedSize) {
    test::ManualClock clock;
    TransferMeter meter(clock);
    meter.begin(5000, 100);
    EXPECT_EQ(meter.maximum(), 5000);
    EXPECT_TRUE(meter.running());
    meter.end();
    EXPECT_FALSE(meter.running());
    EXPECT_EQ(meter.average(), 0);
}

TEST(TransferMeter, NoTimeYetKeepsTheSpeedAndGivesNoTimeText) {
    test::ManualClock clock;
    TransferMeter meter(clock, ',');
    meter.begin(0, 1000);
    EXPECT_EQ(meter.progress(0, TransferDirection::Upload), "Uploade speed 0,00 KB/s; ");
    clock.ms += 1000;
    meter.progress(2048, TransferDirection::Download);
    EXPECT_DOUBLE_EQ(meter.average(), 2.0);
    // The same moment again: the speed of the last event stays.
    EXPECT_DOUBLE_EQ(averageSpeed(4096, 0, meter.average()), 2.0);
}

TEST(TransferMeter, TimeTextPadsWithBlanksAndSurvivesOddEstimates) {
    EXPECT_EQ(remainingTimeText(1024 * 3723, 1.0), "Time remaining  1: 2: 3");
    EXPECT_EQ(remainingTimeText(1024 * 45296, 1.0), "Time remaining 12:34:56");
    // More bytes than expected (a version file longer than 100 bytes): nothing left.
    EXPECT_EQ(remainingTimeText(-500, 1.0), "Time remaining  0: 0: 0");
    // Beyond 65535 seconds the hours keep counting instead of wrapping round.
    EXPECT_EQ(remainingTimeText(1024LL * 100000, 1.0), "Time remaining 27:46:40");
    EXPECT_EQ(remainingTimeText(1000, 0.0), "");
}

TEST(FtpLogText, TakesTheTextBeforeTheLineEndAndSkipsEmptyChunks) {
    EXPECT_EQ(ftpLogText("->> ", "PASS zq\r\n"), "->> PASS zq");
    EXPECT_EQ(ftpLogText("<<- ", "220 ready\rrest"), "<<- 220 ready");
    EXPECT_EQ(ftpLogText("<<- ", "Connected to host\n"), "<<- Connected to host");
    EXPECT_EQ(ftpLogText("<<- ", ""), std::nullopt);
    EXPECT_EQ(ftpLogText("<<- ", "\r\n"), std::nullopt);
}

TEST(SiteWithLogin, PutsUserAndPasswordBeforeTheHost) {
    EXPECT_EQ(siteWithLogin("ftp://127.0.0.1:2121/", "zq", "zq"), "ftp://zq:zq@127.0.0.1:2121/");
    EXPECT_EQ(siteWithLogin("ftp://a:b@host/", "zq", "zq"), "ftp://a:b@host/");
    EXPECT_EQ(siteWithLogin("not an address", "zq", "zq"), "not an address");
}

} // namespace
} // namespace skarvel
