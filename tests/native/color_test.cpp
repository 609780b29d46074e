#include "core/color.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/app_error.h"

namespace spotlex {
namespace {

TEST(CColor, ColorValueClampsAboveWhiteButKeepsNegatives) {
    CColor c;
    EXPECT_EQ(c.ColorValue(), 0);
    EXPECT_EQ(c.WebColor(), "000000");
    c.SetColorValue(0x01000000);
    EXPECT_EQ(c.ColorValue(), 0xFFFFFF);
    c.SetColorValue(static_cast<std::int32_t>(0x8000000F));
    EXPECT_EQ(c.ColorValue(), static_cast<std::int32_t>(0x8000000F));
    EXPECT_EQ(c.WebColor(), "8000000F");
}

TEST(CColor, WebColorIsBlueFirstAndStoredUnclamped) {
    CColor c;
    c.SetColorValue(0x0000FF);
    EXPECT_EQ(c.Red(), 255);
    EXPECT_EQ(c.Green(), 0);
    EXPECT_EQ(c.Blue(), 0);
    EXPECT_EQ(c.WebColor(), "0000FF");

    c.SetWebColor("12AB3c");
    EXPECT_EQ(c.WebColor(), "12AB3C");
    EXPECT_EQ(c.Blue(), 0x12);
    EXPECT_EQ(c.Green(), 0xAB);
    EXPECT_EQ(c.Red(), 0x3C);

    // A text of more than six digits is stored as it is; reading ColorValue then clamps it.
    c.SetWebColor("1000000");
    EXPECT_EQ(c.WebColor(), "1000000");
    EXPECT_EQ(c.ColorValue(), 0xFFFFFF);
    EXPECT_EQ(c.WebColor(), "FFFFFF");

    try {
        c.SetWebColor("red");
        ADD_FAILURE() << "no error";
    } catch (const AppError& e) {
        EXPECT_EQ(e.Number(), kErrTypeMismatch);
    }
}

TEST(CColor, PartWritersKeepTheOtherParts) {
    CColor c;
    c.SetColorValue(0x102030);
    c.SetRed(0xAA);
    EXPECT_EQ(c.ColorValue(), 0x1020AA);
    c.SetGreen(5);
    EXPECT_EQ(c.ColorValue(), 0x1005AA);
    c.SetBlue(0);
    EXPECT_EQ(c.ColorValue(), 0x0005AA);
    c.SetBlue(255);
    EXPECT_EQ(c.ColorValue(), 0xFF05AA);
    c.SetGreen(300);
    c.SetRed(-4);
    EXPECT_EQ(c.ColorValue(), 0xFFFF00);
}

TEST(CColor, GradientBlendsHalfToEven) {
    CColor black;
    EXPECT_EQ(black.GradientColor(0xFFFFFF, 50), 0x808080);
    EXPECT_EQ(black.GradientColor(0x000005, 10), 0x000005);
    EXPECT_EQ(black.GradientColor(0x123456, 0), 0);
    EXPECT_EQ(black.GradientColor(0x123456, 100), 0x123456);
    EXPECT_EQ(black.ColorValue(), 0) << "the own colour is not changed";

    CColor c;
    c.SetColorValue(0x000064);                          // red 100
    EXPECT_EQ(c.GradientColor(0x030361, 3), 0x030361);  // every difference at most 3
    EXPECT_EQ(c.GradientColor(0x00005F, 3), 0x000064);  // 100 - 0.03 * 5 rounds back to 100
    // red 100 -> 95: 100 - 0.2 * 5 = 99; green 0 -> 3: 0.6 rounds to 1; blue 0 -> 0x50: 16
    EXPECT_EQ(c.GradientColor(0x50035F, 20), 0x100163);
}

TEST(CColor, GradientRaisesForBadArguments) {
    CColor c;
    struct Case {
        std::int32_t color2;
        std::int16_t percentage;
        std::int32_t number;
        const char* description;
    };
    // The class's own error numbers: vbObjectError + 517 and + 516.
    constexpr auto kInvalidPercentage = static_cast<std::int32_t>(0x80040205u);
    constexpr auto kInvalidColorValue = static_cast<std::int32_t>(0x80040204u);
    for (const Case& k : std::vector<Case>{{0xFFFFFF, 101, kInvalidPercentage, "Invalid Percentage"},
                                           {-1, 101, kInvalidPercentage, "Invalid Percentage"},
                                           {0, -1, kInvalidPercentage, "Invalid Percentage"},
                                           {0x1000000, 50, kInvalidColorValue, "Invalid Color Value"},
                                           {-1, 50, kInvalidColorValue, "Invalid Color Value"}}) {
        try {
            c.GradientColor(k.color2, k.percentage);
            ADD_FAILURE() << "no error for " << k.color2 << ", " << k.percentage;
        } catch (const AppError& e) {
            EXPECT_EQ(e.Number(), k.number);
            EXPECT_EQ(e.Source(), "CColor");
            EXPECT_EQ(e.Description(), k.description);
        }
    }
}

TEST(CColor, ShiftTowardLandsOnTheTargetWithoutPassingIt) {
    CColor c;
    std::vector<std::int32_t> reds;
    while (c.ShiftToward(0xFFFFFF, 16)) reds.push_back(c.Red());
    EXPECT_EQ(c.ColorValue(), 0xFFFFFF);
    EXPECT_EQ(reds.size(), 14u) << "black reaches white in 15 calls";
    EXPECT_EQ(reds.front(), 16);
    EXPECT_EQ(reds.back(), 224);

    c.SetColorValue(0xF0F0F0);
    EXPECT_FALSE(c.ShiftToward(0xFFFFFF, 16));
    EXPECT_EQ(c.ColorValue(), 0xFFFFFF);

    c.SetColorValue(0xFAFAFA);
    EXPECT_FALSE(c.ShiftToward(0xFFFFFF, 16));
    EXPECT_EQ(c.ColorValue(), 0xFFFFFF);

    c.SetColorValue(0x123456);
    EXPECT_FALSE(c.ShiftToward(0x123456, 16));
    EXPECT_EQ(c.ColorValue(), 0x123456);
}

TEST(CColor, ShiftTowardMovesEachPartItsOwnWay) {
    CColor c;
    c.SetColorValue(0x80FF10);  // blue 0x80, green 0xFF, red 0x10
    EXPECT_TRUE(c.ShiftToward(0x8000FF, 16));
    EXPECT_EQ(c.Red(), 0x20);
    EXPECT_EQ(c.Green(), 0xEF);
    EXPECT_EQ(c.Blue(), 0x80);
    // A target above white is taken as white.
    c.SetColorValue(0xFFFFF0);
    EXPECT_FALSE(c.ShiftToward(0x7FFFFFFF, 16));
    EXPECT_EQ(c.ColorValue(), 0xFFFFFF);
}

TEST(FadeStep, FollowsTheBackgroundAndStopsOnIt) {
    std::int32_t fill = 0xFFFFFF;
    int shown = 0;
    for (auto next = FadeStep(fill, 0); next; next = FadeStep(fill, 0)) {
        EXPECT_LT(*next, fill);
        fill = *next;
        ++shown;
    }
    EXPECT_EQ(shown, 14) << "14 intermediate colours, the 15th step hides";
    EXPECT_EQ(FadeStep(0x336699, 0x336699), std::nullopt);
    EXPECT_EQ(FadeStep(0x000000, 0x0000FF), std::optional<std::int32_t>(0x000010));
}

}  // namespace
}  // namespace spotlex
