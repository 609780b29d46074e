// The input hook under real injected input: what arrives, in which order, and what does not.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "app/sys_input_win.h"
#include "core/unique_handle_win.h"
#include "support/test_support.h"

namespace spotlex {
namespace {

using test::PumpFor;
using test::PumpUntil;

// The events as short texts: "K83/3" key 83 with mask 3, "M1/0@100,200" left press at pixel
// (100, 200), "D" double-click, "E5/8" error 5 of the keyboard hook.
struct Recorder {
    std::vector<std::string> events;

    void Attach(SysInput& input) {
        input.KeyDown = [this](std::int16_t code, std::int16_t shift) {
            events.push_back("K" + std::to_string(code) + "/" + std::to_string(shift));
        };
        input.MouseDown = [this](std::int16_t button, std::int16_t shift, int x, int y) {
            events.push_back("M" + std::to_string(button) + "/" + std::to_string(shift) + "@" +
                             std::to_string(x) + "," + std::to_string(y));
        };
        input.DblClick = [this] { events.push_back("D"); };
        input.Error = [this](std::int32_t code, std::int32_t hook) {
            events.push_back("E" + std::to_string(code) + "/" + std::to_string(hook));
        };
    }
    bool WaitFor(std::size_t count, int ms = 3000) {
        return PumpUntil([&] { return events.size() >= count; }, ms);
    }
};

void SendKey(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ASSERT_EQ(SendInput(1, &in, sizeof in), 1u);
}

void Press(WORD vk) {
    SendKey(vk, false);
    SendKey(vk, true);
}

// A press and release of one button (1, 2, 4, 8 or 16, as the events number them) at screen
// pixel (x, y).
void Click(int button, int x, int y) {
    const DWORD down = button == 1   ? MOUSEEVENTF_LEFTDOWN
                       : button == 2 ? MOUSEEVENTF_RIGHTDOWN
                       : button == 4 ? MOUSEEVENTF_MIDDLEDOWN
                                     : MOUSEEVENTF_XDOWN;
    const DWORD xButton = button == 8 ? XBUTTON1 : button == 16 ? XBUTTON2 : 0;
    const int w = GetSystemMetrics(SM_CXSCREEN);
    const int h = GetSystemMetrics(SM_CYSCREEN);
    INPUT in[2]{};
    in[0].type = INPUT_MOUSE;
    in[0].mi.dx = (x * 65536 + w - 1) / w;
    in[0].mi.dy = (y * 65536 + h - 1) / h;
    in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | down;
    in[0].mi.mouseData = xButton;
    in[1].type = INPUT_MOUSE;
    in[1].mi.mouseData = xButton;
    in[1].mi.dwFlags = down << 1;  // each button's up flag follows its down flag
    ASSERT_EQ(SendInput(2, in, sizeof(INPUT)), 2u);
}

std::string MouseText(int button, int shift, int px, int py) {
    return "M" + std::to_string(button) + "/" + std::to_string(shift) + "@" + std::to_string(px) + "," +
           std::to_string(py);
}

// Counts installations per hook kind and can refuse them, or hand the test the hook to remove.
struct InstallSpy {
    static inline std::atomic<int> keyboardInstalls{0};
    static inline std::atomic<int> mouseInstalls{0};
    static inline std::atomic<bool> refuseKeyboard{false};
    static inline std::atomic<HHOOK> lastKeyboard{nullptr};

