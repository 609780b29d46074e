#pragma once
// CCursorScheme: the Windows cursor scheme in force, and applying a named scheme the way the Mouse
// control panel does (the role values of the user's cursor key, then a reload of the cursors).
#include <cstdint>
#include <string>
#include <string_view>

namespace spotlex {

inline constexpr const char* kCursorsKey = "HKEY_CURRENT_USER\\Control Panel\\Cursors";
inline constexpr const char* kUserSchemesKey = "HKEY_CURRENT_USER\\Control Panel\\Cursors\\Schemes";
inline constexpr const char* kSystemSchemesKey =
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Control Panel\\Cursors\\Schemes";
// Where the scheme in force came from, as the control panel marks it.
inline constexpr const char* kSchemeSourceValue = "Scheme Source";
inline constexpr std::int32_t kSchemeSourceUser = 1;
inline constexpr std::int32_t kSchemeSourceSystem = 2;

class CCursorScheme {
public:
    // The file in force for a cursor role (0 to 13).
    std::string CursorLocation(std::int32_t cursor);

    // The name of the scheme in force.
    std::string Scheme();

    // Applies the named scheme, looked up among the user's schemes, then the system's. Nothing
    // changes when it is in neither (except "Windows Default", which is the built-in cursors).
    // Raises, before writing anything, for a list of fewer than fourteen files or a file that does
    // not exist. Returns whether the scheme was applied.
    bool SetScheme(std::string_view newName);
};

}  // namespace spotlex
