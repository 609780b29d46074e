#include "keystrokes/key_handler_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/app_error.h"
#include "core/classkit_win.h"
#include "core/registry_win.h"
#include "support/test_support.h"

namespace spotlex {
namespace {

constexpr const char* kUserSubkey = "Software\\Parvane\\Classkit\\4.5\\Spotlex";
constexpr std::int16_t kShift = 1, kCtrl = 2;
constexpr std::int16_t kVkF5 = 116, kVkS = 'S', kVkShift = 16;

std::string Codes(std::initializer_list<int> codes) {
    std::string s;
    for (int c : codes) s += static_cast<char>(static_cast<unsigned char>(c));
    return s;
}

// Writes behind the program's back through a key of our own, as the key filter dialog or
// regedit would, so only a fresh read can see the change.
class OtherWriter {
public:
    OtherWriter() {
        RegCreateKeyExA(HKEY_CURRENT_USER, kUserSubkey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
    }
    ~OtherWriter() { RegCloseKey(key_); }
    void Text(const char* name, const std::string& data) {
        ASSERT_EQ(RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                                 static_cast<DWORD>(data.size() + 1)),
                  ERROR_SUCCESS);
    }
    void Number(const char* name, DWORD value) {
        ASSERT_EQ(RegSetValueExA(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value),
                  ERROR_SUCCESS);
    }
    void Delete(const char* name) { RegDeleteValueA(key_, name); }

private:
    HKEY key_ = nullptr;
};

class KeyHandlerTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"VK_0x74", "VK_0x10074", "VK_0x20053", "VK_0x30053", "Key_IncludeExclude"}) {
            writer.Delete(name);
        }
        goCurrentUser = std::make_unique<RegistrySetting>();
        goCurrentUser->OpenKey(kUserKey);
        ASSERT_TRUE(goCurrentUser->IsOpen());
    }
    void TearDown() override { goCurrentUser.reset(); }

    // Presses one key and returns whether it sounded; the shown texts collect in `shown`.
    bool Press(std::int16_t vk, std::int16_t mask, bool showShifted = false) {
        const size_t before = sounds.size();
        handler.KeyDown(vk, mask, showShifted);
        return sounds.size() > before;
    }
    std::string LastShown() const { return shown.empty() ? std::string() : shown.back(); }

    OtherWriter writer;
    std::vector<std::string> shown;
    std::vector<std::string> sounds;
    KeystrokeHandler handler{[this](const CapText& text) { shown.push_back(test::CodesOf(text)); },
                             [this](std::string_view name, bool sync) {
                                 EXPECT_FALSE(sync);
                                 sounds.emplace_back(name);
                             }};
};

TEST_F(KeyHandlerTest, WithoutFilterEveryKeySoundsAndNamedKeysShow) {
    EXPECT_TRUE(Press(kVkS, kCtrl));
    EXPECT_EQ(LastShown(), Codes({168, 's'}));
    EXPECT_EQ(sounds.back(), "CKKeystroke");

    // A lone modifier sounds but shows nothing.
    shown.clear();
    EXPECT_TRUE(Press(kVkShift, kShift));
    EXPECT_TRUE(shown.empty());

    EXPECT_TRUE(Press('3', kCtrl | kShift, true));
    EXPECT_EQ(LastShown(), "#");
}

TEST_F(KeyHandlerTest, APauseHidesAndSilencesKeysAndThePauseKeyNeverShows) {
    std::uint64_t now = 0;
    KeyPause pause([&] { return now; });
    pause.SetResumeMinutes(5);
    constexpr std::int32_t kPauseKey = 0x70050;  // Ctrl+Alt+Shift+P
    handler.SetPause(&pause, kPauseKey);
    EXPECT_FALSE(Press('P', 7)) << "the pause key itself";
    EXPECT_TRUE(shown.empty());
    EXPECT_TRUE(Press(kVkS, kCtrl));
    pause.Toggle();
    shown.clear();
    EXPECT_FALSE(Press(kVkS, kCtrl));
    EXPECT_FALSE(Press(kVkF5, 0));
    EXPECT_TRUE(shown.empty());
    // Five minutes on, the pause has ended by itself.
    now += 5 * 60000;
    EXPECT_TRUE(Press(kVkF5, 0));
    EXPECT_EQ(shown.size(), 1u);
}

TEST_F(KeyHandlerTest, TheKeyCapsAreHandedOnBeforeTheSoundStarts) {
    std::vector<size_t> shownAtSound;
    KeystrokeHandler ordered([&](const CapText& text) { shown.push_back(test::CodesOf(text)); },
                             [&](std::string_view, bool) { shownAtSound.push_back(shown.size()); });
    ordered.KeyDown(kVkS, kCtrl, false);
    ordered.KeyDown(kVkShift, kShift, false);  // sounds, shows nothing
    EXPECT_EQ(shownAtSound, (std::vector<size_t>{1, 1}));
}

