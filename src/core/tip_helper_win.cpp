#include "core/tip_helper_win.h"

#include <commctrl.h>

#include <algorithm>

#include "core/app_error.h"

namespace spotlex {

CTipHelper goTipHelper;

HWND CTipHelper::TooltipFor(HWND tool) const {
    HWND root = GetAncestor(tool, GA_ROOT);
    for (const Tip& t : tips_)
        if (t.root == root && IsWindow(t.tooltip)) return t.tooltip;
    return nullptr;
}

void CTipHelper::AddTool(HWND tool, std::string_view text) {
    // Tooltips of windows that are gone went with them (they were owned by them).
    tips_.erase(std::remove_if(tips_.begin(), tips_.end(), [](const Tip& t) { return !IsWindow(t.tooltip); }),
                tips_.end());
    HWND tooltip = TooltipFor(tool);
    if (!tooltip) {
        HWND root = GetAncestor(tool, GA_ROOT);
        tooltip = CreateWindowExA(
            WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, root, nullptr, GetModuleHandleA(nullptr), nullptr);
        if (!tooltip)
            throw AppError(static_cast<std::int32_t>(GetLastError()), "CTipHelper", "No tooltip control");
        tips_.push_back({root, tooltip});
    }
    std::string copy(text);
    TTTOOLINFOA ti{};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = GetParent(tool);
    ti.uId = reinterpret_cast<UINT_PTR>(tool);
    ti.lpszText = copy.data();
    if (!SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)))
        throw AppError(0, "CTipHelper", "The tool could not be added");
}

}  // namespace spotlex
