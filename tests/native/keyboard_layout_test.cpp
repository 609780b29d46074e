#include "keystrokes/keyboard_layout.h"

#include <gtest/gtest.h>

using namespace spotlex;

TEST(KeyboardLayout, DesignedSizeInPixels) {
    EXPECT_EQ(TwipsLengthToPixels(kKeyboardDesignWidthTwips, 15), 297);
    EXPECT_EQ(TwipsLengthToPixels(kKeyboardDesignHeightTwips, 15), 61);
    // 144 dpi: 445.5 and 91.5 go to the even neighbours.
    EXPECT_EQ(TwipsLengthToPixels(kKeyboardDesignWidthTwips, 10), 446);
    EXPECT_EQ(TwipsLengthToPixels(kKeyboardDesignHeightTwips, 10), 92);
    EXPECT_EQ(TwipsLengthToPixels(kKeyboardDesignWidthTwips, 7.5), 594);
    EXPECT_EQ(TwipsLengthToPixels(kKeyboardDesignHeightTwips, 7.5), 122);
}

TEST(KeyboardLayout, CentredEdgeRoundsHalfTwipsToEvenThenTruncates) {
    // (1280 - 297) * 15 / 2 = 7372.5 -> 7372 twips -> 491.47 -> 491 (not 492, the pixel midpoint rounded up).
    EXPECT_EQ(CentredEdge(1280, 297, 15), 491);
    // (1024 - 61) * 15 / 2 = 7222.5 -> 7222 -> 481.
    EXPECT_EQ(CentredEdge(1024, 61, 15), 481);
    EXPECT_EQ(CentredEdge(1920, 446, 10), 737);
    // 192 dpi: the twips per pixel stays 7.5, so the window is still centred (982 of 983), where
    // dividing by the rounded 8 would put it at 921.
    EXPECT_EQ(CentredEdge(2560, 594, 7.5), 982);
    // A window wider than the screen centres to a negative edge; -727.5 twips -> -728 -> -48.
    EXPECT_EQ(CentredEdge(200, 297, 15), -48);
}

TEST(KeyboardLayout, ClampKeepsTheWindowOnTheMonitorItBelongsTo) {
    const PixelRect primary{0, 0, 1280, 1024};
    const PixelRect projector{1280, 0, 2304, 768};  // right of the primary, shorter
    const PixelRect leftScreen{-1024, -200, 0, 568};

    // Inside: unchanged, on either monitor.
    EXPECT_EQ(ClampToMonitor({100, 200}, 297, 61, primary), (PixelPoint{100, 200}));
    EXPECT_EQ(ClampToMonitor({1500, 100}, 297, 61, projector), (PixelPoint{1500, 100}));
    // Off the projector's right and bottom edges: pulled back onto the projector, not the primary.
    EXPECT_EQ(ClampToMonitor({2200, 740}, 297, 61, projector), (PixelPoint{2007, 707}));
    // Negative coordinates of a monitor left of and above the primary are valid places.
    EXPECT_EQ(ClampToMonitor({-600, -150}, 297, 61, leftScreen), (PixelPoint{-600, -150}));
    EXPECT_EQ(ClampToMonitor({-2000, -500}, 297, 61, leftScreen), (PixelPoint{-1024, -200}));
    // The primary alone behaves like the bounds 0 and screen minus window.
    EXPECT_EQ(ClampToMonitor({5000, 5000}, 297, 61, primary), (PixelPoint{983, 963}));
    EXPECT_EQ(ClampToMonitor({-1, -1}, 297, 61, primary), (PixelPoint{0, 0}));
    // Wider and taller than the monitor: the start of the text stays in view.
    EXPECT_EQ(ClampToMonitor({300, 300}, 3000, 1100, primary), (PixelPoint{0, 0}));
}

TEST(KeyboardLayout, ProbeIsTheWindowCentre) {
    // Top-left still on the primary but most of the window on the projector.
    EXPECT_EQ(PlacementProbe({1200, 100}, 297, 61), (PixelPoint{1348, 130}));
    EXPECT_EQ(PlacementProbe({-300, -61}, 297, 61), (PixelPoint{-152, -31}));
}

TEST(KeyboardLayout, FontPointsAreLimitedTo188) {
    EXPECT_EQ(KeyboardFontPoints(200), 188);
    EXPECT_EQ(KeyboardFontPoints(188), 188);
    EXPECT_EQ(KeyboardFontPoints(14), 14);
    EXPECT_EQ(KeyboardFontPoints(0), 1);
    EXPECT_EQ(KeyboardFontPoints(-5), 1);
}

TEST(LingerFadeTimer, LingersThenFadesIn60MsStepsUntilStopped) {
    LingerFadeTimer t;
    EXPECT_EQ(t.Delay(), 1000);
    EXPECT_EQ(t.Interval(), 0);
    EXPECT_FALSE(t.Tick()) << "an idle timer does nothing";

    t.Linger();
    EXPECT_EQ(t.Interval(), 1000);
    EXPECT_FALSE(t.Fading());
    EXPECT_TRUE(t.Tick()) << "the end of the linger time is the first fade step";
    EXPECT_EQ(t.Interval(), kFadeIntervalMs);
    EXPECT_TRUE(t.Tick());
    EXPECT_EQ(t.Interval(), kFadeIntervalMs);

    // A new press during the fade lingers again with the full delay.
    t.Linger();
    EXPECT_EQ(t.Interval(), 1000);
    EXPECT_FALSE(t.Fading());

    t.Stop();
    EXPECT_EQ(t.Interval(), 0);
    EXPECT_FALSE(t.Running());
    EXPECT_FALSE(t.Tick());
}

TEST(LingerFadeTimer, DelayChangesAndBounds) {
    LingerFadeTimer t;
    t.SetDelay(60);
    t.Linger();
    EXPECT_EQ(t.Interval(), 60);
    EXPECT_TRUE(t.Tick()) << "with a delay of 60 the first tick already fades";

    // A delay changed while lingering applies to the next linger; this one still ends and fades.
    t.SetDelay(1000);
    t.Linger();
    t.SetDelay(3000);
    EXPECT_EQ(t.Interval(), 1000);
    EXPECT_TRUE(t.Tick());
    EXPECT_EQ(t.Interval(), kFadeIntervalMs);
    t.Linger();
    EXPECT_EQ(t.Interval(), 3000);

    t.SetDelay(0);
    EXPECT_EQ(t.Delay(), 1);
    t.SetDelay(100000);
    EXPECT_EQ(t.Delay(), kMaxTimerIntervalMs);
}
