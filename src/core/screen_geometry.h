#pragma once
// Where the displays go on the screen: whole screen pixels, the monitor a window belongs to and
// the clamp that keeps it there, and the twips lengths of the original forms turned into pixels.

namespace spotlex {

struct PixelPoint {
    int x = 0;
    int y = 0;
    bool operator==(const PixelPoint&) const = default;
};

struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// A length in twips as whole pixels, halves to even (4455 twips at 15 per pixel: 297).
int TwipsLengthToPixels(double twips, double twipsPerPixel);

// The left (or top) edge that centres a window of windowPixels on a screen of screenPixels:
// half the difference in twips, rounded, then divided by the twips per pixel and truncated.
// The divisor is not rounded, so 7.5 twips per pixel (192 dpi) still centres.
int CentredEdge(int screenPixels, int windowPixels, double twipsPerPixel);

// The point that decides which monitor a window placed at `place` belongs to: its centre, so a
// window dragged mostly onto a second screen belongs there.
PixelPoint PlacementProbe(PixelPoint place, int width, int height);

// Keeps a window of width x height at `place` on `monitor`. A window larger than the monitor
// starts at the monitor's left or top edge, so the start of its text stays in view.
PixelPoint ClampToMonitor(PixelPoint place, int width, int height, const PixelRect& monitor);

}  // namespace spotlex
