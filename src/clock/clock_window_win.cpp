#include "clock/clock_window_win.h"

#include <algorithm>
#include <cstring>

#include "core/app_error.h"
#include "core/classkit_win.h"
#include "core/errata_log_win.h"
#include "core/monitors_win.h"
#include "core/screen_geometry.h"
#include "core/sound_win.h"
#include "core/window_helpers_win.h"

namespace spotlex {
namespace {

constexpr std::string_view kModule = "frmClock";
// The window's size before Display sizes it to the clock.
constexpr int kInitialWidth = 320;
constexpr int kInitialHeight = 96;

[[noreturn]] void RaiseLastError(const char* what) {
    throw AppError(static_cast<std::int32_t>(::GetLastError()), std::string(kModule), what);
}

// Handles keep their meaning in 32 bits on every Windows; they are widened back with the sign.
std::int32_t HandleToNumber(HWND h) noexcept {
    return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(h));
}
HWND NumberToHandle(std::int32_t v) noexcept {
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(v));
}

std::int32_t ReadPublished(RegistrySetting& key) {
    RegValue v = key.Value(settings::kSpotlexClock.name, rgsDWord);
    return IsEmpty(v) ? 0 : RegValueNumber(v);
}

bool IsClockWindow(HWND h) noexcept {
    if (!h || !::IsWindow(h)) return false;
    char cls[64] = {};
    ::GetClassNameA(h, cls, sizeof cls);
    return std::strcmp(cls, frmClock::kClassName) == 0;
}

}  // namespace

ClockNow SystemClockNow() {
    SYSTEMTIME t{};
    ::GetLocalTime(&t);
    ClockNow now;
    now.steadyMs = static_cast<std::int64_t>(::GetTickCount64());
    now.hour = t.wHour;
    now.minute = t.wMinute;
    now.second = t.wSecond;
    now.millisecond = t.wMilliseconds;
    return now;
}

frmClock::frmClock() : display_(hwnd_, kModule, 64) {
    CreateWin(kClassName, WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, WS_POPUP, kCaption, 0, 0,
              kInitialWidth, kInitialHeight);
    display_.Load();
    if (hwnd_) {
        // SpotlexClock in a normal shell may speak to an elevated Spotlex: only its one message
        // passes, and OnCopyData still takes nothing but the exact requests.
        if (!ChangeWindowMessageFilterEx(hwnd_, WM_COPYDATA, MSGFLT_ALLOW, nullptr))
            LogAndContinue(kModule, "Form_Load", [] {
                RaiseLastError("The clock could not accept requests from other programs.");
            });
        Publish(hwnd_);
    }
}

frmClock::~frmClock() {
    Destroy();
}

void frmClock::SetPaused(bool paused) {
    model_.SetPaused(paused, TimeSource().steadyMs);
}

void frmClock::Destroy() noexcept {
    if (!hwnd_ || destroyed_) return;
    destroyed_ = true;
    display_.EndDrag();
    LogAndContinue(kModule, "Destroy", [&] {
        ::SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    });
    display_.StopTimer();
    LogAndContinue(kModule, "Destroy", [&] {
        // A clock that never showed keeps the place the presenter left last time, and so does one
        // standing in for a monitor that is gone.
        if (!placed_ || !goCurrentUser) return;
        const PixelPoint place = display_.Place();
        if (awayPlace_ && *awayPlace_ == place) return;
        SavePlace(settings::kClockLeft, settings::kClockTop, settings::kClockMonitor,
                  PlaceWithMonitor(place, display_.Size(), display_.Monitors()));
    });
    Publish(nullptr);
}

