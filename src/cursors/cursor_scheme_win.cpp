#include "cursors/cursor_scheme_win.h"

#include <windows.h>

#include <array>

#include "core/app_error.h"
#include "core/file_win.h"
#include "core/registry_win.h"
#include "core/wide_text_win.h"
#include "cursors/cursor_scheme.h"

namespace spotlex {

namespace {

// A text value of an existing key; a missing key is not created by looking.
std::string ReadText(const char* key, std::string_view name) {
    RegistrySetting r;
    if (!r.KeyExists(key)) return {};
    r.OpenKey(key);
    if (!r.IsOpen()) return {};
    return TextOrEmpty(r.Value(name, rgsString));
}

void RequireFiles(const std::array<std::string, kCursorRoleCount>& files) {
    for (const std::string& f : files) {
        if (f.empty()) continue;  // the built-in cursor of that role
        const std::string path = f.find('%') != std::string::npos ? ExpandEnvironment(f) : f;
        const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
            throw AppError(53, "CCursorScheme", "File not found: " + f);
    }
}

void WriteScheme(std::string_view name, const std::array<std::string, kCursorRoleCount>& files,
                 std::int32_t source) {
    RegistrySetting cursors;
    cursors.OpenKey(kCursorsKey);
    cursors.SetValue("", rgsString, std::string(name));
    for (std::int32_t i = 0; i < kCursorRoleCount; ++i) {
        const std::string& f = files[static_cast<std::size_t>(i)];
        // As the control panel stores them: a path with environment references stays expandable.
        cursors.SetValue(CursorValueName(i), f.find('%') != std::string::npos ? rgsExpandString : rgsString,
                         f);
    }
    cursors.SetValue(kSchemeSourceValue, rgsDWord, source);
    cursors.CloseKey();
    SystemParametersInfoA(SPI_SETCURSORS, 0, nullptr, 0);
}

}  // namespace

std::string CCursorScheme::CursorLocation(std::int32_t cursor) {
    return ReadText(kCursorsKey, CursorValueName(cursor));
}

std::string CCursorScheme::Scheme() {
    return ReadText(kCursorsKey, "");
}

bool CCursorScheme::SetScheme(std::string_view newName) {
    // An empty name would read the Schemes key's own default value.
    if (newName.empty()) return false;
    std::int32_t source = kSchemeSourceUser;
    std::string list = ReadText(kUserSchemesKey, newName);
    if (list.empty()) {
        source = kSchemeSourceSystem;
        list = ReadText(kSystemSchemesKey, newName);
    }
    if (list.empty()) {
        if (newName != kDefaultScheme) return false;
        WriteScheme(kDefaultScheme, {}, kSchemeSourceSystem);
        return true;
    }
    const std::array<std::string, kCursorRoleCount> files = SchemeFiles(list);
    RequireFiles(files);
    WriteScheme(newName, files, source);
    return true;
}

}  // namespace spotlex
