#include "core/color_win.h"

#include "core/unique_handle_win.h"

namespace spotlex {

COLORREF ReadScreenPixel(int x, int y) {
    // The screen's own context takes screen coordinates as they are; a window's context would
    // need them converted and would miss whatever other windows cover.
    WindowDc screen(nullptr);
    if (!screen) return CLR_INVALID;
    return ::GetPixel(screen.get(), x, y);
}

void CColor::SetFromSysColor(std::int32_t vbSysColor) {
    SetColorValue(static_cast<std::int32_t>(::GetSysColor(SysColorIndex(vbSysColor))));
}

void CColor::SetFromScreenPoint(std::int32_t x, std::int32_t y) {
    COLORREF pixel = ReadScreenPixel(x, y);
    auto value = static_cast<std::int32_t>(pixel);
    SetColorValue(value < 0 ? kMaxColor : value);  // CLR_INVALID: nothing readable there
}

}  // namespace spotlex
