#pragma once
// goTipHelper: the program's tooltips. A control registered here shows its tip when the pointer
// rests on it; one tooltip control serves every tool of a top-level window and goes with it.
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace spotlex {

class CTipHelper {
public:
    CTipHelper() = default;
    CTipHelper(const CTipHelper&) = delete;
    CTipHelper& operator=(const CTipHelper&) = delete;

    // Shows `text` as the tip of `tool`. Raises AppError when the tooltip cannot be made.
    void AddTool(HWND tool, std::string_view text);
    // The tooltip control that serves the window holding `tool`, or null.
    HWND TooltipFor(HWND tool) const;

private:
    struct Tip {
        HWND root;
        HWND tooltip;
    };
    std::vector<Tip> tips_;
};

extern CTipHelper goTipHelper;

}  // namespace spotlex
