#include "properties/properties_logic.h"

#include <algorithm>
#include <initializer_list>

#include "core/app_error.h"
#include "core/runtime_rules.h"

namespace spotlex {

namespace {

// Paragraphs joined by a blank line.
std::string Paragraphs(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (std::string_view p : parts) {
        if (!text.empty()) text += "\r\n\r\n";
        text += p;
    }
    return text;
}

bool ToNumber(std::string_view text, double& value) {
    try {
        value = TextToNumber(text);
        return true;
    } catch (const AppError&) {
        return false;
    }
}

std::string Correct(std::string_view text, double low, double high, const char* noNumber, const char* lowText,
                    const char* highText) {
    double v = 0;
    if (!ToNumber(text, v)) return noNumber;
    if (v < low) return lowText;
    if (v > high) return highText;
    return std::string(text);
}

}  // namespace

std::string CustomColorText(std::int32_t color) {
    return "#" + HexUpper(color);
}

ColorChoice ChooseColorEntry(std::int32_t storedPosition, std::int32_t storedColor) {
    if (storedPosition >= 0 && storedPosition < static_cast<int>(kColorEntries.size()) &&
        kColorEntries[static_cast<size_t>(storedPosition)].color == storedColor)
        return {storedPosition, false};
    for (size_t i = 0; i < kColorEntries.size(); ++i)
        if (kColorEntries[i].color == storedColor) return {static_cast<int>(i), false};
    return {kCustomColorPosition, true};
}

std::string CorrectDelayText(std::string_view text) {
    return Correct(text, 100, 10000, "1000", "100", "10000");
}

std::string CorrectMinutesText(std::string_view text) {
    return Correct(text, 1, 480, "15", "1", "480");
}

std::string CorrectSettingText(std::string_view text, const NumberSetting& setting) {
    return Correct(text, setting.min, setting.max, std::to_string(setting.def).c_str(),
                   std::to_string(setting.min).c_str(), std::to_string(setting.max).c_str());
}

std::int32_t BoxNumber(std::string_view text) {
    return TextToInt32(text);
}

std::int32_t BoxNumberOr(std::string_view text, std::int32_t fallback) {
    try {
        return TextToInt32(text);
    } catch (const AppError&) {
        return fallback;
    }
}

int SampleFitSize(int size, double width, double boxW, double boxH, double d, double extraX) {
    const double widest = std::min(2.01 * (boxW / 2 - extraX), d * boxH / 2);
    if (width <= widest || width <= 0) return size;
    if (widest <= 0) return 1;
    return std::max(1, static_cast<int>(size * widest / width));
}

HelpTopic TopicFor(ExplainTopic topic) {
    switch (topic) {
        case ExplainTopic::ClockVsTimer:
            return {
                "Clock Vs Timer",
                Paragraphs(
                    {"The 'Break Clock' is designed to help your audience (and yourself) keep track of the "
                     "passing of time during your session together.  ",
                     "You can use it to display the current time of day (so your audience knows when to "
                     "return from break, for instance), or you can use the count-down timer to allow your "
                     "audience a set number of minutes to complete a given task (a 15 minute hands-on "
                     "exercise, for example).",
                     "In timer mode, an alarm will sound at the end of the period and the timer will blink "
                     "until turned off.  See the 'Sound Effects' topic in the Classkit User's Manual for "
                     "information on how to change the alarm sound."}),
                "", ""};
        case ExplainTopic::Color:
            return {
                "Color",
                Paragraphs(
                    {"Choose a color from the 'Color' Drop-Down box that will make sense to your audience "
                     "and that is easy to see on the screen.  Keystrokes, Left and Right Mouse Clicks and "
                     "the Break Clock can all be set to display different colors.",
                     "You can see a sample of the color that you have chosen in the Sample box."}),
                "", ""};
        case ExplainTopic::KeyFilter:
            return {
                "Key Filter",
                Paragraphs(
                    {"Except under very special circumstances, you will probably not display ALL keystrokes "
                     "that you type to your audience.  Instead, you should only display the keystrokes that "
                     "you feel will help your audience to understand your actions better.",
                     "For instance, shortcut keys (like 'Ctrl-S') and other cryptic combinations (like "
                     "'Alt-F4') are ideal to display to your audience to help them understand how YOU get "
                     "around an application.  ",
                     "You can determine which keys to display when pressed by using the 'Key Filter' "
                     "option.  This allows you to display only the keys that you wish your audience to see, "
                     "and will still allow you to work normally with other keys.",
                     "See the 'Key Filter' screen for more information."}),
                "", ""};
        case ExplainTopic::KeystrokeDelay:
            return {
                "Key Stroke Delay",
                Paragraphs(
                    {"When you press a key that has been selected for display, the image of the key (or "
                     "keys) will appear and 'linger' on the screen for your audience to see for a short "
                     "while before it fades away.",
                     "You can determine how long the display lingers for your audience by adjusting the "
                     "'Key Stroke Delay' number.  This number is in milliseconds, so for a 1 second delay, "
                     "set this to be 1000.  For a 2.5 second delay, set this to 2500.  You can choose any "
                     "number between 100 and 10000.",
                     "If you wish to move the keystroke display to another part of the screen, set this "
                     "number to 10000 and press a keystroke that is set up to be displayed.  You will have "
                     "10 seconds to drag-and-drop the keystroke display location before it fades away.  "
                     "Don't forget to turn the delay back down to a smaller number after you move the "
                     "display."}),
                "", ""};
        case ExplainTopic::SecondHand:
            return {
                "Second Hand",
                Paragraphs(
                    {"Turn this option on (checked) if you would like the Break Clock and Timer to display "
                     "minutes and seconds.",
                     "If this option is off (unchecked), only minutes will be displayed.  When using the "
                     "timer, seconds display automatically when there is less than one minute remaining."}),
                "", ""};
        case ExplainTopic::FollowPointer:
            return {
                "Follow the Pointer",
                Paragraphs(
                    {"The 'Follow the Pointer' option is for presenters who work on more than one screen, "
                     "like a laptop and a projector.",
                     "With this option off (unchecked), your keystrokes are always displayed where you "
                     "last dragged them to.",
                     "With this option on (checked), your keystrokes are displayed on the screen that the "
                     "mouse pointer is on, at the same place on that screen as where you dragged them to on "
                     "yours.  Your audience will see them wherever you are working."}),
                "", ""};
        case ExplainTopic::ShiftedKeys:
            return {
                "Show Shifted Keys",
                Paragraphs(
                    {"The 'Show Shifted Keys' option allows you to change what effect the Shift key has on "
                     "output characters.",
                     "With this option off (unchecked), you will see actual key presses (like \"SHIFT 1\", "
                     "\"SHIFT 2\", etc.).",
                     "With this option on (checked), you will see the character that corresponds with the "
                     "Shifted keystrokes.  For instance: ",
                     "\"SHIFT 1\" will display \"!\"\r\n\"SHIFT 2\" will display \"@\"\r\n\"SHIFT 3\" will "
                     "display \"#\", etc."}),
                "", ""};
        case ExplainTopic::Size:
            return {
                "Size",
                Paragraphs(
                    {"You can adjust the size of the Spotlex displays by using the 'Size' Slider.  "
                     "Generally, smaller displays work well in smaller areas (one-on-one or small "
                     "gatherings) and larger sizes work well for larger areas (projected presentations or "
                     "large classes).",
                     "The far left side of the Slider indicates the smallest size that can be chosen and "
                     "the far right indicates the largest size.  Keystrokes, Mouse Clicks and the Break "
                     "Clock can all be set to display at different sizes.",
                     "You can see a sample of the size that you have chosen in the Sample box."}),
                "", ""};
        case ExplainTopic::SoundEffects:
            return {
                "Sound Effects",
                Paragraphs(
                    {"Spotlex can confirm your actions with sound effects as well as the visual effects that "
                     "it normally uses.  For instance, pressing a keystroke that appears on the screen can "
                     "be accompanied by the sound of a typewriter key hitting a piece of paper.  This can "
                     "be helpful so you (and your audience) can hear when this action has occurred and to "
                     "look for the keystroke display.",
                     "You can turn the sound effects on or off by checking or unchecking the 'Play Sound "
                     "Effects' box.",
                     "You can assign your own sound effects to the actions you take in Spotlex (or turn "
                     "individual sounds on or off) by opening up the SOUNDS applet in Control Panel and "
                     "going to the 'Classkit' section."}),
                "Work With Sounds Now", "control mmsys.cpl sounds"};
        case ExplainTopic::ClockWarning:
            return {
                "Clock Warning",
                Paragraphs(
                    {"The timer can warn you (and your audience) that time is nearly up by changing to a "
                     "warning color when only a few minutes are left.",
                     "Type the number of minutes left at which the warning should begin (for example 2), "
                     "and choose the warning color from the 'Warning Color' Drop-Down box.  Set the minutes "
                     "to 0 to turn the warning off.",
                     "The warning applies to the timer only; the time-of-day clock never changes color.  "
                     "When the time is up, the timer blinks and sounds its alarm as always.  Click the "
                     "blinking timer to stop the blinking."}),
                "", ""};
        case ExplainTopic::PauseKey:
            return {
                "Pause Key",
                Paragraphs(
                    {"Before you type something your audience should not see, such as a password in a "
                     "terminal or a chat window that does not hide it, press the 'Pause Key'.  Keystrokes "
                     "are then neither shown nor heard until you press the 'Pause Key' again.  Mouse "
                     "clicks are still shown.  While keystrokes are paused, the icon in the Taskbar Tray "
                     "says so.",
                     "To choose another key, click in the 'Pause Key' box and press the new combination.  "
                     "Use at least two of Ctrl, Alt and Shift so the key does not get in the way of your "
                     "work.",
                     "In case you forget to resume, the pause ends by itself after the number of minutes "
                     "in the 'Resume After' box.  Set it to 0 to keep paused until you press the key "
                     "again."}),
                "", ""};
        case ExplainTopic::MouseWheel:
            return {
                "Mouse Wheel",
                Paragraphs(
                    {"Turn this option on (checked) to show your audience when you scroll with the mouse "
                     "wheel.  A small arrow appears at the pointer, pointing up or down, in the Secondary "
                     "Click Color.",
                     "When you scroll quickly, the arrow simply stays on the screen and grows a little "
                     "longer instead of filling the screen with arrows."}),
                "", ""};
    }
    return {};
}

HelpTopic PauseKeyTakenTopic(std::string_view keyText) {
    return {"Pause Key Not Available",
            Paragraphs({"Another program is already using " + std::string(keyText) +
                            ", so Spotlex cannot use it as its 'Pause Key'.",
                        "Spotlex works normally without it.  To choose another 'Pause Key', open the "
                        "Properties from the icon in the Taskbar Tray and go to the 'Extras' page."}),
            "", ""};
}

}  // namespace spotlex
