#include "core/registry_win.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <vector>

#include "core/errata_log_win.h"
#include "core/wide_text_win.h"

namespace spotlex {

namespace {

constexpr const char* kSource = "CRegistry";

// The objects that keep what they read, all on the user-interface thread. A write through one
// object changes what the others open on that key have kept at once: the system's word of it is
// noted only when the thread next waits.
std::vector<RegistrySetting*>& Keepers() {
    static auto* const keepers = new std::vector<RegistrySetting*>;
    return *keepers;
}

// The registry answers ERROR_KEY_DELETED for a handle whose key was deleted meanwhile; the older
// ERROR_BADKEY means the same to us. Either way the key is reopened (recreated) once.
bool KeyWentAway(LONG result) {
    return result == ERROR_BADKEY || result == ERROR_KEY_DELETED;
}

bool IsTextType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

struct KeyPath {
    HKEY root;
    std::wstring subkey;
};

KeyPath SplitKeyPath(std::string_view key) {
    std::size_t slash = key.find('\\');
    if (slash == std::string_view::npos) throw RegistryError(kRegErrInvalidRoot);
    std::string root(key.substr(0, slash));
    std::transform(root.begin(), root.end(), root.begin(),
                   [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; });
    // HKEY_DYN_DATA is 0x80000006; 0x80000004 would be the performance-data key.
    static const struct {
        const char* name;
        HKEY key;
    } kRoots[] = {
        {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},   {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
        {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE}, {"HKEY_USERS", HKEY_USERS},
        {"HKEY_DYN_DATA", HKEY_DYN_DATA},
    };
    for (const auto& r : kRoots) {
        if (root == r.name) return {r.key, Wide(key.substr(slash + 1))};
    }
    throw RegistryError(kRegErrInvalidRoot);
}

// Opens an existing key with full access, or for reading when full access is refused.
LONG OpenExisting(const KeyPath& p, HKEY* out, bool* readOnly) {
    LONG r = RegOpenKeyExW(p.root, p.subkey.c_str(), 0, KEY_ALL_ACCESS, out);
    if (r == ERROR_ACCESS_DENIED) {
        r = RegOpenKeyExW(p.root, p.subkey.c_str(), 0, KEY_READ, out);
        if (readOnly) *readOnly = (r == ERROR_SUCCESS);
    }
    return r;
}

std::string ValueLabel(std::string_view valueName) {
    return valueName.empty() ? std::string("(default)") : std::string(valueName);
}

}  // namespace

AppError RegistryError(RegistryErrorCode code) {
    const char* text = "";
    switch (code) {
        case kRegErrDefaultNotString:
            text =
                "When setting or retrieving the default (unnamed) value for a key in the registry, the type "
                "of the data MUST be a string or convertable into a string.";
            break;
        case kRegErrKeyNotOpen:
            text =
                "Invalid Key Handle or key not open.  Open a valid registry key using OpenKey before setting "
                "or retrieving the value of the key.";
            break;
        case kRegErrKeyAlreadyOpen:
            text = "A Key is already open.  Close the open key before attempting to open another.";
            break;
        case kRegErrInvalidRoot:
            text =
                "The string specified as RootKey is invalid.  Make sure that the RootKey string is specified "
                "and is one of the following values:\r\n\r\n"
                "\"HKEY_CLASSES_ROOT\"\r\n\"HKEY_CURRENT_USER\"\r\n\"HKEY_LOCAL_MACHINE\"\r\n"
                "\"HKEY_USERS\"\r\n\"HKEY_DYN_DATA\"";
            break;
        case kRegErrInvalidType:
            text =
                "The Key Type must be evaluate to one of the following:\r\n\r\n"
                "1  (rgsString) : Unicode nul terminated string\r\n"
                "3  (rgsBinary) : Free form binary\r\n"
                "4  (rgsDWord)  : 32-bit number";
            break;
        case kRegErrBinary:
            text =
                "The CRegistry Class is unable to return Binary data from the registry at this time.  As "
                "time allows, this problem will be fixed.";
            break;
    }
    return AppError(kObjectErrorBase + code, kSource, text);
}

void RegistrySetting::OpenKey(std::string_view key) {
    if (handle_) throw RegistryError(kRegErrKeyAlreadyOpen);
    KeyPath p = SplitKeyPath(key);
    HKEY h = nullptr;
    bool readOnly = false;
    LONG r = RegCreateKeyExW(p.root, p.subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                             nullptr, &h, nullptr);
    if (r == ERROR_ACCESS_DENIED) {
        // A standard user may read HKEY_LOCAL_MACHINE but not change it: keep the reads working.
        h = nullptr;
        r = OpenExisting(p, &h, &readOnly);
    }
    if (r != ERROR_SUCCESS || h == nullptr) {
        CloseKey();
        return;
    }
    handle_.reset(h);
    path_ = std::string(key);
    readOnly_ = readOnly;
    if (keepValues_) Watch();
}

RegistrySetting::~RegistrySetting() {
    CloseKey();
}

void RegistrySetting::TellOtherKeepers() {
    const KeyPath mine = SplitKeyPath(path_);
    for (RegistrySetting* other : Keepers()) {
        if (other == this || other->kept_.empty()) continue;
        const KeyPath theirs = SplitKeyPath(other->path_);
        if (theirs.root == mine.root &&
            CompareStringOrdinal(theirs.subkey.c_str(), -1, mine.subkey.c_str(), -1, TRUE) == CSTR_EQUAL)
            other->kept_.clear();
    }
}

void RegistrySetting::KeepValues() {
    keepValues_ = true;
    if (handle_) Watch();
}

void RegistrySetting::Watch() {
    kept_.clear();
    watch_.reset();
    // The parent and all under it: the key going away, or being made again, changes the parent.
    const KeyPath p = SplitKeyPath(path_);
    const std::size_t cut = p.subkey.rfind(L'\\');
    HKEY h = nullptr;
    const LONG r = cut == std::wstring::npos
                       ? RegOpenKeyExW(handle_.get(), nullptr, 0, KEY_NOTIFY, &h)
                       : RegOpenKeyExW(p.root, p.subkey.substr(0, cut).c_str(), 0, KEY_NOTIFY, &h);
    if (r != ERROR_SUCCESS) return;
    watch_ = std::make_unique<RegistryWatch>(std::initializer_list<HKEY>{h});
    std::vector<RegistrySetting*>& keepers = Keepers();
    if (std::find(keepers.begin(), keepers.end(), this) == keepers.end()) keepers.push_back(this);
}

void RegistrySetting::CloseKey() noexcept {
    std::vector<RegistrySetting*>& keepers = Keepers();
    keepers.erase(std::remove(keepers.begin(), keepers.end(), this), keepers.end());
    watch_.reset();
    kept_.clear();
    handle_.reset();
    path_.clear();
    readOnly_ = false;
}

bool RegistrySetting::KeyExists(std::string_view key) const {
    KeyPath p = SplitKeyPath(key);
    HKEY h = nullptr;
    if (OpenExisting(p, &h, nullptr) != ERROR_SUCCESS) return false;
    RegCloseKey(h);
    return true;
}

void RegistrySetting::DeleteKey(std::string_view key) {
    KeyPath p = SplitKeyPath(key);
    RegDeleteKeyW(p.root, p.subkey.c_str());
    for (RegistrySetting* other : Keepers()) other->kept_.clear();
}

void RegistrySetting::DeleteValue(std::string_view valueName) {
    if (!handle_) throw RegistryError(kRegErrKeyNotOpen);
    if (auto it = kept_.find(valueName); it != kept_.end()) kept_.erase(it);
    RegDeleteValueW(handle_.get(), Wide(valueName).c_str());
    TellOtherKeepers();
}

void RegistrySetting::Reopen() {
    if (path_.empty()) throw RegistryError(kRegErrKeyNotOpen);
    std::string path = path_;
    CloseKey();
    try {
        OpenKey(path);
    } catch (const AppError&) {
        // The path opened before; whatever fails now shows as a closed key.
    }
}

namespace {
// The text of a text value, whatever its length; stored without its own NUL, it still ends.
RegValue ReadText(HKEY key, const wchar_t* name, DWORD size) {
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 2, L'\0');
    DWORD got = size;
    DWORD type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got) != ERROR_SUCCESS ||
        !IsTextType(type))
        return {};
    const std::size_t limit = std::min<std::size_t>(got, size) / sizeof(wchar_t);
    return Utf8(std::wstring_view(buffer.data(), wcsnlen(buffer.data(), limit)));
}
}  // namespace

