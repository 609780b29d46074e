#include "core/animated_rect_win.h"

#include "core/animated_rect.h"

namespace spotlex {

namespace {
ZoomRect ScreenRect(HWND hwnd) {
    RECT r{};  // stays empty for a null or dead window, as the zoom then starts at the corner
    GetWindowRect(hwnd, &r);
    return {r.left, r.top, r.right, r.bottom};
}

RECT ToRect(const ZoomRect& z) {
    return {z.left, z.top, z.right, z.bottom};
}
}  // namespace

HWND TaskbarTrayHwnd() noexcept {
    HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    if (!taskbar) return nullptr;
    return FindWindowExA(taskbar, nullptr, "TrayNotifyWnd", nullptr);
}

void AnimatedZoom(HWND fromHwnd, HWND toHwnd, bool opening) noexcept {
    const HWND tray = TaskbarTrayHwnd();
    const ZoomPlan plan =
        PlanZoom(ScreenRect(fromHwnd), fromHwnd == tray, ScreenRect(toHwnd), toHwnd == tray, opening);
    const RECT start = ToRect(plan.start);
    const RECT end = ToRect(plan.end);
    DrawAnimatedRects(plan.drawForDestination ? toHwnd : fromHwnd, IDANI_CAPTION, &start, &end);
}

}  // namespace spotlex
