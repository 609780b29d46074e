#pragma once
// Small window services used by every form: centring on the work area, floating on top without
// taking the focus, and letting queued input finish before the hook changes state.
#include <windows.h>

namespace spotlex {

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

// Dispatches the messages already queued for this thread, then returns. A WM_QUIT met on the way
// is posted again, so that the main loop still ends.
void DoEvents() noexcept;

// While this thread has keyboard or mouse input queued, lets it run. Bounded, so steady typing
// cannot keep the caller here.
void WaitForMessages() noexcept;

}  // namespace spotlex
