#include "keystrokes/keyboard_window_win.h"

#include <climits>

#include "core/app_error.h"
#include "core/classkit_win.h"
#include "core/color.h"
#include "core/display_font_win.h"
#include "core/errata_log_win.h"
#include "core/hand_cursors_win.h"
#include "core/latency_trace_win.h"
#include "core/runtime_rules.h"
#include "core/sound_win.h"
#include "core/text_region_win.h"
#include "core/window_helpers_win.h"

namespace spotlex {
namespace {

constexpr std::string_view kModule = "frmKeyboardWindow";
constexpr const char* kClassName = "SpotlexKeyboardWindow";
constexpr const char* kCaption = "Spotlex - Keystroke Display";
constexpr UINT_PTR kTimerId = 1;

[[noreturn]] void RaiseLastError(const char* what) {
    const DWORD code = ::GetLastError();
    throw AppError(static_cast<std::int32_t>(code), std::string(kModule), what);
}

}  // namespace

frmKeyboardWindow::frmKeyboardWindow() {
    const ScreenTwips tpp = ScreenTwipsPerPixel();
    CreateWin(kClassName, WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, WS_POPUP, kCaption, 0, 0,
              TwipsLengthToPixels(kKeyboardDesignWidthTwips, tpp.x),
              TwipsLengthToPixels(kKeyboardDesignHeightTwips, tpp.y));
    LogAndContinue(kModule, "Form_Load", [&] {
        openHand_ = CreateOpenHandCursor();
        closedHand_ = CreateClosedHandCursor();
    });
    LogAndContinue(kModule, "Form_Load", [&] { SelectFont(72); });
}

frmKeyboardWindow::~frmKeyboardWindow() {
    if (!hwnd_) return;
    EndMoveLoop(dragging_);
    // Unload stores the place only when this run has placed the window; the creation place would
    // otherwise replace the centred default.
    if (placedThisRun_) {
        try {
            StorePlace(Place());
        } catch (...) {
        }
    }
    timer_.Stop();
    ApplyTimer();
}

bool frmKeyboardWindow::Display(std::string_view text, std::int32_t color, std::int32_t size) {
    // The missing-font message is modal; presses that arrive while it is open add nothing.
    if (!hwnd_ || fontMessageOpen_) return false;

    bool fontOk = true;
    LogAndContinue(kModule, "Display", [&] { fontOk = EnsureFont(); });
    if (!fontOk) {
        ShowMissingFontMessage(fontMessageOpen_);
        return false;
    }

    // The stored place is read before the previous text stores its own.
    PixelPoint place = Place();
    bool placeIsStored = false;
    LogAndContinue(kModule, "Display", [&] { place = StoredPlace(placeIsStored); });
    placedThisRun_ = true;
    // A text still on screen gives way to the new one in place: the window is reshaped while
    // visible rather than hidden and shown again, which would cost two more trips to the
    // window system and flicker.
    LogAndContinue(kModule, "Display", [&] {
        StopAndStore(place, TextState::kKeepOnScreen,
                     placeIsStored ? PlaceState::kAlreadyStored : PlaceState::kToStore);
    });
    trace::Mark(trace::kPlaced);

    text_.assign(text);
    fill_ = static_cast<COLORREF>(color);
    LogAndContinue(kModule, "Display", [&] { SelectFont(KeyboardFontPoints(size)); });
    bool shownAtOnce = false;
    LogAndContinue(kModule, "Display", [&] {
        // Measured on a memory context of the screen: the window's own would first have to be
        // fitted to the shape the last text left behind.
        if (!measureDc_) measureDc_.reset(::CreateCompatibleDC(nullptr));
        if (!measureDc_) RaiseLastError("The window's device context could not be read.");
        ScopedSelect sel(measureDc_.get(), font_.get());
        SIZE extent{};
        if (!::GetTextExtentPoint32A(measureDc_.get(), text_.data(), static_cast<int>(text_.size()), &extent)) {
            RaiseLastError("The text could not be measured.");
        }
        const SIZE now = WindowSize();
        const bool moves = !(Place() == place) || now.cx != extent.cx || now.cy != extent.cy;
        if (!showing_) {
            // Put away: shaped first while nothing shows, then placed and painted.
            trace::Mark(trace::kSized);
            Shape(false);
            showing_ = true;
            if (!::IsWindowVisible(hwnd_)) {
                // Never shown yet: placed, sized, raised and shown by one SetWindowPos, each a
                // trip to the window system and a flush of its own otherwise.
                ::SetWindowPos(hwnd_, HWND_TOPMOST, place.x, place.y, extent.cx, extent.cy,
                               SWP_NOACTIVATE | SWP_SHOWWINDOW | (moves ? 0 : SWP_NOMOVE | SWP_NOSIZE));
                trace::Mark(trace::kShown);
                shownAtOnce = true;
                return;
            }
        }
        if (moves) {
            ::SetWindowPos(hwnd_, nullptr, place.x, place.y, extent.cx, extent.cy,
                           SWP_NOZORDER | SWP_NOACTIVATE);
        }
    });
    trace::Mark(trace::kSized);

    if (!shownAtOnce && !Recreate()) return false;
    fadeSteps_ = 0;
    // Painted now, also where neither the size nor the shape changed, rather than by running the
    // queue: a queued key press would re-enter here.
    PaintNow();
    trace::Mark(trace::kPainted);
    timer_.Linger();
    ApplyTimer();
    return true;
}

void frmKeyboardWindow::Destroy() noexcept {
    LogAndContinue(kModule, "Destroy", [&] { StopAndStore(Place(), TextState::kPutAway, PlaceState::kToStore); });
}

void frmKeyboardWindow::Shape(bool redraw) {
    if (shaped_ && shapedText_ == text_ && shapedFontGeneration_ == fontGeneration_) return;
    // Marked first: a shape that fails would otherwise be retried by every repaint.
    shaped_ = true;
    shapedText_ = text_;
    shapedFontGeneration_ = fontGeneration_;
    ++regionBuilds_;
    CTextRegion region;
    if (measureDc_ ? region.StartShape(hwnd_, font_.get(), measureDc_.get()) : region.StartShape(hwnd_, font_.get())) {
        region.AddToShape(0, 0, text_);
        region.EndShape(redraw);
    }
}

bool frmKeyboardWindow::Recreate() noexcept {
    try {
        if (!text_.empty()) {
            Shape(true);
            // Raised only when something covers it: restacking is a trip to the window system.
            if (!::IsWindowVisible(hwnd_) || ::GetWindow(hwnd_, GW_HWNDPREV))
                SetWindowOnTop(hwnd_, HWND_TOPMOST);
            trace::Mark(trace::kShown);
        }
        return true;
    } catch (...) {
        LogCurrentException(kModule, "Recreate");
        return false;
    }
}

LRESULT frmKeyboardWindow::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT answered = 0;
    if (DraggableDisplayMessage(hwnd_, msg, wp, lp, (dragging_ ? closedHand_ : openHand_).get(), answered))
        return answered;
    switch (msg) {
        case WM_LBUTTONDOWN:
            DragMove();
            return 0;
        case WM_TIMER:
            if (wp == kTimerId) {
                OnTimer();
                return 0;
            }
            break;
        case WM_DISPLAYCHANGE:
            monitorOf_.reset();
            screen_.reset();
            break;
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT fills the whole window
        case WM_PAINT:
            Paint();
            return 0;
        default:
            break;
    }
    return Window::Handle(msg, wp, lp);
}

