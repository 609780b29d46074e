// RegistrySetting and GetNumericSetting against Wine's real registry.
#include <gtest/gtest.h>
#include <windows.h>
#include <sddl.h>

#include <functional>
#include <string>

#include "core/classkit_win.h"
#include "core/registry_win.h"
#include "support/log_capture.h"
#include "support/test_support.h"

namespace spotlex {
namespace {

constexpr const char* kBaseSubkey = "Software\\Parvane\\Classkit\\4.5\\RegistryTest";
const std::string kBase = std::string("HKEY_CURRENT_USER\\") + kBaseSubkey;

const std::string kNotOpenText =
    "Invalid Key Handle or key not open.  Open a valid registry key using OpenKey before setting or "
    "retrieving the value of the key.";

// Runs `f` and returns the AppError it raised; fails the test when it raised none.
AppError Raised(const std::function<void()>& f) {
    try {
        f();
    } catch (const AppError& e) {
        return e;
    }
    ADD_FAILURE() << "no error was raised";
    return AppError(0, "", "");
}

class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, kBaseSubkey);
        name_ = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        path_ = kBase + "\\" + name_;
        subkey_ = std::string(kBaseSubkey) + "\\" + name_;
    }
    void TearDown() override {
        goCurrentUser.reset();
        RegDeleteTreeA(HKEY_CURRENT_USER, kBaseSubkey);
    }

    // Writes a value straight through the API, as another program (or a damaged profile) would.
    void RawSet(const char* name, DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, subkey_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    void RawDword(const char* name, DWORD value) { RawSet(name, REG_DWORD, &value, sizeof value); }
    void RawText(const char* name, const std::string& text) {
        RawSet(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
    }
    // Type and size as the registry itself reports them.
    bool RawQuery(const char* name, DWORD* type, DWORD* size) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, subkey_.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        LONG r = RegQueryValueExA(key, name, nullptr, type, nullptr, size);
        RegCloseKey(key);
        return r == ERROR_SUCCESS;
    }
    bool RawKeyExists() {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, subkey_.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }
    void OpenUserSettingsHere() {
        goCurrentUser = std::make_unique<RegistrySetting>();
        goCurrentUser->OpenKey(path_);
        ASSERT_TRUE(goCurrentUser->IsOpen());
    }

    std::string name_;
    std::string path_;
    std::string subkey_;
};

TEST_F(Registry, OpenCreatesTheKeyAndASecondOpenIsRefused) {
    ASSERT_FALSE(RawKeyExists());
    RegistrySetting rs;
    EXPECT_FALSE(rs.KeyExists(path_));
    rs.OpenKey(path_);
    EXPECT_TRUE(rs.IsOpen());
    EXPECT_FALSE(rs.IsReadOnly());
    EXPECT_EQ(rs.Path(), path_);
    EXPECT_TRUE(RawKeyExists());
    EXPECT_TRUE(rs.KeyExists(path_));

    AppError e = Raised([&] { rs.OpenKey(path_ + "\\Other"); });
    EXPECT_EQ(static_cast<std::uint32_t>(e.Number()), 0x80040004u);
    EXPECT_EQ(e.Source(), "CRegistry");
    EXPECT_EQ(e.Description(), "A Key is already open.  Close the open key before attempting to open another.");
    // The first key stays open and in use; the second was not created.
    EXPECT_EQ(rs.Path(), path_);
    rs.SetValue("Kept", rgsDWord, std::int32_t{7});
    DWORD type = 0, size = 0;
    EXPECT_TRUE(RawQuery("Kept", &type, &size));
    EXPECT_FALSE(rs.KeyExists(path_ + "\\Other"));

    rs.CloseKey();
    EXPECT_FALSE(rs.IsOpen());
    EXPECT_EQ(rs.Path(), "");
    rs.OpenKey(path_ + "\\Other");
    EXPECT_TRUE(rs.IsOpen());
}

