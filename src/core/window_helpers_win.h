#pragma once
// Small window services used by every form: the screen's twips per pixel, centring on the work
// area, floating on top without taking the focus, and letting queued input finish before the hook
// changes state.
#include <windows.h>

namespace spotlex {

// The screen's twips per pixel, horizontally and vertically: the one conversion for the stored
// values and formulas that are in twips. Everything else travels in pixels.
struct ScreenTwips {
    double x;
    double y;
};
ScreenTwips ScreenTwipsPerPixel() noexcept;

// Where a span of `size` starts when centred in [areaStart, areaStart + areaSize): the half of the
// difference truncates toward zero, so an odd pixel stays on the right or bottom.
constexpr int CenteredStart(int areaStart, int areaSize, int size) noexcept {
    return areaStart + (areaSize - size) / 2;
}

// Moves the window to the middle of the desktop work area (the screen less the taskbar).
void CenterForm(HWND form) noexcept;

// SetWindowPos with position and size unchanged, shown and not activated (flags 0x53). Pass
// HWND_TOPMOST to float a window above all others and HWND_NOTOPMOST to release it.
void SetWindowOnTop(HWND hwnd, HWND insertAfter) noexcept;

// Dispatches the messages already queued for this thread when it is called, then returns: what the
// handlers post meanwhile, and input that arrives meanwhile, waits for the next loop. Windows that
// needed painting are painted once. A WM_QUIT met on the way is posted again, so that the main
// loop still ends.
void DoEvents() noexcept;

// While this thread has keyboard or mouse input queued, lets it run. Bounded, so steady typing
// cannot keep the caller here.
void WaitForMessages() noexcept;

}  // namespace spotlex
