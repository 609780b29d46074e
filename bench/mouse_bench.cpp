// Measures the click burst: from a click to its first frame on screen, and the cost of one frame's
// shape. Clicks are injected with SendInput and travel through the real input hook.
//   mouse_bench.exe [CLICKS]        figures (default 100 clicks, each burst left to end)
//   mouse_bench.exe --show SECONDS  holds a set of bursts over a coloured window for a screenshot
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/sys_input_win.h"
#include "bench/bench_support.h"
#include "core/classkit_win.h"
#include "core/display_font_win.h"
#include "core/unique_handle_win.h"
#include "mouse/mouse_click_handler_win.h"
#include "mouse/mouse_window_win.h"

namespace {

using namespace spotlex;
using namespace spotlex::bench;

// What a presenter's program might look like under the bursts: coloured bands and some text.
LRESULT CALLBACK BackdropProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        RECT rc;
        GetClientRect(h, &rc);
        const COLORREF bands[] = {RGB(232, 240, 252), RGB(200, 226, 206), RGB(252, 236, 200), RGB(60, 70, 90)};
        const int n = static_cast<int>(std::size(bands));
        for (int i = 0; i < n; ++i) {
            RECT band{rc.left + rc.right * i / n, rc.top, rc.left + rc.right * (i + 1) / n, rc.bottom};
            UniqueBrush b(CreateSolidBrush(bands[i]));
            FillRect(dc, &band, b.get());
        }
        SetBkMode(dc, TRANSPARENT);
        UniqueFont f(CreateFontA(-22, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH, "DejaVu Sans"));
        ScopedSelect sel(dc, f.get());
        for (int y = 20; y < rc.bottom; y += 34) {
            const char* line = "The presenter's document: every click shows a burst at the pointer.";
            TextOutA(dc, 20, y, line, static_cast<int>(std::strlen(line)));
        }
        EndPaint(h, &ps);
        return 0;
    }
    return DefWindowProcA(h, m, w, l);
}

UniqueWindow MakeBackdrop() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = BackdropProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = "SpotlexBenchBackdrop";
    RegisterClassA(&wc);
    UniqueWindow w(CreateWindowExA(0, wc.lpszClassName, "backdrop", WS_POPUP | WS_VISIBLE, 0, 0,
                                   GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                   wc.hInstance, nullptr));
    SetForegroundWindow(w.get());
    UpdateWindow(w.get());
    return w;
}

void Click(int x, int y) {
    const int w = GetSystemMetrics(SM_CXSCREEN);
    const int h = GetSystemMetrics(SM_CYSCREEN);
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dx = (x * 65536 + w - 1) / w;
    in[0].mi.dy = (y * 65536 + h - 1) / h;
    in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
}

