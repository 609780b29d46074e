#include "mouse/wheel_mark_win.h"

#include <algorithm>
#include <vector>

#include "core/errata_log_win.h"
#include "core/unique_handle_win.h"

namespace spotlex {

namespace {
constexpr UINT_PTR kLingerTimer = 1;
constexpr DWORD kExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
}  // namespace

WheelMarkWindow::WheelMarkWindow() {
    CreateWin(kClassName, kExStyle, WS_POPUP, "", 0, 0, 1, 1);
}

void WheelMarkWindow::Turn(std::uint32_t time, int x, int y, int delta, COLORREF color,
                           std::int32_t size) noexcept {
    if (!hwnd_) return;
    try {
        if (run_.OnTurn(time, x, y, delta)) {
            color_ = color;
            width_ = WheelMarkWidth(size);
            shownChevrons_ = 0;
        }
        if (run_.Mark().chevrons != shownChevrons_) Reshape();
        // Every turn of the run keeps the mark a while longer.
        ::SetTimer(hwnd_, kLingerTimer, kWheelMarkLingerMs, nullptr);
    } catch (...) {
        LogCurrentException("frmWheelMark", "Turn");
    }
}

void WheelMarkWindow::Reshape() {
    const WheelMark& mark = run_.Mark();
    const std::vector<WheelPoint> outline = WheelMarkOutline(width_, mark.chevrons, mark.up);
    std::vector<POINT> points;
    std::vector<INT> counts;
    int height = 0;
    for (const WheelPoint& p : outline) {
        points.push_back({p.x, p.y});
        height = std::max(height, p.y + 1);
    }
    for (size_t i = 0; i < outline.size() / 3; ++i) counts.push_back(3);
    UniqueRgn shape(
        ::CreatePolyPolygonRgn(points.data(), counts.data(), static_cast<int>(counts.size()), WINDING));
    if (!shape) return;
    // Beside the pointer, so it hides neither the pointer nor what is under it.
    const int left = mark.x + width_ / 2;
    const int top = mark.y - height / 2;
    ::SetWindowPos(hwnd_, HWND_TOPMOST, left, top, width_ + 1, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    if (::SetWindowRgn(hwnd_, shape.get(), TRUE)) shape.release();  // the window owns it now
    ::InvalidateRect(hwnd_, nullptr, FALSE);
    shownChevrons_ = mark.chevrons;
}

void WheelMarkWindow::Destroy() noexcept {
    if (!hwnd_) return;
    ::KillTimer(hwnd_, kLingerTimer);
    ::ShowWindow(hwnd_, SW_HIDE);
    run_.End();
    shownChevrons_ = 0;
}

LRESULT WheelMarkWindow::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_TIMER:
            if (wp == kLingerTimer) Destroy();
            return 0;
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_NCHITTEST:
            return HTTRANSPARENT;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(hwnd_, &ps);
            UniqueBrush fill(::CreateSolidBrush(color_));
            RECT all{};
            ::GetClientRect(hwnd_, &all);
            ::FillRect(dc, &all, fill.get());
            ::EndPaint(hwnd_, &ps);
            return 0;
        }
        default:
            return DefWindowProcA(hwnd_, msg, wp, lp);
    }
}

}  // namespace spotlex
