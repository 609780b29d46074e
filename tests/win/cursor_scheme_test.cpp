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

// Each file loads at every size it holds, with its hot spot where the drawing points: the tip of
// the arrows and the pen, the middle of the rest.
TEST(CursorFiles, EveryRoleLoadsLargeWithItsHotSpot) {
    for (int role = 0; role < kCursorRoleCount; ++role) {
        const std::string name(CursorValueName(role));
        const bool arrow = role <= 2, pen = name == "NWPen", up = name == "UpArrow";
        const double x = arrow ? 0.06 : pen ? 0.11 : 0.5, y = arrow ? 0.03 : pen ? 0.89 : up ? 0.02 : 0.5;
        for (int size : {48, 64, 96, 128}) {
            const std::string file = test::ExeFolder() + "cursors\\Spotlex_" + name + ".cur";
            UniqueCursor c(static_cast<HCURSOR>(
                LoadImageA(nullptr, file.c_str(), IMAGE_CURSOR, size, size, LR_LOADFROMFILE)));
            ICONINFO info{};
            ASSERT_TRUE(c && GetIconInfo(c.get(), &info)) << file;
            BITMAP bm{};
            GetObjectA(info.hbmColor, sizeof bm, &bm);
            DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
            EXPECT_EQ(bm.bmWidth, size) << name << ": no image of this size";
            EXPECT_NEAR(info.xHotspot, x * size, 0.05 * size) << name << " at " << size;
            EXPECT_NEAR(info.yHotspot, y * size, 0.05 * size) << name << " at " << size;
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
        test::OpenProgramSettings();
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
    void TearDown() override { test::CloseProgramSettings(); }
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
    form.SetLargeCursors(true);
    EXPECT_EQ(goCurrentUser->Value("Original_Cursors"), RegValue(std::string("Mine"))) << "already large";

    form.RunMenuCommand(mnuLargeCursors);
    EXPECT_FALSE(form.ActiveMenu1.Checked(mnuLargeCursors));
    EXPECT_EQ(Scheme(), "Mine");
    EXPECT_EQ(Arrow(), SpotlexFile(1));
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

    // Found nowhere: the built-in cursors; a remembered name that names no scheme ends there too.
    DeleteValue(kSystemSchemesKey, "Windows Default");
    form.SetLargeCursors(true);
    goCurrentUser->SetValue("Original_Cursors", rgsString, std::string(60 * 1024, 'x'));
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
    // Other parts of frmMain may log meanwhile (no UI Automation under Wine): count this step's entries.
    auto switchErrors = [&] {
        const std::string text = log.LogText();
        int n = 0;
        for (size_t at = text.find("LargeCursors (Property Let)"); at != std::string::npos;
             at = text.find("LargeCursors (Property Let)", at + 1))
            ++n;
        return n;
    };
    for (const std::string& list : broken) {
        SetText(kUserSchemesKey, "Spotlex", list);
        const int before = switchErrors();
        form.SetLargeCursors(true);
        EXPECT_EQ(Scheme(), "Mine") << list;
        EXPECT_EQ(Arrow(), SpotlexFile(1)) << "no role was written";
        EXPECT_EQ(switchErrors(), before + 1);
    }
    // A scheme value that is no text is no scheme.
    RegistrySetting schemes;
    schemes.OpenKey(kUserSchemesKey);
    schemes.SetValue("Spotlex", rgsDWord, 7);
    form.SetLargeCursors(true);
    EXPECT_EQ(Scheme(), "Mine");
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
    test::OpenProgramSettings();
    frmMain again;
    EXPECT_EQ(Scheme(), "Spotlex");
}

}  // namespace
}  // namespace spotlex
