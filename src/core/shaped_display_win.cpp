#include "core/shaped_display_win.h"

#include "core/app_error.h"
#include "core/display_font_win.h"
#include "core/errata_log_win.h"
#include "core/hand_cursors_win.h"
#include "core/monitors_win.h"
#include "core/sound_win.h"
#include "core/text_region_win.h"
#include "core/window_helpers_win.h"

namespace spotlex {

void ShapedDisplay::Load() noexcept {
    openHand_ = CreateOpenHandCursor();
    closedHand_ = CreateClosedHandCursor();
    LogAndContinue(module_, "Form_Load", [&] { SelectFont(fontPoints_); });
}

bool ShapedDisplay::SelectFont(std::int32_t points) {
    if (font_ && fontFaceOk_ && points == fontPoints_ && (dpi_ == 0 || dpi_ == fontDpi_)) return true;
    DisplayFont created = CreateDisplayFont(points, dpi_);
    if (!created.font)
        throw AppError(static_cast<std::int32_t>(::GetLastError()), std::string(module_),
                       "The display font could not be created.");
    font_ = std::move(created.font);
    fontFaceOk_ = created.isDisplayFace;
    fontPoints_ = points;
    fontDpi_ = created.dpi;
    ++fontGeneration_;
    return fontFaceOk_;
}

bool ShapedDisplay::EnsureFont() {
    if (!fontFaceOk_) SelectFont(fontPoints_);
    return fontFaceOk_;
}

void ShapedDisplay::ShowFontMessage() {
    ShowMissingFontMessage(fontMessageOpen_);
}

bool ShapedDisplay::Shaped(const CapText& text) const noexcept {
    return shaped_ && shapedText_ == text && shapedFontGeneration_ == fontGeneration_;
}

void ShapedDisplay::NoteShaped(const CapText& text) {
    shaped_ = true;
    shapedText_ = text;
    shapedFontGeneration_ = fontGeneration_;
    ++regionBuilds_;
}

void ShapedDisplay::CutTo(std::string_view text, bool redraw, HDC dc) {
    CTextRegion region;
    if (dc ? region.StartShape(hwnd_, font_.get(), dc) : region.StartShape(hwnd_, font_.get())) {
        region.AddToShape(0, 0, text);
        region.EndShape(redraw);
    }
}

void ShapedDisplay::RunTimer(int ms, bool restart) noexcept {
    if (ms == 0) {
        StopTimer();
        timerAppliedMs_ = 0;
    } else if (restart || !timerOn_ || timerAppliedMs_ != ms) {
        timerOn_ = ::SetTimer(hwnd_, kTimerId, static_cast<UINT>(ms), nullptr);
        timerAppliedMs_ = ms;
    }
}

void ShapedDisplay::StopTimer() noexcept {
    if (timerOn_ && hwnd_) ::KillTimer(hwnd_, kTimerId);
    timerOn_ = 0;
}

SIZE ShapedDisplay::Screen() noexcept {
    if (!screen_) screen_ = SIZE{::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    return *screen_;
}

const std::vector<Monitor>& ShapedDisplay::Monitors() {
    if (!monitors_) monitors_ = ListMonitors();
    return *monitors_;
}

void ShapedDisplay::Raise() const noexcept {
    if (!::IsWindowVisible(hwnd_) || ::GetWindow(hwnd_, GW_HWNDPREV)) SetWindowOnTop(hwnd_, HWND_TOPMOST);
}

void ShapedDisplay::Paint(COLORREF color) const noexcept {
    PAINTSTRUCT ps;
    if (HDC dc = ::BeginPaint(hwnd_, &ps)) Fill(dc, ps.rcPaint, color);
    ::EndPaint(hwnd_, &ps);
}

void ShapedDisplay::Fill(HDC dc, const RECT& area, COLORREF color) noexcept {
    ::SetDCBrushColor(dc, color);
    ::FillRect(dc, &area, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
}

bool ShapedDisplay::Message(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) noexcept {
    switch (msg) {
        case WM_MOUSEACTIVATE:
            result = MA_NOACTIVATE;
            return true;
        case WM_WINDOWPOSCHANGING:
            reinterpret_cast<WINDOWPOS*>(lp)->flags |= SWP_NOACTIVATE;
            return false;
        case WM_SETCURSOR: {
            const HCURSOR hand = (dragging_ ? closedHand_ : openHand_).get();
            if (reinterpret_cast<HWND>(wp) != hwnd_ || !hand) return false;
            ::SetCursor(hand);
            result = TRUE;
            return true;
        }
        case WM_DISPLAYCHANGE:
            monitors_.reset();
            screen_.reset();
            return false;
        case WM_ERASEBKGND:
            result = 1;  // WM_PAINT fills the whole window
            return true;
        default:
            return false;
    }
}

void ShapedDisplay::EndDrag() const noexcept {
    if (dragging_) ::PostThreadMessageA(::GetCurrentThreadId(), WM_LBUTTONUP, 0, 0);
}

void ShapedDisplay::ShowOpenHand() const noexcept {
    if (openHand_) ::SetCursor(openHand_.get());
}

void ShapedDisplay::Drag(const std::function<void(bool enabled)>& gate, std::shared_ptr<const bool> alive,
                         const std::function<void()>& resume, const std::function<void()>& dropped) noexcept {
    struct Resume {
        ShapedDisplay& self;
        const std::shared_ptr<const bool>& alive;
        const std::function<void()>& resume;
        // Copied: the display may be gone when this runs.
        const std::string_view module;
        std::function<void(bool)> gate;
        ~Resume() {
            if (*alive) {
                self.dragging_ = false;
                try {
                    if (resume) resume();
                } catch (...) {
                    LogCurrentException(module, "Form_MouseDown");
                }
                self.ShowOpenHand();
            }
            if (gate) {
                try {
                    gate(true);
                } catch (...) {
                    LogCurrentException(module, "Form_MouseDown");
                }
            }
        }
    };
    const std::string_view module = module_;
    try {
        Resume back{*this, alive, resume, module, {}};
        if (gate) {
            back.gate = gate;
            back.gate(false);
        }
        dragging_ = true;
        if (closedHand_) ::SetCursor(closedHand_.get());
        ::ReleaseCapture();
        PlayFX("CKDragStart", false);
        // Sent as the command itself, so that no system takes the click on the "caption" as a
        // reason to activate the window.
        ::SendMessageA(hwnd_, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
        if (!*alive) return;
        // Floated on top again, unless it was hidden meanwhile.
        if (::IsWindowVisible(hwnd_)) SetWindowOnTop(hwnd_, HWND_TOPMOST);
        PlayFX("CKDragEnd", false);
        if (dropped) dropped();
    } catch (...) {
        LogCurrentException(module, "Form_MouseDown");
    }
}

}  // namespace spotlex
