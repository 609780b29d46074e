// Injects key presses and mouse clicks through SendInput and reports what the input hook costs: the
// hook procedure's own time and the delay from injection to the event handler.
//   hook_bench.exe [--bare | --wheel] [EVENTS] [PAUSE_MS]
// EVENTS input events (default 10000: half key, half mouse, each a down and an up), with PAUSE_MS
// milliseconds between presses (default 1; 0 injects as fast as SendInput returns). Exits with 1
// when an event is missing or out of order, or a goal is missed. --bare measures the floor instead:
// SendInput's own time with hooks whose procedures only pass the event on. --wheel turns the wheel
// (up and down by turns, one event each) where a click would be, with wheel turns asked for.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/sys_input_win.h"
#include "bench/bench_support.h"

using spotlex::bench::Now;

namespace {

constexpr WORD kKey = 'X';
constexpr double kHookGoalUs = 500;    // hook procedure p99
constexpr double kDeliveryGoalMs = 5;  // injection to handler p95

struct Run {
    int presses = 0;
    DWORD pauseMs = 1;
    std::vector<LONGLONG> injected;   // by press, just before its down event
    std::vector<LONGLONG> returned;   // by press, when SendInput of its down event returned
    std::vector<LONGLONG> delivered;  // by press, in the handler
    int handled = 0;
    int screenW = 0;
    int screenH = 0;
    bool wheel = false;
};

// Press i is a key press when i is even, else a left click, alternating between two far places so
// that no double-click is made.
void InjectPress(Run& run, int i) {
    INPUT in[2]{};
    if (i % 2 == 0) {
        in[0].type = in[1].type = INPUT_KEYBOARD;
        in[0].ki.wVk = in[1].ki.wVk = kKey;
        in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    } else {
        const int x = (i / 2) % 2 ? 200 : 900;
        const int y = 300;
        in[0].type = in[1].type = INPUT_MOUSE;
        in[0].mi.dx = (x * 65536 + run.screenW - 1) / run.screenW;
        in[0].mi.dy = (y * 65536 + run.screenH - 1) / run.screenH;
        in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTDOWN;
        in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        if (run.wheel) {
            in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_WHEEL;
            in[0].mi.mouseData = static_cast<DWORD>((i / 2) % 2 ? WHEEL_DELTA : -WHEEL_DELTA);
        }
    }
    run.injected[i] = Now();
    SendInput(1, &in[0], sizeof(INPUT));
    run.returned[i] = Now();
    if (!(run.wheel && i % 2)) SendInput(1, &in[1], sizeof(INPUT));
}

DWORD WINAPI Inject(void* param) {
    auto* run = static_cast<Run*>(param);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
    for (int i = 0; i < run->presses; ++i) {
        InjectPress(*run, i);
        if (run->pauseMs) Sleep(run->pauseMs);
    }
    return 0;
}

LRESULT CALLBACK PassOn(int code, WPARAM wp, LPARAM lp) {
    return CallNextHookEx(nullptr, code, wp, lp);
}

// The least a low-level hook can cost: a thread of its own whose procedures do nothing.
DWORD WINAPI BareHooks(void* ready) {
    MSG msg;
    PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    HHOOK keyboard = SetWindowsHookExA(WH_KEYBOARD_LL, &PassOn, GetModuleHandleA(nullptr), 0);
    HHOOK mouse = SetWindowsHookExA(WH_MOUSE_LL, &PassOn, GetModuleHandleA(nullptr), 0);
    SetEvent(static_cast<HANDLE>(ready));
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    }
    UnhookWindowsHookEx(mouse);
    UnhookWindowsHookEx(keyboard);
    return 0;
}

double At(const std::vector<double>& sorted, double fraction) {
    if (sorted.empty()) return 0;
    size_t i = static_cast<size_t>(fraction * static_cast<double>(sorted.size()));
    return sorted[std::min(i, sorted.size() - 1)];
}

}  // namespace

