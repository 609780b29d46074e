#include "mouse/wheel_logic.h"

#include <gtest/gtest.h>

namespace spotlex {
namespace {

TEST(WheelRun, TurnsInQuickSuccessionExtendOneMarkWhereTheRunBegan) {
    WheelRun run;
    EXPECT_TRUE(run.OnTurn(1000, 300, 200, -120));
    // Fast scrolling: forty turns, 10 ms apart, while the pointer drifts.
    for (int i = 1; i <= 40; ++i) EXPECT_FALSE(run.OnTurn(1000 + 10 * i, 300 + i, 200, -120)) << i;
    EXPECT_EQ(run.Mark().x, 300);
    EXPECT_EQ(run.Mark().chevrons, kWheelMarkMaxChevrons);
    EXPECT_FALSE(run.Mark().up);
    // A pause at the gap still extends; one just beyond it begins anew, at the pointer.
    EXPECT_FALSE(run.OnTurn(1400 + kWheelRunGapMs, 350, 210, -120));
    EXPECT_TRUE(run.OnTurn(1401 + 2 * kWheelRunGapMs, 360, 220, -120));
    EXPECT_EQ(run.Mark().x, 360);
    EXPECT_EQ(run.Mark().chevrons, 1);
}

TEST(WheelRun, AChangeOfDirectionOrAnEndedMarkBeginsANewOne) {
    WheelRun run;
    run.OnTurn(5000, 10, 10, 120);
    EXPECT_TRUE(run.Mark().up);
    EXPECT_TRUE(run.OnTurn(5010, 10, 10, -120));
    EXPECT_FALSE(run.Mark().up);
    run.End();
    EXPECT_TRUE(run.OnTurn(5020, 10, 10, -120));
    // The tick count wrapping between two turns does not break a run.
    WheelRun wrap;
    wrap.OnTurn(0xFFFFFFF0u, 0, 0, 120);
    EXPECT_FALSE(wrap.OnTurn(0x10u, 0, 0, 120));
}

TEST(WheelMarkShape, ChevronsStackAndPointTheWayTheWheelTurned) {
    const auto up = WheelMarkOutline(24, 2, true);
    ASSERT_EQ(up.size(), 6u);
    EXPECT_EQ(up[0].x, 12);  // the tip of the first chevron, at the top
    EXPECT_EQ(up[0].y, 0);
    EXPECT_EQ(up[1].y, 12);
    EXPECT_EQ(up[3].y, 14) << "the second chevron below the first, after a gap of 2";
    const auto down = WheelMarkOutline(24, 1, false);
    EXPECT_EQ(down[2].x, 12);
    EXPECT_EQ(down[2].y, 12);
    EXPECT_EQ(WheelMarkWidth(64), 24);
    EXPECT_EQ(WheelMarkWidth(14), 12);
}

}  // namespace
}  // namespace spotlex
