#pragma once
// The keyboard layout of the program being typed into, asked what one key press writes.
#include <windows.h>

#include <cstdint>

#include "keystrokes/key_naming.h"

namespace spotlex {

// ToUnicodeEx can be told to leave the keyboard state alone from Windows 10 version 1607 (build
// 14393) on. Before that, asking it about a key would clear a dead key the presenter has just
// pressed, and the accent would never reach the program.
bool TranslationKeepsKeyboardState(std::uint32_t major, std::uint32_t build);

// The layout for one key press. `scanCode` is the press's own, so that a layout that tells keys
// apart by position finds the key. With `keepsState` false the layout is read without ToUnicodeEx,
// by calls that never touch the keyboard state: MapVirtualKeyEx for what a key writes unshifted,
// and VkKeyScanEx, asked once per layout about every character it may write, for the Shift and
// AltGr levels (a Shift level it does not name is the US one where the key writes the US character
// unshifted). Caps Lock is then not seen; the caps show that little less rather than break the
// presenter's typing.
class PressLayout final : public KeyLayout {
public:
    PressLayout(HKL layout, UINT scanCode, bool keepsState) noexcept
        : layout_(layout), scanCode_(scanCode), keepsState_(keepsState), found_(true) {}

    // The layout of the foreground window's thread, or this thread's when nothing has the focus,
    // looked up when a key first asks; the state rule is the running system's.
    static PressLayout Foreground(UINT scanCode) noexcept;

    KeyChar Char(int keyCode, KeyLevel level) const override;
    char32_t Upper(char32_t ch) const override;

private:
    PressLayout(UINT scanCode) noexcept
        : layout_(nullptr), scanCode_(scanCode), keepsState_(false), found_(false) {}
    void Find() const;

    mutable HKL layout_;
    UINT scanCode_;
    mutable bool keepsState_;
    mutable bool found_;
};

}  // namespace spotlex
