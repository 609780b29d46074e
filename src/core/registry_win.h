#pragma once
// RegistrySetting wraps one open registry key and reads and writes typed values in it.
// Misuse raises AppError with source "CRegistry".
#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "core/app_error.h"
#include "core/reg_value.h"
#include "core/registry_watch_win.h"
#include "core/unique_handle_win.h"

namespace spotlex {

// The errors RegistrySetting raises, numbered from the object-error base.
enum RegistryErrorCode : std::int32_t {
    kRegErrDefaultNotString = 1,
    kRegErrKeyNotOpen = 3,
    kRegErrKeyAlreadyOpen = 4,
    kRegErrInvalidRoot = 5,
    kRegErrInvalidType = 6,
    kRegErrBinary = 8,
};

// The AppError for one of the codes above (number 0x80040000 + code, source "CRegistry").
AppError RegistryError(RegistryErrorCode code);

class RegistrySetting {
public:
    RegistrySetting() = default;
    RegistrySetting(const RegistrySetting&) = delete;
    RegistrySetting& operator=(const RegistrySetting&) = delete;
    ~RegistrySetting();

    // Opens "ROOT\sub\key", creating it when missing. When full access is refused (a standard
    // user under HKEY_LOCAL_MACHINE) the key is opened for reading: reads work, writes are logged.
    // Any other failure leaves the object closed silently.
    void OpenKey(std::string_view key);
    void CloseKey() noexcept;
    bool KeyExists(std::string_view key) const;
    void DeleteKey(std::string_view key);
    void DeleteValue(std::string_view valueName);

    // Reads a value; the stored type decides what comes back. Empty when nothing could be read,
    // and for every type that is neither text nor a 4-byte number.
    RegValue Value(std::string_view valueName, std::int32_t regType = rgsString);
    void SetValue(std::string_view valueName, std::int32_t regType, const RegValue& setting);

    bool IsOpen() const noexcept { return static_cast<bool>(handle_); }
    // True when the key could only be opened for reading.
    bool IsReadOnly() const noexcept { return readOnly_; }
    const std::string& Path() const noexcept { return path_; }
    // From now on keeps what it reads until the key changes, here or in any other program: a value
    // read again is answered from memory. For a key read at every key press.
    void KeepValues();

private:
    void Reopen();
    RegValue ReadDefault();
    RegValue ReadValue(std::string_view valueName);
    void Watch();
    // Our own write: other objects keeping values of the same key read afresh.
    void TellOtherKeepers();

    UniqueKey handle_;
    std::string path_;
    bool readOnly_ = false;
    bool keepValues_ = false;
    std::unique_ptr<RegistryWatch> watch_;
    std::map<std::string, RegValue, std::less<>> kept_;
};

}  // namespace spotlex
