#include "keystrokes/key_filter_entries.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "keystrokes/key_naming.h"

namespace spotlex {
namespace {

const SpecialKey& Key(const char* text) {
    for (const SpecialKey& k : kSpecialKeys)
        if (std::string(k.text) == text) return k;
    throw std::runtime_error(text);
}

TEST(SpecialKeyEntries, AllFiveBoxesForTabGiveSixteenEntriesInMaskOrderThePlainKeyLast) {
    const auto entries = SpecialKeyEntries(Key("Tab"), 16 + 1 + 2 + 4 + 8);
    ASSERT_EQ(entries.size(), 16u);
    for (int j = 1; j <= 15; ++j) {
        SCOPED_TRACE(j);
        EXPECT_EQ(entries[j - 1].code, j * 65536 + 9);
        EXPECT_EQ(entries[j - 1].text, ModifierText(j, "Tab"));
    }
    EXPECT_EQ(entries[0].text, "Shift + Tab");
    EXPECT_EQ(entries[14].text, "Shift + Ctrl + Alt + Win + Tab");
    EXPECT_EQ(entries[15].text, "Tab");
    EXPECT_EQ(entries[15].code, 9);
    EXPECT_EQ(FilterValueName(entries[2].code), "VK_0x30009");
}

TEST(SpecialKeyEntries, ShiftAndCtrlForEnterAndLockKeysKeepTheirStar) {
    const auto enter = SpecialKeyEntries(Key("Enter"), 1 + 2);
    ASSERT_EQ(enter.size(), 3u);
    EXPECT_EQ(enter[0].text, "Shift + Enter");
    EXPECT_EQ(enter[1].text, "Ctrl + Enter");
    EXPECT_EQ(enter[2].text, "Shift + Ctrl + Enter");
    EXPECT_EQ(enter[2].code, 0x3000D);

    const auto caps = SpecialKeyEntries(Key("* Caps Lock"), 2);
    ASSERT_EQ(caps.size(), 1u);
    EXPECT_EQ(caps[0].text, "Ctrl + * Caps Lock");
    EXPECT_EQ(caps[0].code, 0x20014);

    const auto alone = SpecialKeyEntries(Key("Escape"), 16);
    ASSERT_EQ(alone.size(), 1u);
    EXPECT_EQ(alone[0].text, "Escape");
    EXPECT_EQ(alone[0].code, 27);
    EXPECT_TRUE(SpecialKeyEntries(Key("Escape"), 0).empty());
}

TEST(SpecialKeyEntries, PrintScreenUsesTheCodeTheKeySendsAndShowsItsCap) {
    const auto entries = SpecialKeyEntries(Key("Print Screen"), 16 + 4);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].code, 0x4002C);
    EXPECT_EQ(entries[1].code, 44);
    // A press of the key names it with the Print Screen cap, as the old code 42 still does.
    EXPECT_EQ(NameKey(44, 0, false), NameKey(42, 0, false));
    EXPECT_FALSE(NameKey(44, 0, false).empty());
}

TEST(HotKeyBox, TheExtendedKeyFlagIsNoModifierAndTheEmptyBoxReadsNone) {
    EXPECT_EQ(HotKeyFlagsToMask(8), 0);  // HOTKEYF_EXT
    EXPECT_EQ(HotKeyFlagsToMask(1 | 2 | 4 | 8), 1 | 2 | 4);
    EXPECT_EQ(HotKeyText(0, ""), "None");
    EXPECT_EQ(HotKeyText(6, "S"), "Ctrl + Alt + S");
}

}  // namespace
}  // namespace spotlex
