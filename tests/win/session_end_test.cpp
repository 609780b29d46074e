// A log-off that comes while the presenter drags a display, as Windows delivers it to the program's
// main window: frmMain in this process, its displays, the real move loop.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>

#include "app/main_form_win.h"
#include "core/classkit_win.h"
#include "core/display_font_win.h"
#include "core/errata_log_win.h"
#include "core/registry_win.h"
#include "support/log_capture.h"
#include "support/test_support.h"

namespace spotlex {
namespace {

// The session ends inside the move loop and ends every display; the drag touches none of them afterwards.
TEST(SessionEndTest, InsideADisplaysDragItEndsTheProgramCleanly) {
    ASSERT_TRUE(LoadDisplayFont(test::ExeFolder()));
    for (const bool dragClock : {true, false}) {
        test::ScopedLogFolder log;
        test::OpenProgramSettings();
        goCurrentUser->SetValue("Play_Sounds", rgsDWord, 0);
        frmMain form;
        form.SysInputEnabled(true);
        HWND shown = nullptr;
        if (dragClock) {
            form.RunMenuCommand(mnuViewBreakClock);
            ASSERT_TRUE(form.ClockWindow);
            shown = form.ClockWindow->hWnd();
        } else {
            form.KeyboardWindow->Display("a");
            shown = form.KeyboardWindow->Window().Hwnd();
        }
        test::PumpFor(300);
        const POINT grab = test::InsideShape(shown);
        ASSERT_GE(grab.x, 0);
        HWND main = form.Hwnd();
        form.TrayIcon1.SetEnabled(true);
        bool clockKept = false;
        test::AtMoveLoop([&form, main, &clockKept] {
            // The drag counts as modal: a tray double-click does not close the clock under it.
            SendMessageA(form.TrayIcon1.Hwnd(), TrayIcon::kCallbackMessage, TrayIcon::kIconId, WM_LBUTTONDBLCLK);
            clockKept = form.ClockWindow != nullptr;
            SendMessageA(main, WM_QUERYENDSESSION, 0, 0);
            SendMessageA(main, WM_ENDSESSION, TRUE, 0);
        });
        std::thread drag = test::DragFrom(grab, 80, 50);
        test::PumpUntil([&] { return form.Unloaded() && !IsWindow(shown); }, 8000);
        drag.join();
        EXPECT_TRUE(test::MoveLoopActionRan());
        EXPECT_TRUE(clockKept || !dragClock) << "a tray double-click closed the clock being dragged";
        EXPECT_TRUE(form.Unloaded());
        EXPECT_FALSE(IsWindow(shown));
        EXPECT_FALSE(form.SysInput1.Enabled()) << "the drag's end switched the hook on again";
        CloseErrataRuns();
        // Wine has no UI Automation: that entry is expected, any other is a fault.
        const std::string text = log.LogText();
        EXPECT_EQ(log.EntryCount(), text.find("UI Automation") != std::string::npos ? 1 : 0) << text;
    }
}

}  // namespace
}  // namespace spotlex
