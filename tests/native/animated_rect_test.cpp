#include "core/animated_rect.h"

#include <gtest/gtest.h>

namespace spotlex {
namespace {

TEST(AnimatedRect, TrayCollapsesToAVerticalLineAtItsTruncatedMiddle) {
    EXPECT_EQ(CollapseToMiddle({1000, 980, 1200, 1024}), (ZoomRect{1100, 980, 1100, 1024}));
    EXPECT_EQ(CollapseToMiddle({1000, 980, 1201, 1024}), (ZoomRect{1100, 980, 1100, 1024}));
    // On a monitor left of the primary one: the half still truncates toward zero.
    EXPECT_EQ(CollapseToMiddle({-301, 0, -100, 30}), (ZoomRect{-201, 0, -201, 30}));
    // No taskbar: the empty rectangle stays the top-left corner.
    EXPECT_EQ(CollapseToMiddle({}), (ZoomRect{}));
}

TEST(AnimatedRect, OpeningDrawsForTheDialogAndClosingForTheSource) {
    const ZoomRect tray{1000, 980, 1201, 1024};
    const ZoomRect dialog{300, 200, 700, 500};

    const ZoomPlan open = PlanZoom(tray, true, dialog, false, true);
    EXPECT_EQ(open.start, (ZoomRect{1100, 980, 1100, 1024}));
    EXPECT_EQ(open.end, dialog);
    EXPECT_TRUE(open.drawForDestination);

    const ZoomPlan close = PlanZoom(dialog, false, tray, true, false);
    EXPECT_EQ(close.start, dialog);
    EXPECT_EQ(close.end, (ZoomRect{1100, 980, 1100, 1024}));
    EXPECT_FALSE(close.drawForDestination);

    // Between two ordinary windows (an explain button and its help box) nothing collapses.
    const ZoomRect button{10, 10, 31, 30};
    const ZoomPlan help = PlanZoom(button, false, dialog, false, true);
    EXPECT_EQ(help.start, button);
    EXPECT_EQ(help.end, dialog);
}

}  // namespace
}  // namespace spotlex
