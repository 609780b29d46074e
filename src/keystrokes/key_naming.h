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

// What one press leads to. Every press that passes the filter sounds, even one that shows nothing.
struct KeyPressOutcome {
    bool playSound = false;
    std::string text;  // shown when not empty
};

KeyPressOutcome DecideKeyPress(int keyCode, int mask, bool showShifted, bool listed,
                               std::int32_t includeExclude);

}  // namespace spotlex
