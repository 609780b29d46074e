// PlayFX's choice of file against the real registry, environment and Windows folder.
#include <gtest/gtest.h>
#include <windows.h>
#include <sddl.h>

#include <string>
#include <vector>

#include "core/sound_win.h"
#include "support/test_support.h"

namespace spotlex {
namespace {

constexpr const char* kVersionSubkey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kAppSubkey = "AppEvents\\Schemes\\Apps\\Classkit";
constexpr const char* kMachineSoundsSubkey = "Software\\Parvane\\Classkit\\4.5\\Sounds";

std::string WindowsFolder() {
    char buffer[MAX_PATH] = {};
    GetWindowsDirectoryA(buffer, MAX_PATH);
    return buffer;
}

void SetMachineText(const char* name, DWORD type, const std::string& text) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kVersionSubkey, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
}

void DeleteMachineValue(const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kVersionSubkey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, name);
        RegCloseKey(key);
    }
}

// The sound file of an event, as the Sounds control panel stores it.
void SetEventFile(const std::string& event, const std::string& file) {
    HKEY key = nullptr;
    std::string subkey = std::string(kAppSubkey) + "\\" + event + "\\.Current";
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, nullptr, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(file.c_str()),
                   static_cast<DWORD>(file.size() + 1));
    RegCloseKey(key);
}

// What an all-users install registers for every user, and what a per-user install names its section.
void SetMachineSound(const char* event, const std::string& file) {
    ASSERT_EQ(RegSetKeyValueA(HKEY_LOCAL_MACHINE, kMachineSoundsSubkey, event, REG_SZ, file.c_str(),
                              static_cast<DWORD>(file.size() + 1)),
              ERROR_SUCCESS);
}

void NameUserSection(const std::string& name) {
    ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, kAppSubkey, nullptr, REG_SZ, name.c_str(),
                              static_cast<DWORD>(name.size() + 1)),
              ERROR_SUCCESS);
}

bool EventKeyExists(const std::string& event) {
    HKEY key = nullptr;
    std::string subkey = std::string(kAppSubkey) + "\\" + event + "\\.Current";
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

class Sound : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteMachineValue("MediaPath");
        DeleteMachineValue("MediaPathUnexpanded");
        RegDeleteTreeA(HKEY_CURRENT_USER, kAppSubkey);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kMachineSoundsSubkey);
    }
    void TearDown() override {
        SetUp();
        gbPlaySounds = false;
    }
};

TEST_F(Sound, MediaFolderFromMediaPathElseUnexpandedElseWindows) {
    EXPECT_EQ(MediaFolder(), WindowsFolder() + "\\Media\\") << "no value at all, as in a fresh Wine prefix";

    SetMachineText("MediaPathUnexpanded", REG_EXPAND_SZ, "%SystemRoot%\\Sounds");
    EXPECT_EQ(MediaFolder(), WindowsFolder() + "\\Sounds\\");

    SetMachineText("MediaPath", REG_SZ, "D:\\Old\\Media");
    EXPECT_EQ(MediaFolder(), "D:\\Old\\Media\\") << "MediaPath comes first where it still exists";
}

TEST_F(Sound, MediaFolderIsReadWhereWeMayOnlyRead) {
    SetMachineText("MediaPathUnexpanded", REG_EXPAND_SZ, "%SystemRoot%\\Sounds");
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kVersionSubkey, 0, READ_CONTROL | WRITE_DAC, &key), ERROR_SUCCESS);
    std::vector<BYTE> saved(4096);
    DWORD size = static_cast<DWORD>(saved.size());
    ASSERT_EQ(RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, saved.data(), &size), ERROR_SUCCESS);
    // A standard user's view of HKEY_LOCAL_MACHINE: reading only.
    PSECURITY_DESCRIPTOR readOnly = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KR;;;WD)", SDDL_REVISION_1, &readOnly,
                                                                     nullptr));
    ASSERT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, readOnly), ERROR_SUCCESS);
    LocalFree(readOnly);
    HKEY full = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kVersionSubkey, 0, KEY_ALL_ACCESS, &full), ERROR_ACCESS_DENIED);

    const std::string folder = MediaFolder();

    RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, saved.data());
    RegCloseKey(key);
    EXPECT_EQ(folder, WindowsFolder() + "\\Sounds\\");
}

