// What the program weighs when nothing happens, whether thousands of displays give back what they
// took, and whether input survives a user-interface thread that is held up.
//   idle_bench.exe [IDLE_SECONDS] [DISPLAYS] [EVENTS]
//   idle_bench.exe --bare
// Idle: the whole program (frmMain with its hook on) sits IDLE_SECONDS (default 60) with nothing on
// screen; the process's own CPU times and the timer messages of its user-interface thread are
// counted, and its private memory is weighed beside that of a bare window (this program run with
// --bare as a process of its own). Leaks: DISPLAYS key displays and as many bursts (default 10000 each), then
// the object, handle and memory counts against those before. Held: EVENTS input events (default 1000, half
// key presses, half clicks, each a down and an up) injected while the user-interface thread sleeps 2 s. Exits
// with 2 when a goal is missed. --bare weighs what the system itself costs instead: one window and its
// message loop, none of the program's code run.
#include <windows.h>

#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "app/main_form_win.h"
#include "app/sys_input_win.h"
#include "bench/bench_support.h"
#include "core/classkit_win.h"
#include "core/settings.h"
#include "core/unique_handle_win.h"

namespace {

using namespace spotlex;
using namespace spotlex::bench;

constexpr double kIdleCpuGoalMs = 10;
constexpr long kObjectSlack = 5;
constexpr double kPrivateGoalMb = 10;
constexpr double kHookGoalUs = 500;
constexpr double kIdleAboveBareGoalMb = 3;
constexpr const char* kBareLine = "a window and its message loop, nothing else: private memory ";

double ProcessCpuMs() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto ticks = [](FILETIME f) { return (static_cast<ULONGLONG>(f.dwHighDateTime) << 32) | f.dwLowDateTime; };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;
}

// Under Wine the process times move in 10 ms ticks; the kernel's own count of each thread's time
// on a CPU, in nanoseconds, is finer. Wine opens files through its server, so "self" in /proc is
// the server: this process is found by its name. Negative where there is no /proc (Windows).
std::string LinuxTaskFolder() {
    static const std::string folder = [] {
        WIN32_FIND_DATAA found;
        HANDLE h = FindFirstFileA("Z:\\proc\\*", &found);
        if (h == INVALID_HANDLE_VALUE) return std::string();
        std::string mine;
        do {
            if (found.cFileName[0] < '0' || found.cFileName[0] > '9') continue;
            const std::string dir = std::string("Z:\\proc\\") + found.cFileName;
            char comm[64] = {};
            if (FILE* f = std::fopen((dir + "\\comm").c_str(), "r")) {
                if (!std::fgets(comm, sizeof comm, f)) comm[0] = 0;
                std::fclose(f);
            }
            if (std::string(comm).rfind("idle_bench.exe", 0) == 0) mine = dir + "\\task\\";
        } while (mine.empty() && FindNextFileA(h, &found));
        FindClose(h);
        return mine;
    }();
    return folder;
}

double LinuxCpuMs() {
    const std::string tasks = LinuxTaskFolder();
    if (tasks.empty()) return -1;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((tasks + "*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return -1;
    double ns = 0;
    do {
        if (found.cFileName[0] == '.') continue;
        if (FILE* f = std::fopen((tasks + found.cFileName + "\\schedstat").c_str(), "r")) {
            unsigned long long onCpu = 0;
            if (std::fscanf(f, "%llu", &onCpu) == 1) ns += static_cast<double>(onCpu);
            std::fclose(f);
        }
    } while (FindNextFileA(h, &found));
    FindClose(h);
    return ns / 1e6;
}

struct Counts {
    DWORD gdi;
    DWORD user;
    DWORD handles;
    double privateMb;
    // The program's own counts of what it owns, for systems that keep none (Wine's
    // GetGuiResources answers 0).
    long regions, fonts, bitmaps, brushes, memDcs, windowDcs, windows, kernel;
};

Counts Take() {
    Counts c{};
    c.gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    c.user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    GetProcessHandleCount(GetCurrentProcess(), &c.handles);
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    pmc.cb = sizeof pmc;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc);
    // Wine leaves PrivateUsage 0; PagefileUsage is the same figure on Windows.
    c.privateMb = static_cast<double>(std::max(pmc.PrivateUsage, pmc.PagefileUsage)) / (1024.0 * 1024.0);
    c.regions = UniqueRgn::Live();
    c.fonts = UniqueFont::Live();
    c.bitmaps = UniqueBitmap::Live();
    c.brushes = UniqueBrush::Live();
    c.memDcs = UniqueMemDc::Live();
    c.windowDcs = WindowDc::Live();
    c.windows = UniqueWindow::Live();
    c.kernel = UniqueHandle::Live();
    return c;
}

// Runs the message loop for `ms`, counting the timer messages it dispatches.
int PumpCountingTimers(DWORD ms) {
    int timers = 0;
    const DWORD end = GetTickCount() + ms;
    for (;;) {
        const LONG left = static_cast<LONG>(end - GetTickCount());
        if (left <= 0) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_TIMER) ++timers;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return timers;
}

int Bare() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "IdleBenchBare";
    RegisterClassA(&wc);
    UniqueWindow window(CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, wc.lpszClassName, "", WS_POPUP, 0, 0,
                                        16, 16, nullptr, nullptr, wc.hInstance, nullptr));
    ShowWindow(window.get(), SW_SHOWNOACTIVATE);
    PumpFor(1500);
    std::printf("%s%.2f MB\n", kBareLine, Take().privateMb);
    return window ? 0 : 1;
}

