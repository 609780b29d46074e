#pragma once
// The click burst without the window: where it goes, how big its glyph may be, which frame it
// shows and what its timer does, and the fire picture that can fill it.
#include <cstdint>

#include "core/display_font_codes.h"

namespace spotlex {

// The timer interval that marks "first frame not shaped yet"; shaping replaces it by the frame time.
inline constexpr std::int32_t kFirstFrameMarkerMs = 50;
inline constexpr std::int32_t kDefaultFrameMs = 60;

// Side of the square fire picture, in pixels.
inline constexpr int kFireburstSide = 200;

// Point size of the burst font for a requested Size: held at 188, and at least 1 point so that a
// stray 0 or negative value cannot ask GDI for its default size.
std::int32_t HeldBurstPoints(std::int32_t size);

struct BurstPlace {
    int left;
    int top;
};

// Top-left pixel of the burst window for a click at pixel (x, y), so that the glyph's visible
// centre falls on the click. Both offsets come from the glyph width W: left = x - W / 2.01,
// top = y - W / 1.91. Works across the whole virtual screen, negative coordinates included.
BurstPlace PlaceBurst(int x, int y, int glyphWidth);

// The burst's frames and its timer, as one state machine. The window applies the timer state
// after each call and draws whatever Glyph() names.
class BurstAnimation {
public:
    enum class Tick { None, NextFrame, End };

    std::int32_t FadeInterval() const noexcept { return fadeInterval_; }
    void SetFadeInterval(std::int32_t ms) noexcept { fadeInterval_ = ms; }

    // A new burst, from either state: first frame, marker interval, timer on.
    void Start(bool dblClick) noexcept;
    // The frame's shape is on screen: a first frame now gets the real frame time.
    void Shaped() noexcept;
    // One timer tick: the next frame, or the end after the fifth.
    Tick OnTick() noexcept;
    // Stops at once; true when the window was showing and must be hidden.
    bool Stop() noexcept;

    unsigned char Glyph() const noexcept { return glyph_; }
    bool DblClick() const noexcept { return dblClick_; }
    bool Shown() const noexcept { return shown_; }
    std::int32_t TimerInterval() const noexcept { return timerInterval_; }
    // The timer should be counting: enabled with an interval (0 stops a timer).
    bool TimerRunning() const noexcept { return timerEnabled_ && timerInterval_ > 0; }

private:
    std::int32_t fadeInterval_ = kDefaultFrameMs;
    unsigned char glyph_ = 0;  // 0: no burst running
    bool dblClick_ = false;
    bool shown_ = false;
    std::int32_t timerInterval_ = 0;
    bool timerEnabled_ = false;
};

struct Rgb {
    std::uint8_t r, g, b;
    friend bool operator==(Rgb, Rgb) = default;
};

// Pixel (x, y) of the 200 x 200 fire picture: concentric rings centred in the square, a disc of
// radius 44 then three rings 14 wide, from deep orange outwards to yellow.
Rgb FireburstPixel(int x, int y);

}  // namespace spotlex
