#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "keystrokes/cap_label.h"
#include "keystrokes/key_naming.h"

namespace spotlex {
namespace {

constexpr int kShift = 1, kCtrl = 2, kAlt = 4, kWin = 8;
constexpr char32_t F(int code) {
    return kFontCodeBase + code;
}  // a display-font code

// A keyboard layout as a table, with Caps Lock acting on letters and on keys marked for it.
class TableLayout : public KeyLayout {
public:
    struct Key {
        char32_t plain, shifted;
        char32_t altGr = 0;
        bool capsShifts = false;  // Caps Lock acts as Shift on this key, letter or not
    };
    std::map<int, Key> keys;

    KeyChar Char(int keyCode, KeyLevel level) const override {
        const auto it = keys.find(keyCode);
        if (it == keys.end()) return {};
        const Key& k = it->second;
        if (level.altGr) return {level.shift ? char32_t{0} : k.altGr};
        const bool letter = Upper(k.plain) == k.shifted && k.plain != k.shifted;
        const bool shifted = level.shift != (level.capsLock && (letter || k.capsShifts));
        return {shifted ? k.shifted : k.plain};
    }
    char32_t Upper(char32_t c) const override {
        if ((c >= U'a' && c <= U'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7) || (c >= 0x430 && c <= 0x44F))
            return c - 32;
        return c;
    }
};

TableLayout Us() {
    TableLayout us;
    for (char c = 'a'; c <= 'z'; ++c) us.keys[c - 32] = {char32_t(c), char32_t(c - 32)};
    const char* shiftedDigits = ")!@#$%^&*(";
    for (int d = 0; d <= 9; ++d) us.keys['0' + d] = {char32_t('0' + d), char32_t(shiftedDigits[d])};
    const std::tuple<int, char, char> punctuation[] = {
        {186, ';', ':'},  {187, '=', '+'}, {188, ',', '<'},  {189, '-', '_'},
        {190, '.', '>'},  {191, '/', '?'}, {192, '`', '~'},  {219, '[', '{'},
        {220, '\\', '|'}, {221, ']', '}'}, {222, '\'', '"'},
    };
    for (auto [vk, plain, shifted] : punctuation) us.keys[vk] = {char32_t(plain), char32_t(shifted)};
    return us;
}

TableLayout German() {
    TableLayout de = Us();
    de.keys['2'] = {U'2', U'"', U'²'};
    de.keys['Q'] = {U'q', U'Q', U'@'};
    de.keys['E'] = {U'e', U'E', U'€'};
    de.keys[192] = {U'ö', U'Ö'};
    de.keys[219] = {U'ß', U'?', U'\\'};
    de.keys[221] = {U'´', U'`'};  // dead keys: their accents
    return de;
}

TEST(LayoutNaming, AUsLayoutGivesTheUsCapsForEveryKeyAndModifier) {
    const TableLayout us = Us();
    for (int vk = 0; vk < 256; ++vk) {
        if (vk == 223 || vk == 226) continue;  // keys a US keyboard lacks
        for (int mask = 0; mask < 16; ++mask) {
            for (bool caps : {false, true}) {
                for (bool showShifted : {false, true}) {
                    SCOPED_TRACE(testing::Message()
                                 << vk << " mask " << mask << " caps " << caps << showShifted);
                    ASSERT_EQ(NameKeyInLayout(vk, mask, caps, showShifted, us),
                              FontCodes(NameKey(vk, mask, showShifted)));
                }
            }
        }
    }
}

TEST(LayoutNaming, GermanLettersShiftedCharactersAltGrAndDeadKeys) {
    const TableLayout de = German();
    // Letters the font lacks stay characters; Shift is a cap in front, as for any letter.
    EXPECT_EQ(NameKeyInLayout(192, 0, false, true, de), U"ö");
    EXPECT_EQ(NameKeyInLayout(192, kShift, false, true, de), CapText({F(kShiftCap), U'ö'}));
    EXPECT_EQ(NameKeyInLayout(192, 0, true, false, de), U"ö") << "Caps Lock leaves a letter's cap alone";
    EXPECT_EQ(NameKeyInLayout(219, 0, false, false, de), U"ß");
    // Shift with 2 writes a quotation mark here, not the US commercial at.
    EXPECT_EQ(NameKeyInLayout('2', kShift, false, true, de), CapText({F('"')}));
    EXPECT_EQ(NameKeyInLayout('2', kShift | kCtrl, false, false, de),
              CapText({F(kCtrlCap), F(kShiftCap), F('2')}));
    // AltGr (Ctrl with Alt) writes a character: shown without the Ctrl and Alt caps.
    EXPECT_EQ(NameKeyInLayout('Q', kCtrl | kAlt, false, false, de), CapText({F('@')}));
    EXPECT_EQ(NameKeyInLayout('E', kCtrl | kAlt | kWin, false, false, de), CapText({F(kWindowsCap), U'€'}));
    EXPECT_EQ(NameKeyInLayout('Q', kCtrl, false, false, de), CapText({F(kCtrlCap), F('q')}));
    // Where AltGr writes nothing, Ctrl and Alt are the modifiers they are.
    EXPECT_EQ(NameKeyInLayout('W', kCtrl | kAlt, false, false, de),
              CapText({F(kCtrlCap), F(kAltCap), F('w')}));
    // A dead key shows its accent.
    EXPECT_EQ(NameKeyInLayout(221, 0, false, false, de), U"´");
    EXPECT_EQ(NameKeyInLayout(221, kShift, false, true, de), CapText({F('`')}));
}

TEST(LayoutNaming, FrenchAndRussianKeysShowWhatTheyWrite) {
    TableLayout fr = Us();
    fr.keys['A'] = {U'a', U'A'};  // the key in the US "Q" position
    fr.keys['2'] = {U'é', U'2', U'~', true};
    fr.keys['1'] = {U'&', U'1', 0, true};
    EXPECT_EQ(NameKeyInLayout('A', 0, false, false, fr), CapText({F('a')}));
    EXPECT_EQ(NameKeyInLayout('2', 0, false, false, fr), U"é") << "é is no letter key: Shift gives 2";
    EXPECT_EQ(NameKeyInLayout('1', 0, false, false, fr), CapText({F('&')}));
    EXPECT_EQ(NameKeyInLayout('2', kShift, false, true, fr), CapText({F('2')}));
    EXPECT_EQ(NameKeyInLayout('2', kShift, false, false, fr), CapText({F(kShiftCap), U'é'}));
    EXPECT_EQ(NameKeyInLayout('2', 0, true, false, fr), CapText({F('2')})) << "Caps Lock acting as Shift";

    TableLayout ru;
    ru.keys['Q'] = {U'й', U'Й'};
    EXPECT_EQ(NameKeyInLayout('Q', 0, false, false, ru), U"й");
    EXPECT_EQ(NameKeyInLayout('Q', kShift | kCtrl, false, true, ru),
              CapText({F(kCtrlCap), F(kShiftCap), U'й'}));
    // A key the layout writes nothing with keeps its US cap; named keys never ask the layout.
    EXPECT_EQ(NameKeyInLayout('W', 0, false, false, ru), CapText({F('w')}));
    EXPECT_EQ(NameKeyInLayout(13, kShift, false, true, ru), CapText({F(kShiftCap), F(kEnterCap)}));
}

TEST(CapLabel, ACharacterSitsWhereTheFontPutsItsOwnLabels) {
    const CapBox cap{2, 10, 80, 76};
    const LabelFit fit = FitLabel(cap, 0.75);
    EXPECT_EQ(fit.capPixels, 38) << "half the cap high";
    EXPECT_EQ(fit.emPixels, 51);
    // Centred across the cap; the capitals' middle two pixels above the cap's.
    const PixelPoint at = LabelOrigin(cap, fit, 3, 30);
    EXPECT_EQ(at.x, 2 + 40 - 3 - 15);
    EXPECT_EQ(at.y - fit.capPixels / 2, 10 + 38 - 2);
    // A wide character is made smaller until the sides show; a narrow one is left alone.
    EXPECT_EQ(FitLabelWidth(cap, 0.75, fit, 40).emPixels, fit.emPixels);
    const LabelFit narrow = FitLabelWidth(cap, 0.75, fit, 90);
    EXPECT_EQ(narrow.emPixels, 32) << "51 * (80 - 2 * 0.15 * 76) / 90, rounded down";
    EXPECT_EQ(narrow.capPixels, 24);
}

}  // namespace
}  // namespace spotlex
