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

// The key caps of the named keys, as the font lays them out.
const std::map<int, int> kNamedCaps = {
    {8, 205},   {9, 170},   {13, 173},  {19, 176},  {20, 171},  {27, 177},  {32, 203},  {33, 180},
    {34, 181},  {35, 183},  {36, 179},  {37, 166},  {38, 164},  {39, 165},  {40, 163},  {42, 174}, {44, 174},
    {45, 178},  {46, 182},  {96, 185},  {97, 198},  {98, 186},  {99, 187},  {100, 188}, {101, 189},
    {102, 190}, {103, 191}, {104, 192}, {105, 193}, {106, 200}, {107, 196}, {108, 197}, {109, 206},
    {110, 194}, {111, 199}, {112, 146}, {113, 147}, {114, 148}, {115, 149}, {116, 150}, {117, 151},
    {118, 152}, {119, 153}, {120, 154}, {121, 155}, {122, 156}, {123, 157}, {144, 195}, {145, 175},
};

struct PunctuationRow {
    int key;
    char plain, shifted;
};
const PunctuationRow kPunctuation[] = {
    {186, ';', ':'}, {187, '=', '+'}, {188, ',', '<'}, {189, '-', '_'},  {190, '.', '>'},  {191, '/', '?'},
    {192, '`', '~'}, {219, '[', '{'}, {220, '\\', '|'}, {221, ']', '}'}, {222, '\'', '"'},
};

const char kShiftedDigits[] = ")!@#$%^&*(";

TEST(KeyNaming, NamedKeysEveryRowWithAndWithoutModifiers) {
    for (auto [vk, cap] : kNamedCaps) {
        SCOPED_TRACE(vk);
        EXPECT_EQ(NameKey(vk, 0, false), Codes({cap}));
        // Named keys keep every prefix, ShowShiftedKeys or not.
        EXPECT_EQ(NameKey(vk, kShift, true), Codes({169, cap}));
        EXPECT_EQ(NameKey(vk, kCtrl | kAlt, true), Codes({168, 167, cap}));
    }
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
    // Every code outside the tables shows nothing, whatever is held.
    std::set<int> known;
    for (auto [vk, cap] : kNamedCaps) known.insert(vk);
    for (const auto& row : kPunctuation) known.insert(row.key);
    for (int vk = '0'; vk <= '9'; ++vk) known.insert(vk);
    for (int vk = 'A'; vk <= 'Z'; ++vk) known.insert(vk);
    for (int vk = 0; vk < 256; ++vk) {
        if (known.count(vk)) continue;
        SCOPED_TRACE(vk);
        EXPECT_EQ(NameKey(vk, kShift, false), "");
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
