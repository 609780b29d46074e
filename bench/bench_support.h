#pragma once
// Timing and message-pumping helpers shared by the benchmark programs.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "core/classkit_win.h"
#include "core/display_font_win.h"

namespace spotlex::bench {

inline LONGLONG Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

// Performance-counter ticks in milliseconds.
inline double Ms(LONGLONG ticks) {
    static const double freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    return static_cast<double>(ticks) * 1000.0 / freq;
}

// The value at `fraction` of the sorted samples (0.5 the median, 0.95 the 95th percentile).
inline double At(std::vector<double> v, double fraction) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    size_t i = static_cast<size_t>(fraction * static_cast<double>(v.size()));
    return v[std::min(i, v.size() - 1)];
}

inline void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

inline void PumpFor(DWORD ms) {
    const DWORD end = GetTickCount() + ms;
    do {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        Pump();
    } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

// What every display benchmark needs first: the display font and the per-user settings key, kept
// as the program keeps it.
inline bool StartDisplayBench(const char* name) {
    if (!LoadDisplayFont()) {
        std::printf("%s: the display font could not be loaded\n", name);
        return false;
    }
    goCurrentUser = std::make_unique<RegistrySetting>();
    goCurrentUser->OpenKey(kUserKey);
    goCurrentUser->KeepValues();
    return true;
}

// Keeps what is shown on screen for `seconds`, after telling the runner it may take its screenshot.
inline int HoldForScreenshot(int seconds) {
    PumpFor(500);
    std::printf("ready\n");
    std::fflush(stdout);
    PumpFor(static_cast<DWORD>(seconds) * 1000);
    return 0;
}

}  // namespace spotlex::bench
