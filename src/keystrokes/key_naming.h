#pragma once
// Turning a key press into key-cap text in the display font, and the key filter's decision.
// The text is a string of single-byte codes of the "Spotlex2" font, not readable prose.
#include <cstdint>
#include <string>

#include "core/display_font_codes.h"
#include "core/modifier_mask.h"
#include "core/reg_value.h"

namespace spotlex {

// Key combination code: high word first, low word second, each taken as unsigned 16 bits
// (modifier mask * 65536 + virtual-key code).
std::int32_t MakeLong(std::int32_t high, std::int32_t low);

// Name of the per-user value that lists a combination: "VK_0x" + upper-case hex ("VK_0x20053").
std::string FilterValueName(std::int32_t combination);

// A filter entry lists its combination when its data, read as text, is not empty. Absent values
// read as empty; a number reads as its digits, so it lists.
bool IsListed(const RegValue& entry);

// Key_IncludeExclude 1 shows every press except the listed ones, 0 only the listed ones.
bool PassesFilter(bool listed, std::int32_t includeExclude);

// Key-cap text for one press; empty when the key has no cap (lone modifiers, unknown keys).
// With showShifted, Shift with a digit or punctuation key gives the US shifted character alone.
std::string NameKey(int keyCode, int mask, bool showShifted);

// The level a key is looked up at in a keyboard layout.
struct KeyLevel {
    bool shift = false;
    bool capsLock = false;
    bool altGr = false;  // Ctrl and Alt together, which layouts with an AltGr level read as AltGr
};

// What a key writes at one level: a character, or a dead key's accent, or nothing (0).
struct KeyChar {
    char32_t ch = 0;
};

// The presenter's keyboard layout, as far as naming needs it.
class KeyLayout {
public:
    virtual ~KeyLayout() = default;
    virtual KeyChar Char(int keyCode, KeyLevel level) const = 0;
    // The capital of a letter; any other character unchanged.
    virtual char32_t Upper(char32_t ch) const = 0;
};

// What a key writes on a US keyboard, without or with Shift; nothing for keys that write no text.
KeyChar UsChar(int keyCode, bool shift);

// Key-cap text for one press in the presenter's layout. Keys that write text (letters, digits,
// punctuation) show what the layout writes:
// - a letter shows its small form, with Shift as a cap in front like any modifier;
// - another character shows its shifted form alone when `showShifted` and Shift is held,
//   otherwise the unshifted one, Caps Lock applied, with the modifier caps in front;
// - Ctrl with Alt that the layout turns into a character shows the character without them;
// - a dead key shows its accent.
// Characters the display font has are font codes, others stay characters. Keys the layout writes
// nothing with, and every other key, are named as NameKey names them.
CapText NameKeyInLayout(int keyCode, int mask, bool capsLock, bool showShifted, const KeyLayout& layout);

// What one press leads to. Every press that passes the filter sounds, even one that shows nothing.
struct KeyPressOutcome {
    bool playSound = false;
    std::string text;  // shown when not empty
};

KeyPressOutcome DecideKeyPress(int keyCode, int mask, bool showShifted, bool listed,
                               std::int32_t includeExclude);

}  // namespace spotlex
