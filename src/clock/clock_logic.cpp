#include "clock/clock_logic.h"

#include <algorithm>
#include <cstring>

namespace spotlex {
namespace {

std::string TwoDigits(std::int64_t n) {
    std::string s = std::to_string(n);
    return s.size() < 2 ? "0" + s : s;
}

}  // namespace

std::string TimeOfDayText(int hour24, int minute, int second, bool showSeconds) {
    int h = hour24 % 12;
    if (h == 0) h = 12;
    std::string text = std::to_string(h) + ":" + TwoDigits(minute);
    if (showSeconds) text += ":" + TwoDigits(second);
    return text;
}

std::string CountdownText(std::int64_t secondsLeft, bool showSeconds) {
    const std::int64_t h = secondsLeft / 3600;
    const std::int64_t m = secondsLeft / 60 - 60 * h;
    const std::int64_t s = secondsLeft - 3600 * h - 60 * m;
    std::string text;
    if (h > 0) text = std::to_string(h) + ":";
    text += text.empty() ? std::to_string(m) : TwoDigits(m);
    if (h + m == 0 || showSeconds) text += ":" + TwoDigits(s);
    return text;
}

std::string WidestClockText(bool showAsClock, int minutes, bool showSeconds) {
    std::string text = showAsClock ? TimeOfDayText(12, 0, 0, showSeconds)
                                   : CountdownText(std::max(minutes, 1) * std::int64_t{60}, showSeconds);
    for (char& c : text)
        if (c != ':') c = '8';
    return text;
}

int FittingPoints(int points, int width, int height, int areaWidth, int areaHeight) {
    if (width <= areaWidth && height <= areaHeight) return points;
    const double scale = std::min(width > 0 ? static_cast<double>(areaWidth) / width : 1.0,
                                  height > 0 ? static_cast<double>(areaHeight) / height : 1.0);
    return std::max(1, std::min(points, static_cast<int>(points * scale)));
}

std::string SpotlexString(std::string_view text) {
    std::string mapped(text);
    for (char& c : mapped) c = static_cast<char>(static_cast<unsigned char>(c) + 168);
    return mapped;
}

void ClockModel::Start(std::int64_t nowMs, int minutes, bool showAsClock, bool showSeconds) {
    showSeconds_ = showSeconds;
    showAsClock_ = showAsClock;
    minutes_ = minutes;
    startMs_ = nowMs;
    if (paused_) pausedAtMs_ = nowMs;
    // A restarted break is a new break: it blinks from "0" and rings again.
    blinkPhase_ = false;
    alarmSounded_ = false;
    silenced_ = false;
    intervalMs_ = kClockTickMs;
}

bool ClockModel::Silence() noexcept {
    // Only a blinking zero: the alarm has sounded exactly when the count-down has run out.
    if (showAsClock_ || !alarmSounded_ || silenced_) return false;
    silenced_ = true;
    return true;
}

void ClockModel::SetNumMinutes(int minutes) noexcept {
    if (minutes > 0) minutes_ = minutes;
}

void ClockModel::SetPaused(bool paused, std::int64_t nowMs) noexcept {
    if (paused == paused_) return;
    paused_ = paused;
    if (paused)
        pausedAtMs_ = nowMs;
    else if (nowMs > pausedAtMs_)
        startMs_ += nowMs - pausedAtMs_;
}

std::int64_t ClockModel::SecondsLeft(std::int64_t nowMs) const noexcept {
    const std::int64_t at = paused_ ? pausedAtMs_ : nowMs;
    // Whole seconds since the start, floored, so the first second shows the full length.
    std::int64_t elapsed = at - startMs_;
    elapsed = elapsed >= 0 ? elapsed / 1000 : -((-elapsed + 999) / 1000);
    return static_cast<std::int64_t>(minutes_) * 60 - elapsed;
}

ClockFrame ClockModel::Tick(const ClockNow& now) {
    ClockFrame frame;
    if (paused_) return frame;
    if (showAsClock_) {
        text_ = TimeOfDayText(now.hour, now.minute, now.second, showSeconds_);
        intervalMs_ = kClockTickMs;
        frame.render = true;
        return frame;
    }
    const std::int64_t left = SecondsLeft(now.steadyMs);
    frame.warning = warningMinutes_ > 0 && left <= static_cast<std::int64_t>(warningMinutes_) * 60;
    if (left > 0) {
        text_ = CountdownText(left, showSeconds_);
        intervalMs_ = kClockTickMs;
    } else if (silenced_) {
        text_ = showSeconds_ ? "0:00" : "0";
        intervalMs_ = kClockTickMs;
    } else {
        intervalMs_ = kClockBlinkMs;
        text_ = blinkPhase_ ? "" : (showSeconds_ ? "0:00" : "0");
        blinkPhase_ = !blinkPhase_;
        if (!alarmSounded_) {
            frame.alarm = true;
            alarmSounded_ = true;
        }
    }
    frame.render = true;
    return frame;
}

int ClockModel::NextDelayMs(const ClockNow& now) const noexcept {
    if (intervalMs_ == kClockBlinkMs || paused_) return intervalMs_;
    // Aim just past the next second the display shows: of the count-down's own seconds, or of
    // the wall clock's.
    std::int64_t phase = showAsClock_ ? now.millisecond : (now.steadyMs - startMs_) % 1000;
    if (phase < 0) phase += 1000;
    int delay = static_cast<int>((1000 + kClockTickMarginMs - phase) % 1000);
    return delay == 0 ? 1000 : delay;
}

std::optional<ClockRequest> ParseClockRequest(const void* data, std::size_t bytes) noexcept {
    if (!data || bytes != 8) return std::nullopt;
    unsigned char b[8];
    std::memcpy(b, data, sizeof b);
    std::string word;
    for (int i = 0; i < 8; i += 2) {
        // UTF-16 little-endian, plain lower-case letters only.
        if (b[i + 1] != 0 || b[i] < 'a' || b[i] > 'z') return std::nullopt;
        word += static_cast<char>(b[i]);
    }
    if (word == "hide") return ClockRequest::Hide;
    if (word == "show") return ClockRequest::Show;
    return std::nullopt;
}

std::string ClockRequestBytes(std::string_view word) {
    std::string bytes;
    for (char c : word) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

std::optional<ClockRequest> ParseClockCommand(std::string_view arg) noexcept {
    if (arg == "hide") return ClockRequest::Hide;
    if (arg == "show") return ClockRequest::Show;
    if (arg == "status") return ClockRequest::Status;
    return std::nullopt;
}

}  // namespace spotlex
