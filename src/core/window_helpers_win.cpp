#include "core/window_helpers_win.h"

#include "core/errata_log_win.h"
#include "core/runtime_rules.h"
#include "core/unique_handle_win.h"

namespace spotlex {

ScreenTwips ScreenTwipsPerPixel() noexcept {
    // The resolution is fixed for the life of a system-DPI-aware program: read it once.
    static const ScreenTwips tpp = [] {
        WindowDc screen(nullptr);
        if (!screen) return ScreenTwips{TwipsPerPixel(96), TwipsPerPixel(96)};
        return ScreenTwips{TwipsPerPixel(GetDeviceCaps(screen.get(), LOGPIXELSX)),
                           TwipsPerPixel(GetDeviceCaps(screen.get(), LOGPIXELSY))};
    }();
    return tpp;
}

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

namespace {

// A thread message that marks where the posted messages stood when a DoEvents began. Marks of
// nested calls are numbered, so an inner call that passes an outer mark tells the outer one.
constexpr UINT kQueueMark = WM_APP + 0x3FF0;
thread_local WPARAM tLastMark = 0;
thread_local WPARAM tMarkPassed = 0;

// Dispatches one message; false for WM_QUIT, which is posted again for the main loop.
bool Dispatch(const MSG& msg) noexcept {
    if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return false;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return true;
}

}  // namespace

void DoEvents() noexcept {
    const DWORD begun = GetTickCount();
    const WPARAM mark = ++tLastMark;
    // Posted messages come out in order and before input, so the mark follows exactly those that
    // were posted before this call.
    if (PostThreadMessageA(GetCurrentThreadId(), kQueueMark, mark, 0)) {
        MSG msg;
        while (tMarkPassed < mark && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_POSTMESSAGE)) {
            if (msg.hwnd == nullptr && msg.message == kQueueMark) {
                if (msg.wParam > tMarkPassed) tMarkPassed = msg.wParam;
                continue;
            }
            if (!Dispatch(msg)) return;
        }
    }
    // Input carries the time it happened: what came after the start waits.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_INPUT) &&
           static_cast<LONG>(msg.time - begun) <= 0) {
        if (!PeekMessageA(&msg, msg.hwnd, msg.message, msg.message, PM_REMOVE | PM_QS_INPUT)) break;
        if (!Dispatch(msg)) return;
    }
    // A window that invalidates itself while painting would come back forever: once each.
    HWND painted[16];
    int count = 0;
    while (count < 16 && PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE | PM_QS_PAINT)) {
        for (int i = 0; i < count; ++i)
            if (painted[i] == msg.hwnd) return;
        painted[count++] = msg.hwnd;
        if (!PeekMessageA(&msg, msg.hwnd, WM_PAINT, WM_PAINT, PM_REMOVE | PM_QS_PAINT)) break;
        Dispatch(msg);
    }
}

void WaitForMessages() noexcept {
    // A few hundred rounds drain any burst of queued input; beyond that the user is still typing.
    for (int round = 0; round < 200 && GetInputState(); ++round) DoEvents();
}

}  // namespace spotlex
