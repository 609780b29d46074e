#include "help/help_box_layout.h"

#include "core/runtime_rules.h"
#include "core/screen_geometry.h"

namespace spotlex {

namespace {
constexpr double kGapTwips = 270;           // between title, body and the commands below
constexpr double kCheckBelowCommand = 300;  // the check box under the More Information button
constexpr double kBottomTwips = 720;        // from the last row to the box's outer bottom
constexpr double kFirstBodyMargin = 2.6;    // the body's width leaves this many left margins
constexpr double kMarginStep = 0.2;
constexpr double kFitMargin = 1.2;  // the wrapped body must end this many margins before the edge
}  // namespace

HelpBoxLayout LayOutHelpBox(const HelpBoxFrame& frame, double twipsPerPixel, bool hasCommand,
                            bool offerDontShow, const MeasureText& measureTitle,
                            const MeasureText& measureBody) {
    auto px = [&](double twips) { return TwipsLengthToPixels(twips, twipsPerPixel); };
    HelpBoxLayout l;
    l.titleWidth = frame.boxWidth - static_cast<int>(RoundHalfEven(2.5 * frame.titleLeft));
    if (l.titleWidth < 1) l.titleWidth = 1;
    l.titleHeight = measureTitle(l.titleWidth).height;
    l.bodyTop = frame.titleTop + l.titleHeight + px(kGapTwips);

    const double fitLimit = frame.clientWidth - kFitMargin * frame.bodyLeft;
    auto widthFor = [&](double margins) {
        return frame.clientWidth - static_cast<int>(RoundHalfEven(margins * frame.bodyLeft));
    };
    const int firstWidth = widthFor(kFirstBodyMargin);
    int width = firstWidth;
    TextExtent body = measureBody(width);
    // Each pass takes one more fifth of a margin off; the loop ends once the width is used up.
    for (double margins = kFirstBodyMargin + kMarginStep; body.width >= fitLimit; margins += kMarginStep) {
        width = widthFor(margins);
        if (width < 1) {
            width = firstWidth;
            body = measureBody(width);
            break;
        }
        body = measureBody(width);
    }
    l.bodyWidth = width > 0 ? width : 1;
    l.bodyHeight = body.height;

    l.commandTop = l.bodyTop + l.bodyHeight + px(kGapTwips);
    l.showCommand = hasCommand;
    l.checkTop = hasCommand ? l.commandTop + px(kCheckBelowCommand) : l.commandTop;
    l.showCheck = offerDontShow;
    l.boxHeight = offerDontShow ? l.checkTop + frame.checkHeight + px(kBottomTwips)
                                : l.checkTop + px(kBottomTwips - kGapTwips);
    return l;
}

}  // namespace spotlex
