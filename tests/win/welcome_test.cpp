// The welcome at start: shown once through the quick help box, the tray icon and the hook coming
// on only after it is closed, and nothing else opening from the tray while it shows.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/main_form_win.h"
#include "core/classkit_win.h"
#include "core/registry_win.h"
#include "help/help_box_win.h"
#include "support/test_support.h"

namespace spotlex {
namespace {

struct WhileOpen {
    frmMain* form = nullptr;
    int boxes = 0;
    std::string title;
    bool hookOn = true;
    bool trayEnabled = true;
    UINT timerInterval = 99;
    int disableCountAfterTrayClick = -1;
};
WhileOpen g_seen;

std::string Text(HWND h) {
    char buf[256] = {};
    GetWindowTextA(h, buf, sizeof buf);
    return buf;
}

void CALLBACK LookAtTheWelcome(HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = FindWindowA(frmHelpBox::kClassName, "Spotlex");
    if (!box || !IsWindowVisible(box)) return;
    KillTimer(nullptr, id);
    ++g_seen.boxes;
    g_seen.title = Text(GetDlgItem(box, kHelpTitle));
    g_seen.hookOn = g_seen.form->SysInput1.Enabled();
    g_seen.trayEnabled = g_seen.form->TrayIcon1.Enabled();
    g_seen.timerInterval = g_seen.form->Timer1Interval();
    // A right click on the icon meanwhile opens no menu over the box.
    SendMessageA(g_seen.form->TrayIcon1.Hwnd(), TrayIcon::kCallbackMessage, TrayIcon::kIconId, WM_RBUTTONUP);
    g_seen.disableCountAfterTrayClick = g_seen.form->SysInputDisableCount();
    PostMessageA(box, WM_CLOSE, 0, 0);
}

class WelcomeTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_seen = {};
        test::OpenProgramSettings();
        goCurrentUser->SetValue("Play_Sounds", rgsDWord, 0);
        goCurrentUser->DeleteValue("Dismiss_Welcome");
    }
    void TearDown() override { test::CloseProgramSettings(); }
};

TEST_F(WelcomeTest, ShowsOnceAndTurnsTheHookOnOnlyAfterIt) {
    frmMain form;
    g_seen.form = &form;
    // As the splash leaves it: the icon disabled, the hook off.
    form.TrayIcon1.SetEnabled(false);
    UINT_PTR look = SetTimer(nullptr, 0, 50, &LookAtTheWelcome);
    form.ShowWelcome();
    ASSERT_TRUE(test::PumpUntil([&] { return form.SysInput1.Enabled(); }, 10000));
    KillTimer(nullptr, look);
    EXPECT_EQ(g_seen.boxes, 1);
    EXPECT_EQ(g_seen.title, "Welcome to Spotlex");
    EXPECT_FALSE(g_seen.hookOn) << "the hook came on before the welcome closed";
    EXPECT_FALSE(g_seen.trayEnabled);
    EXPECT_EQ(g_seen.timerInterval, 0u) << "the timer must stop before the box opens";
    EXPECT_EQ(g_seen.disableCountAfterTrayClick, 0) << "a tray click opened a menu over the welcome";
    EXPECT_TRUE(form.TrayIcon1.Enabled());
    EXPECT_EQ(form.SysInputDisableCount(), 0);

    // No second welcome from the same start.
    look = SetTimer(nullptr, 0, 50, &LookAtTheWelcome);
    test::PumpFor(600);
    KillTimer(nullptr, look);
    EXPECT_EQ(g_seen.boxes, 1);
}

}  // namespace
}  // namespace spotlex