bool frmKeyboardWindow::EnsureFont() {
    if (!fontFaceOk_) SelectFont(fontPoints_);
    return fontFaceOk_;
}

bool frmKeyboardWindow::SelectFont(std::int32_t points) {
    if (font_ && fontFaceOk_ && points == fontPoints_) return true;
    DisplayFont created = CreateDisplayFont(points);
    if (!created.font) RaiseLastError("The display font could not be created.");
    font_ = std::move(created.font);
    fontFaceOk_ = created.isDisplayFace;
    fontPoints_ = points;
    ++fontGeneration_;
    return fontFaceOk_;
}

PixelPoint frmKeyboardWindow::StoredPlace(bool& isStored) {
    const SIZE size = WindowSize();
    const ScreenTwips tpp = ScreenTwipsPerPixel();
    // Like the monitors below, the screen's size changes only with the display settings.
    if (!screen_) screen_ = SIZE{::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    const int defaultLeft = CentredEdge(screen_->cx, size.cx, tpp.x);
    const int defaultTop = CentredEdge(screen_->cy, size.cy, tpp.y);
    // Every monitor is a valid place, left of and above the primary too; the clamp below keeps
    // the window on the monitor nearest to where it was left.
    PixelPoint place{GetSetting(settings::kKeyboardLeft, defaultLeft), GetSetting(settings::kKeyboardTop, defaultTop)};
    const PixelPoint probe = PlacementProbe(place, size.cx, size.cy);
    // The monitors change only with the display settings; asking for them costs trips to the
    // window system at every press.
    if (!monitorOf_ || !(monitorOf_->probe == probe)) {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        PixelRect monitor{0, 0, screen_->cx, screen_->cy};
        if (::GetMonitorInfoA(::MonitorFromPoint(POINT{probe.x, probe.y}, MONITOR_DEFAULTTONEAREST), &info)) {
            monitor = {info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right, info.rcMonitor.bottom};
        }
        monitorOf_ = MonitorOfPlace{probe, monitor};
    }
    const PixelPoint kept = ClampToMonitor(place, size.cx, size.cy, monitorOf_->monitor);
    // What was just read is what we wrote last: storing it again would change nothing.
    isStored = kept == place && lastWritten_ && *lastWritten_ == place;
    return kept;
}

void frmKeyboardWindow::StopAndStore(PixelPoint place, TextState text, PlaceState stored) {
    timer_.Stop();
    ApplyTimer();
    if (showing_) {
        if (text == TextState::kPutAway) PutAway();
        text_.clear();
        if (stored == PlaceState::kToStore) StorePlace(place);
    }
}

void frmKeyboardWindow::PutAway() {
    showing_ = false;
    // The window stays mapped with nothing in its shape, so the next text needs only its region
    // and a paint: mapping a window again costs more than both together. Redrawn, so that what
    // the text covered is painted again also where nothing composes the screen.
    UniqueRgn nothing(::CreateRectRgn(0, 0, 0, 0));
    if (nothing && ::SetWindowRgn(hwnd_, nothing.get(), TRUE)) {
        nothing.release();  // the window owns it now
        shaped_ = false;
        return;
    }
    ::SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                   SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void frmKeyboardWindow::StorePlace(PixelPoint place) {
    if (!goCurrentUser) return;
    // Whole pixels as they are: converting through rounded twips per pixel would move the window
    // a little at every hide on a 192 dpi screen (7.5 twips per pixel).
    lastWritten_.reset();
    SaveSetting(settings::kKeyboardLeft, place.x);
    SaveSetting(settings::kKeyboardTop, place.y);
    lastWritten_ = place;
}

void frmKeyboardWindow::ApplyTimer() noexcept {
    const int interval = timer_.Interval();
    if (interval == 0) {
        if (timerOn_) ::KillTimer(hwnd_, kTimerId);
        timerOn_ = 0;
        timerAppliedMs_ = 0;
        return;
    }
    timerOn_ = ::SetTimer(hwnd_, kTimerId, static_cast<UINT>(interval), nullptr);
    timerAppliedMs_ = interval;
}

void frmKeyboardWindow::OnTimer() noexcept {
    try {
        if (!timer_.Tick()) {
            ApplyTimer();
            return;
        }
        if (timer_.Interval() != timerAppliedMs_) ApplyTimer();
        FadeStepNow();
    } catch (...) {
        LogCurrentException(kModule, "Timer1_Timer");
    }
}

void frmKeyboardWindow::FadeStepNow() {
    // The target is the screen just outside the top-left corner, sampled afresh at every step.
    const PixelPoint place = Place();
    CColor background;
    background.SetFromScreenPoint(place.x - 1, place.y - 1);
    ++fadeSteps_;
    if (auto next = FadeStep(static_cast<std::int32_t>(fill_), background.ColorValue())) {
        fill_ = static_cast<COLORREF>(*next);
        ::InvalidateRect(hwnd_, nullptr, FALSE);
    } else {
        Destroy();
    }
}

void frmKeyboardWindow::Fill(HDC dc, const RECT& area) const noexcept {
    ::SetDCBrushColor(dc, fill_);
    ::FillRect(dc, &area, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
}

void frmKeyboardWindow::Paint() noexcept {
    PAINTSTRUCT ps;
    if (HDC dc = ::BeginPaint(hwnd_, &ps)) Fill(dc, ps.rcPaint);
    ::EndPaint(hwnd_, &ps);
    Recreate();
}

void frmKeyboardWindow::PaintNow() noexcept {
    // Drawn straight into the window: a paint message costs about as much again as the drawing.
    WindowDc dc(hwnd_);
    if (!dc) {
        ::InvalidateRect(hwnd_, nullptr, FALSE);
        ::UpdateWindow(hwnd_);
        return;
    }
    RECT all{};
    ::GetClientRect(hwnd_, &all);
    Fill(dc.get(), all);
    ::ValidateRect(hwnd_, nullptr);
}

void frmKeyboardWindow::DragMove() noexcept {
    if (timerOn_) ::KillTimer(hwnd_, kTimerId);
    timerOn_ = 0;
    DisplayDrag drag;
    drag.hwnd = hwnd_;
    drag.openHand = openHand_.get();
    drag.closedHand = closedHand_.get();
    drag.inputGate = &inputGate_;
    drag.dragging = &dragging_;
    drag.module = kModule;
    drag.alive = LifeToken();
    drag.resume = [this] { ApplyTimer(); };
    drag.dropped = [this] {
        // Stored now, so the next press shows the text where the presenter put it.
        placedThisRun_ = true;
        StorePlace(Place());
    };
    DragDisplay(drag);
}

PixelPoint frmKeyboardWindow::Place() const noexcept {
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    return {r.left, r.top};
}

SIZE frmKeyboardWindow::WindowSize() const noexcept {
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    return {r.right - r.left, r.bottom - r.top};
}

CKeyboardWindow::CKeyboardWindow() : window_(std::make_unique<frmKeyboardWindow>()) {
    window_->SetDelay(delay_);
}

CKeyboardWindow::~CKeyboardWindow() = default;

void CKeyboardWindow::Destroy() noexcept {
    window_->Destroy();
}

void CKeyboardWindow::Display(std::string_view characters) {
    window_->Display(characters, color_, size_);
}

void CKeyboardWindow::SetDelay(std::int32_t v) {
    delay_ = v;
    window_->SetDelay(v);
}

void CKeyboardWindow::SetInputGate(InputGate gate) {
    window_->SetInputGate(std::move(gate));
}

}  // namespace spotlex
