// TaskbarTrayHwnd finds the notification area inside the taskbar, or answers null.
#include "core/animated_rect_win.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace spotlex {
namespace {

HWND Make(const char* cls, HWND parent, DWORD style, DWORD exStyle = 0) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = cls;
    RegisterClassA(&wc);
    return CreateWindowExA(exStyle, cls, "", style, 1000, 980, 201, 44, parent, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

TEST(TaskbarTrayHwnd, IsTheTrayNotifyChildOfTheTaskbarOrNull) {
    // Wine's own taskbar window has no notification-area child: no tray, no handle.
    HWND wineTaskbar = FindWindowA("Shell_TrayWnd", nullptr);
    if (wineTaskbar && !FindWindowExA(wineTaskbar, nullptr, "TrayNotifyWnd", nullptr)) {
        EXPECT_EQ(TaskbarTrayHwnd(), nullptr);
    }

    // A taskbar of the Windows kind, in front of any other: its notification area is the answer.
    HWND taskbar = Make("Shell_TrayWnd", nullptr, WS_POPUP, WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
    ASSERT_TRUE(taskbar);
    SetWindowPos(taskbar, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_EQ(FindWindowA("Shell_TrayWnd", nullptr), taskbar);
    EXPECT_EQ(TaskbarTrayHwnd(), nullptr) << "a taskbar without a notification area";

    Make("ReBarWindow32", taskbar, WS_CHILD);
    HWND tray = Make("TrayNotifyWnd", taskbar, WS_CHILD);
    ASSERT_TRUE(tray);
    EXPECT_EQ(TaskbarTrayHwnd(), tray);

    DestroyWindow(taskbar);
}

}  // namespace
}  // namespace spotlex
