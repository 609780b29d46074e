#pragma once
// The break clock: frmClock is a floating, never-activated window cut to the outline of its
// digits, showing the time of day or a count-down; CClockWindow owns it while the clock is open
// and holds the settings it is started with.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "clock/clock_logic.h"
#include "core/shaped_display_win.h"
#include "core/window_win.h"

namespace spotlex {

// The steady count and the local time of day, as the clock reads them at a tick.
ClockNow SystemClockNow();

class frmClock : public Window {
public:
    static constexpr const char* kClassName = "SpotlexClock";
    static constexpr const char* kCaption = "Spotlex - Clock Display";

    // Form_Load: a hidden window in red at 64 points, published as Spotlex_Clock.
    frmClock();
    // Unload: Destroy, which stores the place and withdraws the publication.
    ~frmClock() override;

    void SetNumMinutes(int minutes) noexcept { model_.SetNumMinutes(minutes); }
    int NumMinutes() const noexcept { return model_.NumMinutes(); }
    void SetShowSeconds(bool on) noexcept { model_.SetShowSeconds(on); }
    bool ShowSeconds() const noexcept { return model_.ShowSeconds(); }
    void SetShowAsClock(bool on) noexcept { model_.SetShowAsClock(on); }
    bool ShowAsClock() const noexcept { return model_.ShowAsClock(); }
    bool Paused() const noexcept { return model_.Paused(); }
    void SetPaused(bool paused);

    // Stops the clock, hides it, stores its place and withdraws Spotlex_Clock.
    void Destroy() noexcept;
    // Starts the clock afresh; false when the display font is missing (its message is shown).
    bool Display(std::int32_t color, std::int32_t size, bool showAsClock, std::int32_t minutes,
                 bool showSeconds);
    // Shapes the window to the current text and floats it on top, unless hidden.
    bool Recreate() noexcept;
    // One tick now, as the timer runs it.
    void Timer_Tick() noexcept;

    // Hide keeps the window off the screen, ticking, until Show renders it again.
    void Hide() noexcept;
    void Show() noexcept;
    bool Visible() const noexcept { return hwnd_ && ::IsWindowVisible(hwnd_); }

    void SetBackColor(COLORREF color) noexcept;
    // The count-down takes `color` once `minutes` or fewer are left; 0 minutes for no warning.
    void SetWarning(std::int32_t minutes, COLORREF color) noexcept;
    void SetFontSize(std::int32_t points);
    // The window's width or height to that of `text` drawn as clock digits in the current font.
    void SetWidthToText(std::string_view text);
    void SetHeightToText(std::string_view text);

    // Switches the input hook off (false) and on again (true) around a drag.
    std::function<void(bool enabled)> InputGate;
    // The presenter released the right button on the clock, at this screen point.
    std::function<void(POINT at)> ContextMenu;
    // Where the clock reads the time; tests drive it by hand.
    std::function<ClockNow()> TimeSource = SystemClockNow;

    // What the clock shows now, for the tests.
    const std::string& Text() const noexcept { return model_.Text(); }
    COLORREF BackColor() const noexcept { return back_; }
    // The colour the digits are drawn in now: the warning colour inside the warning minutes.
    COLORREF ShownColor() const noexcept { return warning_ ? warningColor_ : back_; }
    std::int32_t FontPoints() const noexcept { return display_.FontPoints(); }
    // The timer's interval, 0 while stopped (during a drag and after Destroy).
    int TimerInterval() const noexcept { return display_.TimerOn() ? model_.IntervalMs() : 0; }
    int AlarmsPlayed() const noexcept { return alarms_; }
    int RegionBuilds() const noexcept { return display_.RegionBuilds(); }
    bool Hidden() const noexcept { return hidden_; }

protected:
    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    SIZE DigitsExtent(std::string_view text) const;
    // At the presenter's place on its monitor, or at the same relative place on the primary
    // monitor while that one is gone; the digits are made for the monitor's resolution.
    void PlaceOnScreen();
    void StartTimer(const ClockNow& now) noexcept;
    void DragMove() noexcept;
    LRESULT OnCopyData(LPARAM lp) noexcept;
    void Publish(HWND value) noexcept;

