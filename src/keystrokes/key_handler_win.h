#pragma once
// What frmMain's SysInput1_KeyDown does with a key press: the key filter, the key-cap text handed
// to the keystroke display and then the keystroke sound.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/sound_win.h"
#include "keystrokes/key_naming.h"
#include "keystrokes/key_pause.h"
#include "keystrokes/password_guard_win.h"

namespace spotlex {

class KeystrokeHandler {
public:
    using DisplayFn = std::function<void(const CapText& text)>;
    using SoundFn = std::function<void(std::string_view eventName, bool playSync)>;

    // display is KeyboardWindow.Display; sound is PlayFX except in tests.
    explicit KeystrokeHandler(DisplayFn display, SoundFn sound = PlayFX);

    // One key-down from the input hook. The filter entry and Key_IncludeExclude are read afresh
    // every time, so a saved filter works from the next press. With a `layout`, keys that write
    // text show what it writes; without one, the US caps. Failures are logged, never thrown.
    void KeyDown(std::int16_t keyCode, std::int16_t shift, bool showShiftedKeys,
                 const KeyLayout* layout = nullptr, bool capsLock = false) const noexcept;

    // While the guard finds the focus in a password field, presses are neither shown nor sounded.
    void SetPasswordGuard(const PasswordGuard* guard) noexcept { guard_ = guard; }
    // While the presenter's pause holds, presses are neither shown nor sounded. The pause key's own
    // combination (0 for none) is never shown, so pausing does not announce itself.
    void SetPause(const KeyPause* pause, std::int32_t pauseKey) noexcept {
        pause_ = pause;
        pauseKey_ = pauseKey;
    }

private:
    DisplayFn display_;
    SoundFn sound_;
    const PasswordGuard* guard_ = nullptr;
    const KeyPause* pause_ = nullptr;
    std::int32_t pauseKey_ = 0;
};

}  // namespace spotlex
