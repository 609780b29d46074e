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
