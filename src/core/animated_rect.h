#pragma once
// The arithmetic of the zoom outline between a window and the taskbar tray.

namespace spotlex {

struct ZoomRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const ZoomRect&, const ZoomRect&) = default;
};

// The tray end of a zoom: a vertical line at the rectangle's horizontal middle, the half width
// truncated toward zero (left 1000, width 201 gives 1100).
ZoomRect CollapseToMiddle(ZoomRect r) noexcept;

// One outline animation: from `start` to `end`, drawn for the destination window when opening
// and for the source window when closing.
struct ZoomPlan {
    ZoomRect start;
    ZoomRect end;
    bool drawForDestination = false;
};

ZoomPlan PlanZoom(ZoomRect from, bool fromIsTray, ZoomRect to, bool toIsTray, bool opening) noexcept;

}  // namespace spotlex
