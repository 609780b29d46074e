#include "app/main_form_win.h"

#include <shellapi.h>

#include "app/about_box_win.h"
#include "app/main_form_detail_win.h"
#include "app/startup_text.h"
#include "app/tray_menu_items.h"
#include "core/animated_rect_win.h"
#include "core/app_error.h"
#include "core/classkit_win.h"
#include "core/errata_log_win.h"
#include "core/file_paths.h"
#include "core/sound_win.h"
#include "core/wide_text_win.h"
#include "core/window_helpers_win.h"
#include "cursors/mouse_pointer_win.h"
#include "help/help_box_win.h"
#include "keystrokes/layout_lookup_win.h"

namespace spotlex {

namespace {

constexpr UINT_PTR kTimer1 = 1;
constexpr const char* kModule = "frmMain";
constexpr const char* kRunOnceKey = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

std::string ProgramPath() {
    return ModulePath();
}

}  // namespace

frmMain::frmMain() {
    CreateWin(kClassName, WS_EX_TOOLWINDOW, WS_POPUP, "Spotlex", 0, 0, 0, 0);

    keystrokes_ = std::make_unique<KeystrokeHandler>([this](const CapText& text) {
        if (KeyboardWindow) KeyboardWindow->Display(text);
    });
    keystrokes_->SetPasswordGuard(&Passwords);
    SysInput1.SetPasswordFocus(Passwords.Focus());
    clicks_ = std::make_unique<MouseClickHandler>([this](int x, int y) { return IsPointInTaskbarTray(x, y); });

    SysInput1.KeyDown = [this](std::int16_t vk, std::int16_t shift) {
        // Named in the layout of the program being typed into.
        const SysInput::KeyDetail& key = SysInput1.RaisedKey();
        const PressLayout layout = PressLayout::Foreground(key.scanCode);
        keystrokes_->KeyDown(vk, shift, showShiftedKeys_, &layout, key.capsLock);
    };
    SysInput1.MouseDown = [this](std::int16_t button, std::int16_t shift, int x, int y) {
        clicks_->MouseDown(MouseWindow.get(), dblClick_, button, shift, x, y);
    };
    SysInput1.DblClick = [this] { clicks_->DblClick(MouseWindow.get(), dblClick_); };
    SysInput1.Wheel = [this](int x, int y, std::int16_t delta) {
        if (WheelMark) WheelMark->Turn(GetTickCount(), x, y, delta, wheelColor_, wheelSize_);
    };
    SysInput1.Error = [this](std::int32_t code, std::int32_t hook) { SysInput1_Error(code, hook); };

    TrayIcon1.MouseAction = [this](bool isEnabled) {
        if (isEnabled) SetForegroundWindow(hwnd_);
    };
    TrayIcon1.MouseUp = [this](int button) { TrayIcon1_MouseUp(button); };
    TrayIcon1.DblClick = [this] { TrayIcon1_DblClick(); };
    PropertiesCommand = [this] { mnuProperties_Click(); };

    InitializeApp();
}

frmMain::~frmMain() {
    TerminateSpotlex();
}

void frmMain::InitializeApp() {
    // A step that talks to the shell lets sent messages in; when one of them ended the session,
    // the rest of the start is skipped.
    auto step = [this](auto&& f) {
        if (!terminating_) LogAndContinue(kModule, "InitializeApp", f);
    };

    step([] { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL); });
    step([this] {
        MouseWindow = std::make_unique<CMouseWindow>();
        KeyboardWindow = std::make_unique<CKeyboardWindow>();
        WheelMark = std::make_unique<WheelMarkWindow>();
        Need(KeyboardWindow).SetInputGate([this](bool on) {
            // A drag switches the hook off around itself with the displays kept.
            SysInputEnabled(on, on ? Displays::kTakeDown : Displays::kKeep);
        });
    });
    SpotlexSettings stored;
    step([&] { stored = LoadSettings(); });
    step([&] { ApplySettings(stored, "InitializeApp"); });
    step([] { PlayFX("CKStartUp", false); });
    step([this] {
        TrayIcon1.SetVisible(true);
        TrayIcon1.SetTipText(" Spotlex [Right-Click For Menu] ");
    });
    step([this] {
        ActiveMenu1.SetIconFile("%win%\\ckicons.icl");
        RegisterTrayMenuItems(ActiveMenu1);
    });
    step([this] { Passwords.Start(); });
    step([this] {
        SysInput1.SetHooks(GetSetting(settings::kHookEnum));
        std::int32_t mask = SysInput1.Hooks();
        if (mask & kHookKeyboard) ActiveMenu1.SetChecked(mnuViewKeyStrokes, true);
        if (mask & kHookMouse) ActiveMenu1.SetChecked(mnuViewMouseClicks, true);
    });
    // "View Break Clock" is checked exactly while a clock is open, so a stored Show_Clock checks
    // nothing at start: the first click would otherwise only uncheck it.
    step([&] {
        if (stored.cursors.large) ActiveMenu1.SetChecked(mnuLargeCursors, true);
        SetLargeCursors(ActiveMenu1.Checked(mnuLargeCursors));
    });
}

