#pragma once
// Every value the program keeps in the registry, declared once: its name, and for numbers the
// default and the bounds that every read of it applies. Read and write them through the accessors
// in core/settings_win.h; no other file spells a value name.
#include <cstdint>
#include <string_view>

#include "core/color.h"

namespace spotlex {

// A 32-bit number in the per-user key. A missing or unusable value gives def; a stored one is
// raised to min, then lowered to max.
struct NumberSetting {
    std::string_view name;
    std::int32_t def;
    std::int32_t min;
    std::int32_t max;
};

// A text value, in the per-user key or the machine key as its accessor says.
struct TextSetting {
    std::string_view name;
};

// The monitor a display was put on: its device name and its area then, in virtual-screen pixels.
struct MonitorSetting {
    TextSetting device;
    NumberSetting left;
    NumberSetting top;
    NumberSetting right;
    NumberSetting bottom;
};

inline constexpr std::int32_t kFontSizeMin = 14;
// The largest font any display uses, whatever size is asked of it.
inline constexpr std::int32_t kFontSizeMax = 188;

namespace settings {

// Per-user key: the keystroke display.
inline constexpr NumberSetting kDelayKeyboard{"Delay_Keyboard", 1000, 100, 10000};
inline constexpr NumberSetting kColorKeyboard{"Color_Keyboard", 0, 0, kMaxColor};
inline constexpr NumberSetting kSizeKeyboard{"Size_Keyboard", 64, kFontSizeMin, kFontSizeMax};
inline constexpr NumberSetting kKeyShowShifted{"Key_Show_Shifted", 0, -1, 1};
inline constexpr NumberSetting kKeyIncludeExclude{"Key_IncludeExclude", 1, 0, 1};
// The default place is centred on the screen, known only at run time: read with a default.
inline constexpr NumberSetting kKeyboardLeft{"Keyboard_Left", 0, INT32_MIN, INT32_MAX};
inline constexpr NumberSetting kKeyboardTop{"Keyboard_Top", 0, INT32_MIN, INT32_MAX};
inline constexpr MonitorSetting kKeyboardMonitor{{"Keyboard_Monitor"},
                                                 {"Keyboard_Monitor_Left", 0, INT32_MIN, INT32_MAX},
                                                 {"Keyboard_Monitor_Top", 0, INT32_MIN, INT32_MAX},
                                                 {"Keyboard_Monitor_Right", 0, INT32_MIN, INT32_MAX},
                                                 {"Keyboard_Monitor_Bottom", 0, INT32_MIN, INT32_MAX}};
// The key caps show on the monitor under the pointer.
inline constexpr NumberSetting kKeyFollowPointer{"Key_Follow_Pointer", 0, 0, 1};
// The system-wide key that pauses the keystroke display, as a key combination code (modifier mask
// x 65536 + virtual key); 0 for none. Ctrl+Alt+Shift+P.
inline constexpr NumberSetting kPauseHotKey{"Pause_Hot_Key", 0x70050, 0, 0xF00FF};
// Minutes after which a pause ends by itself; 0 never.
inline constexpr NumberSetting kPauseResumeMinutes{"Pause_Resume_Minutes", 5, 0, 480};

// Per-user key: the click display.
inline constexpr NumberSetting kColorLeftMouse{"Color_Left_Mouse", 255, 0, kMaxColor};
inline constexpr NumberSetting kColorRightMouse{"Color_Right_Mouse", 255, 0, kMaxColor};
inline constexpr NumberSetting kSizeMouse{"Size_Mouse", 64, kFontSizeMin, kFontSizeMax};
inline constexpr TextSetting kPattern{"Pattern"};
inline constexpr NumberSetting kShowMouseWheel{"Show_Mouse_Wheel", 0, 0, 1};

// Per-user key: the break clock.
inline constexpr NumberSetting kColorClock{"Color_Clock", 0x800000, 0, kMaxColor};
inline constexpr NumberSetting kSizeClock{"Size_Clock", 128, kFontSizeMin, kFontSizeMax};
inline constexpr NumberSetting kShowAsClock{"Show_As_Clock", 1, 0, 1};
inline constexpr NumberSetting kShowSeconds{"Show_Seconds", -1, -1, 1};
inline constexpr NumberSetting kStartClock{"Start_Clock", 15, 1, 480};
inline constexpr NumberSetting kClockLeft{"Clock_Left", 0, INT32_MIN, INT32_MAX};
inline constexpr NumberSetting kClockTop{"Clock_Top", 0, INT32_MIN, INT32_MAX};
inline constexpr MonitorSetting kClockMonitor{{"Clock_Monitor"},
                                              {"Clock_Monitor_Left", 0, INT32_MIN, INT32_MAX},
                                              {"Clock_Monitor_Top", 0, INT32_MIN, INT32_MAX},
                                              {"Clock_Monitor_Right", 0, INT32_MIN, INT32_MAX},
                                              {"Clock_Monitor_Bottom", 0, INT32_MIN, INT32_MAX}};
// Minutes left at which the count-down takes its warning colour; 0 for no warning.
inline constexpr NumberSetting kClockWarningMinutes{"Clock_Warning_Minutes", 0, 0, 480};
inline constexpr NumberSetting kColorClockWarning{"Color_Clock_Warning", 0x00FFFF, 0, kMaxColor};

// Per-user key: the properties dialog.
inline constexpr NumberSetting kLastProperties{"Last_Properties", 0, 0, 3};
inline constexpr NumberSetting kColorKeyboardListIndex{"Color_Keyboard_ListIndex", 0, 0, 15};
inline constexpr NumberSetting kColorLeftMouseListIndex{"Color_Left_Mouse_ListIndex", 9, 0, 15};
inline constexpr NumberSetting kColorRightMouseListIndex{"Color_Right_Mouse_ListIndex", 13, 0, 15};
inline constexpr NumberSetting kColorClockListIndex{"Color_Clock_ListIndex", 5, 0, 15};
inline constexpr NumberSetting kColorClockWarningListIndex{"Color_Clock_Warning_ListIndex", 11, 0, 15};

// Per-user key: start-up and shutdown state.
inline constexpr NumberSetting kPlaySounds{"Play_Sounds", -1, -1, 1};
inline constexpr NumberSetting kHookEnum{"Hook_Enum", 9, 0, 9};
inline constexpr NumberSetting kShowClock{"Show_Clock", 0, -1, 1};
inline constexpr NumberSetting kShowLargeCursors{"Show_Large_Cursors", 0, -1, 1};
inline constexpr NumberSetting kSingleClickActivation{"Single_Click_Activation", 0, INT32_MIN, INT32_MAX};

// Per-user key: large cursors.
inline constexpr TextSetting kOriginalCursors{"Original_Cursors"};

// Machine key (and, where the program cannot write there, its per-user mirror).
inline constexpr TextSetting kPath{"Path"};
inline constexpr NumberSetting kSplashScreenTime{"Splash_Screen_Time", 6, INT32_MIN, INT32_MAX};
inline constexpr NumberSetting kSpotlexClock{"Spotlex_Clock", 0, INT32_MIN, INT32_MAX};

// Names that are prefixes of families of values.
inline constexpr std::string_view kKeyFilterPrefix = "VK_0x";
inline constexpr std::string_view kDismissPrefix = "Dismiss_";

}  // namespace settings

// What the presenter chooses in the properties dialog, with the large-cursor choice, as one value:
// loaded and saved by core/classkit_win.h, edited as a copy by the dialog and handed to the live
// displays by the main form. A new instance holds the defaults.
struct SpotlexSettings {
    struct Keystrokes {
        std::int32_t color = settings::kColorKeyboard.def;
        std::int32_t colorEntry = settings::kColorKeyboardListIndex.def;
        std::int32_t size = settings::kSizeKeyboard.def;
        std::int32_t delayMs = settings::kDelayKeyboard.def;
        bool showShifted = settings::kKeyShowShifted.def != 0;
        bool followPointer = settings::kKeyFollowPointer.def != 0;
    };
    struct Burst {
        std::int32_t leftColor = settings::kColorLeftMouse.def;
        std::int32_t leftColorEntry = settings::kColorLeftMouseListIndex.def;
        std::int32_t rightColor = settings::kColorRightMouse.def;
        std::int32_t rightColorEntry = settings::kColorRightMouseListIndex.def;
        std::int32_t size = settings::kSizeMouse.def;
        bool showWheel = settings::kShowMouseWheel.def != 0;
    };
    struct Clock {
        std::int32_t color = settings::kColorClock.def;
        std::int32_t colorEntry = settings::kColorClockListIndex.def;
        std::int32_t size = settings::kSizeClock.def;
        // Stored as 0 for the time of day, 1 for the count-down.
        bool showAsClock = settings::kShowAsClock.def == 0;
        bool showSeconds = settings::kShowSeconds.def != 0;
        std::int32_t startMinutes = settings::kStartClock.def;
        std::int32_t warningMinutes = settings::kClockWarningMinutes.def;
        std::int32_t warningColor = settings::kColorClockWarning.def;
        std::int32_t warningColorEntry = settings::kColorClockWarningListIndex.def;
    };
    struct Pause {
        std::int32_t hotKey = settings::kPauseHotKey.def;
        std::int32_t resumeMinutes = settings::kPauseResumeMinutes.def;
    };
    struct Cursors {
        bool large = settings::kShowLargeCursors.def != 0;
    };
    struct Sound {
        bool play = settings::kPlaySounds.def != 0;
    };

    Keystrokes keys;
    Burst burst;
    Clock clock;
    Cursors cursors;
    Sound sound;
    Pause pause;
    // The properties page that opens first: 0 clicks, 1 keys, 2 clock, 3 extras.
    std::int32_t page = settings::kLastProperties.def;
};

}  // namespace spotlex
