// frmMain's break-clock commands against the real clock: opening it from the stored settings,
// the tray's double-click, the clock menu, pause, restart and the properties step.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/main_form_win.h"
#include "core/classkit_win.h"
#include "core/display_font_win.h"
#include "support/test_support.h"

namespace spotlex {
namespace {

using test::PumpFor;
using test::PumpUntil;

class ClockCommandsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(LoadDisplayFont()); }
    void SetUp() override {
        test::OpenProgramSettings();
        goCurrentUser->SetValue(settings::kPlaySounds.name, rgsDWord, 0);
        for (auto* s :
             {&settings::kColorClock, &settings::kSizeClock, &settings::kShowAsClock, &settings::kShowSeconds,
              &settings::kStartClock, &settings::kClockLeft, &settings::kClockTop,
              &settings::kSingleClickActivation, &settings::kLastProperties}) {
            try {
                goCurrentUser->DeleteValue(s->name);
            } catch (...) {
            }
        }
    }
    void TearDown() override { test::CloseProgramSettings(); }
    void Store(const NumberSetting& s, std::int32_t v) { goCurrentUser->SetValue(s.name, rgsDWord, v); }
    static void TrayMessage(frmMain& form, UINT mouseMsg) {
        SendMessageA(form.TrayIcon1.Hwnd(), TrayIcon::kCallbackMessage, TrayIcon::kIconId, mouseMsg);
    }
};

TEST_F(ClockCommandsTest, DefaultsOpenANavyFifteenMinuteCountdownAndTheItemFollowsTheClock) {
    Store(settings::kShowClock, 1);
    frmMain form;
    EXPECT_FALSE(form.ActiveMenu1.Checked(mnuViewBreakClock)) << "no clock is open at start";
    EXPECT_TRUE(form.ActiveMenu1.Enabled(mnuViewBreakClock));
    EXPECT_TRUE(form.ActiveMenu1.Enabled(mnuClockProperties));

    form.RunMenuCommand(mnuViewBreakClock);
    ASSERT_TRUE(form.ClockWindow);
    frmClock& w = form.ClockWindow->Window();
    EXPECT_EQ(w.Text(), "15:00");
    EXPECT_EQ(w.BackColor(), 0x800000u);
    EXPECT_EQ(w.FontPoints(), 128);
    EXPECT_TRUE(IsWindowVisible(w.Hwnd()));
    EXPECT_TRUE(form.ActiveMenu1.Checked(mnuViewBreakClock));
    EXPECT_EQ(form.SysInputDisableCount(), 0) << "the hook gate is balanced";

    RECT r{};
    GetWindowRect(w.Hwnd(), &r);
    EXPECT_NEAR(r.left + (r.right - r.left) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1)
        << "first shown centred";
    form.RunMenuCommand(mnuViewBreakClock);
    EXPECT_FALSE(form.ClockWindow);
    EXPECT_FALSE(form.ActiveMenu1.Checked(mnuViewBreakClock));
    EXPECT_EQ(RegValueNumber(goCurrentUser->Value(settings::kClockLeft.name, rgsDWord)), r.left)
        << "the place is stored when the clock closes";
}

TEST_F(ClockCommandsTest, StoredValuesOutOfRangeAreClamped) {
    Store(settings::kShowSeconds, 0);
    frmMain form;
    struct Case {
        std::int32_t start, size, asClock;
        const char* text;
        std::int32_t points;
    } cases[] = {{0, -5, 7, "1", 14}, {100000, 100000, 1, "8:00", 188}, {125, 64, 0, "", 64}};
    for (const Case& c : cases) {
        Store(settings::kStartClock, c.start);
        Store(settings::kSizeClock, c.size);
        Store(settings::kShowAsClock, c.asClock);
        form.RunMenuCommand(mnuViewBreakClock);
        ASSERT_TRUE(form.ClockWindow);
        frmClock& w = form.ClockWindow->Window();
        if (*c.text) {
            EXPECT_EQ(w.Text(), c.text);
        }
        EXPECT_EQ(w.ShowAsClock(), c.asClock == 0);
        EXPECT_EQ(w.FontPoints(), c.points);
        RECT r{};
        GetWindowRect(w.Hwnd(), &r);
        EXPECT_GE(r.left, 0);
        EXPECT_GE(r.top, 0);
        EXPECT_LE(r.bottom, GetSystemMetrics(SM_CYSCREEN));
        form.RunMenuCommand(mnuViewBreakClock);
    }
}

