#include "mouse/wheel_logic.h"

#include <algorithm>

namespace spotlex {

bool WheelRun::OnTurn(std::uint32_t time, int x, int y, int delta) noexcept {
    const bool up = delta > 0;
    // Unsigned, so a tick count that wrapped between two turns still measures the gap.
    const bool extends = mark_.chevrons > 0 && up == mark_.up && time - mark_.lastTurn <= kWheelRunGapMs;
    if (extends) {
        mark_.chevrons = std::min(mark_.chevrons + 1, kWheelMarkMaxChevrons);
    } else {
        mark_ = WheelMark{x, y, up, 1, time};
    }
    mark_.lastTurn = time;
    return !extends;
}

std::vector<WheelPoint> WheelMarkOutline(int width, int chevrons, bool up) {
    std::vector<WheelPoint> points;
    const int h = std::max(1, width / 2);
    const int gap = std::max(1, h / 6);
    for (int i = 0; i < chevrons; ++i) {
        const int top = i * (h + gap);
        if (up) {
            points.push_back({width / 2, top});
            points.push_back({width, top + h});
            points.push_back({0, top + h});
        } else {
            points.push_back({0, top});
            points.push_back({width, top});
            points.push_back({width / 2, top + h});
        }
    }
    return points;
}

int WheelMarkWidth(std::int32_t burstSize) noexcept {
    return std::max(12, static_cast<int>(burstSize) * 3 / 8);
}

}  // namespace spotlex
