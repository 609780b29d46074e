#include "properties/properties_logic.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace spotlex {
namespace {

TEST(ColorList, StoredColourDecidesTheEntryAndOnlyAnUnlistedOneAddsACustomEntry) {
    // Position and colour agree.
    EXPECT_EQ(ChooseColorEntry(9, 0x0000FF).position, 9);
    EXPECT_FALSE(ChooseColorEntry(9, 0x0000FF).addCustom);
    // The display's colour is a listed one at another position: that entry, no custom one.
    EXPECT_EQ(ChooseColorEntry(13, 0x0000FF).position, 9);
    EXPECT_FALSE(ChooseColorEntry(13, 0x0000FF).addCustom);
    EXPECT_EQ(ChooseColorEntry(5, 0x800000).position, 4);
    // Not listed: the custom entry at 16.
    const ColorChoice custom = ChooseColorEntry(3, 0x0080FF);
    EXPECT_TRUE(custom.addCustom);
    EXPECT_EQ(custom.position, kCustomColorPosition);
    EXPECT_EQ(CustomColorText(0x0080FF), "#80FF");
    EXPECT_EQ(CustomColorText(0x0000FF), "#FF");
    EXPECT_EQ(CustomColorText(0), "#0");
    // A position out of the list's range is no agreement.
    EXPECT_TRUE(ChooseColorEntry(99, 0x123456).addCustom);
    EXPECT_EQ(ChooseColorEntry(99, 0xFFFFFF).position, 15);
}

TEST(NumberBoxes, DelayAndMinutesCorrections) {
    EXPECT_EQ(CorrectDelayText("50"), "100");
    EXPECT_EQ(CorrectDelayText("99.9"), "100");
    EXPECT_EQ(CorrectDelayText("abc"), "1000");
    EXPECT_EQ(CorrectDelayText(""), "1000");
    EXPECT_EQ(CorrectDelayText("-5"), "100");
    EXPECT_EQ(CorrectDelayText("12000"), "10000");
    EXPECT_EQ(CorrectDelayText("2500"), "2500");
    EXPECT_EQ(CorrectDelayText("10000.4"), "10000");
    EXPECT_EQ(CorrectDelayText("9999.6"), "9999.6");
    EXPECT_EQ(BoxNumber(CorrectDelayText("9999.6")), 10000);
    EXPECT_EQ(BoxNumber("1000.5"), 1000) << "halves to even";

    EXPECT_EQ(CorrectMinutesText(""), "15");
    EXPECT_EQ(CorrectMinutesText("0"), "1");
    EXPECT_EQ(CorrectMinutesText("999"), "480");
    EXPECT_EQ(CorrectMinutesText("45"), "45");
    EXPECT_EQ(BoxNumberOr("x", 7), 7);
    EXPECT_EQ(BoxNumberOr("&H10", 7), 16);
}

TEST(Samples, AGlyphLargerThanItsBoxIsShrunkToStartInsideIt) {
    // Fits: unchanged.
    EXPECT_EQ(SampleFitSize(64, 60, 150, 150, 1.49, 0), 64);
    // The clock's 0.9 puts a 200-pixel-wide glyph far above a 150-pixel box: at most 67.5 wide.
    const int fit = SampleFitSize(128, 200, 150, 150, 0.9, 0);
    EXPECT_EQ(fit, 43);
    EXPECT_LE(fit * 200.0 / 128 / 0.9, 75.0) << "its top lies inside the box";
    // The click sample's two bursts stand 60 pixels either side of the middle.
    EXPECT_EQ(SampleFitSize(100, 100, 246, 150, 1.91, 60), 100);
    EXPECT_EQ(SampleFitSize(100, 200, 246, 150, 1.91, 60), 63);
}

TEST(QuickHelp, EveryTopicHasItsTitleAndOnlySoundEffectsOffersMore) {
    std::set<std::string> titles;
    for (ExplainTopic t : kExplainTopics) {
        const HelpTopic h = TopicFor(t);
        titles.insert(h.title);
        EXPECT_FALSE(h.body.empty()) << h.title;
        EXPECT_EQ(h.moreCommand.empty(), t != ExplainTopic::SoundEffects) << h.title;
    }
    EXPECT_EQ(titles, (std::set<std::string>{"Clock Vs Timer", "Color", "Follow the Pointer", "Key Filter",
                                             "Key Stroke Delay", "Second Hand", "Show Shifted Keys", "Size",
                                             "Sound Effects", "Clock Warning", "Pause Key", "Mouse Wheel"}));
    const HelpTopic sounds = TopicFor(ExplainTopic::SoundEffects);
    EXPECT_EQ(sounds.moreCaption, "Work With Sounds Now");
    EXPECT_EQ(sounds.moreCommand, "control mmsys.cpl sounds");
    // Paragraphs are split by a blank line; the shifted-keys examples by single line breaks, and the
    // trailing blanks inside a paragraph stay.
    const std::string shifted = TopicFor(ExplainTopic::ShiftedKeys).body;
    EXPECT_NE(shifted.find("For instance: \r\n\r\n\"SHIFT 1\" will display \"!\"\r\n\"SHIFT 2\""),
              std::string::npos);
    const std::string clock = TopicFor(ExplainTopic::ClockVsTimer).body;
    EXPECT_EQ(clock.rfind("The 'Break Clock' is designed", 0), 0u);
    EXPECT_NE(clock.find("together.  \r\n\r\nYou can use it"), std::string::npos);
}

}  // namespace
}  // namespace spotlex
