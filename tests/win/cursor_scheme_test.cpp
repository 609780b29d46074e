// The large cursor scheme: the cursor files beside the program, and switching the Windows cursor
// scheme on and off against Wine's real registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/main_form_win.h"
#include "core/classkit_win.h"
#include "core/registry_win.h"
#include "core/unique_handle_win.h"
#include "cursors/cursor_scheme.h"
#include "cursors/cursor_scheme_win.h"
#include "support/log_capture.h"
#include "support/test_support.h"

namespace spotlex {
namespace {

// Each file loads at every size it holds, with its hot spot where the drawing points.
TEST(CursorFiles, EveryRoleLoadsLargeWithItsHotSpot) {
    struct Expect {
        const char* role;
        double x, y;  // hot spot as a fraction of the size
    };
    const Expect roles[] = {
        {"Arrow", 0.06, 0.03},   {"Help", 0.06, 0.03},   {"AppStarting", 0.06, 0.03}, {"Wait", 0.5, 0.5},
        {"Crosshair", 0.5, 0.5}, {"IBeam", 0.5, 0.5},    {"NWPen", 0.11, 0.89},       {"No", 0.5, 0.5},
        {"SizeNS", 0.5, 0.5},    {"SizeWE", 0.5, 0.5},   {"SizeNWSE", 0.5, 0.5},      {"SizeNESW", 0.5, 0.5},
        {"SizeAll", 0.5, 0.5},   {"UpArrow", 0.5, 0.02},
    };
    for (const Expect& e : roles) {
        const std::string file = test::ExeFolder() + "cursors\\Spotlex_" + e.role + ".cur";
        for (int size : {48, 64, 96, 128}) {
            UniqueCursor c(static_cast<HCURSOR>(
                LoadImageA(nullptr, file.c_str(), IMAGE_CURSOR, size, size, LR_LOADFROMFILE)));
            ASSERT_TRUE(c) << file << " at " << size;
            ICONINFO info{};
            ASSERT_TRUE(GetIconInfo(c.get(), &info));
            BITMAP bm{};
            GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
            if (info.hbmColor) DeleteObject(info.hbmColor);
            if (info.hbmMask) DeleteObject(info.hbmMask);
            EXPECT_EQ(bm.bmWidth, size) << e.role << ": no image of this size in the file";
            EXPECT_NEAR(info.xHotspot, e.x * size, 0.05 * size) << e.role << " at " << size;
            EXPECT_NEAR(info.yHotspot, e.y * size, 0.05 * size) << e.role << " at " << size;
        }
    }
}

// ---- switching schemes, on Wine's registry ----

std::string SpotlexFile(int role) {
    return test::ExeFolder() + "cursors\\Spotlex_" + std::string(CursorValueName(role)) + ".cur";
}

// A scheme list of the Spotlex files, from role `first` round to the one before it.
std::string ListFrom(int first, int count = kCursorRoleCount) {
    std::string list;
    for (int i = 0; i < count; ++i) list += (i ? "," : "") + SpotlexFile((first + i) % kCursorRoleCount);
    return list;
}

void SetText(const char* key, const std::string& name, const std::string& text, DWORD type = REG_SZ) {
    RegistrySetting r;
    r.OpenKey(key);
    r.SetValue(name, static_cast<std::int32_t>(type), text);
}

void DeleteValue(const char* key, const std::string& name) {
    RegistrySetting r;
    r.OpenKey(key);
    r.DeleteValue(name);
}

RegValue Read(const char* key, const std::string& name) {
    RegistrySetting r;
    r.OpenKey(key);
    return r.Value(name);
}

DWORD TypeOf(const char* subkey, const char* name) {
    DWORD type = 0;
    RegGetValueA(HKEY_CURRENT_USER, subkey, name, RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, nullptr);
    return type;
}

class SchemeTest : public ::testing::Test {
protected:
    void SetUp() override {
        goCurrentUser = std::make_unique<RegistrySetting>();
        goCurrentUser->OpenKey(kUserKey);
        goLocalMachine = std::make_unique<RegistrySetting>();
        goLocalMachine->OpenKey(kMachineKey);
        goCurrentUser->SetValue("Play_Sounds", rgsDWord, 0);
        goCurrentUser->SetValue("Show_Large_Cursors", rgsDWord, 0);
        goCurrentUser->DeleteValue("Original_Cursors");
        SetText(kUserSchemesKey, "Spotlex", ListFrom(0));
        SetText(kUserSchemesKey, "Mine", ListFrom(1));
        SetText(kUserSchemesKey, "Other", ListFrom(2));
        DeleteValue(kUserSchemesKey, "Windows Default");
        DeleteValue(kSystemSchemesKey, "Windows Default");
        ASSERT_TRUE(CCursorScheme().SetScheme("Mine"));
    }
    void TearDown() override {
        goCurrentUser.reset();
        goLocalMachine.reset();
    }
    std::string Scheme() { return CCursorScheme().Scheme(); }
    std::string Arrow() { return CCursorScheme().CursorLocation(0); }
};

TEST_F(SchemeTest, OnThenOffFromTheMenuPutsBackTheSchemeInForceBefore) {
    frmMain form;
    ASSERT_TRUE(form.ActiveMenu1.Enabled(mnuLargeCursors));
    form.RunMenuCommand(mnuLargeCursors);
    EXPECT_TRUE(form.ActiveMenu1.Checked(mnuLargeCursors));
    EXPECT_EQ(Scheme(), "Spotlex");
    EXPECT_EQ(Arrow(), SpotlexFile(0));
    EXPECT_EQ(CCursorScheme().CursorLocation(13), SpotlexFile(13));
    EXPECT_EQ(Read(kCursorsKey, kSchemeSourceValue), RegValue(std::int32_t{kSchemeSourceUser}));
    EXPECT_EQ(goCurrentUser->Value("Original_Cursors"), RegValue(std::string("Mine")));

    form.RunMenuCommand(mnuLargeCursors);
    EXPECT_FALSE(form.ActiveMenu1.Checked(mnuLargeCursors));
    EXPECT_EQ(Scheme(), "Mine");
    EXPECT_EQ(Arrow(), SpotlexFile(1));
    EXPECT_EQ(goCurrentUser->Value("Original_Cursors"), RegValue(std::string("Mine")));
}

TEST_F(SchemeTest, OnWhileLargeKeepsTheRememberedScheme) {
    frmMain form;
    form.SetLargeCursors(true);
    ASSERT_EQ(Scheme(), "Spotlex");
    form.SetLargeCursors(true);
    EXPECT_EQ(goCurrentUser->Value("Original_Cursors"), RegValue(std::string("Mine")));
}

TEST_F(SchemeTest, OffWithNothingRememberedGivesWindowsDefaultWhereverItLives) {
    frmMain form;
    std::string expandable;
    for (int i = 0; i < kCursorRoleCount; ++i)
        expandable += (i ? "," : "") + std::string("%SystemRoot%\\win.ini");
    SetText(kSystemSchemesKey, "Windows Default", expandable, REG_EXPAND_SZ);
    form.SetLargeCursors(true);
    goCurrentUser->DeleteValue("Original_Cursors");
    form.SetLargeCursors(false);
    EXPECT_EQ(Scheme(), "Windows Default");
    EXPECT_EQ(Arrow(), "%SystemRoot%\\win.ini");
    EXPECT_EQ(TypeOf("Control Panel\\Cursors", "Arrow"), static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(Read(kCursorsKey, kSchemeSourceValue), RegValue(std::int32_t{kSchemeSourceSystem}));

    // Found nowhere: the built-in cursors.
    DeleteValue(kSystemSchemesKey, "Windows Default");
    form.SetLargeCursors(true);
    goCurrentUser->SetValue("Original_Cursors", rgsString, std::string("Spotlex"));
    form.SetLargeCursors(false);
    EXPECT_EQ(Scheme(), "Windows Default");
    for (int i = 0; i < kCursorRoleCount; ++i) EXPECT_EQ(CCursorScheme().CursorLocation(i), "") << i;
    EXPECT_EQ(Read(kCursorsKey, kSchemeSourceValue), RegValue(std::int32_t{kSchemeSourceSystem}));
}

TEST_F(SchemeTest, OffAfterTheUserPickedAnotherSchemeLeavesIt) {
    frmMain form;
    form.SetLargeCursors(true);
    ASSERT_TRUE(CCursorScheme().SetScheme("Other"));
    form.SetLargeCursors(false);
    EXPECT_EQ(Scheme(), "Other");
    EXPECT_EQ(Arrow(), SpotlexFile(2));
}

TEST_F(SchemeTest, ListsTooLongAreCutAndListsTooShortOrBrokenChangeNothing) {
    SetText(kUserSchemesKey, "Long", ListFrom(0, 16));
    ASSERT_TRUE(CCursorScheme().SetScheme("Long"));
    EXPECT_EQ(CCursorScheme().CursorLocation(13), SpotlexFile(13));
    ASSERT_TRUE(CCursorScheme().SetScheme("Mine"));

    test::ScopedLogFolder log;
    frmMain form;
    const std::string broken[] = {
        ListFrom(0, 13),                                // thirteen files
        ListFrom(0, 13) + ",C:\\nowhere\\missing.cur",  // a file that is not there
    };
    for (const std::string& list : broken) {
        SetText(kUserSchemesKey, "Spotlex", list);
        const int before = log.EntryCount();
        form.SetLargeCursors(true);
        EXPECT_EQ(Scheme(), "Mine") << list;
        EXPECT_EQ(Arrow(), SpotlexFile(1)) << "no role was written";
        EXPECT_EQ(log.EntryCount(), before + 1);
    }
    EXPECT_NE(log.LogText().find("LargeCursors (Property Let)"), std::string::npos);
    // A scheme value that is no text is no scheme.
    RegistrySetting schemes;
    schemes.OpenKey(kUserSchemesKey);
    schemes.SetValue("Spotlex", rgsDWord, 7);
    form.SetLargeCursors(true);
    EXPECT_EQ(Scheme(), "Mine");
}

TEST_F(SchemeTest, AHugeRememberedNameStillEndsTheLargeCursors) {
    frmMain form;
    form.SetLargeCursors(true);
    goCurrentUser->SetValue("Original_Cursors", rgsString, std::string(60 * 1024, 'x'));
    form.SetLargeCursors(false);
    EXPECT_EQ(Scheme(), "Windows Default");
}

TEST_F(SchemeTest, ExitRestoresTheCursorsAndTheNextStartSwitchesThemOnAgain) {
    goCurrentUser->SetValue("Show_Large_Cursors", rgsDWord, 1);
    {
        frmMain form;
        EXPECT_TRUE(form.ActiveMenu1.Checked(mnuLargeCursors));
        EXPECT_EQ(Scheme(), "Spotlex");
    }
    EXPECT_EQ(Scheme(), "Mine");
    EXPECT_EQ(Read(kUserKey, "Show_Large_Cursors"), RegValue(std::int32_t{1}));

    // Main opens the settings keys again at the next start.
    goCurrentUser = std::make_unique<RegistrySetting>();
    goCurrentUser->OpenKey(kUserKey);
    goLocalMachine = std::make_unique<RegistrySetting>();
    goLocalMachine->OpenKey(kMachineKey);
    frmMain again;
    EXPECT_EQ(Scheme(), "Spotlex");
}

}  // namespace
}  // namespace spotlex
