#pragma once
// RegistrySetting wraps one open registry key and reads and writes typed values in it.
// Misuse raises AppError with source "CRegistry".
#include <windows.h>

#include <string>
#include <string_view>

#include "core/reg_value.h"

namespace spotlex {

class RegistrySetting {
public:
    RegistrySetting() = default;
    RegistrySetting(const RegistrySetting&) = delete;
    RegistrySetting& operator=(const RegistrySetting&) = delete;
    ~RegistrySetting();

    // Opens "ROOT\sub\key", creating it when missing. A failure leaves the object closed silently.
    void OpenKey(std::string_view key);
    void CloseKey() noexcept;
    bool KeyExists(std::string_view key) const;
    void DeleteKey(std::string_view key);
    void DeleteValue(std::string_view valueName);

    // Reads a value; the stored type decides what comes back. Empty when nothing could be read.
    RegValue Value(std::string_view valueName, std::int32_t regType = rgsString);
    void SetValue(std::string_view valueName, std::int32_t regType, const RegValue& setting);

    bool IsOpen() const noexcept { return handle_ != nullptr; }
    const std::string& Path() const noexcept { return path_; }

private:
    HKEY handle_ = nullptr;
    std::string path_;
};

}  // namespace spotlex
