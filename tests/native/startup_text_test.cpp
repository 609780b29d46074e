#include "app/startup_text.h"

#include <gtest/gtest.h>

namespace spotlex {

TEST(StartupText, ArgumentsLeaveOutTheProgramPath) {
    EXPECT_EQ(CommandArguments("\"C:\\Program Files (x86)\\Classkit\\Spotlex.exe\" /S"), "/S");
    EXPECT_EQ(CommandArguments("C:\\Tools\\Spotlex.exe   /a /s"), "/a /s");
    EXPECT_EQ(CommandArguments("Spotlex.exe"), "");
    // A program folder named like a switch must not count as one.
    EXPECT_FALSE(HasSwitch(CommandArguments("\"C:\\x /a\\Spotlex.exe\""), "/a"));
}

TEST(StartupText, SwitchesInAnyCaseAnywhere) {
    EXPECT_TRUE(HasSwitch("/S", "/s"));
    EXPECT_TRUE(HasSwitch("-x /A -y", "/a"));
    EXPECT_TRUE(HasSwitch("foo/sbar", "/s"));
    EXPECT_FALSE(HasSwitch("/x", "/s"));
    EXPECT_FALSE(HasSwitch("", "/a"));
}

TEST(StartupText, SingleCopyCountsAMutexItMayNotOpen) {
    constexpr unsigned long kSuccess = 0, kAccessDenied = 5, kAlreadyExists = 183, kInvalidName = 123;
    EXPECT_EQ(JudgeSingleCopy(true, kSuccess), SingleCopyStart::kFirstCopy);
    EXPECT_EQ(JudgeSingleCopy(true, kAlreadyExists), SingleCopyStart::kAlreadyRunning);
    // An elevated copy holds it: CreateMutex gives no handle and "access denied".
    EXPECT_EQ(JudgeSingleCopy(false, kAccessDenied), SingleCopyStart::kAlreadyRunning);
    // Any other failure says nothing of another copy: the program starts without the guard.
    EXPECT_EQ(JudgeSingleCopy(false, kInvalidName), SingleCopyStart::kFirstCopy);
}

TEST(StartupText, CommandsQuoteLongPathsWithBlanks) {
    EXPECT_EQ(QuotedCommand("C:\\Program Files (x86)\\Classkit\\Spotlex.exe", "/s"),
              "\"C:\\Program Files (x86)\\Classkit\\Spotlex.exe\" /s");
    EXPECT_EQ(QuotedCommand("C:\\a.exe", ""), "\"C:\\a.exe\"");
}

}  // namespace spotlex
