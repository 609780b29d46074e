#pragma once
// What frmMain does with the input hook's mouse events: a burst at each click, in the left or the
// other colour, with a marker after a double-click, and nothing on the notification area.
#include <cstdint>
#include <functional>

#include "mouse/mouse_window_win.h"

namespace spotlex {

class MouseClickHandler {
public:
    // True when the pixel point lies in the taskbar's notification area (frmMain's
    // IsPointInTaskbarTray).
    using TrayTest = std::function<bool(int xPixels, int yPixels)>;
    // Plays the click sound without waiting; PlayFX("CKClick") when left empty.
    using ClickSound = std::function<void()>;

    explicit MouseClickHandler(TrayTest isPointInTaskbarTray, ClickSound playClick = {});

    // SysInput1_MouseDown: Button 1 is the left button, any other the right; x and y are screen
    // pixels. `dblClickFlag` is frmMain's double-click flag, cleared here every time.
    // `mouseWindow` is frmMain's MouseWindow (may be null while the program closes).
    void MouseDown(CMouseWindow* mouseWindow, bool& dblClickFlag, std::int16_t button, std::int16_t shift,
                   int x, int y) noexcept;

    // SysInput1_DblClick: one more left burst with the marker, at the pointer.
    void DblClick(CMouseWindow* mouseWindow, bool& dblClickFlag) noexcept;

private:
    TrayTest isPointInTaskbarTray_;
    ClickSound playClick_;
};

}  // namespace spotlex