TEST_F(Registry, RootNamesIgnoreCaseAndAnythingElseIsRefused) {
    RegistrySetting rs;
    rs.OpenKey("hkey_current_user\\" + subkey_);
    ASSERT_TRUE(rs.IsOpen());
    rs.SetValue("Lower", rgsString, std::string("yes"));
    DWORD type = 0, size = 0;
    EXPECT_TRUE(RawQuery("Lower", &type, &size)) << "the lower-case root is HKEY_CURRENT_USER";
    rs.CloseKey();

    const std::string invalidRoot =
        "The string specified as RootKey is invalid.  Make sure that the RootKey string is specified and is one "
        "of the following values:\r\n\r\n"
        "\"HKEY_CLASSES_ROOT\"\r\n"
        "\"HKEY_CURRENT_USER\"\r\n"
        "\"HKEY_LOCAL_MACHINE\"\r\n"
        "\"HKEY_USERS\"\r\n"
        "\"HKEY_DYN_DATA\"";
    for (const char* bad : {"HKEY_CURRENT_USER", "", "HKCU\\Software", "HKEY_CURRENT_USERS\\Software",
                            "\\Software\\Parvane"}) {
        AppError e = Raised([&] { rs.OpenKey(bad); });
        EXPECT_EQ(static_cast<std::uint32_t>(e.Number()), 0x80040005u) << bad;
        EXPECT_EQ(e.Source(), "CRegistry");
        EXPECT_EQ(e.Description(), invalidRoot) << bad;
        EXPECT_FALSE(rs.IsOpen());
    }
    EXPECT_EQ(static_cast<std::uint32_t>(Raised([&] { rs.KeyExists("HKEY_CURRENT_USER"); }).Number()),
              0x80040005u);
    EXPECT_EQ(static_cast<std::uint32_t>(Raised([&] { rs.DeleteKey("nowhere"); }).Number()), 0x80040005u);
}

TEST_F(Registry, TextsAreStoredWithTheirNulAndReadWithout) {
    RegistrySetting rs;
    rs.OpenKey(path_);
    rs.SetValue("Three", rgsString, std::string("abc"));
    DWORD type = 0, size = 0;
    ASSERT_TRUE(RawQuery("Three", &type, &size));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(rs.Value("Three", rgsString), RegValue{std::string("abc")});

    rs.SetValue("Expand", rgsExpandString, std::string("%SystemRoot%\\x"));
    ASSERT_TRUE(RawQuery("Expand", &type, &size));
    EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(rs.Value("Expand"), RegValue{std::string("%SystemRoot%\\x")}) << "read as stored, unexpanded";

    rs.SetValue("Empty", rgsString, std::string());
    EXPECT_EQ(rs.Value("Empty"), RegValue{std::string()}) << "an empty text is a text, not nothing";
    rs.SetValue("FromNumber", rgsString, std::int32_t{-42});
    EXPECT_EQ(rs.Value("FromNumber"), RegValue{std::string("-42")});

    // The stored type decides what comes back, whatever type the caller asks for.
    EXPECT_EQ(rs.Value("Three", rgsDWord), RegValue{std::string("abc")});
    EXPECT_TRUE(IsEmpty(rs.Value("Missing", rgsString)));
    EXPECT_TRUE(IsEmpty(rs.Value("Missing", rgsDWord)));

    rs.DeleteValue("Three");
    EXPECT_TRUE(IsEmpty(rs.Value("Three")));
}

