#pragma once
// Where a character the display font lacks goes on the blank cap: at the height and in the middle
// the font gives its own single-character labels. Pixels, y down.
#include "core/screen_geometry.h"

namespace spotlex {

// The blank cap's ink, from the left and top of its character cell.
struct CapBox {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct LabelFit {
    int emPixels = 0;   // the fallback face's em height
    int capPixels = 0;  // the height of its capitals at that em
};

// The em that gives the fallback face's capitals (`capRatio` of its em) the labels' height; a
// label `inkWidth` wide at `at.emPixels` that would crowd the cap's sides is made smaller.
LabelFit FitLabel(const CapBox& cap, double capRatio);
LabelFit FitLabelWidth(const CapBox& cap, double capRatio, const LabelFit& at, int inkWidth);

// Where to draw the label, baseline-aligned: its ink (starting `inkLeft` right of the origin,
// `inkWidth` wide) centred across the cap, its capitals centred on the cap's label line.
PixelPoint LabelOrigin(const CapBox& cap, const LabelFit& fit, int inkLeft, int inkWidth);

}  // namespace spotlex
