#include "core/window_helpers_win.h"

#include "core/errata_log_win.h"

namespace spotlex {

void CenterForm(HWND form) noexcept {
    RECT work{};
    RECT r{};
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0) || !GetWindowRect(form, &r)) {
        LogError("basClasskit", "CenterForm", static_cast<std::int32_t>(GetLastError()),
                 "The work area or the window's size could not be read.");
        return;
    }
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    const int x = CenteredStart(work.left, work.right - work.left, w);
    const int y = CenteredStart(work.top, work.bottom - work.top, h);
    SetWindowPos(form, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetWindowOnTop(HWND hwnd, HWND insertAfter) noexcept {
    SetWindowPos(hwnd, insertAfter, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void DoEvents() noexcept {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void WaitForMessages() noexcept {
    // A few hundred rounds drain any burst of queued input; beyond that the user is still typing.
    for (int round = 0; round < 200 && GetInputState(); ++round) DoEvents();
}

}  // namespace spotlex
