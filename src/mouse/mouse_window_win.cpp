#include "mouse/mouse_window_win.h"

#include <string>
#include <variant>

#include "core/app_error.h"
#include "core/classkit_win.h"
#include "core/display_font_win.h"
#include "core/errata_log_win.h"
#include "core/latency_trace_win.h"
#include "core/runtime_rules.h"
#include "core/window_helpers_win.h"

namespace spotlex {

namespace {

constexpr std::string_view kModule = "frmMouseWindow";
constexpr const char* kClassName = "SpotlexMouseWindow";

// A click must reach the presenter's program under the burst, and the burst must never take
// the focus: layered and transparent to the mouse, never activated, no taskbar button.
constexpr DWORD kExStyle =
    WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;

UniqueRgn GlyphRegion(HDC dc, unsigned char code) {
    const char ch = static_cast<char>(code);
    return TextOutlineRegion(dc, 0, 0, std::string_view(&ch, 1));
}

// The 200 x 200 fire picture, drawn once per window.
UniqueBitmap MakeFireburst() {
    void* bits = nullptr;
    UniqueBitmap bmp = CreateTopDownDib(kFireburstSide, kFireburstSide, 24, &bits);
    if (!bmp || !bits) return {};
    const int stride = (kFireburstSide * 3 + 3) & ~3;
    auto* row = static_cast<unsigned char*>(bits);
    for (int y = 0; y < kFireburstSide; ++y, row += stride) {
        for (int x = 0; x < kFireburstSide; ++x) {
            Rgb c = FireburstPixel(x, y);
            row[x * 3 + 0] = c.b;
            row[x * 3 + 1] = c.g;
            row[x * 3 + 2] = c.r;
        }
    }
    return bmp;
}

bool PatternIsFireburst() {
    return goCurrentUser && GetSetting(settings::kPattern) == "Fireburst";
}

}  // namespace

UniqueRgn BuildBurstRegion(HDC dc, unsigned char frame, bool withMarker) {
    UniqueRgn shape = GlyphRegion(dc, frame);
    if (!withMarker) return shape;
    // Each glyph is its own path and the regions are united: drawn into one path, the overlap
    // of frame and marker would be cut out of the window instead of filled.
    UniqueRgn marker = GlyphRegion(dc, kDoubleClickMarker);
    if (!shape) return marker;
    if (marker) CombineRgn(shape.get(), shape.get(), marker.get(), RGN_OR);
    return shape;
}

frmMouseWindow::frmMouseWindow() : display_(hwnd_, kModule, 64) {
    // Load: errors here are ignored; a window that could not be made fails at Display.
    if (CreateWin(kClassName, kExStyle, WS_POPUP, "", 0, 0, 1, 1)) {
        SetLayeredWindowAttributes(hwnd_, 0, 255, LWA_ALPHA);
    }
    backColor_ = 255;
    try {
        display_.EnsureFont();
    } catch (...) {
    }
    fire_ = MakeFireburst();
}

bool frmMouseWindow::Display(int x, int y, std::int32_t color, std::int32_t size, bool inDblClick) {
    try {
        if (!display_.EnsureFont()) {
            // Clicks still arrive while the message is up; they must not stack a box per click.
            if (!display_.FontMessageOpen()) display_.ShowFontMessage();
            return false;
        }
        if (!hwnd_)
            throw AppError(static_cast<std::int32_t>(GetLastError()), std::string(kModule),
                           "The burst window could not be created");

        backColor_ = static_cast<COLORREF>(color);
        // At the scale of the monitor under the pointer.
        const std::vector<Monitor>& monitors = display_.Monitors();
        const int under = NearestMonitor(monitors, {x, y});
        if (under >= 0) display_.UseDpi(monitors[under].dpi);
        display_.SelectFont(HeldBurstPoints(size));

        SIZE cell{};
        {
            WindowDc dc(hwnd_);
            ScopedSelect sel(dc.get(), display_.Font());
            const char first = static_cast<char>(kFirstBurstFrame);
            GetTextExtentPoint32A(dc.get(), &first, 1, &cell);
        }
        patternVisible_ = PatternIsFireburst();

        const BurstPlace at = PlaceBurst(x, y, cell.cx);
        anim_.Start(inDblClick);
        if (!IsWindowVisible(hwnd_)) {
            // Nothing on screen: shaped first, then placed, sized, raised and shown by one
            // SetWindowPos rather than three trips to the window system.
            trace::Mark(trace::kSized);
            ShapeFrame(false);
            SetWindowPos(hwnd_, HWND_TOPMOST, at.left, at.top, cell.cx, cell.cy, SWP_NOACTIVATE | SWP_SHOWWINDOW);
            trace::Mark(trace::kShown);
            // No burst runs while the window is hidden, so this starts the frame timer afresh,
            // after the burst is on screen.
            FrameShown();
            return true;
        }
        ApplyTimer(true);
        SetWindowPos(hwnd_, nullptr, at.left, at.top, cell.cx, cell.cy, SWP_NOZORDER | SWP_NOACTIVATE);
        InvalidateRect(hwnd_, nullptr, FALSE);
        trace::Mark(trace::kSized);
        return Recreate();
    } catch (...) {
        LogCurrentException(kModule, "Display");
        return false;
    }
}

bool frmMouseWindow::Recreate() {
    try {
        if (anim_.Glyph() != 0) {
            ShapeFrame(true);
            SetWindowOnTop(hwnd_, HWND_TOPMOST);
            trace::Mark(trace::kShown);
            FrameShown();
        }
        return true;
    } catch (...) {
        LogCurrentException(kModule, "Recreate");
        return false;
    }
}

void frmMouseWindow::ShapeFrame(bool redraw) {
    display_.NoteShaped(FrameGlyphs());
    UniqueRgn shape;
    {
        WindowDc dc(hwnd_);
        ScopedSelect sel(dc.get(), display_.Font());
        shape = BuildBurstRegion(dc.get(), anim_.Glyph(), anim_.DblClick());
    }
    trace::Mark(trace::kRegionBuilt);
    // A glyph without outline shows nothing, rather than the whole cell.
    if (!shape) shape.reset(CreateRectRgn(0, 0, 0, 0));
    if (shape && SetWindowRgn(hwnd_, shape.get(), redraw ? TRUE : FALSE)) shape.release();
    trace::Mark(trace::kRegionSet);
}

std::string frmMouseWindow::FrameGlyphs() const {
    std::string glyphs(1, static_cast<char>(anim_.Glyph()));
    if (anim_.DblClick()) glyphs += static_cast<char>(kDoubleClickMarker);
    return glyphs;
}

void frmMouseWindow::FrameShown() {
    anim_.Shaped();
    ApplyTimer(false);
    if (frameListener_) frameListener_(anim_.Glyph());
}

void frmMouseWindow::Destroy() noexcept {
    if (anim_.Stop()) HideNow();
    ApplyTimer(false);
}

void frmMouseWindow::HideNow() noexcept {
    ShowWindow(hwnd_, SW_HIDE);
    display_.ForgetShape();
}

// Setting an interval restarts the timer; an unchanged interval keeps it counting.
void frmMouseWindow::ApplyTimer(bool restart) noexcept {
    if (hwnd_) display_.RunTimer(anim_.TimerRunning() ? anim_.TimerInterval() : 0, restart);
}

void frmMouseWindow::OnTimer() noexcept {
    switch (anim_.OnTick()) {
        case BurstAnimation::Tick::NextFrame:
            Recreate();
            break;
        case BurstAnimation::Tick::End:
            HideNow();
            break;
        case BurstAnimation::Tick::None:
            break;
    }
    ApplyTimer(false);
}

void frmMouseWindow::Paint() noexcept {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    RECT rc;
    GetClientRect(hwnd_, &rc);
    if (patternVisible_ && fire_) {
        UniqueMemDc mem(CreateCompatibleDC(dc));
        ScopedSelect sel(mem.get(), fire_.get());
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, 0, 0, rc.right, rc.bottom, mem.get(), 0, 0, kFireburstSide, kFireburstSide, SRCCOPY);
    } else {
        UniqueBrush brush(CreateSolidBrush(backColor_));
        FillRect(dc, &rc, brush.get());
    }
    EndPaint(hwnd_, &ps);
    trace::Mark(trace::kPainted);
    // Reshaping redraws the window, so reshape only a shape that is out of date; reshaping on
    // every paint would paint forever.
    if (anim_.Glyph() != 0 && !display_.Shaped(FrameGlyphs())) Recreate();
}

LRESULT frmMouseWindow::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_TIMER:
            if (wp == ShapedDisplay::kTimerId) OnTimer();
            return 0;
        case WM_NCHITTEST:
            return HTTRANSPARENT;
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        default:
            return Window::Handle(msg, wp, lp);
    }
}

CMouseWindow::CMouseWindow() : window_(std::make_unique<frmMouseWindow>()) {
    SetSize(64);
    SetColor(255);
    SetDelay(kDefaultFrameMs);
}

CMouseWindow::~CMouseWindow() = default;

void CMouseWindow::Destroy() noexcept {
    window_->Destroy();
}

bool CMouseWindow::Display(int x, int y) {
    return window_->Display(x, y, color_, size_, inDblClick_);
}

void CMouseWindow::SetDelay(std::int32_t v) noexcept {
    delay_ = v;
    window_->SetMouseFadeInterval(v);
}

}  // namespace spotlex
