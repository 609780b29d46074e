#pragma once
// SysInput: the system-wide keyboard and mouse hook. The low-level hooks live on a thread of their
// own whose hook procedures only copy each event into a ring and return, so a busy user-interface
// thread never delays the system's input (Windows silently drops a hook that answers slowly). The
// events are raised on the thread that created the object, through its message loop, in input order.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "app/sys_input_logic.h"
#include "keystrokes/password_focus.h"

namespace spotlex {

class SysInput {
public:
    using KeyDownFn = std::function<void(std::int16_t keyCode, std::int16_t shift)>;
    // button: 1 left, 2 right, 4 middle, 8 and 16 the fourth and fifth; x, y: the pointer's
    // screen position in pixels.
    using MouseDownFn = std::function<void(std::int16_t button, std::int16_t shift, int x, int y)>;
    using DblClickFn = std::function<void()>;
    // One turn of the vertical wheel at the pointer's screen pixel (x, y); delta > 0 is up.
    using WheelFn = std::function<void(int x, int y, std::int16_t delta)>;
    // hook: the hook that could not be installed (kHookMouse or kHookKeyboard); errCode: its Win32 error.
    using ErrorFn = std::function<void(std::int32_t errCode, std::int32_t hook)>;
    using InstallFn = HHOOK(WINAPI*)(int idHook, HOOKPROC proc, HINSTANCE module, DWORD threadId);
    using CursorFn = BOOL(WINAPI*)(POINT* point);

    // Tuning; the defaults suit the program, tests shorten them.
    struct Options {
        std::uint32_t watchdogMs = 1000;      // how often the hook thread looks for a removed hook
        std::uint32_t idleWatchdogMs = 15000; // how often it looks once the system is idle
        int quietLooksBeforeIdle = 5;         // looks without any input that make the system idle
        std::uint32_t lostAfterMs = 2000;     // input the hooks missed for this long means one is gone
        std::uint32_t modifierStaleMs = 500;  // a gap in key input after which modifiers are re-read
        InstallFn install = &::SetWindowsHookExA;
        // Where the watchdog reads the pointer, which it needs only while one hook alone is in place.
        CursorFn cursorPos = &::GetCursorPos;
    };

    SysInput();
    explicit SysInput(const Options& options);
    ~SysInput();
    SysInput(const SysInput&) = delete;
    SysInput& operator=(const SysInput&) = delete;

    // What a key press brings besides its code and modifiers.
    struct KeyDetail {
        std::uint16_t scanCode = 0;
        bool capsLock = false;  // Caps Lock was on
    };

    // The event handlers; set them before enabling. A handler must not destroy this object.
    KeyDownFn KeyDown;
    MouseDownFn MouseDown;
    DblClickFn DblClick;
    WheelFn Wheel;
    ErrorFn Error;

    // The hook mask ("hooks"): kHookMouse | kHookKeyboard; other bits are dropped. Reading returns
    // the hooks in force: a hook that could not be installed is taken out of the mask.
    std::int32_t Hooks() const noexcept { return hooks_; }
    void SetHooks(std::int32_t mask);

    // Hooks are installed only while enabled; disabling removes them and drops events not yet raised.
    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool enabled);

    // Wheel turns are passed on only when asked for, so the hook posts nothing for them otherwise.
    void SetWheel(bool on) noexcept;

    // The hook procedures' own time, and the events lost because the user-interface thread fell a
    // whole ring behind.
    const MicrosecondHistogram& HookTimes() const noexcept;
    std::uint64_t DroppedEvents() const noexcept;

    // The password watchers' verdicts: each key press is stamped with them on the hook thread and
    // judged again at delivery. A press they hide is not raised; one typed right after a focus move
    // is held, with what follows it, until they have answered (see PasswordFocus::Judge).
    void SetPasswordFocus(std::shared_ptr<PasswordFocus> focus);

    // Inside KeyDown: the detail of the press being raised.
    const KeyDetail& RaisedKey() const noexcept { return raisedKey_; }

private:
    class NotifyWindow;
    struct HookEvent;
    struct Channel;
    struct HookThread;

    void Start();
    void Stop();
    void Discard();
    void Deliver();
    void Raise(const HookEvent& e);
    KeyVerdict Screen(const HookEvent& e);

    Options options_;
    std::int32_t hooks_ = kHookKeyboard;
    bool enabled_ = false;
    bool draining_ = false;
    DoubleClickDetector doubleClick_;
    std::unique_ptr<Channel> channel_;
    std::unique_ptr<NotifyWindow> window_;
    std::unique_ptr<HookThread> thread_;
    std::unique_ptr<HookEvent> held_;  // the press waiting for the password watchers
    KeyDetail raisedKey_;
};

}  // namespace spotlex
