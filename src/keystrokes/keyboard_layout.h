#pragma once
// The keystroke window's arithmetic: where it goes, how big its font may be, and what each tick
// of its linger-then-fade timer does. Positions are whole screen pixels.
#include <cstdint>

#include "core/screen_geometry.h"

namespace spotlex {

// The window's designed size; it places the first text before any text has sized the window.
inline constexpr double kKeyboardDesignWidthTwips = 4455;
inline constexpr double kKeyboardDesignHeightTwips = 915;
inline constexpr int kFadeIntervalMs = 60;
// Window timers take at most this interval.
inline constexpr int kMaxTimerIntervalMs = 65535;

// The font size the window really uses for a requested size: at most 188 points, at least 1.
int KeyboardFontPoints(int requestedPoints);

// The linger-then-fade timer: idle (interval 0), lingering (interval = the delay when the
// linger began) or fading (60 ms steps). The phase is kept apart from the interval, so a delay
// changed while the window lingers cannot leave it stuck on screen.
class LingerFadeTimer {
public:
    // Kept within what a window timer accepts (1 to 65535 ms).
    void SetDelay(int ms);
    int Delay() const noexcept { return delay_; }
    int Interval() const noexcept;
    bool Running() const noexcept { return phase_ != Phase::Idle; }
    bool Fading() const noexcept { return phase_ == Phase::Fading; }

    void Linger() noexcept;
    void Stop() noexcept { phase_ = Phase::Idle; }

    // One tick: true when it is a fade step. The tick that ends the linger time switches to
    // 60 ms and is itself the first fade step, so the fade starts without a pause.
    bool Tick() noexcept;

private:
    enum class Phase { Idle, Lingering, Fading };
    int delay_ = 1000;
    int lingerMs_ = 1000;
    Phase phase_ = Phase::Idle;
};

}  // namespace spotlex
