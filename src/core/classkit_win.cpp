#include "core/classkit_win.h"

#include "core/errata_log_win.h"

namespace spotlex {

std::unique_ptr<RegistrySetting> goCurrentUser;
std::unique_ptr<RegistrySetting> goLocalMachine;

std::int32_t GetNumericSetting(std::string_view name, std::int32_t def, std::int32_t min, std::int32_t max) {
    std::int32_t result = 0;
    try {
        if (!goCurrentUser) throw RegistryError(kRegErrKeyNotOpen);
        RegValue stored = goCurrentUser->Value(name, rgsDWord);
        result = IsEmpty(stored) ? def : RegValueNumber(stored);
    } catch (...) {
        LogCurrentException("basClasskit", "GetNumericSetting");
        result = 0;
    }
    // The 0 after an error is bounded too: a delay of 0 would keep a window from ever fading.
    if (result < min) result = min;
    if (result > max) result = max;
    return result;
}

std::int32_t GetSetting(const NumberSetting& setting) { return GetSetting(setting, setting.def); }

std::int32_t GetSetting(const NumberSetting& setting, std::int32_t def) {
    return GetNumericSetting(setting.name, def, setting.min, setting.max);
}

void SaveSetting(const NumberSetting& setting, std::int32_t value) {
    if (!goCurrentUser) throw RegistryError(kRegErrKeyNotOpen);
    goCurrentUser->SetValue(setting.name, rgsDWord, value);
}

std::string GetSetting(const TextSetting& setting) {
    if (!goCurrentUser) throw RegistryError(kRegErrKeyNotOpen);
    return TextOrEmpty(goCurrentUser->Value(setting.name, rgsString));
}

void SaveSetting(const TextSetting& setting, std::string_view value) {
    if (!goCurrentUser) throw RegistryError(kRegErrKeyNotOpen);
    goCurrentUser->SetValue(setting.name, rgsString, std::string(value));
}

SpotlexSettings LoadSettings() {
    using namespace settings;
    SpotlexSettings v;
    v.keys = {GetSetting(kColorKeyboard),       GetSetting(kColorKeyboardListIndex),
              GetSetting(kSizeKeyboard),        GetSetting(kDelayKeyboard),
              GetSetting(kKeyShowShifted) != 0, GetSetting(kKeyFollowPointer) != 0};
    v.burst = {GetSetting(kColorLeftMouse),  GetSetting(kColorLeftMouseListIndex),
               GetSetting(kColorRightMouse), GetSetting(kColorRightMouseListIndex),
               GetSetting(kSizeMouse),       GetSetting(kShowMouseWheel) != 0};
    v.clock = {GetSetting(kColorClock),
               GetSetting(kColorClockListIndex),
               GetSetting(kSizeClock),
               GetSetting(kShowAsClock) == 0,
               GetSetting(kShowSeconds) != 0,
               GetSetting(kStartClock),
               GetSetting(kClockWarningMinutes),
               GetSetting(kColorClockWarning),
               GetSetting(kColorClockWarningListIndex)};
    v.pause = {GetSetting(kPauseHotKey), GetSetting(kPauseResumeMinutes)};
    v.cursors.large = GetSetting(kShowLargeCursors) != 0;
    v.sound.play = GetSetting(kPlaySounds) != 0;
    v.page = GetSetting(kLastProperties);
    return v;
}

void SaveSettings(const SpotlexSettings& v, std::string_view module, std::string_view procedure) {
    using namespace settings;
    auto save = [&](const NumberSetting& setting, std::int32_t value) {
        LogAndContinue(module, procedure, [&] { SaveSetting(setting, value); });
    };
    save(kLastProperties, v.page);
    // Sounds on are stored as -1.
    save(kPlaySounds, v.sound.play ? -1 : 0);
    save(kDelayKeyboard, v.keys.delayMs);
    save(kColorKeyboardListIndex, v.keys.colorEntry);
    save(kColorKeyboard, v.keys.color);
    save(kSizeKeyboard, v.keys.size);
    save(kKeyShowShifted, v.keys.showShifted ? 1 : 0);
    save(kKeyFollowPointer, v.keys.followPointer ? 1 : 0);
    save(kColorLeftMouseListIndex, v.burst.leftColorEntry);
    save(kColorLeftMouse, v.burst.leftColor);
    save(kColorRightMouseListIndex, v.burst.rightColorEntry);
    save(kColorRightMouse, v.burst.rightColor);
    save(kSizeMouse, v.burst.size);
    save(kShowMouseWheel, v.burst.showWheel ? 1 : 0);
    save(kShowAsClock, v.clock.showAsClock ? 0 : 1);
    save(kStartClock, v.clock.startMinutes);
    save(kColorClockListIndex, v.clock.colorEntry);
    save(kColorClock, v.clock.color);
    save(kSizeClock, v.clock.size);
    save(kShowSeconds, v.clock.showSeconds ? 1 : 0);
    save(kClockWarningMinutes, v.clock.warningMinutes);
    save(kColorClockWarningListIndex, v.clock.warningColorEntry);
    save(kColorClockWarning, v.clock.warningColor);
    save(kPauseHotKey, v.pause.hotKey);
    save(kPauseResumeMinutes, v.pause.resumeMinutes);
    save(kShowLargeCursors, v.cursors.large ? 1 : 0);
}

std::string GetMachineSetting(const TextSetting& setting) {
    std::string text;
    if (goLocalMachine) text = TextOrEmpty(goLocalMachine->Value(setting.name, rgsString));
    if (text.empty()) {
        RegistrySetting mirror;
        if (mirror.KeyExists(kMachineMirrorKey)) {
            mirror.OpenKey(kMachineMirrorKey);
            text = TextOrEmpty(mirror.Value(setting.name, rgsString));
        }
    }
    return text;
}

}  // namespace spotlex