TEST_F(Registry, DefaultValueIsTextOnly) {
    RegistrySetting rs;
    rs.OpenKey(path_);
    rs.SetValue("", rgsString, std::string("chimes.wav"));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, subkey_.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    char buffer[64] = {};
    LONG size = sizeof buffer;
    EXPECT_EQ(RegQueryValueA(key, nullptr, buffer, &size), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_STREQ(buffer, "chimes.wav");
    EXPECT_EQ(rs.Value(""), RegValue{std::string("chimes.wav")});

    const std::string notString =
        "When setting or retrieving the default (unnamed) value for a key in the registry, the type of the data "
        "MUST be a string or convertable into a string.";
    for (std::int32_t type : {std::int32_t{rgsDWord}, std::int32_t{rgsExpandString}, std::int32_t{rgsBinary}, 0}) {
        AppError e = Raised([&] { rs.SetValue("", type, std::int32_t{5}); });
        EXPECT_EQ(static_cast<std::uint32_t>(e.Number()), 0x80040001u) << type;
        EXPECT_EQ(e.Description(), notString);
    }
    EXPECT_EQ(rs.Value(""), RegValue{std::string("chimes.wav")}) << "a refused write changes nothing";

    // A default value that is no text reads as nothing, not as its raw bytes.
    const unsigned char bytes[] = {0x41, 0x42, 0x43};
    RawSet("", REG_BINARY, bytes, sizeof bytes);
    EXPECT_TRUE(IsEmpty(rs.Value("")));
    RawDword("", 0x00434241);
    EXPECT_TRUE(IsEmpty(rs.Value("")));
}

TEST_F(Registry, MisuseRaisesTheClassErrors) {
    RegistrySetting rs;
    for (auto op : std::initializer_list<std::function<void()>>{
             [&] { rs.Value("x"); }, [&] { rs.Value(""); }, [&] { rs.SetValue("x", rgsString, std::string("y")); },
             [&] { rs.SetValue("", rgsString, std::string("y")); }, [&] { rs.DeleteValue("x"); }}) {
        AppError e = Raised(op);
        EXPECT_EQ(static_cast<std::uint32_t>(e.Number()), 0x80040003u);
        EXPECT_EQ(e.Source(), "CRegistry");
        EXPECT_EQ(e.Description(), kNotOpenText);
    }

    rs.OpenKey(path_);
    const std::string badType =
        "The Key Type must be evaluate to one of the following:\r\n\r\n"
        "1  (rgsString) : Unicode nul terminated string\r\n"
        "3  (rgsBinary) : Free form binary\r\n"
        "4  (rgsDWord)  : 32-bit number";
    for (std::int32_t type : {0, -1, 5, 7, 11}) {
        AppError e = Raised([&] { rs.SetValue("x", type, std::int32_t{1}); });
        EXPECT_EQ(static_cast<std::uint32_t>(e.Number()), 0x80040006u) << type;
        EXPECT_EQ(e.Description(), badType);
    }
    AppError binary = Raised([&] { rs.SetValue("x", rgsBinary, std::string("data")); });
    EXPECT_EQ(static_cast<std::uint32_t>(binary.Number()), 0x80040008u);
    EXPECT_EQ(binary.Description(),
              "The CRegistry Class is unable to return Binary data from the registry at this time.  As time "
              "allows, this problem will be fixed.");
    DWORD type = 0, size = 0;
    EXPECT_FALSE(RawQuery("x", &type, &size)) << "nothing was written";
}

TEST_F(Registry, NumbersAreSigned32Bit) {
    RegistrySetting rs;
    rs.OpenKey(path_);
    rs.SetValue("Negative", rgsDWord, std::int32_t{-5});
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, subkey_.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD raw = 0, size = sizeof raw, type = 0;
    EXPECT_EQ(RegQueryValueExA(key, "Negative", nullptr, &type, reinterpret_cast<BYTE*>(&raw), &size), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(raw, 0xFFFFFFFBu);
    EXPECT_EQ(rs.Value("Negative", rgsDWord), RegValue{std::int32_t{-5}});

    RawDword("AllOnes", 0xFFFFFFFFu);
    EXPECT_EQ(rs.Value("AllOnes", rgsDWord), RegValue{std::int32_t{-1}});

    // A text handed over for a number converts as the runtime converts texts.
    rs.SetValue("FromHex", rgsDWord, std::string("&H10"));
    EXPECT_EQ(rs.Value("FromHex"), RegValue{std::int32_t{16}});
    EXPECT_EQ(static_cast<std::uint32_t>(Raised([&] { rs.SetValue("Bad", rgsDWord, std::string("abc")); }).Number()),
              13u);
    EXPECT_FALSE(RawQuery("Bad", &type, &size));
}

TEST_F(Registry, OddStoredValuesNeverCrashOrOverread) {
    OpenUserSettingsHere();
    test::ScopedLogFolder log;
    RegistrySetting& rs = *goCurrentUser;

    const unsigned char bytes[] = {1, 0, 0, 0};  // looks like the number 1, but is binary
    RawSet("Binary", REG_BINARY, bytes, sizeof bytes);
    EXPECT_TRUE(IsEmpty(rs.Value("Binary", rgsDWord)));
    EXPECT_EQ(GetNumericSetting("Binary", 33, 0, 100), 33) << "binary is never taken for a number";

    const unsigned char two[] = {0x34, 0x12};
    RawSet("ShortDword", REG_DWORD, two, sizeof two);
    EXPECT_TRUE(IsEmpty(rs.Value("ShortDword")));
    EXPECT_EQ(GetNumericSetting("ShortDword", 33, 0, 100), 33);

    const unsigned char eight[] = {5, 0, 0, 0, 0, 0, 0, 0};
    RawSet("Qword", REG_QWORD, eight, sizeof eight);
    EXPECT_TRUE(IsEmpty(rs.Value("Qword")));
    RawSet("LongDword", REG_DWORD, eight, sizeof eight);
    EXPECT_TRUE(IsEmpty(rs.Value("LongDword")));
    const char multi[] = "a\0b\0";
    RawSet("Multi", REG_MULTI_SZ, multi, sizeof multi);
    EXPECT_TRUE(IsEmpty(rs.Value("Multi")));
    EXPECT_EQ(log.EntryCount(), 0) << "empty reads are not errors";

    // A text stored without its NUL comes back whole and no longer.
    RawSet("NoNul", REG_SZ, "abcd", 4);
    EXPECT_EQ(rs.Value("NoNul"), RegValue{std::string("abcd")});
    RawSet("Inner", REG_SZ, "ab\0cd", 6);
    EXPECT_EQ(rs.Value("Inner"), RegValue{std::string("ab")});
    RawSet("Zero", REG_SZ, "", 0);
    EXPECT_EQ(rs.Value("Zero"), RegValue{std::string()});

    std::string big(60 * 1024, 'x');
    big[0] = '1';
    RawText("Big", big);
    EXPECT_EQ(rs.Value("Big"), RegValue{big});
    EXPECT_EQ(GetNumericSetting("Big", 33, 10, 100), 10) << "no number: 0, raised to the minimum";
    EXPECT_EQ(log.EntryCount(), 1);

    RawText("NegativeText", "-7");
    EXPECT_EQ(GetNumericSetting("NegativeText", 0, -10, 10), -7);
    RawDword("NegativeDword", static_cast<DWORD>(-300));
    EXPECT_EQ(GetNumericSetting("NegativeDword", 0, -10, 10), -10);
    RawDword("AllOnes", 0xFFFFFFFFu);
    EXPECT_EQ(GetNumericSetting("AllOnes", 5, 0, 0xFFFFFF), 0);
}

TEST_F(Registry, GetNumericSettingClampsEveryResult) {
    OpenUserSettingsHere();
    test::ScopedLogFolder log;

    RawDword("Five", 5);
    EXPECT_EQ(GetNumericSetting("Five", 100, 14, 188), 14);
    RawDword("FiveHundred", 500);
    EXPECT_EQ(GetNumericSetting("FiveHundred", 100, 14, 188), 188);
    RawDword("Inside", 100);
    EXPECT_EQ(GetNumericSetting("Inside", 50, 14, 188), 100);
    EXPECT_EQ(GetNumericSetting("Inside", 50, 200, 150), 150) << "min above max gives max";
    EXPECT_EQ(GetNumericSetting("Missing", 1000, 0, 255), 255) << "the default is clamped too";
    EXPECT_EQ(GetNumericSetting("Missing", 60, 0, 255), 60);

    RawText("Hex", "&H10");
    EXPECT_EQ(GetNumericSetting("Hex", 0, 0, 100), 16);
    RawText("Half", " 12.5 ");
    EXPECT_EQ(GetNumericSetting("Half", 0, 0, 100), 12);
    RawText("OtherHalf", "13.5");
    EXPECT_EQ(GetNumericSetting("OtherHalf", 0, 0, 100), 14);
    EXPECT_EQ(log.EntryCount(), 0);

    RawText("Word", "abc");
    EXPECT_EQ(GetNumericSetting("Word", 3000, -5, 5), 0) << "an error gives 0";
    EXPECT_EQ(GetNumericSetting("Word", 3000, 14, 188), 14) << "and that 0 is clamped";
    EXPECT_EQ(log.EntryCount(), 1) << "the same error again is counted, not written";
    std::string text = log.LogText();
    EXPECT_NE(text.find("\r\nProcedure: GetNumericSetting\r\nModule: basClasskit\r\nNumber: 13\r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\r\nDesc: Type mismatch\r\n"), std::string::npos);

    RawText("Empty", "");
    EXPECT_EQ(GetNumericSetting("Empty", 3000, 1, 188), 1);
    EXPECT_EQ(log.EntryCount(), 1);

    // With the settings released (at shutdown) the read is an error too, logged and bounded.
    goCurrentUser.reset();
    EXPECT_EQ(GetNumericSetting("Five", 100, 14, 188), 14);
    EXPECT_EQ(log.EntryCount(), 2);
    EXPECT_NE(log.LogText().find("(The entry above came 2 more times"), std::string::npos);
    EXPECT_NE(log.LogText().find("Number: -2147221501\r\n"), std::string::npos);
    EXPECT_NE(log.LogText().find("Desc: " + kNotOpenText + "\r\n"), std::string::npos);
}

TEST_F(Registry, AKeyDeletedBehindOurBackIsReopened) {
    RegistrySetting rs;
    rs.OpenKey(path_);
    rs.SetValue("Before", rgsDWord, std::int32_t{1});
    ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, subkey_.c_str()), ERROR_SUCCESS);
    ASSERT_FALSE(RawKeyExists());

    rs.SetValue("After", rgsDWord, std::int32_t{2});
    EXPECT_TRUE(RawKeyExists());
    EXPECT_EQ(rs.Value("After"), RegValue{std::int32_t{2}});
    EXPECT_TRUE(IsEmpty(rs.Value("Before"))) << "the old values went with the old key";
    EXPECT_EQ(rs.Path(), path_);

    ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, subkey_.c_str()), ERROR_SUCCESS);
    EXPECT_TRUE(IsEmpty(rs.Value("After")));
    EXPECT_TRUE(RawKeyExists()) << "a read reopens (recreates) the key as well";
    rs.SetValue("Again", rgsString, std::string("x"));
    DWORD type = 0, size = 0;
    EXPECT_TRUE(RawQuery("Again", &type, &size)) << "and the reopened handle is the one in use";

    ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, subkey_.c_str()), ERROR_SUCCESS);
    rs.SetValue("", rgsString, std::string("default"));
    EXPECT_EQ(rs.Value(""), RegValue{std::string("default")});
}

