#pragma once
// The wheel mark: a few chevrons beside the pointer, pointing the way the wheel turned, in the
// colour of the other buttons' bursts. A run of turns extends the one mark; it goes a moment after
// the last turn. It never takes the focus.
#include <windows.h>

#include <cstdint>

#include "core/window_win.h"
#include "mouse/wheel_logic.h"

namespace spotlex {

class WheelMarkWindow : public Window {
public:
    static constexpr const char* kClassName = "SpotlexWheelMark";

    WheelMarkWindow();

    // One turn of the wheel at tick `time`, pointer (x, y) in screen pixels, wheel `delta`. A new
    // mark takes `color` and the size of a burst of `size` points.
    void Turn(std::uint32_t time, int x, int y, int delta, COLORREF color, std::int32_t size) noexcept;
    // Hides the mark at once; the next turn begins a new one.
    void Destroy() noexcept;

    bool Shown() const noexcept { return hwnd_ && ::IsWindowVisible(hwnd_); }
    const WheelMark& Mark() const noexcept { return run_.Mark(); }
    COLORREF Color() const noexcept { return color_; }

protected:
    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Reshape();

    WheelRun run_;
    COLORREF color_ = 255;
    int width_ = 12;
    int shownChevrons_ = 0;
};

}  // namespace spotlex