    static void Reset() {
        keyboardInstalls = 0;
        mouseInstalls = 0;
        refuseKeyboard = false;
        lastKeyboard = nullptr;
    }
    static HHOOK WINAPI Install(int id, HOOKPROC proc, HINSTANCE module, DWORD thread) {
        if (id == WH_KEYBOARD_LL) {
            ++keyboardInstalls;
            if (refuseKeyboard) {
                SetLastError(ERROR_ACCESS_DENIED);
                return nullptr;
            }
        } else {
            ++mouseInstalls;
        }
        HHOOK h = SetWindowsHookExA(id, proc, module, thread);
        if (id == WH_KEYBOARD_LL) lastKeyboard = h;
        return h;
    }
};

SysInput::Options SpyOptions() {
    InstallSpy::Reset();
    SysInput::Options o;
    o.install = &InstallSpy::Install;
    return o;
}

// Counts the watchdog's readings of the pointer.
struct CursorSpy {
    static inline std::atomic<int> reads{0};
    static BOOL WINAPI Read(POINT* point) {
        ++reads;
        return GetCursorPos(point);
    }
};

TEST(SysInput, EventsArriveInInputOrderWithCodesMasksButtonsAndPositions) {
    SysInput input;
    Recorder rec;
    rec.Attach(input);
    input.SetHooks(kHookAll);
    input.SetEnabled(true);
    ASSERT_EQ(input.Hooks(), kHookAll);

    Press('A');
    SendKey(VK_CONTROL, false);
    SendKey(VK_SHIFT, false);
    Press('S');
    SendKey(VK_SHIFT, true);
    SendKey(VK_CONTROL, true);
    SendKey(VK_MENU, false);
    Press('F');
    SendKey(VK_MENU, true);
    Click(1, 100, 200);
    Click(2, 300, 50);
    Click(4, 640, 512);
    Click(8, 641, 512);
    Click(16, 642, 512);
    SendKey(VK_CONTROL, false);
    Click(1, 20, 900);
    SendKey(VK_CONTROL, true);
    SendKey(VK_LWIN, false);
    SendKey(VK_LWIN, true);

    const std::vector<std::string> expected = {"K65/0",
                                               "K17/2",
                                               "K16/3",
                                               "K83/3",
                                               "K18/4",
                                               "K70/4",
                                               MouseText(1, 0, 100, 200),
                                               MouseText(2, 0, 300, 50),
                                               MouseText(4, 0, 640, 512),
                                               MouseText(8, 0, 641, 512),
                                               MouseText(16, 0, 642, 512),
                                               "K17/2",
                                               MouseText(1, 2, 20, 900),
                                               "K91/8"};
    rec.WaitFor(expected.size());
    PumpFor(200);  // and nothing more: no key-ups, no double-click
    EXPECT_EQ(rec.events, expected);
}

TEST(SysInput, NothingArrivesForAClearedBitOrWhileDisabledAndDisablingDropsQueuedEvents) {
    SysInput input(SpyOptions());
    Recorder rec;
    rec.Attach(input);
    EXPECT_EQ(input.Hooks(), kHookKeyboard) << "the mask starts as keystrokes only";
    input.SetHooks(kHookMouse | 2 | 4);
    EXPECT_EQ(input.Hooks(), kHookMouse) << "bits without a hook are dropped";

    // Mouse only: the keyboard hook is not even installed.
    input.SetEnabled(true);
    Press('K');
    Click(1, 50, 50);
    rec.WaitFor(1);
    PumpFor(200);
    EXPECT_EQ(rec.events, (std::vector<std::string>{MouseText(1, 0, 50, 50)}));
    EXPECT_EQ(InstallSpy::keyboardInstalls, 0);
    EXPECT_EQ(InstallSpy::mouseInstalls, 1);

    // Keyboard only, changed while enabled.
    rec.events.clear();
    input.SetHooks(kHookKeyboard);
    Click(2, 60, 60);
    Press('L');
    rec.WaitFor(1);
    PumpFor(200);
    EXPECT_EQ(rec.events, (std::vector<std::string>{"K76/0"}));

    // Disabled: no hooks at all, nothing arrives.
    rec.events.clear();
    input.SetHooks(kHookAll);
    input.SetEnabled(false);
    EXPECT_EQ(UniqueHook::Live(), 0);
    Press('M');
    Click(1, 70, 70);
    PumpFor(300);
    EXPECT_TRUE(rec.events.empty());

    // Events queued but not yet raised when the hook is switched off are dropped.
    input.SetEnabled(true);
    Press('N');
    Click(1, 80, 80);
    input.SetEnabled(false);
    input.SetEnabled(true);
    Press('O');
    rec.WaitFor(1);
    PumpFor(200);
    EXPECT_EQ(rec.events, (std::vector<std::string>{"K79/0"}));
    EXPECT_EQ(UniqueHook::Live(), 2);
}

TEST(SysInput, DestroyingAnEnabledHookUnhooksAndEndsItsThread) {
    const long before = UniqueHook::Live();
    {
        SysInput input;
        input.SetHooks(kHookAll);
        input.SetEnabled(true);
        EXPECT_EQ(UniqueHook::Live(), before + 2);
        Press('P');  // queued, never raised
    }
    EXPECT_EQ(UniqueHook::Live(), before);
    Press('Q');
    PumpFor(100);
}

TEST(SysInput, AStalledUserInterfaceThreadDoesNotStallInput) {
    SysInput input;
    input.SetHooks(kHookKeyboard);
    std::vector<int> codes;
    UniqueHandle go(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    LARGE_INTEGER freq, stallEnd{};
    QueryPerformanceFrequency(&freq);
    input.KeyDown = [&](std::int16_t code, std::int16_t) {
        codes.push_back(code);
        if (codes.size() == 1) {
            SetEvent(go.get());
            Sleep(2000);
            QueryPerformanceCounter(&stallEnd);
        }
    };
    input.SetEnabled(true);

    struct Injector {
        HANDLE go;
        double slowestMs = 0;
        LARGE_INTEGER done{};
        LARGE_INTEGER freq{};
        static DWORD WINAPI Run(void* p) {
            auto* self = static_cast<Injector*>(p);
            WaitForSingleObject(self->go, 5000);
            for (WORD vk = 'A'; vk <= 'T'; ++vk) {
                for (bool up : {false, true}) {
                    LARGE_INTEGER t0, t1;
                    QueryPerformanceCounter(&t0);
                    INPUT in{};
                    in.type = INPUT_KEYBOARD;
                    in.ki.wVk = vk;
                    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
                    SendInput(1, &in, sizeof in);
                    QueryPerformanceCounter(&t1);
                    const double ms = (t1.QuadPart - t0.QuadPart) * 1000.0 / self->freq.QuadPart;
                    if (ms > self->slowestMs) self->slowestMs = ms;
                }
            }
            QueryPerformanceCounter(&self->done);
            return 0;
        }
    } injector{go.get()};
    injector.freq = freq;
    UniqueHandle thread(CreateThread(nullptr, 0, &Injector::Run, &injector, 0, nullptr));
    ASSERT_TRUE(thread);

    Press('Z');
    ASSERT_TRUE(PumpUntil([&] { return codes.size() >= 21; }, 8000)) << codes.size() << " events";
    WaitForSingleObject(thread.get(), 5000);

    EXPECT_LT(injector.slowestMs, 500.0) << "SendInput waited on the busy thread";
    EXPECT_LT(injector.done.QuadPart, stallEnd.QuadPart) << "input was injected only after the stall";
    std::vector<int> expected = {'Z'};
    for (int vk = 'A'; vk <= 'T'; ++vk) expected.push_back(vk);
    EXPECT_EQ(codes, expected);
}

TEST(SysInput, DoubleClickFollowsTheSecondOfTwoQuickLeftPressesInPlace) {
    SysInput input;
    Recorder rec;
    rec.Attach(input);
    input.SetHooks(kHookMouse);
    input.SetEnabled(true);
    const std::string m = MouseText(1, 0, 400, 400);

    for (int i = 0; i < 4; ++i) Click(1, 400, 400);
    rec.WaitFor(6);
    EXPECT_EQ(rec.events, (std::vector<std::string>{m, m, "D", m, m, "D"}));

    // Too far apart, too slow, or broken by another button: no double-click.
    rec.events.clear();
    Sleep(GetDoubleClickTime() + 100);
    Click(1, 400, 400);
    Click(1, 420, 400);
    Sleep(GetDoubleClickTime() + 100);
    Click(1, 420, 400);
    Sleep(GetDoubleClickTime() + 100);
    Click(1, 400, 400);
    Click(2, 400, 400);
    Click(1, 400, 400);
    rec.WaitFor(6);
    PumpFor(200);
    EXPECT_EQ(rec.events, (std::vector<std::string>{m, MouseText(1, 0, 420, 400), MouseText(1, 0, 420, 400),
                                                    m, MouseText(2, 0, 400, 400), m}));
}

TEST(SysInput, ARemovedHookIsInstalledAgainAndItsModifiersAreReadAfresh) {
    SysInput::Options options = SpyOptions();
    options.watchdogMs = 100;
    options.lostAfterMs = 300;
    options.quietLooksBeforeIdle = 1000;
    SysInput input(options);
    Recorder rec;
    rec.Attach(input);
    input.SetHooks(kHookKeyboard);
    input.SetEnabled(true);

    // Ctrl goes down where the hook sees it and comes up where it does not.
    SendKey(VK_CONTROL, false);
    ASSERT_TRUE(rec.WaitFor(1));
    ASSERT_TRUE(UnhookWindowsHookEx(InstallSpy::lastKeyboard));
    Sleep(400);
    SendKey(VK_CONTROL, true);
    ASSERT_TRUE(PumpUntil([] { return InstallSpy::keyboardInstalls >= 2; }, 3000))
        << "the hook was not renewed";
    Press('S');
    rec.WaitFor(2);

    // And the other way round: Ctrl goes down unseen.
    ASSERT_TRUE(UnhookWindowsHookEx(InstallSpy::lastKeyboard));
    Sleep(400);
    SendKey(VK_CONTROL, false);
    ASSERT_TRUE(PumpUntil([] { return InstallSpy::keyboardInstalls >= 3; }, 3000))
        << "the hook was not renewed";
    Press('S');
    SendKey(VK_CONTROL, true);
    rec.WaitFor(3);
    PumpFor(200);
    EXPECT_EQ(rec.events, (std::vector<std::string>{"K17/2", "K83/0", "K83/2"}));
    EXPECT_EQ(InstallSpy::keyboardInstalls, 3) << "a working hook was renewed";
}

TEST(SysInput, AfterAnIdleSpellTheWatchdogLooksSeldomButStillFindsARemovedHook) {
    SysInput::Options options = SpyOptions();
    options.watchdogMs = 100;
    options.idleWatchdogMs = 1000;
    options.quietLooksBeforeIdle = 2;
    options.lostAfterMs = 300;
    SysInput input(options);
    Recorder rec;
    rec.Attach(input);
    input.SetHooks(kHookKeyboard);
    input.SetEnabled(true);
    Press('A');
    ASSERT_TRUE(rec.WaitFor(1));

    // Idle long enough for the slow pace, then the hook goes and the presenter types on.
    PumpFor(1500);
    ASSERT_TRUE(UnhookWindowsHookEx(InstallSpy::lastKeyboard));
    const DWORD lost = GetTickCount();
    Press('B');
    ASSERT_TRUE(PumpUntil([] { return InstallSpy::keyboardInstalls >= 2; }, 3000)) << "the hook was not renewed";
    EXPECT_LT(GetTickCount() - lost, 2500u) << "found within one slow look and the loss time";
    Press('D');
    rec.WaitFor(2);
    PumpFor(200);
    EXPECT_EQ(rec.events, (std::vector<std::string>{"K65/0", "K68/0"}));
}

// Under Wine a thread's first pointer reading opens a display connection of its own: with both hooks
// in place the watchdog finds a removed hook without one.
TEST(SysInput, TheWatchdogReadsThePointerOnlyWhileOneHookAloneIsInPlace) {
    SysInput::Options options = SpyOptions();
    options.watchdogMs = 100;
    options.lostAfterMs = 300;
    options.quietLooksBeforeIdle = 1000;
    options.cursorPos = &CursorSpy::Read;
    CursorSpy::reads = 0;
    SysInput input(options);
    input.SetHooks(kHookAll);
    input.SetEnabled(true);
    ASSERT_TRUE(UnhookWindowsHookEx(InstallSpy::lastKeyboard));
    Sleep(400);
    Press('A');
    ASSERT_TRUE(PumpUntil([] { return InstallSpy::keyboardInstalls >= 2; }, 3000))
        << "the hook was not renewed";
    EXPECT_EQ(CursorSpy::reads, 0);

    input.SetHooks(kHookKeyboard);
    EXPECT_TRUE(PumpUntil([] { return CursorSpy::reads >= 2; }, 3000))
        << "with the keyboard hook alone a moving pointer explains input it missed";
}

TEST(SysInput, AHookThatCannotBeInstalledRaisesErrorAndLeavesTheMask) {
    SysInput input(SpyOptions());
    InstallSpy::refuseKeyboard = true;
    Recorder rec;
    rec.Attach(input);
    input.SetHooks(kHookAll);
    input.SetEnabled(true);
    EXPECT_EQ(input.Hooks(), kHookMouse) << "the mask read back shows the hooks in force";

    Press('E');
    Click(1, 90, 90);
    rec.WaitFor(2);
    PumpFor(200);
    EXPECT_EQ(rec.events, (std::vector<std::string>{"E5/8", MouseText(1, 0, 90, 90)}));

    // Asked for again, and installable now, it works.
    rec.events.clear();
    InstallSpy::refuseKeyboard = false;
    input.SetHooks(kHookAll);
    EXPECT_EQ(input.Hooks(), kHookAll);
    Press('E');
    rec.WaitFor(1);
    EXPECT_EQ(rec.events, (std::vector<std::string>{"K69/0"}));
}

}  // namespace
}  // namespace spotlex