TEST_F(Registry, KeptValuesFollowEveryChange) {
    RawDword("Delay", 1);
    RegistrySetting rs;
    rs.OpenKey(path_);
    rs.KeepValues();
    EXPECT_EQ(rs.Value("Delay"), RegValue{std::int32_t{1}});
    EXPECT_TRUE(IsEmpty(rs.Value("Missing")));

    // Our own writes are read back at once, a value that was missing included.
    rs.SetValue("Delay", rgsDWord, std::int32_t{2});
    rs.SetValue("Missing", rgsString, std::string("here"));
    EXPECT_EQ(rs.Value("Delay"), RegValue{std::int32_t{2}});
    EXPECT_EQ(rs.Value("Missing"), RegValue{std::string("here")});
    rs.DeleteValue("Missing");
    EXPECT_TRUE(IsEmpty(rs.Value("Missing")));

    // Another program's write is seen as soon as the system has told us of it.
    RawDword("Delay", 3);
    EXPECT_TRUE(test::PumpUntil([&] { return rs.Value("Delay") == RegValue{std::int32_t{3}}; }, 5000));
    ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, subkey_.c_str()), ERROR_SUCCESS);
    EXPECT_TRUE(test::PumpUntil([&] { return IsEmpty(rs.Value("Delay")); }, 5000)) << "the key went away";
    RawDword("Delay", 4);
    EXPECT_TRUE(test::PumpUntil([&] { return rs.Value("Delay") == RegValue{std::int32_t{4}}; }, 5000))
        << "and the key made again is watched in its turn";
}

