#include "keystrokes/keyboard_window_win.h"

#include <climits>

#include "core/app_error.h"
#include "core/classkit_win.h"
#include "core/color.h"
#include "core/errata_log_win.h"
#include "core/latency_trace_win.h"
#include "core/monitors_win.h"
#include "core/runtime_rules.h"
#include "core/sound_win.h"
#include "core/window_helpers_win.h"

namespace spotlex {
namespace {

constexpr std::string_view kModule = "frmKeyboardWindow";
constexpr const char* kClassName = "SpotlexKeyboardWindow";
constexpr const char* kCaption = "Spotlex - Keystroke Display";

[[noreturn]] void RaiseLastError(const char* what) {
    const DWORD code = ::GetLastError();
    throw AppError(static_cast<std::int32_t>(code), std::string(kModule), what);
}

}  // namespace

frmKeyboardWindow::frmKeyboardWindow() : display_(hwnd_, kModule, 72) {
    const ScreenTwips tpp = ScreenTwipsPerPixel();
    CreateWin(kClassName, WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, WS_POPUP, kCaption, 0, 0,
              TwipsLengthToPixels(kKeyboardDesignWidthTwips, tpp.x),
              TwipsLengthToPixels(kKeyboardDesignHeightTwips, tpp.y));
    display_.Load();
}

frmKeyboardWindow::~frmKeyboardWindow() {
    if (!hwnd_) return;
    display_.EndDrag();
    // Unload stores the place only when this run has placed the window; the creation place would
    // otherwise replace the centred default.
    if (placedThisRun_) {
        try {
            StorePlace(display_.Place());
        } catch (...) {
        }
    }
}

bool frmKeyboardWindow::Display(const CapText& text, std::int32_t color, std::int32_t size) {
    // The missing-font message is modal; presses that arrive while it is open add nothing.
    if (!hwnd_ || display_.FontMessageOpen()) return false;

    bool fontOk = true;
    LogAndContinue(kModule, "Display", [&] { fontOk = display_.EnsureFont(); });
    if (!fontOk) {
        display_.ShowFontMessage();
        return false;
    }

    // The stored place is read before the previous text stores its own.
    PixelPoint place = display_.Place();
    LogAndContinue(kModule, "Display", [&] { place = StoredPlace(); });
    placedThisRun_ = true;
    // A text still on screen gives way to the new one in place: the window is reshaped while
    // visible rather than hidden and shown again, which would cost two more trips to the
    // window system and flicker.
    LogAndContinue(kModule, "Display", [&] { StopAndStore(place, TextState::kKeepOnScreen); });
    trace::Mark(trace::kPlaced);

    text_ = text;
    fill_ = static_cast<COLORREF>(color);
    LogAndContinue(kModule, "Display", [&] { display_.SelectFont(KeyboardFontPoints(size)); });
    bool shownAtOnce = false;
    LogAndContinue(kModule, "Display", [&] {
        const SIZE extent = MeasureText();
        const SIZE now = display_.Size();
        const bool moves = !(display_.Place() == place) || now.cx != extent.cx || now.cy != extent.cy;
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
    LogAndContinue(kModule, "Destroy",
                   [&] { StopAndStore(display_.Place(), TextState::kPutAway); });
}

void frmKeyboardWindow::Shape(bool redraw) {
    if (display_.Shaped(text_)) return;
    display_.NoteShaped(text_);
    CTextRegion region;
    const bool started = measureDc_ ? region.StartShape(hwnd_, display_.Font(), measureDc_.get())
                                    : region.StartShape(hwnd_, display_.Font());
    if (!started) return;
    shaper_.AddTo(region, text_);
    region.EndShape(redraw);
}

bool frmKeyboardWindow::Recreate() noexcept {
    try {
        if (!text_.empty()) {
            Shape(true);
            display_.Raise();
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
    if (display_.Message(msg, wp, lp, answered)) return answered;
    switch (msg) {
        case WM_LBUTTONDOWN:
            DragMove();
            return 0;
        case WM_TIMER:
            if (wp == ShapedDisplay::kTimerId) {
                OnTimer();
                return 0;
            }
            break;
        case WM_PAINT:
            display_.Paint(fill_);
            Recreate();
            return 0;
        case WM_DPICHANGED:
            LogAndContinue(kModule, "Form_Resize", [&] { Rescale(HIWORD(wp)); });
            return 0;
        case WM_DISPLAYCHANGE:
            // A monitor came or went: the text on screen moves to where the next one would show.
            if (showing_) {
                LogAndContinue(kModule, "Form_Resize", [&] {
                    const PixelPoint place = StoredPlace();
                    ::SetWindowPos(hwnd_, nullptr, place.x, place.y, 0, 0,
                                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                    Rescale(display_.Dpi());
                });
            }
            break;
        default:
            break;
    }
    return Window::Handle(msg, wp, lp);
}

PixelPoint frmKeyboardWindow::StoredPlace() {
    const SIZE size = display_.Size();
    const ScreenTwips tpp = ScreenTwipsPerPixel();
    const SIZE screen = display_.Screen();
    const PixelPoint centred{CentredEdge(screen.cx, size.cx, tpp.x), CentredEdge(screen.cy, size.cy, tpp.y)};
    // Every monitor is a valid place, left of and above the primary too.
    const RememberedPlace home =
        ReadPlace(settings::kKeyboardLeft, settings::kKeyboardTop, settings::kKeyboardMonitor, centred);
    const std::vector<Monitor>& monitors = display_.Monitors();
    POINT pointer{};
    const Placement at = followPointer_ && ::GetCursorPos(&pointer)
                             ? PlaceFollowing(home, size.cx, size.cy, {pointer.x, pointer.y}, monitors)
                             : PlaceOnMonitors(home, size.cx, size.cy, monitors);
    if (at.monitor >= 0) display_.UseDpi(monitors[at.monitor].dpi);
    awayPlace_.reset();
    if (!at.atHome) awayPlace_ = at.place;
    return at.place;
}

SIZE frmKeyboardWindow::MeasureText() {
    // Measured on a memory context of the screen: the window's own would first have to be fitted
    // to the shape the last text left behind.
    if (!measureDc_) measureDc_.reset(::CreateCompatibleDC(nullptr));
    if (!measureDc_) RaiseLastError("The window's device context could not be read.");
    ScopedSelect sel(measureDc_.get(), display_.Font());
    const SIZE extent = shaper_.Measure(measureDc_.get(), text_);
    if (extent.cy == 0) RaiseLastError("The text could not be measured.");
    return extent;
}

void frmKeyboardWindow::Rescale(int dpi) {
    display_.UseDpi(dpi);
    if (!showing_) return;
    display_.SelectFont(display_.FontPoints());
    const SIZE extent = MeasureText();
    ::SetWindowPos(hwnd_, nullptr, 0, 0, extent.cx, extent.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Shape(true);
    PaintNow();
}

void frmKeyboardWindow::StopAndStore(PixelPoint place, TextState text) {
    timer_.Stop();
    ApplyTimer();
    if (showing_) {
        if (text == TextState::kPutAway) PutAway();
        text_.clear();
        StorePlace(place);
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
        display_.ForgetShape();
        return;
    }
    ::SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                   SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void frmKeyboardWindow::StorePlace(PixelPoint place) {
    if (!goCurrentUser || (awayPlace_ && *awayPlace_ == place)) return;
    // Whole pixels as they are: converting through rounded twips per pixel would move the window
    // a little at every hide on a 192 dpi screen (7.5 twips per pixel).
    SavePlace(settings::kKeyboardLeft, settings::kKeyboardTop, settings::kKeyboardMonitor,
              PlaceWithMonitor(place, display_.Size(), display_.Monitors()));
}

void frmKeyboardWindow::ApplyTimer() noexcept {
    display_.RunTimer(timer_.Interval());
}

void frmKeyboardWindow::OnTimer() noexcept {
    try {
        if (!timer_.Tick()) {
            ApplyTimer();
            return;
        }
        if (timer_.Interval() != display_.TimerMs()) ApplyTimer();
        FadeStepNow();
    } catch (...) {
        LogCurrentException(kModule, "Timer1_Timer");
    }
}

void frmKeyboardWindow::FadeStepNow() {
    // The target is the screen just outside the top-left corner, sampled afresh at every step.
    const PixelPoint place = display_.Place();
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
    ShapedDisplay::Fill(dc.get(), all, fill_);
    ::ValidateRect(hwnd_, nullptr);
}

void frmKeyboardWindow::DragMove() noexcept {
    display_.StopTimer();
    const auto dropped = [this] {
        // Stored now, so the next press shows the text where the presenter put it.
        placedThisRun_ = true;
        awayPlace_.reset();
        StorePlace(display_.Place());
    };
    const auto resume = [this] { ApplyTimer(); };
    display_.Drag(inputGate_, LifeToken(), resume, dropped);
}

CKeyboardWindow::CKeyboardWindow() : window_(std::make_unique<frmKeyboardWindow>()) {
    window_->SetDelay(delay_);
}

CKeyboardWindow::~CKeyboardWindow() = default;

void CKeyboardWindow::Destroy() noexcept {
    window_->Destroy();
}

void CKeyboardWindow::Display(const CapText& characters) {
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
