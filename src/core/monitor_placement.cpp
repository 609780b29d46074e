#include "core/monitor_placement.h"

#include <cstdint>
#include <limits>

#include "core/runtime_rules.h"

namespace spotlex {
namespace {

std::int64_t Gap(int v, int low, int high) {
    // `high` is outside the area, as in a RECT.
    if (v < low) return std::int64_t{low} - v;
    if (v >= high) return std::int64_t{v} - high + 1;
    return 0;
}

int RelativeEdge(int edge, int size, int fromLow, int fromHigh, int toLow, int toHigh) {
    const int fromRoom = fromHigh - fromLow - size;
    const int toRoom = toHigh - toLow - size;
    if (fromRoom <= 0 || toRoom <= 0) return toLow;
    return toLow + RoundToInt32(static_cast<double>(edge - fromLow) * toRoom / fromRoom);
}

}  // namespace

int NearestMonitor(const std::vector<Monitor>& monitors, PixelPoint point) {
    int best = -1;
    std::int64_t bestDistance = std::numeric_limits<std::int64_t>::max();
    for (int i = 0; i < static_cast<int>(monitors.size()); ++i) {
        const PixelRect& a = monitors[i].area;
        const std::int64_t dx = Gap(point.x, a.left, a.right), dy = Gap(point.y, a.top, a.bottom);
        const std::int64_t distance = dx * dx + dy * dy;
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

int PrimaryMonitor(const std::vector<Monitor>& monitors) {
    for (int i = 0; i < static_cast<int>(monitors.size()); ++i)
        if (monitors[i].primary) return i;
    return monitors.empty() ? -1 : 0;
}

int MonitorNamed(const std::vector<Monitor>& monitors, const std::string& device) {
    for (int i = 0; i < static_cast<int>(monitors.size()); ++i)
        if (monitors[i].device == device) return i;
    return -1;
}

PixelPoint SameRelativePlace(PixelPoint place, int width, int height, const PixelRect& from,
                             const PixelRect& to) {
    const PixelPoint moved{RelativeEdge(place.x, width, from.left, from.right, to.left, to.right),
                           RelativeEdge(place.y, height, from.top, from.bottom, to.top, to.bottom)};
    return ClampToMonitor(moved, width, height, to);
}

Placement PlaceOnMonitors(const RememberedPlace& home, int width, int height,
                          const std::vector<Monitor>& monitors) {
    if (monitors.empty()) return {home.place, -1, true};
    if (home.monitor.Known()) {
        const int same = MonitorNamed(monitors, home.monitor.device);
        if (same >= 0) {
            const PixelRect& now = monitors[same].area;
            const PixelRect& then = home.monitor.area;
            const bool unchanged = now.left == then.left && now.top == then.top && now.right == then.right &&
                                   now.bottom == then.bottom;
            return {unchanged ? ClampToMonitor(home.place, width, height, now)
                              : SameRelativePlace(home.place, width, height, then, now),
                    same, true};
        }
        const int primary = PrimaryMonitor(monitors);
        return {SameRelativePlace(home.place, width, height, home.monitor.area, monitors[primary].area),
                primary, false};
    }
    const int nearest = NearestMonitor(monitors, PlacementProbe(home.place, width, height));
    return {ClampToMonitor(home.place, width, height, monitors[nearest].area), nearest, true};
}

Placement PlaceFollowing(const RememberedPlace& home, int width, int height, PixelPoint pointer,
                         const std::vector<Monitor>& monitors) {
    Placement at = PlaceOnMonitors(home, width, height, monitors);
    const int under = NearestMonitor(monitors, pointer);
    if (under < 0 || under == at.monitor) return at;
    return {SameRelativePlace(at.place, width, height, monitors[at.monitor].area, monitors[under].area),
            under, false};
}

int FontPixels(int points, int dpi) {
    const std::int64_t scaled = std::int64_t{points} * dpi;
    const std::int64_t whole = scaled / 72, rest = scaled % 72;
    if (rest * 2 >= 72) return static_cast<int>(whole + 1);
    if (rest * 2 <= -72) return static_cast<int>(whole - 1);
    return static_cast<int>(whole);
}

}  // namespace spotlex
