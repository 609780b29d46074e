#pragma once
// What the key filter's dialogs put in the list: the special keys and their modifier boxes, the
// entry texts, and the hot-key control's modifier flags in our mask.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace spotlex {

struct SpecialKey {
    const char* text;
    int keyCode;
};

// The keys the hot-key box cannot take, in the order the special key dialog lists them.
inline constexpr std::array<SpecialKey, 10> kSpecialKeys{{
    {"Backspace", 8},
    {"Enter", 13},
    {"Escape", 27},
    {"Space", 32},
    {"Tab", 9},
    {"Pause", 19},
    // 44 is what the Print Screen key sends; no keyboard sends 42 (VK_PRINT).
    {"Print Screen", 44},
    {"* Caps Lock", 20},
    {"* Num Lock", 144},
    {"* Scroll Lock", 145},
}};

struct ModifierBox {
    const char* caption;
    int mask;
};

// The "Unmodified" box stands for the key alone; its 16 never reaches a stored code.
inline constexpr int kUnmodified = 16;
inline constexpr std::array<ModifierBox, 5> kModifierBoxes{{
    {"&Unmodified", kUnmodified},
    {"&Shift", 1},
    {"&Ctrl", 2},
    {"&Alt", 4},
    {"&Windows", 8},
}};

// "Shift + ", "Ctrl + ", "Alt + ", "Win + " for the bits set, in that order, then the key's name.
std::string ModifierText(int mask, std::string_view keyName);

struct FilterEntry {
    std::string text;
    std::int32_t code = 0;  // modifier mask * 65536 + virtual-key code
};

// One entry for every combination of the checked boxes (a sum of their masks), in ascending
// mask order, the key alone last; none for a mask of 0.
std::vector<FilterEntry> SpecialKeyEntries(const SpecialKey& key, int checkedMask);

// The hot-key control's HOTKEYF_SHIFT, _CONTROL and _ALT bits as our Shift, Ctrl and Alt bits; its
// extended-key bit is no modifier.
int HotKeyFlagsToMask(int hotKeyFlags);
// The other way: our Shift, Ctrl and Alt bits as the control's flags; the Windows bit has none.
int MaskToHotKeyFlags(int mask);

// What the hot-key box reads: "None" when empty, else the entry text of the combination.
inline constexpr std::string_view kHotKeyNone = "None";
std::string HotKeyText(int mask, std::string_view keyName);

}  // namespace spotlex
