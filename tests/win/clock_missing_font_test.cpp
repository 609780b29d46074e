// The break clock opened where the display font is missing: its message box runs a message loop,
// and a tray double-click that arrives there must not close the clock that is being shown.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "app/main_form_win.h"
#include "core/classkit_win.h"
#include "core/display_font_win.h"
#include "core/registry_win.h"
#include "support/test_support.h"

namespace spotlex {
namespace {

frmMain* gForm = nullptr;
int gBoxesSeen = 0;

BOOL CALLBACK CloseBoxes(HWND h, LPARAM) {
    char cls[32] = {};
    GetClassNameA(h, cls, sizeof cls);
    if (std::string(cls) == "#32770" && IsWindowVisible(h)) {
        ++gBoxesSeen;
        PostMessageA(h, WM_COMMAND, IDOK, 0);
    }
    return TRUE;
}

// Inside the missing-font box's loop: the presenter double-clicks the tray icon, then the box goes.
void CALLBACK DoubleClickDuringBox(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (!gForm) return;
    SendMessageA(gForm->TrayIcon1.Hwnd(), TrayIcon::kCallbackMessage, TrayIcon::kIconId, WM_LBUTTONDBLCLK);
    EnumThreadWindows(GetCurrentThreadId(), CloseBoxes, 0);
}

TEST(ClockWithoutFont, TrayDoubleClickDuringTheMessageLeavesTheClockAlone) {
    ASSERT_FALSE(IsFontFaceAvailable(kDisplayFontFace)) << "this test needs a system without the font";
    test::OpenProgramSettings();
    goCurrentUser->SetValue("Play_Sounds", rgsDWord, 0);
    {
        frmMain form;
        form.SysInputEnabled(true);
        form.TrayIcon1.SetEnabled(true);
        gForm = &form;
        SetTimer(nullptr, 0, 300, DoubleClickDuringBox);
        form.RunMenuCommand(mnuViewBreakClock);
        gForm = nullptr;
        EXPECT_EQ(gBoxesSeen, 1) << "the missing-font message, and no second clock's";
        EXPECT_NE(form.ClockWindow, nullptr) << "the double-click closed the clock while it was being shown";
        test::PumpFor(200);
    }
    test::CloseProgramSettings();
}

}  // namespace
}  // namespace spotlex
