#include "mouse/mouse_click_handler_win.h"

#include <windows.h>

#include "core/classkit_win.h"
#include "core/errata_log_win.h"
#include "core/latency_trace_win.h"
#include "core/sound_win.h"

namespace spotlex {

namespace {
constexpr const char* kModule = "frmMain";
constexpr const char* kMouseDown = "SysInput1_MouseDown";
}  // namespace

MouseClickHandler::MouseClickHandler(TrayTest isPointInTaskbarTray, ClickSound playClick)
    : isPointInTaskbarTray_(std::move(isPointInTaskbarTray)), playClick_(std::move(playClick)) {
    if (!playClick_) playClick_ = [] { PlayFX("CKClick", false); };
}

void MouseClickHandler::MouseDown(CMouseWindow* mouseWindow, bool& dblClickFlag, std::int16_t button,
                                  std::int16_t /*shift*/, int x, int y) noexcept {
    // Each step logs its error and the next one still runs.
    auto step = [](auto&& f) { LogAndContinue(kModule, kMouseDown, f); };

    bool inTray = false;
    step([&] { inTray = isPointInTaskbarTray_ && isPointInTaskbarTray_(x, y); });
    if (inTray) {
        // The program's own tray icon: no burst, no sound, and no marker left for the next click.
        dblClickFlag = false;
        return;
    }

    if (mouseWindow) {
        step([&] { mouseWindow->SetInDblClick(dblClickFlag); });
        // Read at every click, so a changed colour shows at the next one.
        step([&] {
            mouseWindow->SetColor(button == 1 ? GetSetting(settings::kColorLeftMouse)
                                              : GetSetting(settings::kColorRightMouse));
        });
        trace::Mark(trace::kNamed);
        bool shown = false;
        step([&] { shown = mouseWindow->Display(x, y); });
        if (shown) step([&] { playClick_(); });
        trace::Mark(trace::kSounded);
    }
    dblClickFlag = false;
}

void MouseClickHandler::DblClick(CMouseWindow* mouseWindow, bool& dblClickFlag) noexcept {
    // Errors here are ignored. A failed read is told by GetCursorPos itself rather than by x = 0,
    // which is an ordinary column when a monitor lies left of the primary one.
    try {
        POINT pt{};
        if (!GetCursorPos(&pt)) return;
        dblClickFlag = true;
        MouseDown(mouseWindow, dblClickFlag, 1, 0, pt.x, pt.y);
    } catch (...) {
    }
}

}  // namespace spotlex