// Under Wine each thread weighs about 1 MB, whatever its stack.
int ThreadCount() {
    UniqueHandle snap(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 thread{};
    thread.dwSize = sizeof thread;
    int n = 0;
    for (BOOL more = Thread32First(snap.get(), &thread); more; more = Thread32Next(snap.get(), &thread))
        if (thread.th32OwnerProcessID == GetCurrentProcessId()) ++n;
    return n;
}

// This program run again with --bare; its figure, or a negative number when it gave none.
double BareWindowMb() {
    char folder[MAX_PATH] = {};
    char file[MAX_PATH] = {};
    if (!GetTempPathA(MAX_PATH, folder) || !GetTempFileNameA(folder, "bar", 0, file)) return -1;
    std::string out;
    {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE opened = CreateFileA(file, GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_TEMPORARY, nullptr);
        UniqueHandle output(opened == INVALID_HANDLE_VALUE ? nullptr : opened);
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string command = std::string("\"") + path + "\" --bare";
        STARTUPINFOA start{};
        start.cb = sizeof start;
        start.dwFlags = STARTF_USESTDHANDLES;
        start.hStdOutput = output.get();
        start.hStdError = output.get();
        PROCESS_INFORMATION child{};
        if (output && CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                     &start, &child)) {
            UniqueHandle process(child.hProcess);
            UniqueHandle thread(child.hThread);
            WaitForSingleObject(process.get(), 60000);
        }
    }
    if (FILE* f = std::fopen(file, "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, f)) out += line;
        std::fclose(f);
    }
    DeleteFileA(file);
    const size_t at = out.find(kBareLine);
    return at == std::string::npos ? -1 : std::atof(out.c_str() + at + std::strlen(kBareLine));
}

// The idle program's private memory against a bare window's, weighed in the same run.
bool Weight(double bareMb) {
    const Counts idle = Take();
    std::printf("  private memory %.2f MB in %d threads; a bare window in a process of its own: ",
                idle.privateMb, ThreadCount());
    if (bareMb < 0) {
        std::printf("not weighed\n");
        return false;
    }
    const double goal = bareMb + kIdleAboveBareGoalMb;
    const bool ok = idle.privateMb <= goal;
    std::printf("%.2f MB\n  goal (at most %.0f MB above the bare window, %.2f MB): %s\n", bareMb,
                kIdleAboveBareGoalMb, goal, ok ? "met" : "MISSED");
    return ok;
}

bool Idle(frmMain& main, int seconds, double bareMb) {
    main.KeyboardWindow->Destroy();
    main.MouseWindow->Destroy();
    PumpFor(1000);
    const double cpu0 = ProcessCpuMs();
    const double fine0 = LinuxCpuMs();
    const int timers = PumpCountingTimers(static_cast<DWORD>(seconds) * 1000);
    double cpu = ProcessCpuMs() - cpu0;
    std::printf("idle %d s, hook on, nothing shown: %.1f ms of CPU (process times), %d timer messages on the "
                "user-interface thread\n",
                seconds, cpu, timers);
    if (fine0 >= 0) {
        const double fine = LinuxCpuMs() - fine0;
        std::printf("  %.2f ms on a CPU by the kernel's count of every thread (/proc schedstat, under Wine)\n", fine);
        cpu = fine;  // the 10 ms ticks above say little about a few milliseconds
    }
    const bool ok = cpu < kIdleCpuGoalMs * seconds / 60.0 && timers == 0;
    std::printf("  goal (under %.0f ms per 60 s, no timer): %s\n", kIdleCpuGoalMs, ok ? "met" : "MISSED");
    return Weight(bareMb) && ok;
}

bool Leaks(frmMain& main, int displays) {
    const std::string texts[] = {"a", "b", "\xa8s", "\xa8\xa7\xb6", "presentation", "1", "\xcd"};
    // One of each first, so that what is made once per program is in the starting figures.
    main.KeyboardWindow->Display(texts[2]);
    main.MouseWindow->Display(3000, 3000);
    PumpFor(1500);
    const Counts before = Take();
    const LONGLONG t0 = Now();
    double halfwayMb = 0;
    for (int i = 0; i < displays; ++i) {
        // Memory that still grows in the second half is a leak; growth in the first is the heaps
        // and the system's caches filling.
        if (i == displays / 2) halfwayMb = Take().privateMb;
        main.KeyboardWindow->SetSize(i % 9 == 0 ? 40 + i % 120 : 64);
        main.KeyboardWindow->Display(texts[i % 7]);
        main.MouseWindow->SetInDblClick(i % 5 == 0);
        main.MouseWindow->Display(static_cast<float>(1500 + (i * 37) % 9000), static_cast<float>(1500 + (i * 53) % 7000));
        if (i % 50 == 0) Pump();
    }
    const double seconds = Ms(Now() - t0) / 1000.0;
    main.KeyboardWindow->SetSize(64);
    PumpFor(2500);  // the last burst ends and the last text fades
    main.KeyboardWindow->Destroy();
    main.MouseWindow->Destroy();
    PumpFor(500);
    const Counts after = Take();

    std::printf("%d key displays and %d bursts in %.1f s\n", displays, displays, seconds);
    std::printf("  %-26s %10s %10s\n", "", "before", "after");
    auto row = [](const char* what, double a, double b) { std::printf("  %-26s %10.0f %10.0f\n", what, a, b); };
    row("GDI objects (system)", before.gdi, after.gdi);
    row("USER objects (system)", before.user, after.user);
    row("handles (system)", before.handles, after.handles);
    std::printf("  %-26s %10.2f %10.2f   (%.2f halfway)\n", "private memory, MB", before.privateMb, after.privateMb,
                halfwayMb);
    row("regions (own count)", before.regions, after.regions);
    row("fonts (own count)", before.fonts, after.fonts);
    row("bitmaps (own count)", before.bitmaps, after.bitmaps);
    row("brushes (own count)", before.brushes, after.brushes);
    row("memory DCs (own count)", before.memDcs, after.memDcs);
    row("window DCs (own count)", before.windowDcs, after.windowDcs);
    row("windows (own count)", before.windows, after.windows);
    row("kernel handles (own count)", before.kernel, after.kernel);

    auto within = [](long a, long b) { return std::labs(a - b) <= kObjectSlack; };
    const bool ok = within(static_cast<long>(before.gdi), static_cast<long>(after.gdi)) &&
                    within(static_cast<long>(before.user), static_cast<long>(after.user)) &&
                    within(static_cast<long>(before.handles), static_cast<long>(after.handles)) &&
                    after.privateMb < kPrivateGoalMb && before.regions == after.regions &&
                    before.fonts == after.fonts && before.bitmaps == after.bitmaps &&
                    before.brushes == after.brushes && before.memDcs == after.memDcs &&
                    before.windowDcs == after.windowDcs && before.windows == after.windows &&
                    before.kernel == after.kernel;
    std::printf("  goal (objects and handles back within %ld, private memory under %.0f MB): %s\n", kObjectSlack,
                kPrivateGoalMb, ok ? "met" : "MISSED");
    return ok;
}

struct Injection {
    int events;
    int screenW;
    int screenH;
};

DWORD WINAPI Inject(void* param) {
    const auto* job = static_cast<const Injection*>(param);
    for (int i = 0; i < job->events / 2; ++i) {
        INPUT in[2]{};
        if (i % 2 == 0) {
            in[0].type = in[1].type = INPUT_KEYBOARD;
            in[0].ki.wVk = in[1].ki.wVk = static_cast<WORD>('A' + i % 26);
            in[1].ki.dwFlags = KEYEVENTF_KEYUP;
        } else {
            // Far apart, so that no two make a double-click.
            const int x = (i / 2) % 2 ? 200 : 900;
            in[0].type = in[1].type = INPUT_MOUSE;
            in[0].mi.dx = (x * 65536 + job->screenW - 1) / job->screenW;
            in[0].mi.dy = (300 * 65536 + job->screenH - 1) / job->screenH;
            in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTDOWN;
            in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        }
        SendInput(2, in, sizeof(INPUT));
        Sleep(1);
    }
    return 0;
}

bool Held(int events) {
    SysInput input;
    int keys = 0, clicks = 0;
    input.KeyDown = [&](std::int16_t, std::int16_t) { ++keys; };
    input.MouseDown = [&](std::int16_t, std::int16_t, float, float) { ++clicks; };
    input.SetHooks(kHookKeyboard | kHookMouse);
    input.SetEnabled(true);
    if (input.Hooks() != (kHookKeyboard | kHookMouse)) {
        std::printf("idle_bench: the hooks could not be installed\n");
        return false;
    }
    PumpFor(200);
    keys = clicks = 0;
    Injection job{events, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    HANDLE injector = CreateThread(nullptr, 0, &Inject, &job, 0, nullptr);
    // The user-interface thread is held: nothing of the hook's reaches it for 2 s.
    Sleep(2000);
    const int beforeResume = keys + clicks;
    WaitForSingleObject(injector, INFINITE);
    CloseHandle(injector);
    PumpFor(1500);
    input.SetEnabled(false);
    const int presses = events / 2;
    const double p99 = input.HookTimes().Percentile(0.99);
    std::printf("%d events (%d key presses, %d clicks) injected while the user-interface thread was held 2 s:\n",
                events, (presses + 1) / 2, presses / 2);
    std::printf("  raised while held %d; after it resumed %d key presses and %d clicks; dropped by the ring %llu\n",
                beforeResume, keys, clicks, static_cast<unsigned long long>(input.DroppedEvents()));
    std::printf("  hook procedure: median %u us, p99 %u us, max %u us over %llu calls\n",
                input.HookTimes().Percentile(0.5), input.HookTimes().Percentile(0.99), input.HookTimes().Max(),
                static_cast<unsigned long long>(input.HookTimes().Count()));
    const bool ok = keys == (presses + 1) / 2 && clicks == presses / 2 && p99 < kHookGoalUs;
    std::printf("  goal (none lost, hook p99 under %.0f us): %s\n", kHookGoalUs, ok ? "met" : "MISSED");
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--bare") return Bare();
    const int idleSeconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    const int displays = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10000;
    const int events = argc > 3 ? std::max(2, std::atoi(argv[3])) : 1000;
    // Before anything of the program's runs, so that the two processes never share the CPU.
    const double bareMb = BareWindowMb();
    if (!StartDisplayBench("idle_bench")) return 1;
    goLocalMachine = std::make_unique<RegistrySetting>();
    goLocalMachine->OpenKey(kMachineKey);
    bool ok = true;
    {
        // Dismissed for good, so the welcome step only switches the hook on, as at the end of a start.
        goCurrentUser->SetValue(std::string(settings::kDismissPrefix) + "Welcome", rgsDWord, 1);
        auto main = std::make_unique<frmMain>();
        main->ShowWelcome();
        PumpFor(500);
        if (!main->KeyboardWindow || !main->MouseWindow) {
            std::printf("idle_bench: the main form has no displays\n");
            return 1;
        }
        ok = Idle(*main, idleSeconds, bareMb) && ok;
        ok = Leaks(*main, displays) && ok;
    }
    ok = Held(events) && ok;
    goLocalMachine.reset();
    goCurrentUser.reset();
    return ok ? 0 : 2;
}
