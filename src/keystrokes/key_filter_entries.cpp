#include "keystrokes/key_filter_entries.h"

#include "core/modifier_mask.h"
#include "keystrokes/key_naming.h"

namespace spotlex {

std::string ModifierText(int mask, std::string_view keyName) {
    std::string text;
    if (mask & kModShift) text += "Shift + ";
    if (mask & kModCtrl) text += "Ctrl + ";
    if (mask & kModAlt) text += "Alt + ";
    if (mask & kModWin) text += "Win + ";
    text += keyName;
    return text;
}

std::vector<FilterEntry> SpecialKeyEntries(const SpecialKey& key, int checkedMask) {
    std::vector<FilterEntry> entries;
    for (int j = 1; j <= kUnmodified; ++j) {
        if ((checkedMask & j) != j) continue;
        const int modifiers = j & ~kUnmodified;
        entries.push_back({ModifierText(modifiers, key.text), MakeLong(modifiers, key.keyCode)});
    }
    return entries;
}

int HotKeyFlagsToMask(int hotKeyFlags) {
    // HOTKEYF_SHIFT 1, HOTKEYF_CONTROL 2, HOTKEYF_ALT 4 happen to be our bits; HOTKEYF_EXT 8 is not.
    int mask = 0;
    if (hotKeyFlags & 1) mask |= kModShift;
    if (hotKeyFlags & 2) mask |= kModCtrl;
    if (hotKeyFlags & 4) mask |= kModAlt;
    return mask;
}

int MaskToHotKeyFlags(int mask) {
    int flags = 0;
    if (mask & kModShift) flags |= 1;
    if (mask & kModCtrl) flags |= 2;
    if (mask & kModAlt) flags |= 4;
    return flags;
}

std::string HotKeyText(int mask, std::string_view keyName) {
    if (keyName.empty()) return std::string(kHotKeyNone);
    return ModifierText(mask, keyName);
}

}  // namespace spotlex