TEST_F(Registry, KeptValuesAreFreshForWhatComesAfterTheWrite) {
    RawDword("Delay", 1);
    RegistrySetting rs;
    rs.OpenKey(path_);
    rs.KeepValues();
    ASSERT_EQ(rs.Value("Delay"), RegValue{std::int32_t{1}});

    // Another object of ours writes, and the next line reads: no message comes between.
    RegistrySetting other;
    other.OpenKey(path_);
    other.SetValue("Delay", rgsDWord, std::int32_t{2});
    EXPECT_EQ(rs.Value("Delay"), RegValue{std::int32_t{2}});

    // Another program writes, then sends us something: it is handled with the new value, even
    // behind messages that were already waiting.
    ASSERT_EQ(rs.Value("Delay"), RegValue{std::int32_t{2}});
    PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
    RawDword("Delay", 3);
    PostThreadMessageA(GetCurrentThreadId(), WM_APP, 0, 0);
    MSG msg{};
    while (GetMessageWatching(&msg) && msg.message != WM_APP) DispatchMessageA(&msg);
    EXPECT_EQ(rs.Value("Delay"), RegValue{std::int32_t{3}});
}

TEST_F(Registry, AKeyWeMayOnlyReadIsOpenedForReading) {
    RawDword("Splash_Screen_Time", 3);
    RawText("Path", "C:\\Classkit");
    // Only reading for everyone, as HKEY_LOCAL_MACHINE is for a standard user.
    PSECURITY_DESCRIPTOR sd = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KR;;;WD)", SDDL_REVISION_1, &sd,
                                                                     nullptr));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, subkey_.c_str(), 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    ASSERT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd), ERROR_SUCCESS);
    RegCloseKey(key);
    LocalFree(sd);
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, subkey_.c_str(), 0, KEY_ALL_ACCESS, &key), ERROR_ACCESS_DENIED)
        << "the registry must refuse full access for this test to mean anything";

    test::ScopedLogFolder log;
    RegistrySetting rs;
    EXPECT_TRUE(rs.KeyExists(path_));
    rs.OpenKey(path_);
    ASSERT_TRUE(rs.IsOpen());
    EXPECT_TRUE(rs.IsReadOnly());
    EXPECT_EQ(rs.Value("Splash_Screen_Time", rgsDWord), RegValue{std::int32_t{3}});
    EXPECT_EQ(rs.Value("Path"), RegValue{std::string("C:\\Classkit")});
    EXPECT_EQ(log.EntryCount(), 0);

    rs.SetValue("Spotlex_Clock", rgsDWord, std::int32_t{1234});
    EXPECT_TRUE(IsEmpty(rs.Value("Spotlex_Clock")));
    EXPECT_EQ(log.EntryCount(), 1);
    std::string text = log.LogText();
    EXPECT_NE(text.find("\r\nProcedure: Value\r\nModule: CRegistry\r\nNumber: 5\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find(path_ + ", Spotlex_Clock)"), std::string::npos) << text;

    rs.SetValue("", rgsString, std::string("x"));
    EXPECT_EQ(log.EntryCount(), 2);
    EXPECT_EQ(rs.Value("Path"), RegValue{std::string("C:\\Classkit")}) << "reads go on working";

    // Let the tear-down delete the key again.
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(A;;KA;;;WD)", SDDL_REVISION_1, &sd,
                                                                     nullptr));
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, subkey_.c_str(), 0, WRITE_DAC, &key), ERROR_SUCCESS);
    RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd);
    RegCloseKey(key);
    LocalFree(sd);
}

