#include "keystrokes/key_naming.h"

#include <array>
#include <cstdint>
#include <optional>

#include "core/runtime_rules.h"
#include "core/settings.h"

namespace spotlex {
namespace {

// Virtual-key codes we name by range; our own names, so that <windows.h> macros never clash.
constexpr int kVkDigit0 = 48, kVkDigit9 = 57;
constexpr int kVkLetterA = 65, kVkLetterZ = 90;
constexpr int kVkNumpad2 = 98, kVkNumpad9 = 105;
constexpr int kVkF1 = 112, kVkF12 = 123;

// US shifted characters of the digit keys 0 to 9.
constexpr char kShiftedDigits[] = {')', '!', '@', '#', '$', '%', '^', '&', '*', '('};

struct Punctuation {
    int keyCode;
    char plain;
    char shifted;
};

constexpr Punctuation kPunctuation[] = {
    {186, ';', ':'}, {187, '=', '+'}, {188, ',', '<'}, {189, '-', '_'},  {190, '.', '>'},  {191, '/', '?'},
    {192, '`', '~'}, {219, '[', '{'}, {220, '\\', '|'}, {221, ']', '}'}, {222, '\'', '"'},
};

// Keys with a cap of their own; these always keep the modifier prefixes.
std::optional<int> NamedKeyCap(int keyCode) {
    if (keyCode >= kVkNumpad2 && keyCode <= kVkNumpad9) return keyCode + 88;
    if (keyCode >= kVkF1 && keyCode <= kVkF12) return keyCode + 34;
    switch (keyCode) {
        case 8: return 205;    // Backspace
        case 9: return 170;    // Tab
        case 13: return 173;   // Enter
        case 19: return 176;   // Pause
        case 20: return 171;   // Caps Lock
        case 27: return 177;   // Escape
        case 32: return 203;   // Space
        case 33: return 180;   // Page Up
        case 34: return 181;   // Page Down
        case 35: return 183;   // End
        case 36: return 179;   // Home
        case 37: return 166;   // Left
        case 38: return 164;   // Up
        case 39: return 165;   // Right
        case 40: return 163;   // Down
        case 42: return 174;   // Print (VK_PRINT): kept for entries stored with this code
        case 44: return 174;   // Print Screen (VK_SNAPSHOT), the code the key really sends
        case 45: return 178;   // Insert
        case 46: return 182;   // Delete
        case 96: return 185;   // Keypad 0
        case 97: return 198;   // Keypad 1: the font keeps it apart from 2 to 9
        case 106: return 200;  // Keypad *
        case 107: return 196;  // Keypad +
        case 108: return 197;  // Keypad separator
        case 109: return 206;  // Keypad -
        case 110: return 194;  // Keypad .
        case 111: return 199;  // Keypad /
        case 144: return 195;  // Num Lock
        case 145: return 175;  // Scroll Lock
        default: return std::nullopt;
    }
}

const Punctuation* FindPunctuation(int keyCode) {
    for (const auto& p : kPunctuation) {
        if (p.keyCode == keyCode) return &p;
    }
    return nullptr;
}

char Byte(int code) { return static_cast<char>(static_cast<unsigned char>(code)); }

// Keys that write text on some layout: the digit and letter rows and the punctuation keys,
// including the two that US keyboards mostly lack (VK_OEM_8 and the key beside the left Shift).
bool WritesText(int keyCode) {
    return (keyCode >= kVkDigit0 && keyCode <= kVkDigit9) ||
           (keyCode >= kVkLetterA && keyCode <= kVkLetterZ) || (keyCode >= 186 && keyCode <= 192) ||
           (keyCode >= 219 && keyCode <= 223) || keyCode == 226;
}

// The cap of one character: its font code when the font has a cap for it.
char32_t CapOf(char32_t ch) {
    static const auto kHasCap = [] {
        std::array<bool, 128> has{};
        for (unsigned char code : kKeyCapCodes) {
            if (code < 128) has[code] = true;
        }
        return has;
    }();
    if (ch < 128 && kHasCap[ch]) return kFontCodeBase + ch;
    return ch;
}

// Each cap goes in front of the last, so the text reads Ctrl, Alt, Shift, Windows, key.
void PrefixModifiers(std::u32string& text, int mask) {
    if (mask & kModWin) text.insert(text.begin(), kFontCodeBase + kWindowsCap);
    if (mask & kModShift) text.insert(text.begin(), kFontCodeBase + kShiftCap);
    if (mask & kModAlt) text.insert(text.begin(), kFontCodeBase + kAltCap);
    if (mask & kModCtrl) text.insert(text.begin(), kFontCodeBase + kCtrlCap);
}

}  // namespace

std::int32_t MakeLong(std::int32_t high, std::int32_t low) {
    const std::uint32_t bits = (static_cast<std::uint32_t>(high) & 0xFFFFu) << 16 |
                               (static_cast<std::uint32_t>(low) & 0xFFFFu);
    return static_cast<std::int32_t>(bits);
}

std::string FilterValueName(std::int32_t combination) {
    return std::string(settings::kKeyFilterPrefix) + HexUpper(combination);
}

bool IsListed(const RegValue& entry) { return !RegValueText(entry).empty(); }

bool PassesFilter(bool listed, std::int32_t includeExclude) {
    return (listed ? 1 : 0) != includeExclude;
}

std::string NameKey(int keyCode, int mask, bool showShifted) {
    const bool useShifted = showShifted && (mask & kModShift) != 0;
    std::string text;

    if (keyCode >= kVkLetterA && keyCode <= kVkLetterZ) {
        text = Byte(keyCode + 32);
    } else if (keyCode >= kVkDigit0 && keyCode <= kVkDigit9) {
        // The shifted character already says Shift was held, so no caps go in front of it.
        if (useShifted) return std::string(1, kShiftedDigits[keyCode - kVkDigit0]);
        text = Byte(keyCode);
    } else if (auto cap = NamedKeyCap(keyCode)) {
        text = Byte(*cap);
    } else if (const Punctuation* p = FindPunctuation(keyCode)) {
        if (useShifted) return std::string(1, p->shifted);
        text = p->plain;
    } else {
        return {};
    }

    // Each cap goes in front of the last, so the text reads Ctrl, Alt, Shift, Windows, key.
    if (mask & kModWin) text.insert(text.begin(), Byte(kWindowsCap));
    if (mask & kModShift) text.insert(text.begin(), Byte(kShiftCap));
    if (mask & kModAlt) text.insert(text.begin(), Byte(kAltCap));
    if (mask & kModCtrl) text.insert(text.begin(), Byte(kCtrlCap));
    return text;
}

KeyChar UsChar(int keyCode, bool shift) {
    if (keyCode >= kVkLetterA && keyCode <= kVkLetterZ) return {static_cast<char32_t>(shift ? keyCode : keyCode + 32)};
    if (keyCode >= kVkDigit0 && keyCode <= kVkDigit9)
        return {static_cast<char32_t>(shift ? kShiftedDigits[keyCode - kVkDigit0] : keyCode)};
    if (const Punctuation* p = FindPunctuation(keyCode)) return {static_cast<char32_t>(shift ? p->shifted : p->plain)};
    return {};
}

CapText NameKeyInLayout(int keyCode, int mask, bool capsLock, bool showShifted, const KeyLayout& layout) {
    const auto asNamed = [&] { return FontCodes(NameKey(keyCode, mask, showShifted)); };
    if (!WritesText(keyCode)) return asNamed();
    const bool shift = (mask & kModShift) != 0;
    const auto at = [&](bool shifted, bool caps, bool altGr) {
        const KeyChar k = layout.Char(keyCode, {shifted, caps, altGr});
        return k.ch >= 0x20 && k.ch != 0x7F ? k.ch : char32_t{0};  // control characters write no text
    };

    // Ctrl with Alt is AltGr where the layout writes something at that level.
    const bool ctrlAlt = (mask & (kModCtrl | kModAlt)) == (kModCtrl | kModAlt);
    const bool altGr = ctrlAlt && (at(false, capsLock, true) || at(true, capsLock, true));
    const char32_t plain = at(false, capsLock, altGr);
    const char32_t shifted = at(true, capsLock, altGr);
    if (!plain && !shifted) return asNamed();
    const int prefixes = altGr ? mask & ~(kModCtrl | kModAlt) : mask;

    // A letter is a key whose shifted character is the capital of its unshifted one; Caps Lock
    // does not change which key that is.
    const char32_t small = at(false, false, altGr);
    const char32_t capital = at(true, false, altGr);
    CapText text;
    if (small && capital != small && layout.Upper(small) == capital) {
        text = CapOf(small);
    } else if (shift && showShifted && shifted) {
        return CapText(1, CapOf(shifted));  // the shifted character already says Shift was held
    } else {
        text = CapOf(plain ? plain : shifted);
    }
    PrefixModifiers(text, prefixes);
    return text;
}

KeyPressOutcome DecideKeyPress(int keyCode, int mask, bool showShifted, bool listed,
                               std::int32_t includeExclude) {
    KeyPressOutcome outcome;
    if (!PassesFilter(listed, includeExclude)) return outcome;
    outcome.playSound = true;
    outcome.text = NameKey(keyCode, mask, showShifted);
    return outcome;
}

}  // namespace spotlex