int main(int argc, char** argv) {
    const bool bare = argc > 1 && std::string(argv[1]) == "--bare";
    const bool wheel = argc > 1 && std::string(argv[1]) == "--wheel";
    if (bare || wheel) {
        --argc;
        ++argv;
    }
    const int events = argc > 1 ? std::max(2, std::atoi(argv[1])) : 10000;
    Run run;
    run.wheel = wheel;
    run.presses = events / 2;
    run.pauseMs = argc > 2 ? static_cast<DWORD>(std::atoi(argv[2])) : 1;
    run.injected.assign(run.presses, 0);
    run.returned.assign(run.presses, 0);
    run.delivered.assign(run.presses, 0);
    run.screenW = GetSystemMetrics(SM_CXSCREEN);
    run.screenH = GetSystemMetrics(SM_CYSCREEN);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    // Sorted milliseconds from `from` to `to` of the first `count` presses; parity 0 keeps the key
    // presses only, 1 the clicks, -1 both.
    auto spans = [&](const std::vector<LONGLONG>& from, const std::vector<LONGLONG>& to, int count,
                     int parity = -1) {
        std::vector<double> ms;
        for (int i = 0; i < count; ++i) {
            if (parity >= 0 && i % 2 != parity) continue;
            ms.push_back(static_cast<double>(to[i] - from[i]) * 1000.0 / static_cast<double>(freq.QuadPart));
        }
        std::sort(ms.begin(), ms.end());
        return ms;
    };

    if (bare) {
        HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        DWORD hookThread = 0;
        HANDLE hooks = CreateThread(nullptr, 0, &BareHooks, ready, 0, &hookThread);
        WaitForSingleObject(ready, 5000);
        HANDLE injector = CreateThread(nullptr, 0, &Inject, &run, 0, nullptr);
        WaitForSingleObject(injector, INFINITE);
        PostThreadMessageA(hookThread, WM_QUIT, 0, 0);
        WaitForSingleObject(hooks, 5000);
        const std::vector<double> sends = spans(run.injected, run.returned, run.presses);
        const std::vector<double> keySends = spans(run.injected, run.returned, run.presses, 0);
        const std::vector<double> clickSends = spans(run.injected, run.returned, run.presses, 1);
        std::printf("hook_bench --bare: %d input events, hooks that only pass them on\n", run.presses * 2);
        std::printf(
            "SendInput of a down event: median %.3f ms, p95 %.3f ms, max %.3f ms; key presses p95 %.3f ms, "
            "clicks p95 %.3f ms\n",
            At(sends, 0.5), At(sends, 0.95), sends.back(), At(keySends, 0.95), At(clickSends, 0.95));
        return 0;
    }

    spotlex::SysInput input;
    int disorder = 0;
    auto handled = [&](int kind) {
        if (run.handled >= run.presses) {
            ++disorder;
            return;
        }
        run.delivered[run.handled] = Now();
        if (kind != run.handled % 2) ++disorder;
        ++run.handled;
    };
    input.KeyDown = [&](std::int16_t code, std::int16_t) { handled(code == kKey ? 0 : 2); };
    input.MouseDown = [&](std::int16_t button, std::int16_t, int, int) { handled(button == 1 ? 1 : 2); };
    input.Wheel = [&](int, int, std::int16_t) { handled(1); };
    input.SetWheel(wheel);
    input.SetHooks(spotlex::kHookAll);
    input.SetEnabled(true);
    if (input.Hooks() != spotlex::kHookAll) {
        std::printf("hook_bench: the hooks could not be installed\n");
        return 1;
    }

    HANDLE injector = CreateThread(nullptr, 0, &Inject, &run, 0, nullptr);
    const LONGLONG start = Now();
    const DWORD deadline = GetTickCount() + 60000 + static_cast<DWORD>(run.presses) * (run.pauseMs + 5);
    MSG msg;
    while (run.handled<run.presses&& static_cast<LONG>(deadline - GetTickCount())> 0) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    const double seconds = static_cast<double>(Now() - start) / static_cast<double>(freq.QuadPart);
    WaitForSingleObject(injector, 10000);
    CloseHandle(injector);
    input.SetEnabled(false);

    const std::vector<double> delays = spans(run.injected, run.delivered, run.handled);
    const std::vector<double> sends = spans(run.injected, run.returned, run.presses);
    const std::vector<double> wakes = spans(run.returned, run.delivered, run.handled);
    const std::vector<double> keyDelays = spans(run.injected, run.delivered, run.handled, 0);
    const std::vector<double> clickDelays = spans(run.injected, run.delivered, run.handled, 1);

    const spotlex::MicrosecondHistogram& hook = input.HookTimes();
    const double hookP99 = hook.Percentile(0.99);
    const double deliveryP95 = At(delays, 0.95);
    const int keys = (run.presses + 1) / 2;
    const int mice = run.presses / 2;
    if (wheel)
        std::printf(
            "hook_bench --wheel: %d input events injected (%d key presses, a down and an up each, "
            "%d wheel turns), %.1f s, pause %lu ms\n",
            keys * 2 + mice, keys, mice, seconds, run.pauseMs);
    else
        std::printf(
            "hook_bench: %d input events injected (%d key presses, %d clicks, a down and an up each), "
            "%.1f s, pause %lu ms\n",
            run.presses * 2, keys, mice, seconds, run.pauseMs);
    std::printf("events raised: %d of %d, out of order or unexpected: %d, dropped: %llu\n", run.handled,
                run.presses, disorder, static_cast<unsigned long long>(input.DroppedEvents()));
    std::printf("hook procedure: %llu calls, median %u us, p99 %u us, max %u us (goal p99 < %.0f us)\n",
                static_cast<unsigned long long>(hook.Count()), hook.Percentile(0.5), hook.Percentile(0.99),
                hook.Max(), kHookGoalUs);
    std::printf("injection to handler: median %.3f ms, p95 %.3f ms, max %.3f ms (goal p95 < %.0f ms)\n",
                At(delays, 0.5), deliveryP95, delays.empty() ? 0.0 : delays.back(), kDeliveryGoalMs);
    std::printf("  key presses: median %.3f ms, p95 %.3f ms; %s: median %.3f ms, p95 %.3f ms\n",
                At(keyDelays, 0.5), At(keyDelays, 0.95), wheel ? "wheel turns" : "clicks",
                At(clickDelays, 0.5), At(clickDelays, 0.95));
    std::printf(
        "  of which SendInput of the down event: median %.3f ms, p95 %.3f ms; SendInput's return to "
        "handler: median %.3f ms, p95 %.3f ms\n",
        At(sends, 0.5), At(sends, 0.95), At(wakes, 0.5), At(wakes, 0.95));

    const bool ok =
        run.handled == run.presses && disorder == 0 && hookP99 < kHookGoalUs && deliveryP95 < kDeliveryGoalMs;
    std::printf("%s\n", ok ? "goals met" : "GOALS MISSED");
    return ok ? 0 : 1;
}
