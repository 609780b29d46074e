#include "cursors/cursor_scheme.h"

#include <algorithm>

#include "core/app_error.h"

namespace spotlex {

namespace {
constexpr std::array<std::string_view, kCursorRoleCount> kRoles = {
    "Arrow", "Help",   "AppStarting", "Wait",     "Crosshair", "IBeam",   "NWPen",
    "No",    "SizeNS", "SizeWE",      "SizeNWSE", "SizeNESW",  "SizeAll", "UpArrow"};
}  // namespace

std::string_view CursorValueName(std::int32_t index) noexcept {
    if (index < 0 || index >= kCursorRoleCount) return {};
    return kRoles[static_cast<std::size_t>(index)];
}

std::vector<std::string> SplitList(std::string_view text, std::string_view delimiter, std::size_t& longest) {
    std::vector<std::string> parts;
    longest = 0;
    std::size_t start = 0;
    while (!delimiter.empty()) {
        const std::size_t at = text.find(delimiter, start);
        if (at == std::string_view::npos) break;
        parts.emplace_back(text.substr(start, at - start));
        start = at + delimiter.size();
    }
    parts.emplace_back(text.substr(start));
    for (const std::string& p : parts) longest = std::max(longest, p.size());
    return parts;
}

std::array<std::string, kCursorRoleCount> SchemeFiles(std::string_view list) {
    std::size_t longest = 0;
    std::vector<std::string> parts = SplitList(list, ",", longest);
    if (parts.size() < kCursorRoleCount) throw AppError(9, "CCursorScheme", "Subscript out of range");
    std::array<std::string, kCursorRoleCount> files;
    for (std::size_t i = 0; i < files.size(); ++i) files[i] = std::move(parts[i]);
    return files;
}

LargeCursorSwitch PlanLargeCursors(bool on, std::string_view inForce, std::string_view remembered) {
    LargeCursorSwitch s;
    if (on) {
        if (inForce != kLargeScheme) {
            s.remember = true;
            s.apply = kLargeScheme;
        }
    } else if (inForce == kLargeScheme) {
        // Another scheme in force means the user picked it meanwhile: it stays.
        s.apply = (remembered.empty() || remembered == kLargeScheme) ? kDefaultScheme : remembered;
    }
    return s;
}

}  // namespace spotlex
