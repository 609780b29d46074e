// CFile and the module functions against Wine's real system folders and files.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/file_win.h"
#include "support/test_support.h"

namespace spotlex {
namespace {

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string Env(const char* name) {
    char buffer[1024] = {};
    DWORD n = ::GetEnvironmentVariableA(name, buffer, sizeof buffer);
    return std::string(buffer, n < sizeof buffer ? n : 0);
}

// A scratch folder with a blank in its long name, removed with its files afterwards.
class FileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "spotlex file test " + std::to_string(::GetCurrentProcessId()) + "\\";
        ASSERT_TRUE(::CreateDirectoryA(folder_.c_str(), nullptr)) << folder_;
    }
    void TearDown() override {
        for (const std::string& f : files_) {
            ::SetFileAttributesA(f.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileA(f.c_str());
        }
        ::RemoveDirectoryA(folder_.c_str());
    }
    std::string MakeFile(const std::string& name, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
        std::string path = folder_ + name;
        HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(h, INVALID_HANDLE_VALUE) << path;
        ::CloseHandle(h);
        files_.push_back(path);
        ::SetFileAttributesA(path.c_str(), attributes);
        return path;
    }

    std::string folder_;
    std::vector<std::string> files_;
};

TEST_F(FileTest, SystemFoldersMatchTheEnvironmentWithoutTrailingBackslash) {
    std::string sys = SystemDirectory(), win = WindowsDirectory();
    ASSERT_FALSE(sys.empty());
    ASSERT_FALSE(win.empty());
    EXPECT_NE(sys.back(), '\\');
    EXPECT_NE(win.back(), '\\');
    EXPECT_EQ(Lower(win), Lower(Env("SystemRoot")));
    EXPECT_EQ(Lower(sys), Lower(win + "\\system32"));
    CFile file;
    EXPECT_EQ(file.SystemDirectory(), sys);
    EXPECT_EQ(file.WindowsDirectory(), win);
}

TEST_F(FileTest, ExpandFileReplacesTokensAndEnvironmentReferences) {
    CFile file;
    file.SetLocation("%sys%\\kernel32.dll");
    file.ExpandFile();
    EXPECT_EQ(file.Location(), SystemDirectory() + "\\kernel32.dll");
    EXPECT_TRUE(file.Exists());

    file.SetLocation("%WIN%\\cursors\\x.cur");
    file.ExpandFile();
    EXPECT_EQ(file.Location(), WindowsDirectory() + "\\cursors\\x.cur");

    file.SetLocation("%SystemRoot%\\system32\\kernel32.dll");
    file.ExpandFile();
    EXPECT_EQ(Lower(file.Location()), Lower(SystemDirectory() + "\\kernel32.dll"));
    EXPECT_TRUE(file.Exists());

    ASSERT_TRUE(::SetEnvironmentVariableA("SPOTLEX_TEST_FOLDER", "%win%\\media"));
    file.SetLocation("%SPOTLEX_TEST_FOLDER%\\ding.wav");
    file.ExpandFile();
    EXPECT_EQ(file.Location(), WindowsDirectory() + "\\media\\ding.wav")
        << "a token that an expansion produced";

    file.SetLocation("C:\\x\\%win%");
    file.ExpandFile();
    EXPECT_EQ(file.Location(), "C:\\x\\%win%");
}

TEST_F(FileTest, ExpansionIsCompleteBeyondTheOldBufferSize) {
    std::string longFolder(600, 'a');
    ASSERT_TRUE(::SetEnvironmentVariableA("SPOTLEX_LONG", longFolder.c_str()));
    CFile file;
    file.SetLocation("C:\\%SPOTLEX_LONG%\\%SPOTLEX_LONG%\\end.txt");
    file.ExpandFile();
    EXPECT_EQ(file.Location(), "C:\\" + longFolder + "\\" + longFolder + "\\end.txt");
}

TEST_F(FileTest, ModuleExistenceExpandsItsOwnTokens) {
    EXPECT_TRUE(FileExists("%sysdir%\\kernel32.dll", true));
    EXPECT_TRUE(FileExists("%SysDir%\\kernel32.dll", true));
    EXPECT_TRUE(FileExists("%windir%\\system32\\kernel32.dll", true));
    EXPECT_FALSE(FileExists("%sysdir%\\kernel32.dll", false));
    EXPECT_TRUE(FileExists(SystemDirectory() + "\\kernel32.dll", false));
    EXPECT_FALSE(FileExists(SystemDirectory() + "\\no-such-file.dll", false));
    EXPECT_FALSE(FileExists("", true));
}

TEST_F(FileTest, FoldersHiddenAndSystemFilesCountAsMissing) {
    EXPECT_FALSE(FileExists(WindowsDirectory(), false));
    EXPECT_FALSE(FileExists(folder_, false));
    CFile folder;
    folder.SetLocation(SystemDirectory());
    EXPECT_FALSE(folder.Exists());

    std::string plain = MakeFile("plain.txt");
    std::string hidden = MakeFile("hidden.txt", FILE_ATTRIBUTE_HIDDEN);
    std::string system = MakeFile("system.txt", FILE_ATTRIBUTE_SYSTEM);
    std::string readOnly = MakeFile("readonly.txt", FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(FileExists(plain, false));
    EXPECT_TRUE(FileExists(readOnly, false));
    EXPECT_FALSE(FileExists(hidden, false));
    EXPECT_FALSE(FileExists(system, false));
    EXPECT_FALSE(FileExists(folder_ + "*.txt", false)) << "a pattern is no file";
}

TEST_F(FileTest, CommandLineAfterTheFileIsCut) {
    std::string prog = MakeFile("prog.exe");
    EXPECT_TRUE(FileExists(prog + " /s", false));
    CFile file;
    file.SetLocation(prog + " /a /s");
    EXPECT_TRUE(file.Exists());
    EXPECT_FALSE(FileExists(folder_ + "other.exe /s", false));
}

TEST_F(FileTest, ShortPathOfExistingAndMissingFiles) {
    std::string prog = MakeFile("long program name.exe");
    CFile file;
    file.SetLocation(prog);
    std::string shortPath = file.ShortPath();
    ASSERT_FALSE(shortPath.empty());
    EXPECT_EQ(shortPath.find(' '), std::string::npos) << shortPath;
    EXPECT_TRUE(FileExists(shortPath, false));
    file.SetLocation(folder_ + "missing.exe");
    EXPECT_EQ(file.ShortPath(), "");
}

TEST_F(FileTest, PathPartsOfALocation) {
    CFile file;
    file.SetLocation(folder_ + "b.txt");
    EXPECT_EQ(file.Folder(), folder_);
    EXPECT_EQ(file.FileName(), "b");
    EXPECT_EQ(file.FileName(true), "b.txt");
    EXPECT_EQ(file.Extension(), ".txt");
}

TEST(NumDisplayColors, ReportsTheScreensBitsPerPixel) {
    // The depth the test's display was started with (wine-lib.sh); 24-bit colour is stored in 32
    // bits per pixel.
    const char* screen = std::getenv("SPOTLEX_SCREEN");
    const std::string size = screen ? screen : "1280x1024x24";
    const int depth = std::atoi(size.substr(size.find_last_of('x') + 1).c_str());
    EXPECT_EQ(NumDisplayColors(), depth == 24 ? 32 : depth);
}

}  // namespace
}  // namespace spotlex
