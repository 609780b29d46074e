#include "core/file_paths.h"

#include <gtest/gtest.h>

#include <string>

namespace spotlex {
namespace {

using namespace std::string_literals;

TEST(InStrLast, FindsTheLastHitOneBased) {
    EXPECT_EQ(InStrLast("C:\\a\\b.txt", "\\"), 5u);
    EXPECT_EQ(InStrLast("abc", "x"), 0u);
    EXPECT_EQ(InStrLast("", "x"), 0u);
    EXPECT_EQ(InStrLast("abc", ""), 0u);
    EXPECT_EQ(InStrLast("aaaa", "aa"), 3u) << "overlapping hits: searched again from one past each";
    EXPECT_EQ(InStrLast("x.tar.gz", "."), 6u);
}

TEST(PathParts, FolderNameAndExtension) {
    EXPECT_EQ(PathFolder("C:\\a\\b.txt"), "C:\\a\\");
    EXPECT_EQ(PathFileName("C:\\a\\b.txt", true), "b.txt");
    EXPECT_EQ(PathFileName("C:\\a\\b.txt", false), "b");
    EXPECT_EQ(PathExtension("C:\\a\\b.txt"), ".txt");

    EXPECT_EQ(PathFolder("b.txt"), "");
    EXPECT_EQ(PathFileName("b.txt", false), "b");
    EXPECT_EQ(PathFolder("C:\\a\\"), "C:\\a\\");
    EXPECT_EQ(PathFileName("C:\\a\\", true), "");

    EXPECT_EQ(PathFileName("C:\\a\\x.tar.gz", false), "x.tar");
    EXPECT_EQ(PathExtension("C:\\a\\x.tar.gz"), ".gz");
    EXPECT_EQ(PathFileName("C:\\v1.2\\readme", false), "readme");
    EXPECT_EQ(PathExtension("C:\\v1.2\\readme"), "") << "a dot in a folder is no extension";
}

TEST(WithBackslash, EndsInExactlyOneBackslash) {
    EXPECT_EQ(WithBackslash("C:\\Classkit"), "C:\\Classkit\\");
    EXPECT_EQ(WithBackslash("C:\\"), "C:\\");
    EXPECT_EQ(WithBackslash(""), "\\") << "an empty folder still gives the separator";
}

TEST(TrimFolderText, CutsAtNulAndOneTrailingBackslash) {
    EXPECT_EQ(TrimFolderText("C:\\WINNT\\SYSTEM32"), "C:\\WINNT\\SYSTEM32");
    EXPECT_EQ(TrimFolderText("C:\\WINDOWS\\"), "C:\\WINDOWS");
    EXPECT_EQ(TrimFolderText("C:\\\0garbage\\"s), "C:");
    EXPECT_EQ(TrimFolderText(""), "");
}

TEST(FolderTokens, OnlyAtTheStartAndIgnoringCase) {
    const std::string sys = "C:\\WINDOWS\\system32", win = "C:\\WINDOWS";
    EXPECT_EQ(ExpandLocationTokens("%win%\\cursors\\x.cur", sys, win), "C:\\WINDOWS\\cursors\\x.cur");
    EXPECT_EQ(ExpandLocationTokens("%SYS%\\regsvr32.exe", sys, win), "C:\\WINDOWS\\system32\\regsvr32.exe");
    EXPECT_EQ(ExpandLocationTokens("%Win%", sys, win), win);
    EXPECT_EQ(ExpandLocationTokens("D:\\%win%\\x", sys, win), "D:\\%win%\\x");
    EXPECT_EQ(ExpandLocationTokens("%sysdir%\\x", sys, win), "%sysdir%\\x");

    EXPECT_EQ(ExpandPathTokens("%sysdir%\\x.dll", sys, win), "C:\\WINDOWS\\system32\\x.dll");
    EXPECT_EQ(ExpandPathTokens("%SysDir%\\x.dll", sys, win), "C:\\WINDOWS\\system32\\x.dll");
    EXPECT_EQ(ExpandPathTokens("%WIN%\\ckicons.icl", sys, win), "C:\\WINDOWS\\ckicons.icl");
    EXPECT_EQ(ExpandPathTokens("%sys%\\x.dll", sys, win), "%sys%\\x.dll");
    EXPECT_EQ(ExpandPathTokens("", sys, win), "");
}

TEST(ExistenceTestPath, CutsACommandLineAfterTheLastDot) {
    EXPECT_EQ(ExistenceTestPath("C:\\Program Files\\Parvane\\prog.exe /s"),
              "C:\\Program Files\\Parvane\\prog.exe");
    EXPECT_EQ(ExistenceTestPath("C:\\Program Files\\Parvane\\prog.exe"),
              "C:\\Program Files\\Parvane\\prog.exe");
    EXPECT_EQ(ExistenceTestPath("C:\\My Files\\readme"), "C:\\My Files\\readme") << "no dot, nothing cut";
    EXPECT_EQ(ExistenceTestPath("C:\\a\\prog.exe "), "C:\\a\\prog.exe");
    EXPECT_EQ(ExistenceTestPath("C:\\a\\prog.exe  /a /s"), "C:\\a\\prog.exe");
    EXPECT_EQ(ExistenceTestPath(""), "");
}

}  // namespace
}  // namespace spotlex