TEST_F(Sound, EventFilesResolveAgainstTheRealFolders) {
    const std::string media = WindowsFolder() + "\\Media\\";
    SetEventFile("CKClick", "click.wav");
    EXPECT_EQ(SoundFileForEvent("CKClick"), media + "click.wav");

    SetEventFile("CKAlarm", "%SystemRoot%\\media\\Alarm01.wav");
    EXPECT_EQ(SoundFileForEvent("CKAlarm"), WindowsFolder() + "\\media\\Alarm01.wav");

    char temp[MAX_PATH] = {};
    GetEnvironmentVariableA("TEMP", temp, MAX_PATH);
    SetEventFile("CKKeystroke", "%TEMP%\\key.wav");
    EXPECT_EQ(SoundFileForEvent("CKKeystroke"), std::string(temp) + "\\key.wav");

    SetEventFile("CKStartUp", "C:\\Sounds\\start.wav");
    EXPECT_EQ(SoundFileForEvent("CKStartUp"), "C:\\Sounds\\start.wav");
    SetEventFile("CKClose", "\\\\server\\share\\close.wav");
    EXPECT_EQ(SoundFileForEvent("CKClose"), "\\\\server\\share\\close.wav");
    SetEventFile("CKAbout", "%NO_SUCH_VARIABLE%\\about.wav");
    EXPECT_EQ(SoundFileForEvent("CKAbout"), media + "%NO_SUCH_VARIABLE%\\about.wav")
        << "an unknown reference stays as written";

    // Never configured: silent, and opening the scheme key leaves it behind, empty.
    EXPECT_FALSE(EventKeyExists("CKDragStart"));
    EXPECT_EQ(SoundFileForEvent("CKDragStart"), "");
    EXPECT_TRUE(EventKeyExists("CKDragStart"));
}

TEST_F(Sound, UsersWithoutTheirOwnSectionHearTheMachinesSounds) {
    SetMachineSound("CKClick", "C:\\Classkit\\sounds\\Spotlex_Click.wav");
    EXPECT_EQ(SoundFileForEvent("CKClick"), "C:\\Classkit\\sounds\\Spotlex_Click.wav");
    // An event the machine has no sound for keeps the user's rule, and its empty key does not
    // make a section of the user's own.
    EXPECT_EQ(SoundFileForEvent("CKAlarm"), "");
    EXPECT_EQ(SoundFileForEvent("CKClick"), "C:\\Classkit\\sounds\\Spotlex_Click.wav");

    // A per-user install's section rules, an event silenced in the control panel included.
    NameUserSection("Classkit");
    SetEventFile("CKClick", "");
    EXPECT_EQ(SoundFileForEvent("CKClick"), "");
}

TEST_F(Sound, ThePlayedFileFollowsTheSchemeAndTheMachine) {
    SetEventFile("CKKeystroke", "C:\\Sounds\\one.wav");
    EXPECT_EQ(PlayedSoundFile("CKKeystroke"), "C:\\Sounds\\one.wav");
    EXPECT_EQ(PlayedSoundFile("CKTyped"), "") << "an event without a file";

    // Changed in the Sounds control panel while the program runs.
    SetEventFile("CKKeystroke", "C:\\Sounds\\two.wav");
    EXPECT_TRUE(
        test::PumpUntil([] { return PlayedSoundFile("CKKeystroke") == "C:\\Sounds\\two.wav"; }, 5000));
    SetEventFile("CKTyped", "C:\\Sounds\\typed.wav");
    EXPECT_TRUE(test::PumpUntil([] { return PlayedSoundFile("CKTyped") == "C:\\Sounds\\typed.wav"; }, 5000));

    // An all-users install registers its sounds after the start.
    SetMachineSound("CKKeystroke", "C:\\Classkit\\key.wav");
    RegDeleteTreeA(HKEY_CURRENT_USER, kAppSubkey);
    EXPECT_TRUE(
        test::PumpUntil([] { return PlayedSoundFile("CKKeystroke") == "C:\\Classkit\\key.wav"; }, 5000));
}

TEST_F(Sound, PlayFxOpensNothingWhileSoundsAreOff) {
    gbPlaySounds = false;
    PlayFX("CKDragEnd", true);
    EXPECT_FALSE(EventKeyExists("CKDragEnd"));

    gbPlaySounds = true;
    PlayFX("CKDragEnd", false);
    EXPECT_TRUE(EventKeyExists("CKDragEnd"));
}

}  // namespace
}  // namespace spotlex
