#pragma once
// The suite-wide settings objects and the bounded read of a per-user number.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/registry_win.h"
#include "core/settings.h"

namespace spotlex {

inline constexpr const char* kUserKey = "HKEY_CURRENT_USER\\Software\\Parvane\\Classkit\\4.5\\Spotlex";
inline constexpr const char* kMachineKey = "HKEY_LOCAL_MACHINE\\Software\\Parvane\\Classkit\\4.5\\General";
// A standard account cannot write the machine key: what would go there is kept in this per-user
// mirror, and readers look in the machine key first, then here.
inline constexpr const char* kMachineMirrorKey = "HKEY_CURRENT_USER\\Software\\Parvane\\Classkit\\4.5\\General";

// Open for the whole run; goCurrentUser being set also means the program is not shutting down.
extern std::unique_ptr<RegistrySetting> goCurrentUser;
extern std::unique_ptr<RegistrySetting> goLocalMachine;

// Reads Name from the per-user key as a number (a stored text converts as TextToInt32 does), takes
// the default when nothing usable is stored, then clamps to [min, max] (min first, so min > max
// gives max). An error is logged and gives 0, which is clamped like any other result.
std::int32_t GetNumericSetting(std::string_view name, std::int32_t def, std::int32_t min, std::int32_t max);

// The per-user settings of core/settings.h. A number is read with its declared default and bounds
// (or a default known only at run time); writes raise as RegistrySetting does.
std::int32_t GetSetting(const NumberSetting& setting);
std::int32_t GetSetting(const NumberSetting& setting, std::int32_t def);
void SaveSetting(const NumberSetting& setting, std::int32_t value);
std::string GetSetting(const TextSetting& setting);
void SaveSetting(const TextSetting& setting, std::string_view value);

// Every part of SpotlexSettings, each number read as GetSetting reads it.
SpotlexSettings LoadSettings();
// Writes every part; a write that fails is logged under `module` and `procedure`, and the rest are
// still written.
void SaveSettings(const SpotlexSettings& value, std::string_view module, std::string_view procedure);

// A text of the machine key, else of its per-user mirror; empty when neither holds one.
std::string GetMachineSetting(const TextSetting& setting);

}  // namespace spotlex
