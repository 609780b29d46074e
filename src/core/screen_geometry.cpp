#include "core/screen_geometry.h"

#include <algorithm>
#include <cmath>

#include "core/runtime_rules.h"

namespace spotlex {

int TwipsLengthToPixels(double twips, double twipsPerPixel) {
    return RoundToInt32(twips / twipsPerPixel);
}

int CentredEdge(int screenPixels, int windowPixels, double twipsPerPixel) {
    double halfTwips = RoundHalfEven((screenPixels - windowPixels) * twipsPerPixel / 2.0);
    return static_cast<int>(std::trunc(halfTwips / twipsPerPixel));
}

PixelPoint PlacementProbe(PixelPoint place, int width, int height) {
    return {place.x + width / 2, place.y + height / 2};
}

namespace {
int ClampEdge(int edge, int size, int low, int high) {
    // Upper bound first: when the window does not fit, the low edge wins.
    return std::max(low, std::min(edge, high - size));
}
}  // namespace

PixelPoint ClampToMonitor(PixelPoint place, int width, int height, const PixelRect& monitor) {
    return {ClampEdge(place.x, width, monitor.left, monitor.right),
            ClampEdge(place.y, height, monitor.top, monitor.bottom)};
}

}  // namespace spotlex