TEST_F(Registry, KeysAreClosedWhenReleasedAndDeletedOnRequest) {
    const long before = UniqueKey::Live();
    {
        RegistrySetting rs;
        rs.OpenKey(path_);
        EXPECT_EQ(UniqueKey::Live(), before + 1);
        EXPECT_FALSE(rs.KeyExists(path_ + "\\Nothing"));
        EXPECT_EQ(UniqueKey::Live(), before + 1) << "KeyExists leaves no handle behind";
        rs.CloseKey();
        EXPECT_EQ(UniqueKey::Live(), before);
        rs.OpenKey(path_ + "\\Child");
    }
    EXPECT_EQ(UniqueKey::Live(), before) << "releasing the object closes its key";

    RegistrySetting rs;
    EXPECT_TRUE(rs.KeyExists(path_ + "\\Child"));
    rs.DeleteKey(path_ + "\\Child");
    EXPECT_FALSE(rs.KeyExists(path_ + "\\Child"));
    rs.DeleteKey(path_ + "\\Child");  // gone already: not checked, not raised
    EXPECT_FALSE(rs.IsOpen());
}

TEST_F(Registry, AKeyThatCannotBeOpenedLeavesTheObjectClosed) {
    RegistrySetting rs;
    // A subkey name longer than the registry allows.
    rs.OpenKey(path_ + "\\" + std::string(300, 'k'));
    EXPECT_FALSE(rs.IsOpen());
    EXPECT_EQ(rs.Path(), "");
    AppError e = Raised([&] { rs.Value("x"); });
    EXPECT_EQ(static_cast<std::uint32_t>(e.Number()), 0x80040003u);
}

}  // namespace
}  // namespace spotlex
