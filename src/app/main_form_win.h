#pragma once
// frmMain: the hidden main form. It owns everything that lives for the whole run: the tray icon,
// the menus, the input hook, its one-shot timer and the display controllers, and it runs the
// start-up (InitializeApp) and the shutdown (TerminateSpotlex).
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "app/active_menu_win.h"
#include "app/sys_input_win.h"
#include "app/tray_icon_win.h"
#include "clock/clock_window_win.h"
#include "core/dialog_win.h"
#include "core/settings.h"
#include "core/window_win.h"
#include "keystrokes/key_handler_win.h"
#include "keystrokes/key_pause.h"
#include "keystrokes/keyboard_window_win.h"
#include "keystrokes/password_guard_win.h"
#include "mouse/mouse_click_handler_win.h"
#include "mouse/mouse_window_win.h"
#include "mouse/wheel_mark_win.h"

namespace spotlex {

class frmMain : public Window {
public:
    static constexpr const char* kClassName = "SpotlexMain";

    // Form_Load: creates the hidden window and runs InitializeApp.
    frmMain();
    ~frmMain() override;

    // What a switch of the hook that leaves it off does to the keystroke and click windows.
    enum class Displays { kKeep, kTakeDown };
    // The counted switch of the input hook: on only when every disable has been matched by an
    // enable.
    void SysInputEnabled(bool newEnabled, Displays displays = Displays::kKeep) noexcept;
    // For the tests: how many disables are still unmatched.
    std::int32_t SysInputDisableCount() const noexcept { return disableCount_; }

    // Arms the one-shot timer that shows the welcome and then turns the hook on.
    void ShowWelcome() noexcept;

    // True switches every system cursor to the large scheme, false puts back the scheme in force
    // before, as the Mouse control panel would.
    void SetLargeCursors(bool on) noexcept;

    bool ShowShiftedKeys() const noexcept { return showShiftedKeys_; }

    bool IsPointInTaskbarTray(int x, int y) noexcept;

    // The tray menu's Close: unloads the form, which runs the shutdown. With sessionEnding, Windows
    // is ending the session (or the task manager closes the program): a restart entry is left.
    void Unload(bool sessionEnding = false) noexcept;
    bool Unloaded() const noexcept { return terminating_; }

    // Runs a command of the tray menu, as choosing it does.
    void RunMenuCommand(UINT id) noexcept;
    // The properties dialog, opened modally; after OK the live displays take its values. The
    // clock's own Properties command runs it too, then rereads its settings.
    void mnuProperties_Click() noexcept;

    // The properties dialog as opened from the clock menu; its item is disabled while unset.
    std::function<void()> PropertiesCommand;

    std::unique_ptr<CClockWindow> ClockWindow;
    std::unique_ptr<CMouseWindow> MouseWindow;
    std::unique_ptr<CKeyboardWindow> KeyboardWindow;
    // The mark of the mouse wheel's turns, when the presenter wants them shown.
    std::unique_ptr<WheelMarkWindow> WheelMark;
    SysInput SysInput1;
    // Keeps the keys typed into password fields off the screen.
    PasswordGuard Passwords;
    // The presenter's pause of the keystroke display, on the pause key.
    KeyPause PauseKeys{[] { return static_cast<std::uint64_t>(GetTickCount64()); }};
    TrayIcon TrayIcon1;
    ActiveMenu ActiveMenu1;

    // The pause key: pauses or resumes the keystroke display, as pressing it does.
    void PauseKey_Pressed() noexcept;
    // For the tests: the pause key in force, 0 when none could be registered.
    std::int32_t RegisteredPauseKey() const noexcept { return pauseKey_; }

    // For the tests: what the timer is armed for ("ShowWelcome"), and its interval; 0 when stopped.
    const std::string& Timer1Tag() const noexcept { return timerTag_; }
    UINT Timer1Interval() const noexcept { return timerInterval_; }

protected:
    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // Posted by the clock on a right click, so its menu (which may close the clock) runs outside
    // the clock's own window procedure; lParam holds the screen point.
    static constexpr UINT kClockMenuMessage = WM_APP + 0x31;
    static constexpr int kPauseHotKeyId = 1;
    // The timer that ends a pause whose time is up (Timer1 is 1).
    static constexpr UINT_PTR kPauseTimer = 2;

    void InitializeApp();
    void SetTimer1(UINT intervalMs) noexcept;
    void Timer1_Timer() noexcept;
    void TrayIcon1_MouseUp(int button) noexcept;
    void OpenTrayMenu() noexcept;
    void ToggleHookBit(UINT item, std::int32_t bit) noexcept;
    void mnuHelp_Click() noexcept;
    void mnuLargeCursors_Click() noexcept;
    void mnuAbout_Click() noexcept;
    void SysInput1_Error(std::int32_t errCode, std::int32_t hook) noexcept;
    // The break clock's commands (main_form_clock_win.cpp).
    void TrayIcon1_DblClick() noexcept;
    void mnuViewBreakClock_Click() noexcept;
    void mnuClockHide_Click() noexcept;
    void mnuClockPause_Click() noexcept;
    void mnuClockRestart_Click() noexcept;
    void mnuClockProperties_Click() noexcept;
    void OpenClockMenu(POINT at) noexcept;
    void CloseBreakClock() noexcept;
    // Hands settings to the keystroke and click displays and the sound and shifted-key choices;
    // errors are logged under `procedure`.
    void ApplySettings(const SpotlexSettings& s, const char* procedure) noexcept;
    // The clock part into the open clock: its controller only, or its window at once as well.
    enum class ClockTarget { kController, kOnScreen };
    void ApplyClockSettings(const SpotlexSettings::Clock& c, ClockTarget target) noexcept;
    void TerminateSpotlex() noexcept;
    // The pause (main_form_pause_win.cpp): registers the chosen key, and tells the presenter once
    // when another program holds it.
    void ApplyPauseSettings(const SpotlexSettings::Pause& p) noexcept;
    void TellPauseKeyTaken() noexcept;
    // The tray icon and its tip follow the pause, and a timer ends it when its time is up.
    void ShowPauseState() noexcept;

    bool showShiftedKeys_ = false;
    std::int32_t disableCount_ = 0;
    bool terminating_ = false;
    std::unique_ptr<ModalScope> clockDrag_;  // the clock's drag, which counts as modal
    // The main form's double-click flag: the next burst carries the double-click marker.
    bool dblClick_ = false;
    std::string timerTag_;
    UINT timerInterval_ = 0;
    std::unique_ptr<KeystrokeHandler> keystrokes_;
    std::unique_ptr<MouseClickHandler> clicks_;
    std::int32_t pauseKey_ = 0;
    // The wheel mark's colour (the other buttons' bursts) and burst size.
    COLORREF wheelColor_ = 255;
    std::int32_t wheelSize_ = 64;
    // A key that could not be registered, still to be told about; and the last one told about.
    std::int32_t takenPauseKey_ = 0;
    std::int32_t toldPauseKey_ = 0;
};

// ShellExecute of a document with the desktop as owner; true when the shell accepted it.
bool ShellDoc(const std::string& document, int showCmd) noexcept;

// Leaves a RunOnce entry that starts the program again with "/s" at the next logon, or takes it
// away again.
enum class RunOnce { kAdd, kRemove };
void SetRunOnceRegEntry(RunOnce action) noexcept;

}  // namespace spotlex
