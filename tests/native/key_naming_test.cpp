#include "keystrokes/key_naming.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <map>
#include <set>
#include <string>

namespace spotlex {
namespace {

// Builds the expected text from font codes.
std::string Codes(std::initializer_list<int> codes) {
    std::string s;
    for (int c : codes) s += static_cast<char>(static_cast<unsigned char>(c));
    return s;
}

constexpr int kShift = 1, kCtrl = 2, kAlt = 4, kWin = 8;

struct PunctuationRow {
    int key;
    char plain, shifted;
};
const PunctuationRow kPunctuation[] = {
    {186, ';', ':'}, {187, '=', '+'}, {188, ',', '<'}, {189, '-', '_'},  {190, '.', '>'},  {191, '/', '?'},
    {192, '`', '~'}, {219, '[', '{'}, {220, '\\', '|'}, {221, ']', '}'}, {222, '\'', '"'},
};

const char kShiftedDigits[] = ")!@#$%^&*(";

TEST(KeyNaming, NamedKeysShowTheirOwnCapWithEveryPrefix) {
    // One or two of each group, as the font lays them out.
    EXPECT_EQ(NameKey(13, 0, false), Codes({kEnterCap}));
    EXPECT_EQ(NameKey(32, 0, false), Codes({kSpaceCap}));
    EXPECT_EQ(NameKey(8, 0, false), Codes({kBackspaceCap}));
    EXPECT_EQ(NameKey(112, 0, false), Codes({146}));  // F1
    EXPECT_EQ(NameKey(123, 0, false), Codes({157}));  // F12
    EXPECT_EQ(NameKey(37, 0, false), Codes({166}));   // left arrow
    EXPECT_EQ(NameKey(40, 0, false), Codes({163}));   // down arrow
    EXPECT_EQ(NameKey(96, 0, false), Codes({185}));   // keypad 0
    EXPECT_EQ(NameKey(109, 0, false), Codes({206}));  // keypad subtract
    EXPECT_EQ(NameKey(44, 0, false), Codes({174}));   // Print Screen, the code the key sends
    EXPECT_EQ(NameKey(42, 0, false), Codes({174}));   // Print, as older filter entries store it
    // Named keys keep every prefix, ShowShiftedKeys or not.
    EXPECT_EQ(NameKey(13, kShift, true), Codes({kShiftCap, kEnterCap}));
    EXPECT_EQ(NameKey(112, kCtrl | kAlt, true), Codes({kCtrlCap, kAltCap, 146}));
}

TEST(KeyNaming, EveryKeyWithACapHasAGlyphOfItsOwn) {
    const std::set<unsigned char> glyphs(kKeyCapCodes.begin(), kKeyCapCodes.end());
    std::map<std::string, int> keyOf;
    for (int vk = 1; vk < 256; ++vk) {
        const std::string text = NameKey(vk, 0, false);
        if (text.empty() || vk == 42) continue;  // Print shares Print Screen's cap
        SCOPED_TRACE(vk);
        ASSERT_EQ(text.size(), 1u);
        EXPECT_TRUE(glyphs.count(static_cast<unsigned char>(text[0]))) << "no glyph at " << int(text[0] & 0xFF);
        EXPECT_TRUE(keyOf.emplace(text, vk).second) << "same cap as key " << keyOf[text];
    }
    // Letters, digits, punctuation and the named keys: all but the lone modifiers and unknown keys.
    EXPECT_GE(keyOf.size(), 95u);
}

TEST(KeyNaming, LettersAreLowerCaseAndShiftOnlyAddsItsCap) {
    for (int vk = 'A'; vk <= 'Z'; ++vk) {
        SCOPED_TRACE(vk);
        const std::string lower(1, static_cast<char>(vk - 'A' + 'a'));
        EXPECT_EQ(NameKey(vk, 0, false), lower);
        EXPECT_EQ(NameKey(vk, 0, true), lower);
        EXPECT_EQ(NameKey(vk, kShift, false), Codes({169}) + lower);
        EXPECT_EQ(NameKey(vk, kShift, true), Codes({169}) + lower);
    }
    EXPECT_EQ(NameKey('S', kCtrl, true), Codes({168, 's'}));
}

TEST(KeyNaming, DigitsShiftedOnlyWhenAskedAndThenAlone) {
    for (int d = 0; d <= 9; ++d) {
        const int vk = '0' + d;
        SCOPED_TRACE(vk);
        const std::string digit(1, static_cast<char>(vk));
        const std::string shifted(1, kShiftedDigits[d]);
        EXPECT_EQ(NameKey(vk, 0, false), digit);
        EXPECT_EQ(NameKey(vk, 0, true), digit);
        EXPECT_EQ(NameKey(vk, kShift, false), Codes({169}) + digit);
        EXPECT_EQ(NameKey(vk, kShift, true), shifted);
        // The shifted character drops every prefix, not only Shift's.
        EXPECT_EQ(NameKey(vk, kCtrl | kAlt | kWin | kShift, true), shifted);
        // Without Shift the other prefixes stay.
        EXPECT_EQ(NameKey(vk, kCtrl, true), Codes({168}) + digit);
    }
    EXPECT_EQ(NameKey('3', kCtrl | kShift, true), "#");
    EXPECT_EQ(NameKey('3', kShift, false), Codes({169, '3'}));
}

TEST(KeyNaming, PunctuationShiftedOnlyWhenAskedAndThenAlone) {
    for (const auto& row : kPunctuation) {
        SCOPED_TRACE(row.key);
        const std::string plain(1, row.plain);
        const std::string shifted(1, row.shifted);
        EXPECT_EQ(NameKey(row.key, 0, false), plain);
        EXPECT_EQ(NameKey(row.key, 0, true), plain);
        EXPECT_EQ(NameKey(row.key, kShift, false), Codes({169}) + plain);
        EXPECT_EQ(NameKey(row.key, kShift, true), shifted);
        EXPECT_EQ(NameKey(row.key, kShift | kCtrl | kWin, true), shifted);
        EXPECT_EQ(NameKey(row.key, kAlt, true), Codes({167}) + plain);
    }
}

TEST(KeyNaming, ModifierCapsReadCtrlAltShiftWindowsThenKey) {
    const int del = 182;
    for (int mask = 0; mask < 16; ++mask) {
        SCOPED_TRACE(mask);
        std::string expected;
        if (mask & kCtrl) expected += Codes({168});
        if (mask & kAlt) expected += Codes({167});
        if (mask & kShift) expected += Codes({169});
        if (mask & kWin) expected += Codes({184});
        EXPECT_EQ(NameKey(46, mask, false), expected + Codes({del}));
    }
    EXPECT_EQ(NameKey(46, kCtrl | kAlt | kShift, false), Codes({168, 167, 169, del}));
    // Bits beyond the four modifiers add nothing.
    EXPECT_EQ(NameKey(46, 0x30 | kCtrl, false), Codes({168, del}));
}

TEST(KeyNaming, LoneModifiersAndUnknownKeysHaveNoText) {
    for (int vk : {16, 17, 18, 91, 92, 93, 0, 255, 256, -1, 0x10041}) {
        SCOPED_TRACE(vk);
        EXPECT_EQ(NameKey(vk, 0, false), "");
        EXPECT_EQ(NameKey(vk, kCtrl | kAlt | kShift | kWin, true), "");
    }
    // A key without a cap of its own shows nothing, whatever is held.
    for (int vk = 0; vk < 256; ++vk) {
        if (!NameKey(vk, 0, false).empty()) continue;
        SCOPED_TRACE(vk);
        EXPECT_EQ(NameKey(vk, kShift, false), "");
        EXPECT_EQ(NameKey(vk, kCtrl | kAlt, true), "");
    }
}

TEST(KeyFilter, CombinationCodeAndValueName) {
    EXPECT_EQ(MakeLong(2, 83), 0x20053);
    EXPECT_EQ(FilterValueName(MakeLong(2, 83)), "VK_0x20053");
    EXPECT_EQ(FilterValueName(MakeLong(0, 116)), "VK_0x74");
    EXPECT_EQ(FilterValueName(MakeLong(1, 116)), "VK_0x10074");
    EXPECT_EQ(FilterValueName(MakeLong(15, 255)), "VK_0xF00FF");
    EXPECT_EQ(FilterValueName(MakeLong(0, 0)), "VK_0x0");
    // Each word is taken as unsigned 16 bits: a signed key code does not spill into the mask.
    EXPECT_EQ(MakeLong(0, -1), 0xFFFF);
    EXPECT_EQ(MakeLong(3, static_cast<short>(0x8041)), 0x38041);
    EXPECT_EQ(FilterValueName(MakeLong(0x8000, 0x41)), "VK_0x80000041");
}

TEST(KeyFilter, ListedMeansNonEmptyData) {
    EXPECT_FALSE(IsListed(RegValue{}));
    EXPECT_FALSE(IsListed(RegValue{std::string()}));
    EXPECT_TRUE(IsListed(RegValue{std::string("Ctrl + S")}));
    EXPECT_TRUE(IsListed(RegValue{std::int32_t{0}}));
}

TEST(KeyFilter, IncludeAndExcludeModes) {
    // Mode 1 shows all but the listed, mode 0 only the listed.
    EXPECT_TRUE(PassesFilter(false, 1));
    EXPECT_FALSE(PassesFilter(true, 1));
    EXPECT_TRUE(PassesFilter(true, 0));
    EXPECT_FALSE(PassesFilter(false, 0));

    auto shown = DecideKeyPress(46, kCtrl, false, false, 1);
    EXPECT_TRUE(shown.playSound);
    EXPECT_EQ(shown.text, Codes({168, 182}));

    auto dropped = DecideKeyPress(46, kCtrl, false, true, 1);
    EXPECT_FALSE(dropped.playSound);
    EXPECT_EQ(dropped.text, "");

    auto onlyListed = DecideKeyPress('S', kCtrl, false, false, 0);
    EXPECT_FALSE(onlyListed.playSound);
    EXPECT_EQ(onlyListed.text, "");

    auto listedShown = DecideKeyPress('S', kCtrl, false, true, 0);
    EXPECT_TRUE(listedShown.playSound);
    EXPECT_EQ(listedShown.text, Codes({168, 's'}));
}

TEST(KeyFilter, KeysWithoutCapSoundButShowNothing) {
    for (int vk : {16, 91, 93}) {
        SCOPED_TRACE(vk);
        auto outcome = DecideKeyPress(vk, vk == 16 ? kShift : 0, true, false, 1);
        EXPECT_TRUE(outcome.playSound);
        EXPECT_EQ(outcome.text, "");
    }
}

TEST(KeyFilter, EntryMatchesOnlyItsExactModifiers) {
    // A settings store holding F5 alone, Ctrl+S, and an entry left with empty data.
    const std::map<std::string, RegValue> store = {
        {"VK_0x74", std::string("F5")},
        {"VK_0x20053", std::string("Ctrl + S")},
        {"VK_0x41", std::string()},
    };
    auto press = [&](int vk, int mask) {
        auto it = store.find(FilterValueName(MakeLong(mask, vk)));
        const bool listed = it != store.end() && IsListed(it->second);
        return DecideKeyPress(vk, mask, true, listed, 1);
    };
    EXPECT_FALSE(press(116, 0).playSound);
    EXPECT_TRUE(press(116, kShift).playSound);
    EXPECT_EQ(press(116, kShift).text, Codes({169, 150}));
    EXPECT_FALSE(press('S', kCtrl).playSound);
    EXPECT_EQ(press('S', kCtrl | kShift).text, Codes({168, 169, 's'}));
    EXPECT_EQ(press('A', 0).text, "a");
}

}  // namespace
}  // namespace spotlex