void frmMain::SysInputEnabled(bool newEnabled, Displays displays) noexcept {
    LogAndContinue(kModule, "SysInputEnabled", [&] {
        disableCount_ += newEnabled ? -1 : 1;
        if (disableCount_ < 0) disableCount_ = 0;
        WaitForMessages();
        if (disableCount_ != 0) {
            SysInput1.SetEnabled(false);
            WaitForMessages();
            if (displays == Displays::kTakeDown) {
                if (MouseWindow) MouseWindow->Destroy();
                if (KeyboardWindow) KeyboardWindow->Destroy();
                if (WheelMark) WheelMark->Destroy();
            }
        } else {
            SysInput1.SetEnabled(true);
        }
    });
}

void frmMain::SetTimer1(UINT intervalMs) noexcept {
    timerInterval_ = intervalMs;
    if (!hwnd_) return;
    if (intervalMs == 0)
        KillTimer(hwnd_, kTimer1);
    else
        SetTimer(hwnd_, kTimer1, intervalMs, nullptr);
}

void frmMain::TrayIcon1_MouseUp(int button) noexcept {
    // A menu or box of ours is already open: a second one would stack on it.
    if (ModalScope::AnyOpen()) return;
    LogAndContinue(kModule, "TrayIcon1_MouseUp", [&] {
        if (button == TrayIcon::kRightButton)
            OpenTrayMenu();
        else if (GetSetting(settings::kSingleClickActivation) != 0)
            TrayIcon1_DblClick();
    });
}

void frmMain::OpenTrayMenu() noexcept {
    ModalScope open;
    auto step = [](auto&& f) { LogAndContinue(kModule, "TrayIcon1_MouseUp", f); };
    auto busy = std::make_unique<Cursor>();
    step([&] { busy->SetMousePointer(kPointerArrowHourglass); });
    // Closing the gate takes both displays off the screen; the desktop beneath repaints before
    // the menu opens.
    step([this] { SysInputEnabled(false, Displays::kTakeDown); });
    if (ClockWindow) CloseBreakClock();
    step([] { DoEvents(); });
    busy.reset();
    UINT chosen = 0;
    step([&] {
        POINT at{};
        GetCursorPos(&at);
        SetForegroundWindow(hwnd_);
        chosen = ActiveMenu1.TrackPopup(ActiveMenu1.mnuPopup(), hwnd_, at, TPM_RIGHTBUTTON);
        // Lets the menu close properly when the next click lands elsewhere.
        PostMessageA(hwnd_, WM_NULL, 0, 0);
    });
    if (chosen) RunMenuCommand(chosen);
    if (goCurrentUser) step([this] { SysInputEnabled(true, Displays::kTakeDown); });
}

void frmMain::RunMenuCommand(UINT id) noexcept {
    switch (id) {
        case mnuViewMouseClicks: ToggleHookBit(mnuViewMouseClicks, kHookMouse); break;
        case mnuViewKeyStrokes: ToggleHookBit(mnuViewKeyStrokes, kHookKeyboard); break;
        case mnuLargeCursors: mnuLargeCursors_Click(); break;
        case mnuHelp: mnuHelp_Click(); break;
        case mnuAbout: mnuAbout_Click(); break;
        case mnuProperties: mnuProperties_Click(); break;
        case mnuClose: Unload(); break;
        case mnuViewBreakClock: mnuViewBreakClock_Click(); break;
        case mnuClockHide: mnuClockHide_Click(); break;
        case mnuClockPause: mnuClockPause_Click(); break;
        case mnuClockRestart: mnuClockRestart_Click(); break;
        case mnuClockProperties: mnuClockProperties_Click(); break;
        // The clock menu's Close closes the clock as "View Break Clock" does.
        case mnuClockClose: mnuViewBreakClock_Click(); break;
        default: break;
    }
}

void frmMain::ToggleHookBit(UINT item, std::int32_t bit) noexcept {
    const char* procedure = item == mnuViewKeyStrokes ? "mnuViewKeyStrokes_Click" : "mnuViewMouseClicks_Click";
    LogAndContinue(kModule, procedure, [&] {
        bool on = ActiveMenu1.Checked(item);
        std::int32_t mask = SysInput1.Hooks();
        SysInput1.SetHooks(on ? (mask & ~bit) : (mask | bit));
        ActiveMenu1.SetChecked(item, !on);
    });
}

void frmMain::mnuHelp_Click() noexcept {
    LogAndContinue(kModule, "mnuHelp_Click", [] {
        std::string path;
        path = GetMachineSetting(settings::kPath);
        size_t b = path.find_first_not_of(' '), e = path.find_last_not_of(' ');
        path = b == std::string::npos ? std::string() : path.substr(b, e - b + 1);
        ShellDoc("file://" + WithBackslash(path) + "help\\index.html", SW_SHOWNORMAL);
    });
}

