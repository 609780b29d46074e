#pragma once
// basAnimatedRect: where the taskbar's notification area is, and the caption zoom outline that
// lets dialogs grow out of it and shrink back into it.
#include <windows.h>

namespace spotlex {

// The notification-area window ("TrayNotifyWnd" in "Shell_TrayWnd"), or null without a taskbar.
HWND TaskbarTrayHwnd() noexcept;

// Draws the system's zoom outline from one window to another; the tray end of the zoom is a line
// in the middle of the tray. A null window stands for the screen's top-left corner.
void AnimatedZoom(HWND fromHwnd, HWND toHwnd, bool opening) noexcept;

}  // namespace spotlex