RegValue RegistrySetting::ReadDefault() {
    // The default value counts only as a text; any other type reads as nothing.
    DWORD type = 0;
    DWORD size = 0;
    LONG r = RegQueryValueExW(handle_.get(), L"", nullptr, &type, nullptr, &size);
    if (KeyWentAway(r)) {
        Reopen();
        if (!handle_) return {};
        r = RegQueryValueExW(handle_.get(), L"", nullptr, &type, nullptr, &size);
    }
    if (r != ERROR_SUCCESS) return std::string();  // never set: an empty text
    if (!IsTextType(type)) return {};
    return ReadText(handle_.get(), L"", size);
}

RegValue RegistrySetting::Value(std::string_view valueName, std::int32_t /*regType*/) {
    if (!handle_) throw RegistryError(kRegErrKeyNotOpen);
    if (!watch_) return ReadValue(valueName);
    if (watch_->Changed()) kept_.clear();
    if (auto it = kept_.find(valueName); it != kept_.end()) return it->second;
    RegValue value = ReadValue(valueName);
    // Kept unless the key went away and could not be opened again.
    if (watch_) kept_.emplace(std::string(valueName), value);
    return value;
}

RegValue RegistrySetting::ReadValue(std::string_view valueName) {
    if (valueName.empty()) return ReadDefault();

    const std::wstring name = Wide(valueName);
    DWORD type = 0;
    DWORD size = 0;
    LONG r = RegQueryValueExW(handle_.get(), name.c_str(), nullptr, &type, nullptr, &size);
    if (KeyWentAway(r)) {
        Reopen();
        if (!handle_) return {};
        r = RegQueryValueExW(handle_.get(), name.c_str(), nullptr, &type, nullptr, &size);
    }
    if (r != ERROR_SUCCESS) return {};

    if (IsTextType(type)) return ReadText(handle_.get(), name.c_str(), size);
    if (type == REG_DWORD && size == sizeof(DWORD)) {
        DWORD number = 0;
        DWORD got = sizeof number;
        r = RegQueryValueExW(handle_.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&number),
                             &got);
        if (r != ERROR_SUCCESS || type != REG_DWORD || got != sizeof number) return {};
        return static_cast<std::int32_t>(number);
    }
    // Binary, a DWORD of the wrong size and every other type: nothing the settings can use.
    return {};
}

