#pragma once
// Keeps passwords off the screen: two watchers decide, once per focus change and on threads of
// their own, whether the keyboard focus is in a password field, so that the keystroke handler only
// reads a flag. The window system's focus events find edit controls with the password style; UI
// Automation's focus-changed event finds password elements in browsers, WPF and UWP. Neither ever
// waits on the focused program from the user-interface thread.
#include <windows.h>

#include <memory>

#include "core/unique_handle_win.h"
#include "keystrokes/password_focus.h"
#include "keystrokes/ui_automation_win.h"

namespace spotlex {

// The system's UI Automation client (CoCreateInstance of CUIAutomation).
HRESULT CreateUiAutomation(uia::IAutomation** automation);
// S_OK when that client's class is registered, REGDB_E_CLASSNOTREG when CoCreateInstance would
// not find it; asks the registry only, so COM is not started for it.
HRESULT FindUiAutomation();

class PasswordGuard {
public:
    // Makes the UI Automation client on the automation thread (COM is initialised there).
    using AutomationFactory = HRESULT (*)(uia::IAutomation** automation);
    // Whether a client can be had at all, asked before its thread is started.
    using AutomationCheck = HRESULT (*)();
    using EventHookFn = HWINEVENTHOOK(WINAPI*)(DWORD eventMin, DWORD eventMax, HMODULE module,
                                               WINEVENTPROC proc, DWORD processId, DWORD threadId,
                                               DWORD flags);

    struct Options {
        AutomationFactory createAutomation = &CreateUiAutomation;
        // How long Stop waits for an automation thread stuck in a slow provider before leaving it.
        DWORD automationStopMs = 1000;
        AutomationCheck findAutomation = &FindUiAutomation;
        EventHookFn setWinEventHook = &::SetWinEventHook;
    };

    PasswordGuard();
    explicit PasswordGuard(const Options& options);
    ~PasswordGuard();
    PasswordGuard(const PasswordGuard&) = delete;
    PasswordGuard& operator=(const PasswordGuard&) = delete;

    // Starts both watchers; each decides at once for the focus as it is. When UI Automation cannot
    // be had, that is logged once and the edit-style check goes on alone; where its class is not
    // even registered, no thread is started for it (under Wine a thread's stack costs 1 MB). When
    // the window system's watcher cannot start, that is logged and Hidden() looks for itself.
    void Start();
    void Stop();
    bool Running() const noexcept { return windowsThread_ != nullptr; }

    // True while the keyboard focus is in a password field: keys are then neither shown nor sounded.
    bool Hidden() const noexcept;
    // The watchers' verdicts, which the input hook stamps on each press; it lives as long as its
    // last holder.
    const std::shared_ptr<PasswordFocus>& Focus() const noexcept { return focus_; }

private:
    struct Shared;
    class NotifyWindow;
    class FocusHandler;
    struct WindowsWatcher;

    static DWORD WINAPI WatchAutomation(void* param);

    Options options_;
    std::shared_ptr<PasswordFocus> focus_;
    std::shared_ptr<Shared> shared_;
    bool direct_ = false;  // the watcher could not start
    std::unique_ptr<NotifyWindow> window_;
    std::unique_ptr<WindowsWatcher> windowsThread_;
    UniqueHandle automationThread_;
};

}  // namespace spotlex