TEST_F(KeyHandlerTest, ChangedEntryTakesEffectAtTheNextPress) {
    EXPECT_TRUE(Press(kVkF5, 0));
    EXPECT_EQ(shown.size(), 1u);

    writer.Text("VK_0x74", "F5");
    EXPECT_FALSE(Press(kVkF5, 0));
    EXPECT_EQ(shown.size(), 1u);
    // The entry is for F5 alone, not for Shift with F5.
    EXPECT_TRUE(Press(kVkF5, kShift));
    EXPECT_EQ(LastShown(), Codes({169, 150}));

    // An entry emptied or removed no longer lists the key.
    writer.Text("VK_0x74", "");
    EXPECT_TRUE(Press(kVkF5, 0));
    EXPECT_EQ(LastShown(), Codes({150}));
    writer.Text("VK_0x74", "F5");
    EXPECT_FALSE(Press(kVkF5, 0));
    writer.Delete("VK_0x74");
    EXPECT_TRUE(Press(kVkF5, 0));
}

TEST_F(KeyHandlerTest, ModeIsReadAtEveryPress) {
    writer.Text("VK_0x20053", "Ctrl + S");

    writer.Number("Key_IncludeExclude", 0);
    EXPECT_TRUE(Press(kVkS, kCtrl));
    EXPECT_EQ(LastShown(), Codes({168, 's'}));
    shown.clear();
    // Only the exact combination is listed: Ctrl+Shift+S is not.
    EXPECT_FALSE(Press(kVkS, kCtrl | kShift));
    EXPECT_FALSE(Press(kVkF5, 0));
    EXPECT_FALSE(Press(kVkShift, kShift));
    EXPECT_TRUE(shown.empty());

    writer.Number("Key_IncludeExclude", 1);
    EXPECT_FALSE(Press(kVkS, kCtrl));
    EXPECT_TRUE(Press(kVkS, kCtrl | kShift));
    EXPECT_EQ(LastShown(), Codes({168, 169, 's'}));

    // Out-of-range modes are clamped: 5 counts as 1.
    writer.Number("Key_IncludeExclude", 5);
    EXPECT_FALSE(Press(kVkS, kCtrl));
    EXPECT_TRUE(Press(kVkF5, 0));
}

// The errata log goes to the suite's folder named by the machine-wide Path; here a folder of our own.
std::string UseLogFolder() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "keys_log";
    CreateDirectoryA(folder.c_str(), nullptr);
    DeleteFileA((folder + "\\errata.log").c_str());
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Parvane\\Classkit\\4.5\\General", 0, nullptr, 0,
                    KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExA(key, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                   static_cast<DWORD>(folder.size() + 1));
    RegCloseKey(key);
    return folder + "\\errata.log";
}

std::string ReadWhole(const std::string& path) {
    std::string text;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return text;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0) text.append(buf, got);
    CloseHandle(f);
    return text;
}

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST_F(KeyHandlerTest, AFailingDisplayIsLoggedAndTheHandlerGoesOn) {
    const std::string log = UseLogFolder();
    int calls = 0;
    KeystrokeHandler failing(
        [&](const CapText&) {
            ++calls;
            throw AppError(kObjectErrorBase + 3, "CRegistry", "display failed");
        },
        [&](std::string_view, bool) { sounds.emplace_back("sound"); });
    failing.KeyDown(kVkF5, 0, false);
    failing.KeyDown(kVkF5, 0, false);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(sounds.size(), 2u);

    // The same failure twice in a row is one entry; its count follows once the run ends.
    const std::string text = ReadWhole(log);
    EXPECT_EQ(Count(text, "Procedure: SysInput1_KeyDown\r\nModule: frmMain\r\n"), 1u) << text;
    EXPECT_EQ(Count(text, "Desc: display failed\r\n"), 1u);
}

TEST_F(KeyHandlerTest, ABadModeIsLoggedOnceNotAtEveryPress) {
    const std::string log = UseLogFolder();
    writer.Text("Key_IncludeExclude", "include");
    for (int press = 0; press < 20; ++press) Press(kVkF5, 0);
    EXPECT_EQ(Count(ReadWhole(log), "Procedure: GetNumericSetting\r\nModule: basClasskit\r\n"), 1u)
        << ReadWhole(log);
}

TEST_F(KeyHandlerTest, WithoutTheSettingsObjectNothingIsShown) {
    // During shutdown the settings are gone: both reads fail and are logged, the mode reads 0.
    goCurrentUser.reset();
    EXPECT_FALSE(Press(kVkF5, 0));
    EXPECT_TRUE(shown.empty());
}

}  // namespace
}  // namespace spotlex
