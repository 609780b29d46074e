#include <gtest/gtest.h>

#include <climits>

#include "app/about_text.h"
#include "app/splash_time.h"

namespace spotlex {
namespace {

TEST(SplashTime, ZeroOrNegativeMeansSixSecondsAndLongTimesStopAtTheTimerLimit) {
    EXPECT_EQ(SplashIntervalMs(0), 6000);
    EXPECT_EQ(SplashIntervalMs(-3), 6000);
    EXPECT_EQ(SplashIntervalMs(1), 1000);
    EXPECT_EQ(SplashIntervalMs(3), 3000);
    EXPECT_EQ(SplashIntervalMs(65), 65000);
    EXPECT_EQ(SplashIntervalMs(66), 65535);
    EXPECT_EQ(SplashIntervalMs(INT_MAX), 65535);
}

TEST(AboutSystemSummary, ShowsSystemProcessorAndMemoryAbove4GB) {
    OsFacts f;
    f.platform = 2;
    f.major = 6;
    f.minor = 1;
    f.build = 7601;
    f.servicePack = "Service Pack 1";
    f.processorType = 8664;
    f.processorCount = 4;
    f.totalPhysical = 16LL * 1024 * 1024;  // 16 GB in units of 1024 bytes
    f.availPhysical = 6LL * 1024 * 1024 + 512 * 1024;
    f.memoryLoad = 59;
    EXPECT_EQ(AboutSystemSummary(f),
              "Windows NT 6.1 Service Pack 1 (Build 7601)\r\n"
              "Processor: 8664 (4 processors)\r\n"
              "Physical memory: 16,384 MB, 6,656 MB available\r\n"
              "Memory in use: 59 %");
}

TEST(AboutSystemSummary, OneProcessorNoServicePackAndAnUnnamedPlatform) {
    OsFacts f;
    f.platform = 2;
    f.major = 5;
    f.minor = 0;
    f.build = 2195;
    f.processorType = 586;
    f.processorCount = 1;
    f.totalPhysical = 262144;
    f.availPhysical = 1023;  // under a megabyte
    f.memoryLoad = 100;
    EXPECT_EQ(AboutSystemSummary(f),
              "Windows 2000 (Build 2195)\r\n"
              "Processor: 586 (1 processor)\r\n"
              "Physical memory: 256 MB, 0 MB available\r\n"
              "Memory in use: 100 %");

    f.platform = 3;  // neither family: the numbers still say which Windows
    f.major = 10;
    EXPECT_EQ(AboutSystemSummary(f).substr(0, 28), "Windows 10.0 (Build 2195)\r\nP");
}

}  // namespace
}  // namespace spotlex