bool frmClock::Display(std::int32_t color, std::int32_t size, bool showAsClock, std::int32_t minutes,
                       bool showSeconds) {
    if (!hwnd_) return false;
    bool fontOk = false;
    LogAndContinue(kModule, "Display", [&] { fontOk = display_.EnsureFont(); });
    if (!fontOk) {
        display_.ShowFontMessage();
        return false;
    }
    destroyed_ = false;
    started_ = true;
    const ClockNow now = TimeSource();
    model_.Start(now.steadyMs, minutes, showAsClock, showSeconds);
    SetBackColor(static_cast<COLORREF>(color));
    LogAndContinue(kModule, "Display", [&] { SetFontSize(size); });
    LogAndContinue(kModule, "Display", [&] {
        SetWidthToText(kClockWidthText);
        SetHeightToText(kClockHeightText);
    });
    LogAndContinue(kModule, "Display", [&] { PlaceOnScreen(); });
    Timer_Tick();
    StartTimer(now);
    return true;
}

bool frmClock::Recreate() noexcept {
    try {
        const std::string& text = model_.Text();
        if (text.empty()) {
            // The blank half of the blink: nothing to see, and nothing for a click to hit.
            if (display_.HasShape())
                ::SetWindowPos(hwnd_, nullptr, 0, 0, 0, digitHeight_,
                               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            display_.ForgetShape();
            return true;
        }
        if (!display_.Shaped(text)) {
            display_.NoteShaped(text);
            // Digits are all one width: most ticks keep the size, and a resize is a trip to the
            // window system.
            const SIZE extent = DigitsExtent(text);
            const SIZE now = display_.Size();
            if (now.cx != extent.cx || now.cy != digitHeight_)
                ::SetWindowPos(hwnd_, nullptr, 0, 0, extent.cx, digitHeight_,
                               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            display_.CutTo(SpotlexString(text), true);
        }
        if (!hidden_) display_.Raise();
        return true;
    } catch (...) {
        LogCurrentException(kModule, "Recreate");
        return false;
    }
}

void frmClock::Timer_Tick() noexcept {
    try {
        const ClockNow now = TimeSource();
        const ClockFrame frame = model_.Tick(now);
        if (frame.render && frame.warning != warning_) {
            warning_ = frame.warning;
            if (hwnd_) ::InvalidateRect(hwnd_, nullptr, FALSE);
        }
        if (frame.render) Recreate();
        if (frame.alarm) {
            ++alarms_;
            PlayFX("CKAlarm", false);
        }
        if (display_.TimerOn()) StartTimer(now);
    } catch (...) {
        LogCurrentException(kModule, "Timer1_Timer");
    }
}

void frmClock::Hide() noexcept {
    hidden_ = true;
    // Hidden from another program while the presenter drags it: the drag ends here.
    display_.EndDrag();
    if (hwnd_) ::ShowWindow(hwnd_, SW_HIDE);
}

void frmClock::Show() noexcept {
    hidden_ = false;
    if (!started_) return;
    Timer_Tick();
    // A paused clock does not tick; it shows the time it stands at.
    if (!Visible()) Recreate();
}

void frmClock::SetBackColor(COLORREF color) noexcept {
    back_ = color;
    if (hwnd_) ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void frmClock::SetWarning(std::int32_t minutes, COLORREF color) noexcept {
    model_.SetWarningMinutes(minutes);
    warningColor_ = color;
    if (hwnd_) ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void frmClock::SetFontSize(std::int32_t points) {
    display_.SelectFont(std::clamp(points, 1, kFontSizeMax));
    digitHeight_ = DigitsExtent(kClockHeightText).cy;
}

void frmClock::SetWidthToText(std::string_view text) {
    const SIZE extent = DigitsExtent(text);
    ::SetWindowPos(hwnd_, nullptr, 0, 0, extent.cx, std::max(digitHeight_, 0),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void frmClock::SetHeightToText(std::string_view text) {
    digitHeight_ = DigitsExtent(text).cy;
    ::SetWindowPos(hwnd_, nullptr, 0, 0, display_.Size().cx, digitHeight_,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT frmClock::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT answered = 0;
    if (display_.Message(msg, wp, lp, answered)) return answered;
    switch (msg) {
        case WM_LBUTTONDOWN:
            // A click on the blinking zero silences it: it stands at "0" from this tick on.
            if (model_.Silence()) Timer_Tick();
            DragMove();
            return 0;
        case WM_LBUTTONUP:
            display_.ShowOpenHand();
            return 0;
        case WM_RBUTTONUP:
            if (ContextMenu) {
                POINT at{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
                ::ClientToScreen(hwnd_, &at);
                ContextMenu(at);
            }
            return 0;
        case WM_COPYDATA:
            return OnCopyData(lp);
        case WM_DPICHANGED:
            // Dragged onto a monitor of another resolution: the digits keep their size per inch.
            display_.UseDpi(HIWORD(wp));
            if (started_ && !destroyed_)
                LogAndContinue(kModule, "Form_Resize", [&] {
                    SetFontSize(display_.FontPoints());
                    Recreate();
                });
            return 0;
        case WM_DISPLAYCHANGE:
            // A monitor came or went: the clock goes to the presenter's place on it, or stands in
            // on the primary monitor.
            if (started_ && !destroyed_) LogAndContinue(kModule, "Form_Resize", [&] { PlaceOnScreen(); });
            break;
        case WM_TIMER:
            if (wp == ShapedDisplay::kTimerId) {
                Timer_Tick();
                return 0;
            }
            break;
        case WM_PAINT:
            display_.Paint(ShownColor());
            return 0;
        default:
            break;
    }
    return Window::Handle(msg, wp, lp);
}

SIZE frmClock::DigitsExtent(std::string_view text) const {
    WindowDc dc(hwnd_);
    if (!dc) RaiseLastError("The window's device context could not be read.");
    ScopedSelect sel(dc.get(), display_.Font());
    const std::string glyphs = SpotlexString(text);
    SIZE extent{};
    if (!::GetTextExtentPoint32A(dc.get(), glyphs.data(), static_cast<int>(glyphs.size()), &extent))
        RaiseLastError("The clock text could not be measured.");
    return extent;
}

void frmClock::PlaceOnScreen() {
    const std::string widest =
        WidestClockText(model_.ShowAsClock(), model_.NumMinutes(), model_.ShowSeconds());
    int w = DigitsExtent(widest).cx;
    int h = digitHeight_;
    const SIZE screen = display_.Screen();
    // The stored place at the first start; a restart keeps the clock where the presenter put it.
    if (!placed_)
        home_ = ReadPlace(settings::kClockLeft, settings::kClockTop, settings::kClockMonitor,
                          {CenteredStart(0, screen.cx, w), CenteredStart(0, screen.cy, h)});
    // The whole clock, at its widest text, stays on its monitor.
    const std::vector<Monitor>& monitors = display_.Monitors();
    Placement at = PlaceOnMonitors(home_, w, h, monitors);
    if (at.monitor >= 0 && monitors[at.monitor].dpi != display_.FontDpi()) {
        display_.UseDpi(monitors[at.monitor].dpi);
        SetFontSize(display_.FontPoints());
        SetHeightToText(kClockHeightText);
        w = DigitsExtent(widest).cx;
        h = digitHeight_;
        at = PlaceOnMonitors(home_, w, h, monitors);
    }
    const PixelRect monitor =
        at.monitor >= 0 ? monitors[at.monitor].area : PixelRect{0, 0, screen.cx, screen.cy};
    // A clock too large for its monitor (eight digits at 188 points are wider than many screens)
    // is drawn smaller rather than cut off.
    const int areaW = monitor.right - monitor.left, areaH = monitor.bottom - monitor.top;
    for (int tries = 0; tries < 4 && (w > areaW || h > areaH) && display_.FontPoints() > 1; ++tries) {
        const int points = display_.FontPoints();
        const int fit = FittingPoints(points, w, h, areaW, areaH);
        SetFontSize(fit < points ? fit : points - 1);
        SetHeightToText(kClockHeightText);
        w = DigitsExtent(widest).cx;
        h = digitHeight_;
    }
    const PixelPoint kept = ClampToMonitor(at.place, w, h, monitor);
    awayPlace_.reset();
    if (!at.atHome) awayPlace_ = kept;
    ::SetWindowPos(hwnd_, nullptr, kept.x, kept.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    placed_ = true;
}

void frmClock::StartTimer(const ClockNow& now) noexcept {
    display_.RunTimer(model_.NextDelayMs(now));
}

void frmClock::DragMove() noexcept {
    const bool ticking = display_.TimerOn();
    display_.StopTimer();
    WaitForMessages();
    const auto resume = [this, ticking] {
        if (ticking && !destroyed_) StartTimer(TimeSource());
    };
    const auto dropped = [this] {
        awayPlace_.reset();
        home_ = PlaceWithMonitor(display_.Place(), display_.Size(), display_.Monitors());
    };
    display_.Drag(InputGate, LifeToken(), resume, dropped);
}

LRESULT frmClock::OnCopyData(LPARAM lp) noexcept {
    // Anyone may send this: the block is looked at only when it is small enough to be a request,
    // and only the bytes the system copied for us are read.
    const auto* block = reinterpret_cast<const COPYDATASTRUCT*>(lp);
    if (!block || !block->lpData || block->cbData == 0 || block->cbData > kMaxClockRequestBytes)
        return kClockIgnored;
    unsigned char bytes[kMaxClockRequestBytes];
    std::memcpy(bytes, block->lpData, block->cbData);
    const auto request = ParseClockRequest(bytes, block->cbData);
    if (!request || destroyed_ || !started_) return kClockIgnored;
    // Both take effect before the answer: the sender finds the clock hidden or shown, and no
    // message is pumped here that could close the clock under us.
    try {
        if (*request == ClockRequest::Hide) {
            SetPaused(true);
            Hide();
        } else if (*request == ClockRequest::Show) {
            SetPaused(false);
            Show();
        }
    } catch (...) {
        return kClockIgnored;
    }
    return kClockActed;
}

void frmClock::Publish(HWND value) noexcept {
    // Published in the machine key where this account may write it, and always in the per-user
    // mirror; withdrawn only where it still names this window.
    const std::int32_t number = HandleToNumber(value);
    const std::int32_t own = HandleToNumber(hwnd_);
    auto update = [&](RegistrySetting& key) {
        if (!key.IsOpen() || key.IsReadOnly()) return;
        if (!value && ReadPublished(key) != own) return;
        key.SetValue(settings::kSpotlexClock.name, rgsDWord, number);
    };
    LogAndContinue(kModule, value ? "Form_Load" : "Destroy", [&] {
        if (goLocalMachine) update(*goLocalMachine);
    });
    LogAndContinue(kModule, value ? "Form_Load" : "Destroy", [&] {
        RegistrySetting mirror;
        mirror.OpenKey(kMachineMirrorKey);
        update(mirror);
    });
}

CClockWindow::CClockWindow() : window_(std::make_unique<frmClock>()) {}

CClockWindow::~CClockWindow() {
    try {
        window_.reset();
    } catch (...) {
    }
}

void CClockWindow::Destroy() noexcept {
    if (!window_) return;
    window_->Destroy();
    window_.reset();
}

bool CClockWindow::Display() {
    if (!window_) return false;
    return window_->Display(color_, size_, showAsClock_, startTime_, showSeconds_);
}

HWND FindPublishedClock() noexcept {
    HWND found = nullptr;
    try {
        for (const char* key : {kMachineKey, kMachineMirrorKey}) {
            try {
                RegistrySetting reader;
                if (!reader.KeyExists(key)) continue;
                reader.OpenKey(key);
                HWND h = NumberToHandle(ReadPublished(reader));
                if (IsClockWindow(h)) return h;
            } catch (...) {
                // A value of another type names no clock; the next place may.
            }
        }
        found = ::FindWindowA(frmClock::kClassName, frmClock::kCaption);
    } catch (...) {
    }
    return IsClockWindow(found) ? found : nullptr;
}

}  // namespace spotlex
