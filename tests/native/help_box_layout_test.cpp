#include "help/help_box_layout.h"

#include <gtest/gtest.h>

namespace spotlex {
namespace {

// A 340-pixel box at 96 dpi (15 twips per pixel) with 16-pixel margins.
HelpBoxFrame Frame() {
    HelpBoxFrame f;
    f.boxWidth = 340;
    f.clientWidth = 334;
    f.titleLeft = 16;
    f.titleTop = 12;
    f.bodyLeft = 16;
    f.checkHeight = 17;
    return f;
}

TextExtent Title(int) {
    return {200, 19};
}

// Wraps like a label: as wide as the width given, ten pixels a line, 1000 pixels of text.
TextExtent Wrapping(int width) {
    return {width, 10 * ((1000 + width - 1) / width)};
}

TEST(HelpBoxLayout, RowsFollowTheBodyWithAndWithoutTheCommand) {
    const HelpBoxLayout plain = LayOutHelpBox(Frame(), 15, false, true, Title, Wrapping);
    EXPECT_EQ(plain.titleWidth, 300);        // 340 - 2.5 * 16
    EXPECT_EQ(plain.bodyTop, 12 + 19 + 18);  // 270 twips below the title
    EXPECT_EQ(plain.bodyWidth, 334 - 42);    // 2.6 margins of 16, rounded half to even
    EXPECT_EQ(plain.bodyHeight, 40);
    EXPECT_EQ(plain.commandTop, plain.bodyTop + 40 + 18);
    EXPECT_FALSE(plain.showCommand);
    EXPECT_EQ(plain.checkTop, plain.commandTop) << "without a command the check box takes its place";
    EXPECT_EQ(plain.boxHeight, plain.checkTop + 17 + 48);

    const HelpBoxLayout more = LayOutHelpBox(Frame(), 15, true, true, Title, Wrapping);
    EXPECT_TRUE(more.showCommand);
    EXPECT_EQ(more.checkTop, more.commandTop + 20) << "300 twips below the More Information button";
    EXPECT_EQ(more.boxHeight, plain.boxHeight + 20);

    const HelpBoxLayout noChoice = LayOutHelpBox(Frame(), 15, false, false, Title, Wrapping);
    EXPECT_FALSE(noChoice.showCheck);
    EXPECT_EQ(noChoice.boxHeight, noChoice.checkTop + 30) << "450 twips when nothing is offered";
    // At 144 dpi the same twips are fewer pixels.
    const HelpBoxLayout dense = LayOutHelpBox(Frame(), 10, false, false, Title, Wrapping);
    EXPECT_EQ(dense.boxHeight - dense.checkTop, 45);
    EXPECT_EQ(dense.bodyTop, 12 + 19 + 27);
}

TEST(HelpBoxLayout, BodyNarrowsUntilItsTextEndsBeforeTheMargin) {
    // A label that keeps 60 pixels wider than it is asked to be until it is 270 or narrower.
    int passes = 0;
    auto growing = [&](int width) {
        ++passes;
        return TextExtent{width <= 270 ? width : width + 60, 50};
    };
    const HelpBoxLayout l = LayOutHelpBox(Frame(), 15, false, true, Title, growing);
    EXPECT_EQ(l.bodyWidth, 270);  // 334 - 4.0 * 16
    EXPECT_EQ(passes, 8);
}

TEST(HelpBoxLayout, AWordWiderThanTheBoxEndsTheLoopAtTheFirstWidth) {
    int passes = 0;
    auto longWord = [&](int) {
        ++passes;
        return TextExtent{900, 15};
    };
    const HelpBoxLayout l = LayOutHelpBox(Frame(), 15, false, true, Title, longWord);
    EXPECT_EQ(l.bodyWidth, 334 - 42);
    EXPECT_EQ(l.bodyHeight, 15);
    EXPECT_LT(passes, 120);
}

}  // namespace
}  // namespace spotlex
