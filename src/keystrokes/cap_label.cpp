#include "keystrokes/cap_label.h"

#include <algorithm>
#include <cmath>

#include "core/display_font_codes.h"

namespace spotlex {

LabelFit FitLabel(const CapBox& cap, double capRatio) {
    const double capPixels = kLabelCapHeight * cap.height;
    const int em = std::max(1, static_cast<int>(std::lround(capPixels / capRatio)));
    return {em, static_cast<int>(std::lround(em * capRatio))};
}

LabelFit FitLabelWidth(const CapBox& cap, double capRatio, const LabelFit& at, int inkWidth) {
    const double room = cap.width - 2 * kLabelSidePad * cap.height;
    if (inkWidth <= room || inkWidth <= 0 || room <= 0) return at;
    const int em = std::max(1, static_cast<int>(std::floor(at.emPixels * room / inkWidth)));
    return {em, static_cast<int>(std::lround(em * capRatio))};
}

PixelPoint LabelOrigin(const CapBox& cap, const LabelFit& fit, int inkLeft, int inkWidth) {
    const double centreX = cap.left + cap.width / 2.0;
    const double labelMiddle = cap.top + cap.height / 2.0 - kLabelLift * cap.height;
    return {static_cast<int>(std::lround(centreX - inkLeft - inkWidth / 2.0)),
            static_cast<int>(std::lround(labelMiddle + fit.capPixels / 2.0))};
}

}  // namespace spotlex
