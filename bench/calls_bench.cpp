// What the window system charges for each call a key press makes on the keystroke window, on a
// text-shaped, topmost, never-activated popup such as that window. It measures the platform, not
// this program: under Wine it shows which of the press's steps cost the most, and why.
//   calls_bench.exe [ROUNDS]   figures (default 300 rounds)
//   calls_bench.exe --marked   each call once, between "window-calls:" debug strings, so that
//                                     a run with WINEDEBUG=+server,+debugstr can count the requests
//                                     each call sends to the Wine server
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "core/unique_handle_win.h"

namespace {

using namespace spotlex;
using namespace spotlex::bench;

LRESULT CALLBACK ShapedProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_ERASEBKGND) return 1;
    if (m == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        EndPaint(h, &ps);
        return 0;
    }
    return DefWindowProcA(h, m, w, l);
}

// The outline of `text` as a region, drawn on a memory context as the keystroke window does.
HRGN TextRegion(HDC dc, HFONT font, const char* text) {
    ScopedSelect sel(dc, font);
    SetBkMode(dc, TRANSPARENT);
    BeginPath(dc);
    TextOutA(dc, 0, 0, text, static_cast<int>(std::strlen(text)));
    EndPath(dc);
    return PathToRegion(dc);
}

struct Call {
    const char* name;
    std::function<void()> prepare;  // untimed, before each run of the call
    std::function<void()> call;
};

}  // namespace

int main(int argc, char** argv) {
    const bool marked = argc > 1 && std::strcmp(argv[1], "--marked") == 0;
    const int rounds = !marked && argc > 1 ? std::max(10, std::atoi(argv[1])) : 300;

    WNDCLASSA wc{};
    wc.lpfnWndProc = ShapedProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "SpotlexWindowCallsBench";
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClassA(&wc);
    const int width = 400, height = 150;
    HWND hwnd = CreateWindowExA(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, wc.lpszClassName,
                                "window calls", WS_POPUP, 40, 500, width, height, nullptr, nullptr,
                                wc.hInstance, nullptr);
    UniqueFont font(CreateFontA(-96, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH, "DejaVu Sans"));
    UniqueMemDc mem(CreateCompatibleDC(nullptr));
    if (!hwnd || !font || !mem) {
        std::printf("calls_bench: the window, font or memory context could not be made\n");
        return 1;
    }
    // Shown once, then kept mapped with an empty shape between texts, as the keystroke window is.
    SetWindowRgn(hwnd, TextRegion(mem.get(), font.get(), "Ctrl A"), FALSE);
    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    PumpFor(200);

    int round = 0;
    auto putAway = [&] { SetWindowRgn(hwnd, CreateRectRgn(0, 0, 0, 0), TRUE); };
    HRGN pending = nullptr;
    auto nextText = [&] { pending = TextRegion(mem.get(), font.get(), (round & 1) ? "Ctrl A" : "Alt B"); };
    const UINT keep = SWP_NOZORDER | SWP_NOACTIVATE;
    std::vector<Call> calls = {
        {"text region built (path to region)", [] {}, [&] { DeleteObject(TextRegion(mem.get(), font.get(), "Ctrl A")); }},
        {"SetWindowRgn(text, FALSE), put away before",
         [&] { putAway(); PumpFor(5); nextText(); },
         [&] { SetWindowRgn(hwnd, pending, FALSE); }},
        {"SetWindowRgn(text, TRUE), text shown before", [&] { nextText(); },
         [&] { SetWindowRgn(hwnd, pending, TRUE); }},
        {"SetWindowRgn(empty, TRUE): put away", [] {}, [&] { putAway(); }},
        {"SetWindowPos, nothing changes", [] {}, [&] {
             SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, keep | SWP_NOMOVE | SWP_NOSIZE | SWP_NOREDRAW);
         }},
        {"SetWindowPos, frame changed (as SetWindowRgn)", [] {}, [&] {
             SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, keep | SWP_NOMOVE | SWP_NOSIZE | SWP_NOREDRAW | SWP_FRAMECHANGED);
         }},
        {"SetWindowPos, resized", [] {}, [&] {
             SetWindowPos(hwnd, nullptr, 40, 500, width - (round & 1) * 40, height, keep);
         }},
        {"SetWindowPos, moved", [] {}, [&] {
             SetWindowPos(hwnd, nullptr, 40 + (round & 1) * 20, 500, 0, 0, keep | SWP_NOSIZE);
         }},
        {"paint through GetDC", [] {}, [&] {
             HDC dc = GetDC(hwnd);
             RECT all{0, 0, width, height};
             FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject((round & 1) ? BLACK_BRUSH : DKGRAY_BRUSH)));
             ReleaseDC(hwnd, dc);
         }},
        {"paint through WM_PAINT", [] {}, [&] {
             InvalidateRect(hwnd, nullptr, FALSE);
             UpdateWindow(hwnd);
         }},
    };

    if (marked) {
        for (Call& c : calls) {
            c.prepare();
            PumpFor(50);
            OutputDebugStringA((std::string("window-calls: begin ") + c.name).c_str());
            c.call();
            OutputDebugStringA((std::string("window-calls: end ") + c.name).c_str());
            PumpFor(50);
        }
        return 0;
    }

    std::printf("%-48s %9s %9s\n", "call (ms)", "median", "p95");
    for (Call& c : calls) {
        std::vector<double> times;
        for (round = 0; round < rounds; ++round) {
            c.prepare();
            const LONGLONG start = Now();
            c.call();
            times.push_back(Ms(Now() - start));
            // Left to the message loop between calls, as between key presses.
            PumpFor(2);
        }
        std::printf("%-48s %9.3f %9.3f\n", c.name, At(times, 0.5), At(times, 0.95));
        std::fflush(stdout);
    }
    return 0;
}
