#pragma once
// The rules of Windows cursor schemes that do not need Windows: the cursor roles in the order a
// scheme lists its files, splitting a scheme list, and what switching the large cursors on or
// off is to do given the scheme in force and the one remembered.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace spotlex {

inline constexpr int kCursorRoleCount = 14;
inline constexpr std::string_view kLargeScheme = "Spotlex";
inline constexpr std::string_view kDefaultScheme = "Windows Default";

// The registry value name of a cursor role ("Arrow" for 0 ... "UpArrow" for 13); empty outside.
std::string_view CursorValueName(std::int32_t index) noexcept;

// Splits at every occurrence of the delimiter, left to right; a text without it is one part.
// longest receives the length of the longest part.
std::vector<std::string> SplitList(std::string_view text, std::string_view delimiter, std::size_t& longest);

// The files of a scheme list, one per role; parts beyond the fourteenth are ignored. Raises
// AppError 9 ("Subscript out of range") for a list of fewer than fourteen parts.
std::array<std::string, kCursorRoleCount> SchemeFiles(std::string_view list);

// What one switch of the large cursors does: remember the scheme in force, and which scheme to
// apply (empty for none).
struct LargeCursorSwitch {
    bool remember = false;
    std::string apply;
};
LargeCursorSwitch PlanLargeCursors(bool on, std::string_view inForce, std::string_view remembered);

}  // namespace spotlex