TEST_F(ClockCommandsTest, TrayDoubleClickAndSingleClickActivationToggleTheClock) {
    frmMain form;
    form.TrayIcon1.SetEnabled(true);
    TrayMessage(form, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(form.ClockWindow);
    EXPECT_TRUE(form.ActiveMenu1.Checked(mnuViewBreakClock));
    TrayMessage(form, WM_LBUTTONDBLCLK);
    EXPECT_FALSE(form.ClockWindow);

    TrayMessage(form, WM_LBUTTONDOWN);
    TrayMessage(form, WM_LBUTTONUP);
    EXPECT_FALSE(form.ClockWindow) << "a single click does nothing by default";
    Store(settings::kSingleClickActivation, 1);
    TrayMessage(form, WM_LBUTTONDOWN);
    TrayMessage(form, WM_LBUTTONUP);
    EXPECT_TRUE(form.ClockWindow);
    EXPECT_EQ(form.SysInputDisableCount(), 0);
}

TEST_F(ClockCommandsTest, PauseRestartAndHideCommands) {
    Store(settings::kStartClock, 2);
    frmMain form;
    form.RunMenuCommand(mnuViewBreakClock);
    ASSERT_TRUE(form.ClockWindow);
    frmClock& w = form.ClockWindow->Window();
    std::int64_t ms = 1'000'000;
    w.TimeSource = [&] {
        ClockNow now;
        now.steadyMs = ms;
        return now;
    };
    form.RunMenuCommand(mnuClockRestart);
    ms += 5000;
    w.Timer_Tick();
    EXPECT_EQ(w.Text(), "1:55");
    form.RunMenuCommand(mnuClockPause);
    EXPECT_TRUE(w.Paused());
    EXPECT_TRUE(form.ActiveMenu1.Checked(mnuClockPause));
    Store(settings::kColorClock, 0x0000FF);
    form.RunMenuCommand(mnuClockRestart);
    EXPECT_TRUE(w.Paused()) << "a paused clock restarts paused";
    EXPECT_EQ(w.Text(), "2:00");
    EXPECT_EQ(w.BackColor(), 0x0000FFu);
    ms += 30'000;
    w.Timer_Tick();
    EXPECT_EQ(w.Text(), "2:00");
    form.RunMenuCommand(mnuClockPause);
    EXPECT_FALSE(w.Paused());
    EXPECT_FALSE(form.ActiveMenu1.Checked(mnuClockPause));

    form.RunMenuCommand(mnuClockHide);
    EXPECT_FALSE(IsWindowVisible(w.Hwnd()));
    EXPECT_EQ(form.ActiveMenu1.ShownCaption(mnuClockHide), "Show");
}

TEST_F(ClockCommandsTest, PropertiesStepKeepsTheRemainingTimeAndAppliesTheRest) {
    frmMain form;
    form.RunMenuCommand(mnuViewBreakClock);
    ASSERT_TRUE(form.ClockWindow);
    frmClock& w = form.ClockWindow->Window();
    std::int64_t ms = 1'000'000;
    w.TimeSource = [&] {
        ClockNow now;
        now.steadyMs = ms;
        return now;
    };
    form.RunMenuCommand(mnuClockRestart);
    ms += 60'000;
    bool hiddenDuringDialog = false;
    form.PropertiesCommand = [&] {
        hiddenDuringDialog = !IsWindowVisible(w.Hwnd()) && w.Paused();
        ms += 30'000;  // time spent in the dialog does not count
        Store(settings::kSizeClock, 64);
        Store(settings::kColorClock, 0x00FF00);
        Store(settings::kShowSeconds, 0);
        Store(settings::kStartClock, 5);
    };
    form.RunMenuCommand(mnuClockProperties);
    EXPECT_TRUE(hiddenDuringDialog);
    EXPECT_EQ(RegValueNumber(goCurrentUser->Value(settings::kLastProperties.name, rgsDWord)), 2);
    EXPECT_EQ(w.FontPoints(), 64);
    EXPECT_EQ(w.BackColor(), 0x00FF00u);
    EXPECT_EQ(w.Text(), "14") << "the same count-down, now without seconds";
    EXPECT_TRUE(IsWindowVisible(w.Hwnd()));
    EXPECT_FALSE(w.Paused());
}

// Closes the clock menu as soon as it opens, after noting the hook's state.
struct MenuSeen {
    frmMain* form = nullptr;
    int disableCount = -1;
    bool closeClock = false;
};
MenuSeen* g_seen = nullptr;

void CALLBACK InspectClockMenu(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (!g_seen) return;
    g_seen->disableCount = g_seen->form->SysInputDisableCount();
    if (g_seen->closeClock) {
        // Up from the top wraps round to the last item, Close.
        INPUT keys[4]{};
        WORD vks[] = {VK_UP, VK_UP, VK_RETURN, VK_RETURN};
        for (int i = 0; i < 4; ++i) {
            keys[i].type = INPUT_KEYBOARD;
            keys[i].ki.wVk = vks[i];
            keys[i].ki.dwFlags = (i % 2) ? KEYEVENTF_KEYUP : 0;
        }
        SendInput(4, keys, sizeof(INPUT));
    } else {
        EndMenu();
    }
}

TEST_F(ClockCommandsTest, RightClickOnTheClockOpensItsMenuWithTheHookOffAndCloseClosesIt) {
    frmMain form;
    form.SysInputEnabled(true);
    form.RunMenuCommand(mnuViewBreakClock);
    ASSERT_TRUE(form.ClockWindow);
    HWND clock = form.ClockWindow->hWnd();
    MenuSeen seen{&form};
    g_seen = &seen;
    SetTimer(nullptr, 0, 300, InspectClockMenu);
    SendMessageA(clock, WM_RBUTTONUP, 0, MAKELPARAM(20, 20));
    PumpUntil([&] { return seen.disableCount >= 0; }, 3000);
    PumpFor(100);
    EXPECT_EQ(seen.disableCount, 1) << "the menu did not open, or the hook stayed on";
    EXPECT_TRUE(form.ClockWindow) << "closing the menu leaves the clock";
    EXPECT_TRUE(form.SysInput1.Enabled());

    seen = MenuSeen{&form, -1, true};
    SetTimer(nullptr, 0, 300, InspectClockMenu);
    SendMessageA(clock, WM_RBUTTONUP, 0, MAKELPARAM(20, 20));
    PumpUntil([&] { return !form.ClockWindow; }, 3000);
    g_seen = nullptr;
    EXPECT_FALSE(form.ClockWindow) << "Close closes the clock";
    EXPECT_FALSE(form.ActiveMenu1.Checked(mnuViewBreakClock));
    EXPECT_FALSE(IsWindow(clock));
    EXPECT_EQ(form.SysInputDisableCount(), 0);
}

TEST_F(ClockCommandsTest, TrayMenuClosesAnOpenClockFirst) {
    frmMain form;
    form.TrayIcon1.SetEnabled(true);
    form.RunMenuCommand(mnuViewBreakClock);
    ASSERT_TRUE(form.ClockWindow);
    SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        EndMenu();
    });
    TrayMessage(form, WM_RBUTTONDOWN);
    TrayMessage(form, WM_RBUTTONUP);
    EXPECT_FALSE(form.ClockWindow);
    EXPECT_FALSE(form.ActiveMenu1.Checked(mnuViewBreakClock));
}

}  // namespace
}  // namespace spotlex
