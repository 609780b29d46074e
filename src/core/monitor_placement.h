#pragma once
// Where a display goes when the presenter's monitors come and go, and how large its font is on
// each: a list of monitors in, a place and a size out. Places are whole pixels in virtual-screen
// coordinates.
#include <string>
#include <vector>

#include "core/screen_geometry.h"

namespace spotlex {

inline constexpr int kBaseDpi = 96;

struct Monitor {
    // The system's device name, "\\.\DISPLAY2": what a monitor is known by when it comes back.
    std::string device;
    PixelRect area;
    int dpi = kBaseDpi;
    bool primary = false;
};

// The monitor a place was put on, as it was then.
struct MonitorMemory {
    std::string device;
    PixelRect area;
    // A memory without a device name or with an empty area knows nothing.
    bool Known() const noexcept {
        return !device.empty() && area.right > area.left && area.bottom > area.top;
    }
};

// A stored place with the monitor it was put on.
struct RememberedPlace {
    PixelPoint place;
    MonitorMemory monitor;
};

struct Placement {
    PixelPoint place;
    // Index into the monitor list; -1 only when the list is empty.
    int monitor = -1;
    // False when the place stands in for the remembered one: its monitor is gone, or the keys
    // follow the pointer to another monitor. Such a place is not worth remembering.
    bool atHome = true;
};

// The monitor holding `point`, else the one whose area is nearest to it; -1 for an empty list.
int NearestMonitor(const std::vector<Monitor>& monitors, PixelPoint point);
// The primary monitor, else the first; -1 for an empty list.
int PrimaryMonitor(const std::vector<Monitor>& monitors);
// The monitor named `device`; -1 when none is.
int MonitorNamed(const std::vector<Monitor>& monitors, const std::string& device);

// A window of width x height at `place` on `from`, moved to the same relative place on `to`: the
// share of the room left beside it is kept, so a centred window stays centred and one at an edge
// stays at that edge. Kept on `to`.
PixelPoint SameRelativePlace(PixelPoint place, int width, int height, const PixelRect& from,
                             const PixelRect& to);

// Where a display of width x height goes now. On its remembered monitor, at its place (moved
// with the monitor's area when that changed). With that monitor gone, at the same relative place
// on the primary one. A place remembered without a monitor goes onto the monitor nearest to it.
// Never off every monitor.
Placement PlaceOnMonitors(const RememberedPlace& home, int width, int height,
                          const std::vector<Monitor>& monitors);

// As PlaceOnMonitors, then carried to the same relative place on the monitor under `pointer`.
Placement PlaceFollowing(const RememberedPlace& home, int width, int height, PixelPoint pointer,
                         const std::vector<Monitor>& monitors);

// The em height in pixels of a font of `points` on a monitor of `dpi`: the same physical size on
// every monitor. Halves go away from zero, as the system's own scaling does.
int FontPixels(int points, int dpi);

}  // namespace spotlex
