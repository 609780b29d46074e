#pragma once
// The break clock's arithmetic: the texts of the time of day and of the count-down, the
// count-down's pause and its blinking end, and the remote requests it answers. Time comes in
// from the caller, so every case can be driven by a made-up clock.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace spotlex {

inline constexpr int kClockTickMs = 1000;
inline constexpr int kClockBlinkMs = 500;
// A tick is aimed this far past the second it shows, so a timer that fires a little early or up
// to 0.9 s late still lands inside the right second.
inline constexpr int kClockTickMarginMs = 100;
// The clock window's own size before its first text sizes it, and the texts that size it.
inline constexpr char kClockWidthText[] = "88:88:88";
inline constexpr char kClockHeightText[] = "8";

// "9:05", "12:30:07": a 12-hour clock without AM/PM, 0 shown as 12.
std::string TimeOfDayText(int hour24, int minute, int second, bool showSeconds);

// The count-down text for secondsLeft > 0: "15", "1:05", "2:05:00"; the last minute always
// carries its seconds ("0:45").
std::string CountdownText(std::int64_t secondsLeft, bool showSeconds);

// The widest text a clock started so can show, with every digit an "8": a count-down only
// shortens from its first text. The clock is kept on the screen at this width.
std::string WidestClockText(bool showAsClock, int minutes, bool showSeconds);

// The largest size, at most `points`, at which a text measured width x height at `points` fits
// an area of areaWidth x areaHeight, glyphs growing in proportion to the size (at least 1).
int FittingPoints(int points, int width, int height, int areaWidth, int areaHeight);

// Each character moved to the clock glyphs of the display font (its code plus 168).
std::string SpotlexString(std::string_view text);

// What the clock reads at a tick: a steady count of milliseconds, and the local time of day.
struct ClockNow {
    std::int64_t steadyMs = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// What one tick asks of the window.
struct ClockFrame {
    // Reshape the window for `text` (an empty text shows nothing).
    bool render = false;
    // Play the alarm now, once per run-out.
    bool alarm = false;
    // The count-down is within its warning minutes (or has run out with a warning set).
    bool warning = false;
};

// The clock's state between ticks. The count-down is always computed from its start moment, so
// a late or missed tick neither skips nor repeats a second; a pause moves the start forward by
// exactly the time spent paused.
class ClockModel {
public:
    // Starts afresh at `now`: a full count-down, the alarm armed again, the blink at "0" first.
    void Start(std::int64_t nowMs, int minutes, bool showAsClock, bool showSeconds);

    // Ignored unless above 0; takes effect at the next tick.
    void SetNumMinutes(int minutes) noexcept;
    int NumMinutes() const noexcept { return minutes_; }
    void SetShowSeconds(bool on) noexcept { showSeconds_ = on; }
    bool ShowSeconds() const noexcept { return showSeconds_; }
    void SetShowAsClock(bool on) noexcept { showAsClock_ = on; }
    bool ShowAsClock() const noexcept { return showAsClock_; }
    bool Paused() const noexcept { return paused_; }
    void SetPaused(bool paused, std::int64_t nowMs) noexcept;
    // Minutes left at which the count-down turns to its warning colour; 0 for none.
    void SetWarningMinutes(int minutes) noexcept { warningMinutes_ = minutes > 0 ? minutes : 0; }
    // The presenter clicked the clock: a count-down that has run out stops blinking and stands at
    // "0" until it is started again. True when that changed anything.
    bool Silence() noexcept;

    ClockFrame Tick(const ClockNow& now);
    const std::string& Text() const noexcept { return text_; }
    // 1000 while running, 500 once the count-down has run out.
    int IntervalMs() const noexcept { return intervalMs_; }
    // How long until the next tick is due.
    int NextDelayMs(const ClockNow& now) const noexcept;
    // Whole seconds left of the count-down at `nowMs` (0 or less once it has run out).
    std::int64_t SecondsLeft(std::int64_t nowMs) const noexcept;
    bool AlarmSounded() const noexcept { return alarmSounded_; }

private:
    std::int64_t startMs_ = 0;
    std::int64_t pausedAtMs_ = 0;
    int minutes_ = 60;
    bool showAsClock_ = false;
    bool showSeconds_ = false;
    bool paused_ = false;
    bool blinkPhase_ = false;
    bool alarmSounded_ = false;
    bool silenced_ = false;
    int warningMinutes_ = 0;
    int intervalMs_ = kClockTickMs;
    std::string text_;
};

// What another program asks of the clock with WM_COPYDATA.
enum class ClockRequest { Hide, Show, Status };

// The clock's answers: a request it carried out, and anything else (no request of ours, or a clock
// that is not running).
inline constexpr long kClockActed = 1;
inline constexpr long kClockIgnored = -1;

// The most bytes of a request the clock looks at; anything longer is no request of ours.
inline constexpr std::size_t kMaxClockRequestBytes = 64;

// The request in a data block of UTF-16 text without terminator: exactly "hide" or "show" act;
// every other block (odd length, other text, other case) is nothing.
std::optional<ClockRequest> ParseClockRequest(const void* data, std::size_t bytes) noexcept;

// The UTF-16 bytes a sender puts in the block for a request word.
std::string ClockRequestBytes(std::string_view word);

// The companion's one argument: "hide", "show" or "status".
std::optional<ClockRequest> ParseClockCommand(std::string_view arg) noexcept;

}  // namespace spotlex
