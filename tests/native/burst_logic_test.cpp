#include "mouse/burst_logic.h"

#include <gtest/gtest.h>

#include <vector>

namespace spotlex {
namespace {

TEST(BurstPoints, HeldAt188AndAtLeastOne) {
    EXPECT_EQ(HeldBurstPoints(64), 64);
    EXPECT_EQ(HeldBurstPoints(188), 188);
    EXPECT_EQ(HeldBurstPoints(189), 188);
    EXPECT_EQ(HeldBurstPoints(100000), 188);
    EXPECT_EQ(HeldBurstPoints(14), 14);
    EXPECT_EQ(HeldBurstPoints(0), 1);
    EXPECT_EQ(HeldBurstPoints(-5), 1);
}

TEST(BurstPlacement, CentresByWidthOver201AndOver191) {
    // 96 dpi: a click at pixel (500, 400), glyph 85 pixels wide.
    // left = 500 - 85 / 2.01 = 457.71 -> 458; top = 400 - 85 / 1.91 = 355.497 -> 355.
    BurstPlace p = PlaceBurst(500, 400, 85);
    EXPECT_EQ(p.left, 458);
    EXPECT_EQ(p.top, 355);

    // Both offsets come from the width, never the height: a square-ish check with W = 191.
    p = PlaceBurst(1000, 1000, 191);
    EXPECT_EQ(p.top, 1000 - 100);
    EXPECT_EQ(p.left, 1000 - 95);  // 191 / 2.01 = 95.02
}

TEST(BurstPlacement, FollowsThePointerOntoMonitorsLeftOfAndAbovePrimary) {
    BurstPlace p = PlaceBurst(-300, -20, 85);
    EXPECT_EQ(p.left, -342);  // -300 - 42.29
    EXPECT_EQ(p.top, -65);    // -20 - 44.503
}

TEST(BurstPlacement, LargeGlyphsOfHighResolutionScreens) {
    BurstPlace p = PlaceBurst(201, 191, 201);
    EXPECT_EQ(p.left, 101);
    EXPECT_EQ(p.top, 191 - 105);  // 201 / 1.91 = 105.24
    p = PlaceBurst(402, 382, 402);
    EXPECT_EQ(p.left, 202);
    EXPECT_EQ(p.top, 382 - 210);  // 402 / 1.91 = 210.47
}

TEST(BurstAnimation, FiveFramesThenTheEnd) {
    BurstAnimation a;
    a.Start(false);
    EXPECT_EQ(a.Glyph(), kFirstBurstFrame);
    EXPECT_EQ(a.TimerInterval(), kFirstFrameMarkerMs);
    EXPECT_TRUE(a.TimerRunning());
    EXPECT_FALSE(a.Shown());

    // Shaping the first frame swaps the 50 ms marker for the frame time, once.
    a.Shaped();
    EXPECT_TRUE(a.Shown());
    EXPECT_EQ(a.TimerInterval(), kDefaultFrameMs);

    std::vector<unsigned char> frames{a.Glyph()};
    int ticks = 0;
    for (;;) {
        ++ticks;
        BurstAnimation::Tick t = a.OnTick();
        if (t == BurstAnimation::Tick::End) break;
        ASSERT_EQ(t, BurstAnimation::Tick::NextFrame);
        a.Shaped();
        EXPECT_EQ(a.TimerInterval(), kDefaultFrameMs);
        frames.push_back(a.Glyph());
        ASSERT_LT(ticks, 10);
    }
    EXPECT_EQ(frames, (std::vector<unsigned char>{130, 131, 132, 133, 134}));
    EXPECT_EQ(ticks, 5) << "the burst lives five intervals";
    EXPECT_EQ(a.Glyph(), 0);
    EXPECT_FALSE(a.Shown());
    EXPECT_FALSE(a.TimerRunning());
    EXPECT_EQ(a.TimerInterval(), 0);
    EXPECT_EQ(a.OnTick(), BurstAnimation::Tick::None) << "an idle tick does nothing";
}

TEST(BurstAnimation, FrameTimeComesFromTheFadeInterval) {
    BurstAnimation a;
    a.SetFadeInterval(120);
    a.Start(false);
    a.Shaped();
    EXPECT_EQ(a.TimerInterval(), 120);
    // A later Shaped (a repaint) leaves a running interval alone.
    a.SetFadeInterval(30);
    a.Shaped();
    EXPECT_EQ(a.TimerInterval(), 120);
}

TEST(BurstAnimation, RestartDuringABurstGoesBackToTheFirstFrame) {
    BurstAnimation a;
    a.Start(true);
    a.Shaped();
    a.OnTick();
    a.Shaped();
    a.OnTick();
    ASSERT_EQ(a.Glyph(), 132);
    a.Start(false);
    EXPECT_EQ(a.Glyph(), kFirstBurstFrame);
    EXPECT_FALSE(a.DblClick()) << "the marker belongs to the burst that asked for it";
    EXPECT_EQ(a.TimerInterval(), kFirstFrameMarkerMs);
    EXPECT_TRUE(a.Shown()) << "the window stays up while it moves";
}

TEST(BurstAnimation, StopHidesOnlyAShownBurst) {
    BurstAnimation a;
    EXPECT_FALSE(a.Stop());
    a.Start(true);
    a.Shaped();
    EXPECT_TRUE(a.DblClick());
    EXPECT_TRUE(a.Stop());
    EXPECT_EQ(a.Glyph(), 0);
    EXPECT_FALSE(a.TimerRunning());
    EXPECT_FALSE(a.Stop());
}

TEST(Fireburst, RingsFromTheCentreOutwards) {
    const Rgb disc{255, 52, 0}, ring1{255, 103, 0}, ring2{255, 154, 0}, ring3{255, 205, 0},
        background{255, 255, 0};
    EXPECT_EQ(FireburstPixel(100, 100), disc);
    EXPECT_EQ(FireburstPixel(99, 99), disc);
    EXPECT_EQ(FireburstPixel(100 + 42, 100), disc);
    EXPECT_EQ(FireburstPixel(100 + 45, 100), ring1);
    EXPECT_EQ(FireburstPixel(100 + 60, 100), ring2);
    EXPECT_EQ(FireburstPixel(100 + 80, 100), ring3);
    EXPECT_EQ(FireburstPixel(100, 100 - 87), background);
    EXPECT_EQ(FireburstPixel(0, 0), background);
    EXPECT_EQ(FireburstPixel(199, 199), background);
    // Centred: the picture is the same turned half a turn.
    for (int y = 0; y < kFireburstSide; y += 7)
        for (int x = 0; x < kFireburstSide; x += 5)
            ASSERT_EQ(FireburstPixel(x, y), FireburstPixel(kFireburstSide - 1 - x, kFireburstSide - 1 - y))
                << x << "," << y;
}

TEST(Fireburst, RingsAre14PixelsWide) {
    // Walk right from the centre along the middle row and measure each run of one colour.
    std::vector<int> runs;
    Rgb current = FireburstPixel(100, 100);
    int run = 0;
    for (int x = 100; x < kFireburstSide; ++x) {
        Rgb c = FireburstPixel(x, 100);
        if (c == current) {
            ++run;
        } else {
            runs.push_back(run);
            current = c;
            run = 1;
        }
    }
    runs.push_back(run);
    ASSERT_EQ(runs.size(), 5u);
    EXPECT_EQ(runs[0], 44);
    EXPECT_EQ(runs[1], 14);
    EXPECT_EQ(runs[2], 14);
    EXPECT_EQ(runs[3], 14);
    EXPECT_EQ(runs[4], 100 - 86);
}

}  // namespace
}  // namespace spotlex