int Figures(int clicks) {
    UniqueWindow backdrop = MakeBackdrop();
    CMouseWindow mouse;
    bool dblClick = false;
    MouseClickHandler handler([](int, int) { return false; });
    HWND burst = mouse.BurstWindow().Hwnd();

    LONGLONG injected = 0, event = 0, handled = 0;
    std::vector<double> fromEvent, fromInjection, inHandler;
    SysInput input;
    input.MouseDown = [&](std::int16_t button, std::int16_t shift, int x, int y) {
        event = Now();
        handler.MouseDown(&mouse, dblClick, button, shift, x, y);
        handled = Now();
    };
    input.DblClick = [&] { handler.DblClick(&mouse, dblClick); };
    input.SetHooks(kHookMouse);
    input.SetEnabled(true);
    if (!(input.Hooks() & kHookMouse)) {
        std::printf("mouse_bench: the mouse hook could not be installed\n");
        return 1;
    }

    for (int i = 0; i < clicks; ++i) {
        // Far apart, so that no two clicks make a double-click.
        const int x = 200 + (i % 2) * 700 + (i % 7) * 11;
        const int y = 250 + (i % 5) * 90;
        event = 0;
        injected = Now();
        Click(x, y);
        // Shown: the burst is up and its first frame painted, with nothing left to paint.
        LONGLONG shown = 0;
        const DWORD deadline = GetTickCount() + 2000;
        while (!shown && static_cast<LONG>(deadline - GetTickCount()) > 0) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
                if (event && IsWindowVisible(burst) && mouse.BurstWindow().Glyph() == kFirstBurstFrame &&
                    !GetUpdateRect(burst, nullptr, FALSE)) {
                    shown = Now();
                    break;
                }
            }
        }
        if (!shown) {
            std::printf("mouse_bench: click %d showed no burst\n", i);
            return 1;
        }
        fromEvent.push_back(Ms(shown - event));
        fromInjection.push_back(Ms(shown - injected));
        inHandler.push_back(Ms(handled - event));
        PumpFor(420);  // the burst ends (five 60 ms frames) before the next click
    }
    input.SetEnabled(false);

    std::printf("mouse_bench: %d clicks through SendInput and the input hook, each burst left to end\n", clicks);
    std::printf("hook's click event to first frame shown: median %.3f ms, p95 %.3f ms, max %.3f ms\n",
                At(fromEvent, 0.5), At(fromEvent, 0.95), At(fromEvent, 1.0));
    std::printf("  of which in the handler (Display): median %.3f ms, p95 %.3f ms\n", At(inHandler, 0.5),
                At(inHandler, 0.95));
    std::printf("  from SendInput: median %.3f ms, p95 %.3f ms\n", At(fromInjection, 0.5),
                At(fromInjection, 0.95));

    // One frame's shape: the region of the glyph (and marker), and the whole reshape of the window.
    WindowDc dc(burst);
    for (int points : {64, 188}) {
        DisplayFont f = CreateDisplayFont(points);
        ScopedSelect sel(dc.get(), f.font.get());
        for (bool marker : {false, true}) {
            std::vector<double> us;
            for (int i = 0; i < 2000; ++i) {
                const unsigned char frame = static_cast<unsigned char>(kFirstBurstFrame + i % 5);
                const LONGLONG t0 = Now();
                UniqueRgn r = BuildBurstRegion(dc.get(), frame, marker);
                const LONGLONG t1 = Now();
                if (!r) {
                    std::printf("mouse_bench: no region for frame %d\n", frame);
                    return 1;
                }
                us.push_back(Ms(t1 - t0) * 1000.0);
            }
            std::printf("frame region at %3d pt%s: median %.1f us, p95 %.1f us\n", points,
                        marker ? " with marker" : "             ", At(us, 0.5), At(us, 0.95));
        }
    }
    mouse.SetDelay(60000);
    for (int points : {64, 188}) {
        mouse.SetSize(points);
        mouse.Display(640, 512);
        std::vector<double> us;
        for (int i = 0; i < 500; ++i) {
            const LONGLONG t0 = Now();
            mouse.BurstWindow().Recreate();
            us.push_back(Ms(Now() - t0) * 1000.0);
            Pump();
        }
        std::printf("reshape and raise the window at %3d pt (Recreate): median %.1f us, p95 %.1f us\n", points,
                    At(us, 0.5), At(us, 0.95));
    }
    mouse.Destroy();
    return 0;
}

// Bursts held still for a screenshot: the five frames, double-click markers, both colours and the
// fire picture, over a coloured window.
int Show(int seconds) {
    UniqueWindow backdrop = MakeBackdrop();
    std::vector<std::unique_ptr<CMouseWindow>> bursts;
    auto hold = [&](int x, int y, int frame, std::int32_t color, std::int32_t size, bool dbl, bool fire) {
        auto m = std::make_unique<CMouseWindow>();
        m->SetDelay(600000);  // the frame stays until told
        m->SetColor(color);
        m->SetSize(size);
        m->SetInDblClick(dbl);
        if (fire)
            SaveSetting(settings::kPattern, "Fireburst");
        else
            goCurrentUser->DeleteValue(settings::kPattern.name);
        m->Display(x, y);
        for (int i = kFirstBurstFrame; i < frame; ++i) SendMessageA(m->BurstWindow().Hwnd(), WM_TIMER, 1, 0);
        bursts.push_back(std::move(m));
    };
    for (int i = 0; i < 5; ++i) hold(140 + i * 250, 170, kFirstBurstFrame + i, RGB(230, 0, 0), 64, false, false);
    hold(140, 420, kFirstBurstFrame, RGB(230, 0, 0), 64, true, false);
    hold(390, 420, kFirstBurstFrame + 2, RGB(0, 60, 220), 64, true, false);
    hold(640, 420, kLastBurstFrame, RGB(0, 60, 220), 64, true, false);
    hold(330, 750, kFirstBurstFrame, RGB(230, 0, 0), 188, true, true);
    hold(900, 750, kFirstBurstFrame + 1, RGB(230, 0, 0), 188, false, true);
    goCurrentUser->DeleteValue(settings::kPattern.name);
    SetCursorPos(900, 750);
    return HoldForScreenshot(seconds);
}

}  // namespace

int main(int argc, char** argv) {
    if (!StartDisplayBench("mouse_bench")) return 1;
    int rc = 0;
    if (argc > 2 && std::strcmp(argv[1], "--show") == 0)
        rc = Show(std::max(1, std::atoi(argv[2])));
    else
        rc = Figures(argc > 1 ? std::max(1, std::atoi(argv[1])) : 100);
    goCurrentUser.reset();
    return rc;
}