void frmMain::mnuAbout_Click() noexcept {
    ModalScope open;
    LogAndContinue(kModule, "mnuAbout_Click", [this] { ShowAboutBox(hwnd_); });
}

void frmMain::SysInput1_Error(std::int32_t errCode, std::int32_t hook) noexcept {
    if (hook == kHookKeyboard) {
        ActiveMenu1.SetChecked(mnuViewKeyStrokes, false);
        LogError("sysinput.dll", "Keystroke Error", errCode, "No description available");
    } else if (hook == kHookMouse) {
        ActiveMenu1.SetChecked(mnuViewMouseClicks, false);
        LogError("sysinput.dll", "Mouse Error", errCode, "No description available");
    }
}

bool frmMain::IsPointInTaskbarTray(int x, int y) noexcept {
    bool inside = false;
    LogAndContinue(kModule, "IsPointInTaskbarTray", [&] {
        RECT r{};
        GetWindowRect(TaskbarTrayHwnd(), &r);
        inside = PtInRect(&r, POINT{x, y}) != 0;
    });
    return inside;
}

void frmMain::Unload(bool sessionEnding) noexcept {
    if (terminating_) return;
    if (sessionEnding) SetRunOnceRegEntry(RunOnce::kAdd);
    TerminateSpotlex();
    WaitForMessages();
    if (hwnd_) DestroyWindow(hwnd_);
    PostQuitMessage(0);
}

void frmMain::TerminateSpotlex() noexcept {
    if (terminating_) return;
    terminating_ = true;
    // Every step runs, whatever an earlier one did.
    auto step = [](auto&& f) {
        try {
            f();
        } catch (...) {
        }
    };
    // Closing the gate switches the hook off and takes the displays off the screen.
    step([this] { SysInputEnabled(false, Displays::kTakeDown); });
    step([this] { Passwords.Stop(); });
    step([this] {
        if (pauseKey_ != 0 && hwnd_) UnregisterHotKey(hwnd_, kPauseHotKeyId);
        pauseKey_ = 0;
    });
    step([this] { TrayIcon1.Hide(); });
    step([this] { SetTimer1(0); });
    step([] { WaitForMessages(); });
    step([] { PlayFX("CKClose", true); });
    step([this] {
        ClockWindow.reset();
        ActiveMenu1.SetChecked(mnuViewBreakClock, false);
    });
    step([this] { MouseWindow.reset(); });
    step([this] { KeyboardWindow.reset(); });
    step([this] { WheelMark.reset(); });
    step([this] {
        if (!goCurrentUser) return;
        SaveSetting(settings::kHookEnum, SysInput1.Hooks());
        SaveSetting(settings::kShowClock, ActiveMenu1.Checked(mnuViewBreakClock) ? 1 : 0);
        SaveSetting(settings::kShowLargeCursors, ActiveMenu1.Checked(mnuLargeCursors) ? 1 : 0);
    });
    // The presenter's choice is saved above: the next start switches them on again.
    step([this] { SetLargeCursors(false); });
    step([] {
        if (goCurrentUser) goCurrentUser->CloseKey();
        goCurrentUser.reset();
    });
    step([] {
        if (goLocalMachine) goLocalMachine->CloseKey();
        goLocalMachine.reset();
    });
    step([this] { SysInput1.SetHooks(0); });
}

LRESULT frmMain::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_TIMER:
            if (wp == kTimer1) Timer1_Timer();
            if (wp == kPauseTimer) ShowPauseState();
            return 0;
        case WM_HOTKEY:
            if (wp == kPauseHotKeyId) PauseKey_Pressed();
            return 0;
        case kClockMenuMessage:
            OpenClockMenu(POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))});
            return 0;
        case WM_QUERYENDSESSION:
            // Answered at once; the work is done when the session really ends.
            return TRUE;
        case WM_ENDSESSION:
            if (wp) Unload(true);
            return 0;
        case WM_CLOSE:
            // Only the task manager closes this hidden window; the menu's Close calls Unload.
            Unload(true);
            return 0;
        default:
            return DefWindowProcA(hwnd_, msg, wp, lp);
    }
}

bool ShellDoc(const std::string& document, int showCmd) noexcept {
    // No working folder: the start of a "file://" address is no folder.
    auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(GetDesktopWindow(), nullptr, Wide(document).c_str(), nullptr, nullptr, showCmd));
    return result > 32;
}

void SetRunOnceRegEntry(RunOnce action) noexcept {
    LogAndContinue("basClasskit", "SetRunOnceRegEntry", [action] {
        std::string exe = ProgramPath();
        std::string name = exe.substr(exe.find_last_of('\\') + 1);
        name = name.substr(0, name.find_last_of('.'));
        RegistrySetting runOnce;
        runOnce.OpenKey(kRunOnceKey);
        if (action == RunOnce::kRemove) {
            runOnce.DeleteValue(name);
        } else {
            // Quoted long path: a short 8.3 path does not exist on many volumes.
            runOnce.SetValue(name, rgsString, QuotedCommand(exe, "/s"));
        }
        runOnce.CloseKey();
    });
}

}  // namespace spotlex
