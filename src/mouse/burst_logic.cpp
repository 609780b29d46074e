#include "mouse/burst_logic.h"

#include <algorithm>
#include <cmath>

#include "core/runtime_rules.h"
#include "core/settings.h"

namespace spotlex {

std::int32_t HeldBurstPoints(std::int32_t size) {
    return std::clamp<std::int32_t>(size, 1, kFontSizeMax);
}

BurstPlace PlaceBurst(int x, int y, int glyphWidth) {
    // Pixels are square, so the width serves for both offsets, as the divisors were tuned.
    const double left = x - glyphWidth / kBurstCentreXDivisor;
    const double top = y - glyphWidth / kBurstCentreYDivisor;
    return {static_cast<int>(RoundHalfEven(left)), static_cast<int>(RoundHalfEven(top))};
}

void BurstAnimation::Start(bool dblClick) noexcept {
    glyph_ = kFirstBurstFrame;
    dblClick_ = dblClick;
    timerInterval_ = kFirstFrameMarkerMs;
    timerEnabled_ = true;
}

void BurstAnimation::Shaped() noexcept {
    shown_ = true;
    if (timerInterval_ == kFirstFrameMarkerMs) timerInterval_ = fadeInterval_;
}

BurstAnimation::Tick BurstAnimation::OnTick() noexcept {
    if (glyph_ >= kFirstBurstFrame - 1 && glyph_ < kLastBurstFrame) {
        ++glyph_;
        return Tick::NextFrame;
    }
    if (glyph_ == kLastBurstFrame) {
        shown_ = false;
        glyph_ = 0;
        timerEnabled_ = false;
        timerInterval_ = 0;
        return Tick::End;
    }
    return Tick::None;
}

bool BurstAnimation::Stop() noexcept {
    timerInterval_ = 0;
    timerEnabled_ = false;
    if (!shown_) return false;
    shown_ = false;
    glyph_ = 0;
    return true;
}

Rgb FireburstPixel(int x, int y) {
    // Distances from the square's centre to the pixel's centre.
    const double centre = kFireburstSide / 2.0;
    const double d = std::hypot(x + 0.5 - centre, y + 0.5 - centre);
    if (d < 44) return {255, 52, 0};
    if (d < 58) return {255, 103, 0};
    if (d < 72) return {255, 154, 0};
    if (d < 86) return {255, 205, 0};
    return {255, 255, 0};
}

}  // namespace spotlex
