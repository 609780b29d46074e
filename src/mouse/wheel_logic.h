#pragma once
// The wheel mark without the window: which turns of the wheel make one mark, and its shape. Fast
// scrolling sends dozens of turns a second; they extend one mark instead of drawing one each.
#include <cstdint>
#include <vector>

namespace spotlex {

// Turns closer together than this belong to one run.
inline constexpr std::uint32_t kWheelRunGapMs = 400;
// A mark stays this long after the last turn of its run.
inline constexpr std::uint32_t kWheelMarkLingerMs = 600;
// A run grows its mark by one chevron a turn, up to this many.
inline constexpr int kWheelMarkMaxChevrons = 3;

struct WheelMark {
    int x = 0;  // where the run began, screen pixels
    int y = 0;
    bool up = false;  // the wheel turned away from the presenter
    int chevrons = 0;
    std::uint32_t lastTurn = 0;
};

class WheelRun {
public:
    // One turn at tick `time`, pointer (x, y), wheel delta (positive: up). True when the turn begins
    // a new mark; false when it extends the one on show, which keeps its place.
    bool OnTurn(std::uint32_t time, int x, int y, int delta) noexcept;
    const WheelMark& Mark() const noexcept { return mark_; }
    // The mark is over; the next turn begins a new one.
    void End() noexcept { mark_.chevrons = 0; }

private:
    WheelMark mark_;
};

struct WheelPoint {
    int x;
    int y;
};

// The outline of a mark `width` pixels wide: its chevrons stacked, pointing up or down, each a
// triangle half as high as wide, with a gap of a sixth of that height between them; the points
// run from the window's top-left corner. Three points a chevron.
std::vector<WheelPoint> WheelMarkOutline(int width, int chevrons, bool up);

// The mark's width for the burst's size in points: three eighths of it, at least 12 pixels.
int WheelMarkWidth(std::int32_t burstSize) noexcept;

}  // namespace spotlex
