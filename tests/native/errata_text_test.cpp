// The errata log's bytes: header, entry block and system information, from plain values.
#include <gtest/gtest.h>

#include "core/errata_text.h"

namespace spotlex {
namespace {

OsFacts SampleFacts() {
    OsFacts f;
    f.platform = 2;
    f.major = 4;
    f.minor = 0;
    f.build = 1381;
    f.servicePack = "Service Pack 6";
    f.processorType = 586;
    f.processorCount = 1;
    f.memoryLoad = 42;
    f.totalPhysical = 262144;
    f.availPhysical = 2500000;
    f.totalVirtual = 2097024;
    f.availVirtual = 999;
    f.totalPageFile = 8589934592LL;  // 8 TB in units of 1024 bytes: past every 32-bit figure
    f.availPageFile = 1000;
    return f;
}

TEST(ErrataText, HeaderIsFourLinesAndAnEmptyOne) {
    std::string h = ErrataHeader();
    std::string expectedStart = "Classkit 4.5 Errata Log\r\n";
    ASSERT_EQ(h.substr(0, expectedStart.size()), expectedStart);
    std::string rest = h.substr(expectedStart.size());
    std::size_t end2 = rest.find("\r\n");
    ASSERT_NE(end2, std::string::npos);
    std::string line2 = rest.substr(0, end2);
    EXPECT_NE(line2.find("e-mail"), std::string::npos) << line2;
    ASSERT_GE(line2.size(), 7u);
    EXPECT_EQ(line2.substr(line2.size() - 7), " so we ");
    EXPECT_EQ(rest.substr(end2 + 2),
              "can continue to improve this product in the future.\r\n"
              "Thank You!\r\n"
              "\r\n");
}

TEST(ErrataText, SystemInfoLinesAndFigures) {
    EXPECT_EQ(SystemInfoText(SampleFacts()),
              "System Info:\r\n"
              "Windows NT 4.0 Service Pack 6 (Build: 1381)\r\n"
              "Processor: 586 (1 processor)\r\n"
              "Total Physical Memory: 262 MB.\r\n"
              "Available Physical Memory: 2,500 MB.\r\n"
              "Total Virtual Memory: 2,097 MB.\r\n"
              "Available Virtual Memory: 0 MB.\r\n"
              "Total Page File: 8,589,934 MB.\r\n"
              "Available Page File: 1 MB.\r\n"
              "Current Memory Load: 42 %");

    OsFacts empty;  // what is left when every Windows call failed
    EXPECT_EQ(SystemInfoText(empty),
              "System Info:\r\n"
              "  (Build: 0)\r\n"
              "Processor: 0 (0 processor)\r\n"
              "Total Physical Memory: 0 MB.\r\n"
              "Available Physical Memory: 0 MB.\r\n"
              "Total Virtual Memory: 0 MB.\r\n"
              "Available Virtual Memory: 0 MB.\r\n"
              "Total Page File: 0 MB.\r\n"
              "Available Page File: 0 MB.\r\n"
              "Current Memory Load: 0 %");
}

TEST(ErrataText, EntryBlockByteForByte) {
    ErrataEntryFields e;
    e.version = {4, 5, 12};
    e.time = {2026, 3, 7, 21, 5};
    e.module = "basClasskit";
    e.procedure = "GetNumericSetting";
    e.number = static_cast<std::int32_t>(0x80040003u);
    e.description = "Invalid Key Handle or key not open.";
    e.systemInfo = "System Info:\r\nline two";
    EXPECT_EQ(ErrataEntry(e),
              "Spotlex (version 4.05.0012).\r\n"
              "03/07/2026 09:05 PM\r\n"
              "Unexpected Error\r\n"
              "\r\n"
              "DETAILS:\r\n"
              "Procedure: GetNumericSetting\r\n"
              "Module: basClasskit\r\n"
              "Number: -2147221501\r\n"
              "System Info:\r\nline two\r\n"
              "Desc: Invalid Key Handle or key not open.\r\n"
              "\r\n"
              "----------------------------------------------------------------");

    e.time = {1999, 12, 31, 0, 0};
    e.number = 13;
    e.description = "";
    std::string text = ErrataEntry(e);
    EXPECT_NE(text.find("\r\n12/31/1999 12:00 AM\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nNumber: 13\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nDesc: \r\n\r\n---"), std::string::npos);
}

TEST(ErrataText, RunsOfIdenticalEntriesAreWrittenOnceWithACount) {
    ErrataRuns runs;
    ErrataEntryFields e;
    e.module = "basClasskit";
    e.procedure = "GetNumericSetting";
    e.number = 6;
    e.description = "Key_IncludeExclude is out of range.";
    e.time = {2026, 12, 9, 9, 0};
    const std::string log = "C:\\Classkit\\errata.log";

    EXPECT_FALSE(runs.Next(log, e).repeat);
    e.time.minute = 1;
    EXPECT_TRUE(runs.Next(log, e).repeat);
    e.time.minute = 2;
    EXPECT_TRUE(runs.Next(log, e).repeat);
    // The same place and number with another description is another entry; it closes the run.
    ErrataEntryFields other = e;
    other.description = "Access denied.";
    const ErrataRuns::Decision next = runs.Next(log, other);
    EXPECT_FALSE(next.repeat);
    EXPECT_EQ(next.runLine, "(The entry above came 2 more times, the last at 12/09/2026 09:02 AM.)");
    // Only entries one after the other form a run, and only in one file.
    EXPECT_FALSE(runs.Next(log, e).repeat);
    EXPECT_EQ(runs.Next(log, other).runLine, "");
    EXPECT_FALSE(runs.Next("D:\\errata.log", other).repeat);

    EXPECT_TRUE(runs.Next("D:\\errata.log", other).repeat);
    std::string file;
    EXPECT_EQ(runs.Close(&file), "(The entry above came 1 more time, the last at 12/09/2026 09:02 AM.)");
    EXPECT_EQ(file, "D:\\errata.log");
    EXPECT_EQ(runs.Close(&file), "") << "told once";
}

TEST(ErrataText, TheLogMovesAsideBeforeItPassesOneMebibyte) {
    EXPECT_FALSE(ErrataLogMustRoll(0, 5000)) << "a new log takes any entry";
    EXPECT_FALSE(ErrataLogMustRoll(kErrataLogLimit - 100, 100));
    EXPECT_TRUE(ErrataLogMustRoll(kErrataLogLimit - 100, 101));
    EXPECT_TRUE(ErrataLogMustRoll(std::uint64_t{5} << 32, 1)) << "past 4 GB as well";
}

TEST(ErrataText, PlatformNames) {
    EXPECT_EQ(PlatformString(1, 4, 0), "Windows 95");
    EXPECT_EQ(PlatformString(1, 4, 3), "Windows 95");
    EXPECT_EQ(PlatformString(1, 4, 10), "Windows 98");
    EXPECT_EQ(PlatformString(1, 4, 90), "Windows 98");
    EXPECT_EQ(PlatformString(2, 4, 0), "Windows NT 4.0");
    EXPECT_EQ(PlatformString(2, 5, 0), "Windows 2000");
    EXPECT_EQ(PlatformString(2, 5, 1), "Windows 2000");
    EXPECT_EQ(PlatformString(2, 6, 1), "Windows NT 6.1");
    EXPECT_EQ(PlatformString(2, 10, 0), "Windows NT 10.0");
    EXPECT_EQ(PlatformString(0, 3, 10), "");
    EXPECT_EQ(PlatformString(3, 10, 0), "");
}

TEST(ErrataText, ServicePackFieldStopsAtItsEnd) {
    char field[128] = "Service Pack 1";
    EXPECT_EQ(ServicePackText(field, sizeof field), "Service Pack 1");
    char none[128] = {};
    EXPECT_EQ(ServicePackText(none, sizeof none), "");
    // A field filled to the brim has no NUL: the text stops at the field's end.
    char full[8];
    for (char& c : full) c = 'x';
    EXPECT_EQ(ServicePackText(full, sizeof full), "xxxxxxxx");
    EXPECT_EQ(ServicePackText(nullptr, 5), "");
}

}  // namespace
}  // namespace spotlex