    ShapedDisplay display_;
    ClockModel model_;
    COLORREF back_ = 255;
    COLORREF warningColor_ = 0;
    bool warning_ = false;
    int digitHeight_ = 0;
    bool placed_ = false;
    // Where the presenter put the clock, with its monitor.
    RememberedPlace home_;
    // Where it stands in while that monitor is gone; never stored.
    std::optional<PixelPoint> awayPlace_;
    bool hidden_ = false;
    bool destroyed_ = false;
    bool started_ = false;
    int alarms_ = 0;
};

class CClockWindow {
public:
    // Creates the window; Size 64, Color 255, StartTime 60.
    CClockWindow();
    // Unloads the window, which stores its place and withdraws its publication.
    ~CClockWindow();
    CClockWindow(const CClockWindow&) = delete;
    CClockWindow& operator=(const CClockWindow&) = delete;

    HWND hWnd() const noexcept { return window_ ? window_->Hwnd() : nullptr; }
    void Destroy() noexcept;
    void SetShowSeconds(bool on) noexcept { showSeconds_ = on; }
    bool ShowSeconds() const noexcept { return showSeconds_; }
    void SetShowAsClock(bool on) noexcept { showAsClock_ = on; }
    bool ShowAsClock() const noexcept { return showAsClock_; }
    // Starts the window with the stored values; true when the clock runs.
    bool Display();
    // Changes the running window at once; a failure leaves it as it was.
    void SetWindowBackColor(std::int32_t color) noexcept {
        OnWindow([&](frmClock& w) { w.SetBackColor(static_cast<COLORREF>(color)); });
    }
    void SetWindowWarning(std::int32_t minutes, std::int32_t color) noexcept {
        OnWindow([&](frmClock& w) { w.SetWarning(minutes, static_cast<COLORREF>(color)); });
    }
    void SetWindowFontSize(std::int32_t points) noexcept {
        OnWindow([&](frmClock& w) { w.SetFontSize(points); });
    }
    void SetWindowWidth(std::string_view text) noexcept {
        OnWindow([&](frmClock& w) { w.SetWidthToText(text); });
    }
    void SetWindowHeight(std::string_view text) noexcept {
        OnWindow([&](frmClock& w) { w.SetHeightToText(text); });
    }
    void SetWindowShowAsClock(bool on) noexcept {
        OnWindow([&](frmClock& w) { w.SetShowAsClock(on); });
    }
    void SetWindowShowSeconds(bool on) noexcept {
        OnWindow([&](frmClock& w) { w.SetShowSeconds(on); });
    }
    void SetColor(std::int32_t color) noexcept { color_ = color; }
    std::int32_t Color() const noexcept { return color_; }
    void SetStartTime(std::int32_t minutes) noexcept { startTime_ = minutes; }
    bool Visible() const noexcept { return window_ && window_->Visible(); }
    void SetVisible(bool visible) noexcept { visible ? Show() : Hide(); }
    bool Paused() const noexcept { return window_ && window_->Paused(); }
    void SetPaused(bool paused) noexcept { OnWindow([&](frmClock& w) { w.SetPaused(paused); }); }
    void SetSize(std::int32_t points) noexcept { size_ = points; }
    std::int32_t Size() const noexcept { return size_; }
    void Hide() noexcept { OnWindow([](frmClock& w) { w.Hide(); }); }
    void Show() noexcept { OnWindow([](frmClock& w) { w.Show(); }); }

    frmClock& Window() noexcept { return *window_; }

private:
    template <class F>
    void OnWindow(F&& f) noexcept {
        try {
            if (window_) f(*window_);
        } catch (...) {
        }
    }

    std::unique_ptr<frmClock> window_;
    std::int32_t size_ = 64;
    std::int32_t color_ = 255;
    std::int32_t startTime_ = 60;
    bool showAsClock_ = false;
    bool showSeconds_ = false;
};

// The clock window another program should talk to: the handle published in the machine key, else
// in its per-user mirror, else a window found by its class and title; each must be a live clock
// window. Null when no clock is open.
HWND FindPublishedClock() noexcept;

}  // namespace spotlex
