#pragma once
// The character codes that the displays draw with the display font "Spotlex2". Platform-free,
// so both the displays and the tests that check the font file read them from one place.
#include <array>
#include <string>
#include <string_view>

namespace spotlex {

inline constexpr char kDisplayFontFace[] = "Spotlex2";
// What a display shows, once, when its font cannot be set to the display face.
inline constexpr char kMissingFontMessage[] =
    "The 'Spotlex' Font could not be found, and Spotlex can not be run without this Font.\r\n\r\n"
    "Please re-install this Font, or visit https://www.parvane.com/classkit to download it again.";
// The font file, shipped beside the program.
inline constexpr char kDisplayFontFile[] = "Spotlex2.ttf";

// The click burst: five frames shown in this order, then the double-click marker, which is
// drawn at the same origin over any frame.
inline constexpr unsigned char kFirstBurstFrame = 130;
inline constexpr unsigned char kLastBurstFrame = 134;
inline constexpr unsigned char kDoubleClickMarker = 135;

// A burst's visible centre lies W / 2.01 from the left and W / 1.91 from the top of its
// character cell, W being the glyph's advance width.
inline constexpr double kBurstCentreXDivisor = 2.01;
inline constexpr double kBurstCentreYDivisor = 1.91;

// The clock draws each character of its text ("0" to "9" and ":") at its code plus this; each
// such glyph is exactly as wide as the key cap of the unmapped character.
inline constexpr int kClockGlyphOffset = 168;
inline constexpr char kClockCharacters[] = "0123456789:";

// Key caps that sit at codes of their own (everything but letters, digits and punctuation).
inline constexpr unsigned char kCtrlCap = 168;
inline constexpr unsigned char kAltCap = 167;
inline constexpr unsigned char kShiftCap = 169;
inline constexpr unsigned char kWindowsCap = 184;
inline constexpr unsigned char kSpaceCap = 203;
inline constexpr unsigned char kEnterCap = 173;
inline constexpr unsigned char kBackspaceCap = 205;
inline constexpr unsigned char kTabCap = 170;
inline constexpr unsigned char kCapsLockCap = 171;
// A one-unit cap with no label, as wide as a letter's: a character the font lacks is drawn on it,
// in the fallback face.
inline constexpr unsigned char kBlankCap = 201;

// Where the font puts a single character on a one-unit cap, as fractions of the cap's height:
// the label's capital letters are half the cap high, their middle sits a little above the cap's,
// and at least this much of the cap shows on either side of a wide one.
inline constexpr double kLabelCapHeight = 0.50;
inline constexpr double kLabelLift = 50.0 / 1900.0;
inline constexpr double kLabelSidePad = 0.15;

// Key-cap text: a display-font code c stands at kFontCodeBase + c, where the font's symbol
// character map keeps its glyph; any other character is one the font lacks, drawn on a blank cap.
using CapText = std::u32string;
inline constexpr char32_t kFontCodeBase = 0xF000;

inline bool IsFontCode(char32_t c) {
    return c >= kFontCodeBase && c <= kFontCodeBase + 0xFF;
}

// Key-cap text of a string of font codes.
inline CapText FontCodes(std::string_view codes) {
    CapText text;
    text.reserve(codes.size());
    for (char c : codes) text += kFontCodeBase + static_cast<unsigned char>(c);
    return text;
}

// Every key-cap code the keystroke display can draw.
inline constexpr auto kKeyCapCodes = std::to_array<unsigned char>({
    // letters a to z, shown as capitals on the cap
    97,
    98,
    99,
    100,
    101,
    102,
    103,
    104,
    105,
    106,
    107,
    108,
    109,
    110,
    111,
    112,
    113,
    114,
    115,
    116,
    117,
    118,
    119,
    120,
    121,
    122,
    // digits 0 to 9
    48,
    49,
    50,
    51,
    52,
    53,
    54,
    55,
    56,
    57,
    // punctuation: ; = , - . / ` [ \ ] '
    59,
    61,
    44,
    45,
    46,
    47,
    96,
    91,
    92,
    93,
    39,
    // the same keys shifted: : + < _ > ? ~ { | } "
    58,
    43,
    60,
    95,
    62,
    63,
    126,
    123,
    124,
    125,
    34,
    // the digits shifted: ) ! @ # $ % ^ & * (
    41,
    33,
    64,
    35,
    36,
    37,
    94,
    38,
    42,
    40,
    // F1 to F12
    146,
    147,
    148,
    149,
    150,
    151,
    152,
    153,
    154,
    155,
    156,
    157,
    // arrows down, up, right, left
    163,
    164,
    165,
    166,
    // Alt, Ctrl, Shift, Tab, Caps Lock, Enter, Print Screen, Scroll Lock, Pause, Esc
    167,
    168,
    169,
    170,
    171,
    173,
    174,
    175,
    176,
    177,
    // Insert, Home, Page Up, Page Down, Delete, End, Windows
    178,
    179,
    180,
    181,
    182,
    183,
    184,
    // keypad 0, 2 to 9, decimal point, Num Lock, add, separator, 1, divide, multiply
    185,
    186,
    187,
    188,
    189,
    190,
    191,
    192,
    193,
    194,
    195,
    196,
    197,
    198,
    199,
    200,
    // the blank cap, Space, Backspace, keypad subtract
    201,
    203,
    205,
    206,
});

}  // namespace spotlex
