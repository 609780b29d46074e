#include "keystrokes/keyboard_layout.h"

#include <algorithm>

#include "core/settings.h"

namespace spotlex {

int KeyboardFontPoints(int requestedPoints) {
    return std::clamp(requestedPoints, 1, kFontSizeMax);
}

void LingerFadeTimer::SetDelay(int ms) {
    delay_ = std::clamp(ms, 1, kMaxTimerIntervalMs);
}

int LingerFadeTimer::Interval() const noexcept {
    switch (phase_) {
        case Phase::Lingering:
            return lingerMs_;
        case Phase::Fading:
            return kFadeIntervalMs;
        case Phase::Idle:
            break;
    }
    return 0;
}

void LingerFadeTimer::Linger() noexcept {
    lingerMs_ = delay_;
    phase_ = Phase::Lingering;
}

bool LingerFadeTimer::Tick() noexcept {
    if (phase_ == Phase::Idle) return false;
    phase_ = Phase::Fading;
    return true;
}

}  // namespace spotlex
