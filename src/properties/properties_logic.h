#pragma once
// The properties dialog's data and rules that need no window: the colour list, the custom colour
// entry, the corrections of the delay and minutes boxes, and the quick-help topics.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/settings.h"

namespace spotlex {

struct ColorEntry {
    const char* text;
    std::int32_t color;  // 0x00BBGGRR
};

inline constexpr std::array<ColorEntry, 16> kColorEntries{{
    {"Black", 0x000000},
    {"Dark Red", 0x000080},
    {"Dark Green", 0x008000},
    {"Dark Yellow", 0x008080},
    {"Dark Blue", 0x800000},
    {"Purple", 0x800080},
    {"Turquoise", 0x808000},
    {"Silver", 0xC0C0C0},
    {"Gray", 0x808080},
    {"Red", 0x0000FF},
    {"Green", 0x00FF00},
    {"Yellow", 0x00FFFF},
    {"Blue", 0xFF0000},
    {"Magenta", 0xFF00FF},
    {"Cyan", 0xFFFF00},
    {"White", 0xFFFFFF},
}};

// The position of the custom colour entry, when a list has one.
inline constexpr int kCustomColorPosition = 16;

// "#" and the stored value in upper-case hexadecimal without leading zeros ("#FF" for red).
std::string CustomColorText(std::int32_t color);

// Which entry a colour list shows for a stored position and colour. The stored colour is what the
// display uses, so it wins: the stored position when its colour agrees, else the first entry of
// that colour, else a custom entry (position 16) to be added for it.
struct ColorChoice {
    int position = 0;
    bool addCustom = false;
};
ColorChoice ChooseColorEntry(std::int32_t storedPosition, std::int32_t storedColor);

// The delay box's correction when it is left or OK is pressed: no number gives "1000", below 100
// "100", above 10000 "10000"; any other text stays as typed.
std::string CorrectDelayText(std::string_view text);
// The minutes box's correction on every change: no number "15", below 1 "1", above 480 "480".
std::string CorrectMinutesText(std::string_view text);
// A minutes box of the clock warning or the pause, corrected on leaving and on OK: no number gives
// the setting's default, a number out of its bounds the nearer bound.
std::string CorrectSettingText(std::string_view text, const NumberSetting& setting);
// The whole number a box's text stands for (halves to even); the text must be a number.
std::int32_t BoxNumber(std::string_view text);
// The box's number when its text is one, else `fallback`.
std::int32_t BoxNumberOr(std::string_view text, std::int32_t fallback);

// The size a sample is drawn at: `size`, or less when its glyph (`width` wide at `size`) would start
// outside its box. The glyph's place is x = boxW / 2 - width / 2.01 - extraX, y = boxH / 2 - width / d.
int SampleFitSize(int size, double width, double boxW, double boxH, double d, double extraX);

// The quick-help topics, in the order the explain buttons are registered with the tips.
enum class ExplainTopic {
    ClockVsTimer,
    Color,
    FollowPointer,
    KeyFilter,
    KeystrokeDelay,
    SecondHand,
    ShiftedKeys,
    Size,
    SoundEffects,
    ClockWarning,
    PauseKey,
    MouseWheel
};
inline constexpr std::array<ExplainTopic, 12> kExplainTopics{
    ExplainTopic::ClockVsTimer,   ExplainTopic::Color,         ExplainTopic::KeyFilter,
    ExplainTopic::KeystrokeDelay, ExplainTopic::SecondHand,    ExplainTopic::ShiftedKeys,
    ExplainTopic::Size,           ExplainTopic::SoundEffects,  ExplainTopic::FollowPointer,
    ExplainTopic::ClockWarning,   ExplainTopic::PauseKey,      ExplainTopic::MouseWheel};

struct HelpTopic {
    std::string title;
    std::string body;
    std::string moreCaption;  // empty: no More Information button
    std::string moreCommand;
};
HelpTopic TopicFor(ExplainTopic topic);
// Told once when another program holds the pause key; `keyText` names the key ("Ctrl+Alt+Shift+P").
HelpTopic PauseKeyTakenTopic(std::string_view keyText);
// The quick-help box's name for "Don't Show This Message Again".
inline constexpr const char* kPauseKeyTakenDialog = "Pause_Key_Taken";

inline constexpr const char* kQuickHelpCaption = "Spotlex Quick Help";
inline constexpr const char* kQuickHelpTip = " Quick Help ";

}  // namespace spotlex