void RegistrySetting::SetValue(std::string_view valueName, std::int32_t regType, const RegValue& setting) {
    if (!handle_) throw RegistryError(kRegErrKeyNotOpen);
    // Read back as the system stores it, the next time it is asked for.
    if (auto it = kept_.find(valueName); it != kept_.end()) kept_.erase(it);

    const std::wstring name = Wide(valueName);
    const std::string path = path_;
    std::wstring text;
    DWORD number = 0;
    DWORD type = 0;
    if (valueName.empty()) {
        if (regType != rgsString) throw RegistryError(kRegErrDefaultNotString);
        text = Wide(RegValueText(setting));
        text.push_back(L'\0');
        type = REG_SZ;
    } else {
        switch (regType) {
            case rgsString:
            case rgsExpandString:
                text = Wide(RegValueText(setting));
                text.push_back(L'\0');
                type = static_cast<DWORD>(regType);
                break;
            case rgsBinary:
                throw RegistryError(kRegErrBinary);
            case rgsDWord:
                number = static_cast<DWORD>(RegValueNumber(setting));
                type = REG_DWORD;
                break;
            default:
                throw RegistryError(kRegErrInvalidType);
        }
    }

    auto set = [&]() -> LONG {
        if (!handle_) return ERROR_INVALID_HANDLE;
        if (type == REG_DWORD)
            return RegSetValueExW(handle_.get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                                  sizeof number);
        return RegSetValueExW(handle_.get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(text.data()),
                              static_cast<DWORD>(text.size() * sizeof(wchar_t)));
    };
    LONG r = set();
    if (KeyWentAway(r)) {
        Reopen();
        r = set();
    }
    TellOtherKeepers();
    if (r != ERROR_SUCCESS) {
        // A key opened for reading only, most often; the setting is lost, so say so in the log.
        LogError(kSource, "Value", static_cast<std::int32_t>(r),
                 SystemErrorText(static_cast<unsigned long>(r)) + " (" + path + ", " + ValueLabel(valueName) + ")");
    }
}

}  // namespace spotlex
